#include "commands/brackets.h"

#include "access/editor_access.h"
#include "ground/characters.h"

namespace tarvik {

namespace {

const char kOpening[] = "([{<";
const char kClosing[] = ")]}>";

// Index of Ch in Set (the four brackets), or -1.
int BracketIndex(const char* Set, TChar Ch) {
    for (int I = 0; Set[I]; ++I)
        if (static_cast<TChar>(Set[I]) == Ch) return I;
    return -1;
}

// The unit under the cursor and the unit that ends its pair when scanning away from
// Own (the brackets the cursor may stand on); false when there is nothing to match: a
// bracket of the other direction, a word unit, or no unit.
bool ChooseTarget(const TLine& L, int Col, const char* Own, const char* Partner, TChar& Ch,
                  TChar& Target) {
    if (Col < 0 || Col >= L.Length) return false;
    Ch = L.Text[Col];
    const int Index = BracketIndex(Own, Ch);
    if (Index >= 0) {
        Target = static_cast<TChar>(Partner[Index]);
        return true;
    }
    if (BracketIndex(Partner, Ch) >= 0 || IsWordChar(Ch)) return false;
    Target = Ch;
    return true;
}

// One step of the nesting count; true when Unit closes the pair.
bool CountUnit(TChar Unit, TChar Ch, TChar Target, int& Depth) {
    if (Unit == Target) return --Depth == 0;
    if (Unit == Ch) ++Depth;
    return false;
}

}  // namespace

void MatchPairForward(TCursorPos Cursor) {
    int Line = Cursor.Line;
    TEditorView View;
    TLine L;
    // The walk ends at the text's last line: the host is not asked for lines past it.
    if (!GetEditorView(View) || !ReadExpandedLine(Line, L)) return;
    RefreshCursorColumn(Cursor);
    TChar Ch, Target;
    if (!ChooseTarget(L, Cursor.Pos, kOpening, kClosing, Ch, Target)) return;
    int Depth = 1;
    int Col = Cursor.Pos + 1;
    for (;;) {
        for (; Col < L.Length; ++Col) {
            if (CountUnit(L.Text[Col], Ch, Target, Depth)) {
                SetCursor(Col, Line);
                return;
            }
        }
        if (Line >= View.TotalLines - 1 || !ReadExpandedLine(++Line, L)) return;
        Col = 0;
    }
}

void MatchPairBackward(TCursorPos Cursor) {
    int Line = Cursor.Line;
    TLine L;
    if (!ReadExpandedLine(Line, L)) return;
    RefreshCursorColumn(Cursor);
    TChar Ch, Target;
    if (!ChooseTarget(L, Cursor.Pos, kClosing, kOpening, Ch, Target)) return;
    int Depth = 1;
    int Col = Cursor.Pos - 1;
    for (;;) {
        for (; Col >= 0; --Col) {
            if (CountUnit(L.Text[Col], Ch, Target, Depth)) {
                SetCursor(Col, Line);
                return;
            }
        }
        if (Line <= 0 || !ReadExpandedLine(--Line, L)) return;
        Col = L.Length - 1;
    }
}

}  // namespace tarvik
