#include "commands/navigation.h"

#include <climits>

#include "access/editor_access.h"

namespace tarvik {

void GotoBlockBegin() {
    TBlockWalk Walk;
    TLine L;
    int Line;
    if (!BeginBlockWalk(Walk, true) || !NextBlockLine(Walk, L, Line)) return;
    // Expanding the line moved a start that stood on a tab; the block goes back.
    TBlockExtent Block;
    if (Walk.Moved && ReadBlockExtent(Block)) {
        Block.StartPos = L.SelStart;
        SelectBlock(Block);
    }
    SetCursor(L.SelStart, Line);
}

void GotoBlockEnd() {
    TEditorView View;
    TBlockExtent Block;
    if (!ExpandBlock(Block) || !GetEditorView(View) || Block.EndLine >= View.TotalLines) return;
    SetCursor(Block.EndPos, Block.EndLine);
}

void GotoFileEnd() {
    TEditorView View;
    TLine L;
    if (!GetEditorView(View) || View.TotalLines < 1) return;
    if (!ReadExpandedLine(View.TotalLines - 1, L)) return;
    SetCursor(L.Length, View.TotalLines - 1);
}

void GotoLineEnd() {
    TLine L;
    if (!ReadExpandedLine(-1, L)) return;
    SetCursor(L.Length, -1);
}

void GotoWindowTop() {
    ExpandTabs(-1);
    TEditorView View;
    if (!GetEditorView(View)) return;
    ExpandTabs(View.TopLine);
    SetView(View.TopLine, View.Cursor.Pos, -1, -1);
}

void GotoWindowBottom() {
    ExpandTabs(-1);
    TEditorView View;
    if (!GetEditorView(View)) return;
    long long Line = static_cast<long long>(View.TopLine) + View.Height - 1;
    if (Line >= View.TotalLines) Line = static_cast<long long>(View.TotalLines) - 1;
    if (Line < 0) Line = 0;
    ExpandTabs(static_cast<int>(Line));
    SetView(static_cast<int>(Line), View.Cursor.Pos, -1, -1);
}

void GotoFileStart() {
    SetCursor(0, 0);
}

void GotoLineStart() {
    SetCursor(0, -1);
}

void ScrollLineToTop() {
    TEditorView View;
    if (!GetEditorView(View)) return;
    SetView(-1, -1, View.Cursor.Line, -1);
}

void ScrollLineToBottom() {
    TEditorView View;
    if (!GetEditorView(View)) return;
    const long long Top = static_cast<long long>(View.Cursor.Line) - View.Height + 1;
    if (Top < 0 || Top > INT_MAX) return;
    SetView(-1, -1, static_cast<int>(Top), -1);
}

}  // namespace tarvik
