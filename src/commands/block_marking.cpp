#include "commands/block_marking.h"

#include "access/editor_access.h"
#include "ground/characters.h"
#include "ground/numbers.h"

namespace tarvik {

namespace {

// Selects from the window's begin mark up to its end mark when they are in order.
void SelectMarkedBlock(const TGlobalVars* State) {
    if (!Precedes(State->BlockBegin, State->BlockEnd)) return;
    SelectBlock(
        {State->BlockBegin.Line, State->BlockBegin.Pos, State->BlockEnd.Line, State->BlockEnd.Pos});
}

}  // namespace

void HideBlock() {
    ClearSelection();
}

void MarkBlockBegin(TGlobalVars* State, TCursorPos Pos) {
    if (!State) return;
    State->BlockBegin = Pos;
    SelectMarkedBlock(State);
}

void MarkBlockEnd(TGlobalVars* State, TCursorPos Pos) {
    if (!State) return;
    State->BlockEnd = Pos;
    SelectMarkedBlock(State);
}

void MarkLine(TCursorPos Pos) {
    SelectBlock({Pos.Line, 0, ClampToInt(static_cast<long long>(Pos.Line) + 1), 0});
}

void MarkWord(TCursorPos Pos) {
    TLine L;
    const bool Read = ReadExpandedLine(Pos.Line, L);
    RefreshCursorColumn(Pos);
    if (!Read || Pos.Pos < 0 || Pos.Pos >= L.Length || !IsWordChar(L.Text[Pos.Pos])) return;
    int Start = Pos.Pos;
    while (Start > 0 && IsWordChar(L.Text[Start - 1])) --Start;
    int Last = Pos.Pos;
    while (Last < L.Length - 1 && IsWordChar(L.Text[Last + 1])) ++Last;
    SelectBlock({Pos.Line, Start, Pos.Line, Last + 1});
}

}  // namespace tarvik
