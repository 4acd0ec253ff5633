// The editor access that every host shares: built on each host's own calls
// (host170/editor_control.cpp for the 1.70 interface), with no host call of its own.
#include "access/editor_access.h"

#include <cstring>

#include "ground/numbers.h"

namespace tarvik {

namespace {

// Column of unit Pos of a line (Length units of Text) once its tabs are blanks up to
// the next multiple of TabSize; a position beyond the line's end keeps its distance
// from it.
int ExpandedColumn(const TChar* Text, int Length, int Pos, int TabSize) {
    const int Tab = TabSize > 0 ? TabSize : 8;
    const int Within = Pos < Length ? Pos : Length;
    long long Col = 0;
    for (int I = 0; I < Within; ++I) Col += Text[I] == '\t' ? Tab - Col % Tab : 1;
    return ClampToInt(Col + (Pos > Within ? static_cast<long long>(Pos) - Within : 0));
}

// Reads a block line tab-expanded, its selection where it stood before the expansion
// (see TBlockWalk); Moved is set when the host's own selection no longer matches it.
// Follow, when given, goes through the expansion too.
bool ReadBlockLine(int Line, int TabSize, TLine& L, bool& Moved, int* Follow) {
    if (!ReadLine(Line, L)) return false;
    const int Len = L.Length;
    int Tab = 0;
    while (Tab < Len && L.Text[Tab] != '\t') ++Tab;
    if (Tab == Len) return true;
    const int Start =
        L.SelStart < 0 ? L.SelStart : ExpandedColumn(L.Text, Len, L.SelStart, TabSize);
    const int End = L.SelEnd < 0 ? L.SelEnd : ExpandedColumn(L.Text, Len, L.SelEnd, TabSize);
    if (Follow && *Follow >= 0) *Follow = ExpandedColumn(L.Text, Len, *Follow, TabSize);
    ExpandTabs(Line);
    if (!ReadLine(Line, L)) return false;
    if (L.SelStart != Start || L.SelEnd != End) Moved = true;
    L.SelStart = Start;
    L.SelEnd = End;
    return true;
}

}  // namespace

bool ReadExpandedLine(int Line, TLine& L) {
    ExpandTabs(Line);
    return ReadLine(Line, L);
}

bool GetCursor(TCursorPos& Pos) {
    TEditorView View;
    const bool Known = GetEditorView(View);
    Pos = View.Cursor;
    return Known;
}

bool SetCursor(int Pos, int Line) {
    return SetView(Line, Pos, -1, -1);
}

bool RefreshCursorColumn(TCursorPos& Pos) {
    TEditorView View;
    if (!GetEditorView(View)) return false;
    if (View.Cursor.Line == Pos.Line) Pos.Pos = View.Cursor.Pos;
    return true;
}

bool BeginBlockWalk(TBlockWalk& Walk, bool Expand, TCursorPos* Follow) {
    memset(&Walk, 0, sizeof Walk);
    TEditorView view;
    if (!GetEditorView(view) || !view.StreamBlock) return false;
    Walk.Line = view.BlockStartLine;
    Walk.TotalLines = view.TotalLines;
    Walk.TabSize = view.TabSize;
    Walk.Expand = Expand;
    Walk.Follow = Follow;
    Walk.Block = {Walk.Line, 0, Walk.Line, 0};
    return true;
}

bool NextBlockLine(TBlockWalk& Walk, TLine& L, int& Line) {
    if (Walk.Ended || Walk.Line < 0 || Walk.Line >= Walk.TotalLines) return false;
    Line = Walk.Line;
    int* Follow = Walk.Follow && Walk.Follow->Line == Line ? &Walk.Follow->Pos : nullptr;
    const bool Read =
        Walk.Expand ? ReadBlockLine(Line, Walk.TabSize, L, Walk.Moved, Follow) : ReadLine(Line, L);
    if (!Read) {
        Walk.Failed = true;
        return false;
    }
    if (L.SelStart < 0) {
        Walk.Ended = true;
        return false;
    }
    if (!Walk.Any) {
        Walk.Block.StartLine = Line;
        Walk.Block.StartPos = L.SelStart;
        Walk.Any = true;
    }
    // Line is below TotalLines, so Line + 1 is an int.
    Walk.Block.EndLine = L.SelEnd == -1 ? Line + 1 : Line;
    Walk.Block.EndPos = L.SelEnd == -1 ? 0 : L.SelEnd;
    if (Walk.StopAtEnd && L.SelEnd != -1) Walk.Ended = true;
    Walk.Line = Line + 1;
    return true;
}

void FinishBlockWalk(const TBlockWalk& Walk) {
    if (Walk.Any && Walk.Moved) SelectBlock(Walk.Block);
}

bool ReadBlockExtent(TBlockExtent& Block) {
    TBlockWalk walk;
    if (!BeginBlockWalk(walk, false)) return false;
    walk.StopAtEnd = true;
    TLine L;
    int Line;
    while (NextBlockLine(walk, L, Line)) {
    }
    if (!walk.Any) return false;
    Block = walk.Block;
    return true;
}

bool ExpandBlock(TBlockExtent& Block, TCursorPos* Cursor) {
    TBlockWalk walk;
    if (!BeginBlockWalk(walk, true, Cursor)) return false;
    TLine L;
    int Line;
    while (NextBlockLine(walk, L, Line)) {
    }
    if (walk.Failed || !walk.Any) return false;
    FinishBlockWalk(walk);
    Block = walk.Block;
    return true;
}

}  // namespace tarvik
