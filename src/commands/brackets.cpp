#include "commands/brackets.h"

#include <climits>
#include <cstring>

#include "commands/block_marking.h"
#include "commands/edit_helpers.h"
#include "commands/primitives.h"

namespace tarvik {

namespace {

const char kOpening[] = "([{<";
const char kClosing[] = ")]}>";

// Index of Ch in Set (the four brackets), or -1.
int BracketIndex(const char* Set, unsigned char Ch) {
    for (int I = 0; Set[I]; ++I)
        if (static_cast<unsigned char>(Set[I]) == Ch) return I;
    return -1;
}

// The byte under the cursor and the byte that ends its pair when scanning away
// from Own (the brackets the cursor may stand on); false when there is nothing
// to match: a bracket of the other direction, a word character, or no byte.
bool ChooseTarget(const EditorGetString& egs, int Col, const char* Own, const char* Partner,
                  unsigned char& Ch, unsigned char& Target) {
    if (Col < 0 || Col >= egs.StringLength) return false;
    Ch = static_cast<unsigned char>(egs.StringText[Col]);
    const int Index = BracketIndex(Own, Ch);
    if (Index >= 0) {
        Target = static_cast<unsigned char>(Partner[Index]);
        return true;
    }
    if (BracketIndex(Partner, Ch) >= 0 || IsWordChar(Ch)) return false;
    Target = Ch;
    return true;
}

// One step of the nesting count; true when Byte closes the pair.
bool CountByte(unsigned char Byte, unsigned char Ch, unsigned char Target, int& Depth) {
    if (Byte == Target) return --Depth == 0;
    if (Byte == Ch) ++Depth;
    return false;
}

}  // namespace

// From an opening bracket (or a delimiter) forward to its partner, across lines.
void MatchPairForward(TCursorPos Cursor) {
    int Line = Cursor.Line;
    EditorInfo ei;
    EditorGetString egs;
    // The walk ends at the text's last line: the host is not asked for lines past it.
    if (!GetEditorInfo(ei) || !ReadLine(Line, egs) || !egs.StringText) return;
    RefreshCursorColumn(Cursor);
    unsigned char Ch, Target;
    if (!ChooseTarget(egs, Cursor.Pos, kOpening, kClosing, Ch, Target)) return;
    int Depth = 1;
    int Col = Cursor.Pos + 1;
    for (;;) {
        for (; Col < egs.StringLength; ++Col) {
            if (CountByte(static_cast<unsigned char>(egs.StringText[Col]), Ch, Target, Depth)) {
                SetCursorPos(Col, Line);
                return;
            }
        }
        if (Line >= ei.TotalLines - 1 || !ReadLine(++Line, egs)) return;
        Col = 0;
    }
}

// From a closing bracket (or a delimiter) back to its partner, across lines.
void MatchPairBackward(TCursorPos Cursor) {
    int Line = Cursor.Line;
    EditorGetString egs;
    if (!ReadLine(Line, egs) || !egs.StringText) return;
    RefreshCursorColumn(Cursor);
    unsigned char Ch, Target;
    if (!ChooseTarget(egs, Cursor.Pos, kClosing, kOpening, Ch, Target)) return;
    int Depth = 1;
    int Col = Cursor.Pos - 1;
    for (;;) {
        for (; Col >= 0; --Col) {
            if (CountByte(static_cast<unsigned char>(egs.StringText[Col]), Ch, Target, Depth)) {
                SetCursorPos(Col, Line);
                return;
            }
        }
        if (Line <= 0 || !ReadLine(--Line, egs)) return;
        Col = egs.StringLength - 1;
    }
}

}  // namespace tarvik
