#include "commands/indent_case.h"

#include <climits>

#include "commands/block_marking.h"
#include "commands/edit_helpers.h"
#include "commands/primitives.h"
#include "plugin/memory.h"

namespace tarvik {

namespace {

// Writes Text (Length bytes, NULs included) back as line Line with a copy of Eol.
// The host's bytes are copied first because the write itself replaces them.
bool RewriteLine(int Line, char* Text, int Length, const char* Eol) {
    char* EolCopy = nullptr;
    if (Eol) {
        EolCopy = CopyString(Eol);
        if (!EolCopy) return false;
    }
    EditorSetString ess;
    ess.StringNumber = Line;
    ess.StringText = Text;
    ess.StringEOL = EolCopy;
    ess.StringLength = Length;
    const bool Done = EditorControl(ECTL_SETSTRING, &ess) != 0;
    FreeBytes(EolCopy);
    return Done;
}

// Converts bytes From..To-1 of the line and writes it back; every byte is kept.
bool ConvertLine(const EditorGetString& egs, int Line, int From, int To, TCaseConvert Convert) {
    const int Len = egs.StringLength;
    char* Copy = CopyBytes(egs.StringText, Len);
    if (!Copy) return false;
    for (int I = From; I < To && I < Len; ++I)
        Copy[I] = static_cast<char>(Convert(static_cast<unsigned char>(Copy[I])));
    const bool Done = RewriteLine(Line, Copy, Len, egs.StringEOL);
    FreeBytes(Copy);
    return Done;
}

}  // namespace

unsigned char ToUpperAscii(unsigned char Ch) {
    return Ch >= 'a' && Ch <= 'z' ? static_cast<unsigned char>(Ch - 32) : Ch;
}

unsigned char ToLowerAscii(unsigned char Ch) {
    return Ch >= 'A' && Ch <= 'Z' ? static_cast<unsigned char>(Ch + 32) : Ch;
}

unsigned char ToggleCaseAscii(unsigned char Ch) {
    if (Ch >= 'a' && Ch <= 'z') return static_cast<unsigned char>(Ch - 32);
    if (Ch >= 'A' && Ch <= 'Z') return static_cast<unsigned char>(Ch + 32);
    return Ch;
}

// Puts one blank at the selection start of every block line that has a selected
// character or line break, then returns the cursor to Pos.
void IndentBlock(TCursorPos Pos) {
    int Line = GetBlockStartLine();
    if (Line < 0) return;
    EditorGetString egs;
    while (ReadLine(Line, egs) && egs.SelStart >= 0) {
        if (egs.SelEnd != 0) {
            const int At = egs.SelStart < egs.StringLength ? egs.SelStart : egs.StringLength;
            if (!PlaceCursor(At, Line) || !InsertBlanks(1)) break;
        }
        if (Line == INT_MAX) break;
        ++Line;
    }
    SetCursorPos(Pos.Pos, Pos.Line);
}

// Takes one blank away at the selection start of every block line that has one
// there, then returns the cursor to Pos.
void UnindentBlock(TCursorPos Pos) {
    int Line = GetBlockStartLine();
    if (Line < 0) return;
    EditorGetString egs;
    while (ReadLine(Line, egs) && egs.SelStart >= 0) {
        if (egs.SelEnd != 0 && egs.SelStart < egs.StringLength &&
            egs.StringText[egs.SelStart] == ' ') {
            if (!PlaceCursor(egs.SelStart, Line) || !EditorControl(ECTL_DELETECHAR, nullptr)) break;
        }
        if (Line == INT_MAX) break;
        ++Line;
    }
    SetCursorPos(Pos.Pos, Pos.Line);
}

// Converts the letters of the block line by line; cursor and selection stay.
void ConvertBlockCase(TCaseConvert Convert) {
    int Line = GetBlockStartLine();
    if (Line < 0 || !Convert) return;
    EditorGetString egs;
    while (ReadLine(Line, egs)) {
        if (egs.StringText) {
            if (egs.SelStart < 0) break;
            int From, To;
            bool ThroughEnd;
            SelectedSpan(egs, From, To, ThroughEnd);
            if (!ConvertLine(egs, Line, From, To, Convert)) break;
        }
        if (Line == INT_MAX) break;
        ++Line;
    }
}

// Converts the letters of the word under the cursor; elsewhere nothing changes.
void ConvertWordCase(TCursorPos Pos, TCaseConvert Convert) {
    EditorGetString egs;
    if (!Convert || !ReadLine(Pos.Line, egs) || !egs.StringText) return;
    // A stale column would change another word than the cursor's.
    if (!RefreshCursorColumn(Pos)) return;
    const char* Text = egs.StringText;
    const int Len = egs.StringLength;
    if (Pos.Pos < 0 || Pos.Pos >= Len || !IsWordChar(static_cast<unsigned char>(Text[Pos.Pos])))
        return;
    int From = Pos.Pos;
    while (From > 0 && IsWordChar(static_cast<unsigned char>(Text[From - 1]))) --From;
    int Last = Pos.Pos;
    while (Last < Len - 1 && IsWordChar(static_cast<unsigned char>(Text[Last + 1]))) ++Last;
    ConvertLine(egs, Pos.Line, From, Last + 1, Convert);
}

}  // namespace tarvik
