#include "commands/navigation.h"

#include <climits>
#include <cstring>

#include "commands/edit_helpers.h"
#include "commands/line_writes.h"
#include "commands/primitives.h"
#include "plugin/globals.h"

namespace tarvik {

namespace {

// Moves the cursor to (Pos, Line) and/or the window top; -1 leaves a field as it is.
void SetPosition(int Line, int Pos, int TopScreenLine) {
    EditorSetPosition esp;
    esp.CurLine = Line;
    esp.CurPos = Pos;
    esp.CurTabPos = -1;
    esp.TopScreenLine = TopScreenLine;
    esp.LeftPos = -1;
    esp.Overtype = -1;
    EditorControl(ECTL_SETPOSITION, &esp);
}

}  // namespace

// Cursor to the first selected character of the stream block.
void GotoBlockBegin() {
    EditorInfo ei;
    if (!GetEditorInfo(ei) || ei.BlockType != BTYPE_STREAM) return;
    const int Line = ei.BlockStartLine;
    EditorGetString egs;
    bool Moved = false;
    if (!ReadBlockLine(Line, ei.TabSize, egs, Moved) || egs.SelStart < 0) return;
    // Expanding the line moved a start that stood on a tab; the block goes back.
    TBlockExtent Block;
    if (Moved && ReadBlockExtent(Block)) {
        Block.StartPos = egs.SelStart;
        SelectBlock(Block);
    }
    SetCursorPos(egs.SelStart, Line);
}

// Cursor to the column after the last selected character. A block that ends with
// a line break ends at column 0 of the first line after it; one through the end of
// the text's last line has no end to go to.
void GotoBlockEnd() {
    EditorInfo ei;
    TBlockExtent Block;
    if (!ExpandBlock(Block) || !GetEditorInfo(ei) || Block.EndLine >= ei.TotalLines) return;
    SetCursorPos(Block.EndPos, Block.EndLine);
}

// Cursor after the last character of the file's last line.
void GotoFileEnd() {
    EditorInfo ei;
    if (!GetEditorInfo(ei) || ei.TotalLines < 1) return;
    EditorGetString egs;
    if (!ReadLine(ei.TotalLines - 1, egs)) return;
    SetCursorPos(egs.StringLength, ei.TotalLines - 1);
}

// Cursor after the last character of its line.
void GotoLineEnd() {
    EditorGetString egs;
    if (!ReadLine(-1, egs)) return;
    SetCursorPos(egs.StringLength, -1);
}

// Cursor to the window's top line, keeping its screen column.
void GotoWindowTop() {
    if (!EditorControl) return;
    ExpandTabs(-1);
    EditorInfo ei;
    if (!GetEditorInfo(ei)) return;
    ExpandTabs(ei.TopScreenLine);
    SetPosition(ei.TopScreenLine, ei.CurPos, -1);
}

// Cursor to the window's bottom line (the file's last line in a short file),
// keeping its screen column.
void GotoWindowBottom() {
    if (!EditorControl) return;
    ExpandTabs(-1);
    EditorInfo ei;
    if (!GetEditorInfo(ei)) return;
    long long Line = static_cast<long long>(ei.TopScreenLine) + ei.WindowSizeY - 1;
    if (Line >= ei.TotalLines) Line = static_cast<long long>(ei.TotalLines) - 1;
    if (Line < 0) Line = 0;
    ExpandTabs(static_cast<int>(Line));
    SetPosition(static_cast<int>(Line), ei.CurPos, -1);
}

// Cursor to the start of the file.
void GotoFileStart() {
    SetCursorPos(0, 0);
}

// Cursor to column 0 of its line.
void GotoLineStart() {
    SetCursorPos(0, -1);
}

// Scrolls the window so that the cursor's line is its top line.
void ScrollLineToTop() {
    EditorInfo ei;
    if (!GetEditorInfo(ei)) return;
    SetPosition(-1, -1, ei.CurLine);
}

// Scrolls the window so that the cursor's line is its bottom line; a line too
// near the file's start to be the bottom one leaves the window as it is.
void ScrollLineToBottom() {
    EditorInfo ei;
    if (!GetEditorInfo(ei)) return;
    const long long Top = static_cast<long long>(ei.CurLine) - ei.WindowSizeY + 1;
    if (Top < 0 || Top > INT_MAX) return;
    SetPosition(-1, -1, static_cast<int>(Top));
}

}  // namespace tarvik
