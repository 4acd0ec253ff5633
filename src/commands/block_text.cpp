#include "commands/block_text.h"

#include <climits>

#include "access/editor_access.h"
#include "commands/line_edits.h"
#include "ground/memory.h"
#include "ground/numbers.h"

namespace tarvik {

namespace {

const int kBlockTextChunk = 1024;

// Appends a piece of Count units (NULs included) and, when Break, a line break behind
// it; false when memory ran out or the text would outgrow an int.
bool AppendPiece(TBlockText& Text, int& Capacity, int& BreakCapacity, const TChar* Piece, int Count,
                 bool Break) {
    const long long Needed = static_cast<long long>(Text.Length) + Count + 1;
    if (Needed > INT_MAX - kBlockTextChunk) return false;
    if (!Text.Units || Needed > Capacity) {
        const int Bigger = static_cast<int>(Needed) + kBlockTextChunk;
        TChar* Units = static_cast<TChar*>(
            ResizeBytes(Text.Units, sizeof(TChar) * static_cast<size_t>(Bigger)));
        if (!Units) return false;
        Text.Units = Units;
        Capacity = Bigger;
    }
    if (Break && Text.BreakCount == BreakCapacity) {
        if (BreakCapacity > INT_MAX / 2) return false;
        const int More = BreakCapacity ? 2 * BreakCapacity : kBlockTextChunk / 16;
        int* Breaks =
            static_cast<int*>(ResizeBytes(Text.Breaks, sizeof(int) * static_cast<size_t>(More)));
        if (!Breaks) return false;
        Text.Breaks = Breaks;
        BreakCapacity = More;
    }
    for (int I = 0; I < Count; ++I) Text.Units[Text.Length + I] = Piece[I];
    Text.Length += Count;
    Text.Units[Text.Length] = 0;
    if (Break) Text.Breaks[Text.BreakCount++] = Text.Length;
    return true;
}

// The cursor line cut at the insertion point: what goes before the first piece
// and what follows the last.
struct TInsertPlan {
    const TChar* Head;  // the cursor line's units before the insertion point
    int HeadLength;
    int Pad;            // blanks between the line's end and a cursor beyond it
    const TChar* Tail;  // the cursor line's units from the insertion point on
    int TailLength;
    const TChar* Eol;  // the cursor line's end, which the line holding the tail keeps
};

// Writes line Line as one piece, behind the plan's head when First, and followed by
// the plan's tail when WithTail, with the line end Eol.
bool WritePiece(int Line, const TInsertPlan& Plan, bool First, const TChar* Piece, int PieceLength,
                bool WithTail, const TChar* Eol) {
    const long long HeadPart = First ? static_cast<long long>(Plan.HeadLength) + Plan.Pad : 0;
    const int TailLength = WithTail ? Plan.TailLength : 0;
    const long long Total = HeadPart + PieceLength + TailLength;
    if (Total > INT_MAX) return false;
    TChar* Units =
        static_cast<TChar*>(AllocBytes(sizeof(TChar) * (static_cast<size_t>(Total) + 1)));
    if (!Units) return false;
    TChar* At = Units;
    if (First) {
        for (int I = 0; I < Plan.HeadLength; ++I) *At++ = Plan.Head[I];
        for (int I = 0; I < Plan.Pad; ++I) *At++ = ' ';
    }
    for (int I = 0; I < PieceLength; ++I) *At++ = Piece[I];
    for (int I = 0; I < TailLength; ++I) *At++ = Plan.Tail[I];
    *At = 0;
    const bool Done = WriteLine(Line, Units, static_cast<int>(Total), Eol);
    FreeBytes(Units);
    return Done;
}

// Whether the line that holds a piece and the plan's tail would end in a carriage
// return or line feed without a line end of its own: the host would take that unit
// as the line's end.
bool EndsInBreakUnit(const TInsertPlan& Plan, bool First, const TChar* Piece, int PieceLength) {
    if (*Plan.Eol) return false;
    TChar Last = 0;
    if (Plan.TailLength)
        Last = Plan.Tail[Plan.TailLength - 1];
    else if (PieceLength)
        Last = Piece[PieceLength - 1];
    else if (First && Plan.Pad)
        Last = ' ';
    else if (First && Plan.HeadLength)
        Last = Plan.Head[Plan.HeadLength - 1];
    return Last == '\r' || Last == '\n';
}

// A piece followed by a line break, into the line that holds the rest of the cursor
// line. Mostly the piece goes in and the line breaks behind it. On a line without a
// line end (the text's last) whose units would then end in a carriage return or line
// feed, the line breaks first and the piece goes into the line the break has ended,
// with that line end: written the other way, the unit would become a line end.
bool WritePieceAndBreak(int Line, const TInsertPlan& Plan, bool First, const TChar* Piece,
                        int PieceLength, int EndColumn) {
    if (!EndsInBreakUnit(Plan, First, Piece, PieceLength)) {
        return WritePiece(Line, Plan, First, Piece, PieceLength, true, Plan.Eol) &&
               SetCursor(EndColumn, Line) && BreakLine();
    }
    TLine L;
    if (!SetCursor(First ? Plan.HeadLength : 0, Line) || !BreakLine() || !ReadLine(Line, L))
        return false;
    TChar* Eol = CopyText(L.Eol);
    const bool Done = Eol && WritePiece(Line, Plan, First, Piece, PieceLength, false, Eol);
    FreeBytes(Eol);
    return Done;
}

}  // namespace

bool GetBlockText(TBlockText& Text, TBlockExtent* Extent) {
    Text = TBlockText{};
    TBlockWalk Walk;
    if (!BeginBlockWalk(Walk, true)) return false;
    int Capacity = 0, BreakCapacity = 0;
    TLine L;
    int Line;
    while (NextBlockLine(Walk, L, Line)) {
        int From, To;
        SelectedUnits(L, From, To);
        if (!AppendPiece(Text, Capacity, BreakCapacity, L.Text + From, To - From, L.SelEnd == -1)) {
            ReleaseBlockText(Text);
            return false;
        }
    }
    // Nothing read, or a line that cannot be read: no block text to copy or move.
    if (Walk.Failed || !Text.Units) {
        ReleaseBlockText(Text);
        return false;
    }
    FinishBlockWalk(Walk);
    if (Extent) *Extent = Walk.Block;
    return true;
}

bool IsEmptyBlockText(const TBlockText& Text) {
    return Text.Length + Text.BreakCount <= 0;
}

void ReleaseBlockText(TBlockText& Text) {
    FreeBytes(Text.Units);
    FreeBytes(Text.Breaks);
    Text = TBlockText{};
}

// Byte for byte, whatever the editor's modes: each piece is written into the line that
// holds the rest of the cursor line, which is then split behind it.
bool InsertBlockText(TCursorPos Pos, const TBlockText& Text, TBlockExtent& Inserted) {
    if (!Text.Units || IsEmptyBlockText(Text) || Pos.Line < 0 || Pos.Pos < 0) return false;
    TLine L;
    if (!ReadLine(Pos.Line, L)) return false;
    const int Split = Pos.Pos < L.Length ? Pos.Pos : L.Length;
    // The host's copy of the line does not survive the first split.
    TChar* Line = CopyUnits(L.Text, L.Length);
    TChar* Eol = CopyText(L.Eol);
    if (!Line || !Eol) {
        FreeBytes(Line);
        FreeBytes(Eol);
        return false;
    }
    const TInsertPlan Plan = {Line, Split, Pos.Pos - Split, Line + Split, L.Length - Split, Eol};

    int LineNo = Pos.Line;
    int Column = Pos.Pos;  // where the text written so far ends
    bool Done = true;
    for (int K = 0; K <= Text.BreakCount; ++K) {
        const int From = K ? Text.Breaks[K - 1] : 0;
        const int To = K < Text.BreakCount ? Text.Breaks[K] : Text.Length;
        const bool First = K == 0;
        Column = ClampToInt((First ? static_cast<long long>(Pos.Pos) : 0) + (To - From));
        if (K == Text.BreakCount) {
            // After a break the line holds the tail with its line end already.
            if (To > From)
                Done =
                    WritePiece(LineNo, Plan, First, Text.Units + From, To - From, true, Plan.Eol);
            break;
        }
        // Text that ends with a break ends at column 0 of the line after it.
        Done = LineNo < INT_MAX &&
               WritePieceAndBreak(LineNo, Plan, First, Text.Units + From, To - From, Column);
        if (!Done) break;
        ++LineNo;
        Column = 0;
    }
    FreeBytes(Eol);
    FreeBytes(Line);
    if (!Done) return false;
    Inserted = {Pos.Line, Pos.Pos, LineNo, Column};
    SetCursor(Column, LineNo);
    return true;
}

}  // namespace tarvik
