#include "commands/indent_case.h"

#include "access/editor_access.h"
#include "commands/line_edits.h"
#include "ground/memory.h"

namespace tarvik {

namespace {

// Writes the line read as L back with its units From..To-1 changed; every unit and
// the line's end are kept.
bool ConvertLine(const TLine& L, int Line, int From, int To, TCaseChange Change) {
    TChar* Copy = CopyUnits(L.Text, L.Length);
    if (!Copy) return false;
    ChangeCase(Copy + From, To - From, Change);
    const bool Done = WriteLine(Line, Copy, L.Length, L.Eol);
    FreeBytes(Copy);
    return Done;
}

}  // namespace

void IndentBlock(TCursorPos Pos) {
    TBlockWalk Walk;
    if (!BeginBlockWalk(Walk, true, &Pos)) return;
    const TChar Blank = ' ';
    TLine L;
    int Line;
    while (NextBlockLine(Walk, L, Line)) {
        if (L.SelEnd == 0) continue;
        if (!WriteSplice(Line, L, L.SelStart, 0, &Blank, 1)) break;
        if (L.SelEnd != -1) Walk.Block.EndPos = MapColumn(L.SelEnd, L.SelStart, 0, 1);
    }
    // The host drops the selection of every line it is given whole.
    if (Walk.Any) SelectBlock(Walk.Block);
    SetCursor(Pos.Pos, Pos.Line);
}

void UnindentBlock(TCursorPos Pos) {
    TBlockWalk Walk;
    if (!BeginBlockWalk(Walk, true, &Pos)) return;
    TLine L;
    int Line;
    while (NextBlockLine(Walk, L, Line)) {
        if (L.SelEnd == 0 || L.SelStart >= L.Length || L.Text[L.SelStart] != ' ') continue;
        if (!SetCursor(L.SelStart, Line) || !DeleteChar()) break;
        if (L.SelEnd != -1) Walk.Block.EndPos = MapColumn(L.SelEnd, L.SelStart, 1, 0);
    }
    // The host moves the selection with each deleted blank, but not a start it had
    // moved off a tab: only then is the block selected again.
    FinishBlockWalk(Walk);
    SetCursor(Pos.Pos, Pos.Line);
}

void ConvertBlockCase(TCaseChange Change) {
    TBlockWalk Walk;
    if (!BeginBlockWalk(Walk, true)) return;
    TLine L;
    int Line;
    while (NextBlockLine(Walk, L, Line)) {
        int From, To;
        SelectedUnits(L, From, To);
        if (!ConvertLine(L, Line, From, To, Change)) break;
    }
    if (Walk.Any) SelectBlock(Walk.Block);
}

void ConvertWordCase(TCursorPos Pos, TCaseChange Change) {
    TLine L;
    // A stale column would change another word than the cursor's.
    if (!ReadExpandedLine(Pos.Line, L) || !RefreshCursorColumn(Pos)) return;
    if (Pos.Pos < 0 || Pos.Pos >= L.Length || !IsWordChar(L.Text[Pos.Pos])) return;
    int From = Pos.Pos;
    while (From > 0 && IsWordChar(L.Text[From - 1])) --From;
    int Last = Pos.Pos;
    while (Last < L.Length - 1 && IsWordChar(L.Text[Last + 1])) ++Last;
    const int N = Last - From + 1;
    TChar* Word = CopyUnits(L.Text + From, N);
    if (!Word) return;
    ChangeCase(Word, N, Change);
    ReplaceInLine(Pos.Line, From, N, Word, N);
    FreeBytes(Word);
}

}  // namespace tarvik
