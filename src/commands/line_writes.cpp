#include "commands/line_writes.h"

#include <climits>
#include <cstring>

#include "commands/edit_helpers.h"
#include "commands/primitives.h"
#include "plugin/memory.h"

namespace tarvik {

bool ReadRawLine(int Line, EditorGetString& egs) {
    memset(&egs, 0, sizeof egs);
    egs.StringNumber = Line;
    if (!EditorControl || !EditorControl(ECTL_GETSTRING, &egs)) return false;
    if (egs.StringLength < 0 || !egs.StringText) egs.StringLength = 0;
    return true;
}

int ExpandedColumn(const char* Text, int Length, int Pos, int TabSize) {
    const int Tab = TabSize > 0 ? TabSize : 8;
    const int Within = Pos < Length ? Pos : Length;
    long long Col = 0;
    for (int I = 0; I < Within; ++I) Col += Text[I] == '\t' ? Tab - Col % Tab : 1;
    return ClampToInt(Col + (Pos > Within ? static_cast<long long>(Pos) - Within : 0));
}

bool ReadBlockLine(int Line, int TabSize, EditorGetString& egs, bool& Moved, int* Follow) {
    if (!ReadRawLine(Line, egs)) return false;
    const int Len = egs.StringLength;
    if (!Len || !memchr(egs.StringText, '\t', static_cast<size_t>(Len))) return true;
    const int Start = egs.SelStart < 0 ? egs.SelStart
                                       : ExpandedColumn(egs.StringText, Len, egs.SelStart, TabSize);
    const int End =
        egs.SelEnd < 0 ? egs.SelEnd : ExpandedColumn(egs.StringText, Len, egs.SelEnd, TabSize);
    if (Follow && *Follow >= 0) *Follow = ExpandedColumn(egs.StringText, Len, *Follow, TabSize);
    ExpandTabs(Line);
    if (!ReadRawLine(Line, egs)) return false;
    if (egs.SelStart != Start || egs.SelEnd != End) Moved = true;
    egs.SelStart = Start;
    egs.SelEnd = End;
    return true;
}

bool ExpandBlock(TBlockExtent& Block, TCursorPos* Cursor) {
    EditorInfo ei;
    if (!GetEditorInfo(ei) || ei.BlockType != BTYPE_STREAM) return false;
    bool Moved = false, Any = false;
    EditorGetString egs;
    for (int Line = ei.BlockStartLine; Line >= 0 && Line < ei.TotalLines; ++Line) {
        int* Follow = Cursor && Cursor->Line == Line ? &Cursor->Pos : nullptr;
        if (!ReadBlockLine(Line, ei.TabSize, egs, Moved, Follow)) return false;
        if (egs.SelStart < 0) break;
        if (!Any) {
            Block.StartLine = Line;
            Block.StartPos = egs.SelStart;
            Any = true;
        }
        Block.EndLine = egs.SelEnd == -1 ? Line + 1 : Line;
        Block.EndPos = egs.SelEnd == -1 ? 0 : egs.SelEnd;
    }
    if (Any && Moved) SelectBlock(Block);
    return Any;
}

bool ReadBlockExtent(TBlockExtent& Block) {
    if (!EditorControl) return false;
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei) || ei.BlockType != BTYPE_STREAM) return false;
    int Line = ei.BlockStartLine;
    EditorGetString egs;
    if (Line < 0 || !ReadRawLine(Line, egs) || egs.SelStart < 0) return false;
    Block.StartLine = Line;
    Block.StartPos = egs.SelStart;
    for (;;) {
        if (egs.SelEnd != -1) {
            Block.EndLine = Line;
            Block.EndPos = egs.SelEnd;
            return true;
        }
        // Through the line break: the block ends at the next line's start unless
        // that line is selected too.
        Block.EndLine = Line == INT_MAX ? Line : Line + 1;
        Block.EndPos = 0;
        if (Line + 1 >= ei.TotalLines || Line == INT_MAX) return true;
        if (!ReadRawLine(Line + 1, egs) || egs.SelStart < 0) return true;
        ++Line;
    }
}

void SelectBlock(const TBlockExtent& Block) {
    if (!EditorControl) return;
    EditorSelect es;
    es.BlockType = BTYPE_STREAM;
    es.BlockStartLine = Block.StartLine;
    es.BlockStartPos = Block.StartPos;
    es.BlockWidth = ClampToInt(static_cast<long long>(Block.EndPos) - Block.StartPos);
    es.BlockHeight = ClampToInt(static_cast<long long>(Block.EndLine) - Block.StartLine + 1);
    EditorControl(ECTL_SELECT, &es);
}

int MapColumn(int Col, int At, int Removed, int Inserted) {
    if (Col <= At || Removed == Inserted) return Col;
    if (Col < static_cast<long long>(At) + Removed) return At;
    return ClampToInt(static_cast<long long>(Col) - Removed + Inserted);
}

bool WriteLine(int Line, const char* Text, int Length, const char* Eol) {
    if (!EditorControl) return false;
    // A null line end would get the file's default one: the text's last line would
    // gain a line break. The host may free its own copy while it takes the new one.
    char Own[8] = "";
    char* Long = nullptr;
    if (Eol && strlen(Eol) < sizeof Own) {
        memcpy(Own, Eol, strlen(Eol) + 1);
    } else if (Eol) {
        Long = CopyString(Eol);
        if (!Long) return false;
    }
    EditorSetString ess;
    ess.StringNumber = Line;
    ess.StringText = Text;
    ess.StringEOL = Long ? Long : Own;
    ess.StringLength = Length < 0 ? 0 : Length;
    const bool Done = EditorControl(ECTL_SETSTRING, &ess) != 0;
    FreeBytes(Long);
    return Done;
}

bool WriteSplice(int Line, const EditorGetString& egs, int At, int Removed, const char* Insert,
                 int Count) {
    if (At < 0 || Removed < 0 || Count < 0) return false;
    const long long Len = egs.StringText && egs.StringLength > 0 ? egs.StringLength : 0;
    const long long Head = At < Len ? At : Len;
    const long long Gone = Removed < Len - Head ? Removed : Len - Head;
    const long long Tail = Len - Head - Gone;
    const long long NewLength = static_cast<long long>(At) + Count + Tail;
    if (NewLength > INT_MAX) return false;
    char* Bytes = static_cast<char*>(AllocBytes(static_cast<size_t>(NewLength) + 1));
    if (!Bytes) return false;
    if (Head) memcpy(Bytes, egs.StringText, static_cast<size_t>(Head));
    memset(Bytes + Head, ' ', static_cast<size_t>(At - Head));
    if (Count) memcpy(Bytes + At, Insert, static_cast<size_t>(Count));
    if (Tail) memcpy(Bytes + At + Count, egs.StringText + Head + Gone, static_cast<size_t>(Tail));
    Bytes[NewLength] = 0;
    const bool Done = WriteLine(Line, Bytes, static_cast<int>(NewLength), egs.StringEOL);
    FreeBytes(Bytes);
    return Done;
}

bool ReplaceInLine(int Line, int At, int Removed, const char* Insert, int Count) {
    EditorGetString egs;
    if (Line < 0 || At < 0 || Removed < 0 || Count < 0 || !ReadRawLine(Line, egs)) return false;
    const int Gone = At >= egs.StringLength            ? 0
                     : Removed < egs.StringLength - At ? Removed
                                                       : egs.StringLength - At;
    // The write drops the line's selection; a block over the line is selected again.
    // Its columns count as on a line already padded to At: the padding fills screen
    // columns that a selection past the line's end already covered.
    TBlockExtent Block;
    const bool Selected = egs.SelStart >= 0 && ReadBlockExtent(Block);
    if (!WriteSplice(Line, egs, At, Removed, Insert, Count)) return false;
    if (Selected) {
        if (Block.StartLine == Line) Block.StartPos = MapColumn(Block.StartPos, At, Gone, Count);
        if (Block.EndLine == Line) Block.EndPos = MapColumn(Block.EndPos, At, Gone, Count);
        SelectBlock(Block);
    }
    return true;
}

bool InsertBlanksAt(int Line, int At, int Count) {
    if (Count < 0) Count = 0;
    char* Blanks = static_cast<char*>(AllocBytes(static_cast<size_t>(Count) + 1));
    if (!Blanks) return false;
    memset(Blanks, ' ', static_cast<size_t>(Count));
    const bool Done = ReplaceInLine(Line, At, 0, Blanks, Count);
    FreeBytes(Blanks);
    return Done;
}

}  // namespace tarvik
