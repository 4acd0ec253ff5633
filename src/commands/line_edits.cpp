#include "commands/line_edits.h"

#include <climits>
#include <cstring>

#include "ground/memory.h"
#include "ground/numbers.h"

namespace tarvik {

int SkipSpaces(const TChar* Text, int Length) {
    int count = 0;
    while (count < Length && Text[count] == ' ') ++count;
    return count;
}

void SelectedUnits(const TLine& L, int& From, int& To) {
    const int Len = L.Length;
    From = L.SelStart < 0 ? 0 : (L.SelStart > Len ? Len : L.SelStart);
    To = L.SelEnd == -1 || L.SelEnd > Len ? Len : L.SelEnd;
    if (To < From) To = From;
}

int MapColumn(int Col, int At, int Removed, int Inserted) {
    if (Col <= At || Removed == Inserted) return Col;
    if (Col < static_cast<long long>(At) + Removed) return At;
    return ClampToInt(static_cast<long long>(Col) - Removed + Inserted);
}

bool WriteSplice(int Line, const TLine& L, int At, int Removed, const TChar* Insert, int Count) {
    if (At < 0 || Removed < 0 || Count < 0) return false;
    const long long Len = L.Length;
    const long long Head = At < Len ? At : Len;
    const long long Gone = Removed < Len - Head ? Removed : Len - Head;
    const long long Tail = Len - Head - Gone;
    const long long NewLength = static_cast<long long>(At) + Count + Tail;
    if (NewLength > INT_MAX) return false;
    TChar* Units =
        static_cast<TChar*>(AllocBytes((static_cast<size_t>(NewLength) + 1) * sizeof(TChar)));
    if (!Units) return false;
    for (long long I = 0; I < Head; ++I) Units[I] = L.Text[I];
    for (long long I = Head; I < At; ++I) Units[I] = ' ';
    for (int I = 0; I < Count; ++I) Units[At + I] = Insert[I];
    for (long long I = 0; I < Tail; ++I) Units[At + Count + I] = L.Text[Head + Gone + I];
    Units[NewLength] = 0;
    const bool Done = WriteLine(Line, Units, static_cast<int>(NewLength), L.Eol);
    FreeBytes(Units);
    return Done;
}

bool ReplaceInLine(int Line, int At, int Removed, const TChar* Insert, int Count) {
    TLine L;
    if (Line < 0 || At < 0 || Removed < 0 || Count < 0 || !ReadLine(Line, L)) return false;
    const int Gone = At >= L.Length ? 0 : Removed < L.Length - At ? Removed : L.Length - At;
    // The write drops the line's selection; a block over the line is selected again.
    // Its columns count as on a line already padded to At: the padding fills screen
    // columns that a selection past the line's end already covered.
    TBlockExtent Block;
    const bool Selected = L.SelStart >= 0 && ReadBlockExtent(Block);
    if (!WriteSplice(Line, L, At, Removed, Insert, Count)) return false;
    if (Selected) {
        if (Block.StartLine == Line) Block.StartPos = MapColumn(Block.StartPos, At, Gone, Count);
        if (Block.EndLine == Line) Block.EndPos = MapColumn(Block.EndPos, At, Gone, Count);
        SelectBlock(Block);
    }
    return true;
}

bool InsertBlanksAt(int Line, int At, int Count) {
    if (Count < 0) Count = 0;
    TChar* Blanks =
        static_cast<TChar*>(AllocBytes((static_cast<size_t>(Count) + 1) * sizeof(TChar)));
    if (!Blanks) return false;
    for (int I = 0; I < Count; ++I) Blanks[I] = ' ';
    const bool Done = ReplaceInLine(Line, At, 0, Blanks, Count);
    FreeBytes(Blanks);
    return Done;
}

}  // namespace tarvik
