#include "commands/block_transfer.h"

#include <climits>
#include <cstring>

#include "commands/edit_helpers.h"
#include "commands/line_writes.h"
#include "commands/primitives.h"
#include "plugin/memory.h"

namespace tarvik {

namespace {

const int kBlockTextChunk = 1024;

bool Precedes(int LineA, int PosA, int LineB, int PosB) {
    return LineA < LineB || (LineA == LineB && PosA < PosB);
}

// Pos moved by one character deleted at column S of Line.
void FollowDeletedChar(TCursorPos& Pos, int Line, int S) {
    if (Line == Pos.Line && Pos.Pos > S) --Pos.Pos;
}

// Deletes Count characters at the cursor, keeping Pos on its text; false when
// the host refused one.
bool DeleteChars(int Count, TCursorPos& Pos, int Line, int S) {
    for (int I = 0; I < Count; ++I) {
        if (!EditorControl(ECTL_DELETECHAR, nullptr)) return false;
        FollowDeletedChar(Pos, Line, S);
    }
    return true;
}

// Deletes the block's whole lines one call each, keeping Pos on its text, up to the
// first line that is not whole. The host never removes the text's last line: it
// empties it and drops its selection, and the pass ends there. False when the host
// refused a call.
bool DeleteWholeLines(int Line, int TotalLines, TCursorPos& Pos) {
    EditorGetString egs;
    while (Line < TotalLines) {
        if (!ReadLine(Line, egs)) return false;
        if (egs.SelStart < 0) break;
        if (egs.SelStart != 0 || egs.SelEnd != -1) {
            if (Line == INT_MAX) break;
            ++Line;
            continue;
        }
        if (!PlaceCursor(0, Line) || !EditorControl(ECTL_DELETESTRING, nullptr)) return false;
        if (Line == Pos.Line)
            Pos.Pos = 0;
        else if (Line < Pos.Line)
            --Pos.Line;
        if (Line == TotalLines - 1) break;
        --TotalLines;
    }
    return true;
}

// Deletes what is left of the block in its first line and, when the block goes on
// through that line's break, joins the next line and deletes its share. How much
// of the next line goes is read before the join: the host shifts the joined part's
// selection by the line's length, not by the join column. False when the host
// refused a call.
bool DeletePartialLines(int Line, TCursorPos& Pos) {
    EditorInfo ei;
    EditorGetString egs;
    if (!GetEditorInfo(ei)) return false;
    if (Line >= ei.TotalLines) return true;
    if (!ReadLine(Line, egs)) return false;
    if (egs.SelStart < 0) return true;
    int S, To;
    SelectedBytes(egs, S, To);
    const bool ThroughBreak = egs.SelEnd == -1;
    if (!PlaceCursor(S, Line) || !DeleteChars(To - S, Pos, Line, S)) return false;
    if (!ThroughBreak) return true;

    // The break of the text's last line does not exist: nothing to join.
    int Share = 0, ShareAt = 0;
    const bool HasNext = Line < INT_MAX && Line + 1 < ei.TotalLines;
    if (HasNext) {
        if (!ReadLine(Line + 1, egs)) return false;
        if (egs.SelStart >= 0) {
            int From;
            SelectedBytes(egs, From, To);
            ShareAt = From;
            Share = To - From;
        }
    }
    if (Line == Pos.Line) {
        if (Pos.Pos > S) Pos.Pos = S;
    } else if (HasNext && Line < Pos.Line) {
        --Pos.Line;
        if (Pos.Line == Line) Pos.Pos = ClampToInt(static_cast<long long>(Pos.Pos) + S);
    }
    if (!HasNext) return true;
    if (!EditorControl(ECTL_DELETECHAR, nullptr)) return false;
    const int At = ClampToInt(static_cast<long long>(S) + ShareAt);
    if (Share > 0 && ShareAt > 0 && !PlaceCursor(At, Line)) return false;
    return DeleteChars(Share, Pos, Line, At);
}

// Deletes the block, keeping Pos on the same text, and leaves nothing selected;
// false when there was no block or the host refused a call before the whole block
// was gone.
bool DeleteBlockAndFollow(TCursorPos& Pos) {
    EditorInfo ei;
    TBlockExtent Block;
    // Expanded first, so that a line whose selection starts on a tab is still whole;
    // Pos stays on its character.
    if (!ExpandBlock(Block, &Pos) || !GetEditorInfo(ei) || ei.BlockType != BTYPE_STREAM)
        return false;
    // The first line of what is left of the block stays at the block's first line:
    // whole lines before it are gone, partial lines are never removed.
    const int First = ei.BlockStartLine;
    const bool Done = DeleteWholeLines(First, ei.TotalLines, Pos) && DeletePartialLines(First, Pos);
    // What is still selected holds nothing (or, after a refused call, is no block the
    // user made): a later block command must not act on it.
    if (Done) {
        EditorSelect es;
        memset(&es, 0, sizeof es);
        es.BlockType = BTYPE_NONE;
        EditorControl(ECTL_SELECT, &es);
    }
    SetCursorPos(Pos.Pos, Pos.Line);
    return Done;
}

}  // namespace

// Frees what Text owns and leaves it empty.
void ReleaseBlockText(TBlockText& Text) {
    FreeBytes(Text.Bytes);
    FreeBytes(Text.Breaks);
    Text = TBlockText{};
}

namespace {

// Appends a piece of Count bytes (NULs included) and, when Break, a line break behind
// it; false when memory ran out or the text would outgrow an int.
bool AppendPiece(TBlockText& Text, int& Capacity, int& BreakCapacity, const char* Piece, int Count,
                 bool Break) {
    const long long Needed = static_cast<long long>(Text.Length) + Count + 1;
    if (Needed > INT_MAX - kBlockTextChunk) return false;
    if (!Text.Bytes || Needed > Capacity) {
        const int Bigger = static_cast<int>(Needed) + kBlockTextChunk;
        char* Bytes = static_cast<char*>(ResizeBytes(Text.Bytes, static_cast<size_t>(Bigger)));
        if (!Bytes) return false;
        Text.Bytes = Bytes;
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
    if (Count) memcpy(Text.Bytes + Text.Length, Piece, static_cast<size_t>(Count));
    Text.Length += Count;
    Text.Bytes[Text.Length] = 0;
    if (Break) Text.Breaks[Text.BreakCount++] = Text.Length;
    return true;
}

// Gathers the block's pieces (see GetBlockText) in one pass over its lines, which it
// tab-expands keeping the block where it was, and tells where the block lies.
bool GatherBlock(TBlockText& Text, TBlockExtent* Extent) {
    Text = TBlockText{};
    EditorInfo ei;
    if (!GetEditorInfo(ei) || ei.BlockType != BTYPE_STREAM) return false;
    int Line = ei.BlockStartLine;
    int Capacity = 0, BreakCapacity = 0;
    EditorGetString egs;
    TBlockExtent Block = {Line, 0, Line, 0};
    bool Moved = false;
    while (Line < ei.TotalLines) {
        if (!ReadBlockLine(Line, ei.TabSize, egs, Moved)) {
            ReleaseBlockText(Text);
            return false;
        }
        if (egs.SelStart < 0) break;
        if (Line == Block.StartLine) Block.StartPos = egs.SelStart;
        int From, To;
        SelectedBytes(egs, From, To);
        const bool ThroughBreak = egs.SelEnd == -1;
        Block.EndLine = ThroughBreak ? ClampToInt(static_cast<long long>(Line) + 1) : Line;
        Block.EndPos = ThroughBreak ? 0 : egs.SelEnd;
        if (!AppendPiece(Text, Capacity, BreakCapacity, egs.StringText + From, To - From,
                         ThroughBreak)) {
            ReleaseBlockText(Text);
            return false;
        }
        if (Line == INT_MAX) break;
        ++Line;
    }
    if (Moved) SelectBlock(Block);
    if (Extent) *Extent = Block;
    return Text.Bytes != nullptr;
}

// The cursor line cut at the insertion point: what goes before the first piece
// and what follows the last.
struct TInsertPlan {
    const char* Head;  // the cursor line's bytes before the insertion point
    int HeadLength;
    int Pad;           // blanks between the line's end and a cursor beyond it
    const char* Tail;  // the cursor line's bytes from the insertion point on
    int TailLength;
    const char* Eol;  // the cursor line's end, which the line holding the tail keeps
};

// Writes line Line as one piece, behind the plan's head when First, and followed by
// the plan's tail when WithTail, with the line end Eol.
bool WritePiece(int Line, const TInsertPlan& Plan, bool First, const char* Piece, int PieceLength,
                bool WithTail, const char* Eol) {
    const long long HeadPart = First ? static_cast<long long>(Plan.HeadLength) + Plan.Pad : 0;
    const int TailLength = WithTail ? Plan.TailLength : 0;
    const long long Total = HeadPart + PieceLength + TailLength;
    if (Total > INT_MAX) return false;
    char* Bytes = static_cast<char*>(AllocBytes(static_cast<size_t>(Total) + 1));
    if (!Bytes) return false;
    char* At = Bytes;
    if (First) {
        if (Plan.HeadLength) memcpy(At, Plan.Head, static_cast<size_t>(Plan.HeadLength));
        memset(At + Plan.HeadLength, ' ', static_cast<size_t>(Plan.Pad));
        At += Plan.HeadLength + Plan.Pad;
    }
    if (PieceLength) memcpy(At, Piece, static_cast<size_t>(PieceLength));
    if (TailLength) memcpy(At + PieceLength, Plan.Tail, static_cast<size_t>(TailLength));
    Bytes[Total] = 0;
    const bool Done = WriteLine(Line, Bytes, static_cast<int>(Total), Eol);
    FreeBytes(Bytes);
    return Done;
}

// Whether the line that holds a piece and the plan's tail would end in a carriage
// return or line feed without a line end of its own: the host would take that byte
// as the line's end.
bool EndsInBreakByte(const TInsertPlan& Plan, bool First, const char* Piece, int PieceLength) {
    if (*Plan.Eol) return false;
    char Last = 0;
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
// line end (the text's last) whose bytes would then end in a carriage return or line
// feed, the line breaks first and the piece goes into the line the break has ended,
// with that line end: written the other way, the byte would become a line end.
bool WritePieceAndBreak(int Line, const TInsertPlan& Plan, bool First, const char* Piece,
                        int PieceLength, int EndColumn) {
    if (!EndsInBreakByte(Plan, First, Piece, PieceLength)) {
        return WritePiece(Line, Plan, First, Piece, PieceLength, true, Plan.Eol) &&
               PlaceCursor(EndColumn, Line) && EditorControl(ECTL_INSERTSTRING, nullptr);
    }
    EditorGetString egs;
    if (!PlaceCursor(First ? Plan.HeadLength : 0, Line) ||
        !EditorControl(ECTL_INSERTSTRING, nullptr) || !ReadRawLine(Line, egs))
        return false;
    char* Eol = CopyString(egs.StringEOL);
    const bool Done = Eol && WritePiece(Line, Plan, First, Piece, PieceLength, false, Eol);
    FreeBytes(Eol);
    return Done;
}

// Inserts the pieces at Pos, the host's cursor, breaking lines where the text has
// breaks, and leaves the cursor behind them; Inserted tells where they went. Byte for
// byte, whatever the editor's modes: each piece is written into the line that holds
// the rest of the cursor line, which is then split behind it. False when memory or
// the host failed: the first pieces are in then, and the cursor line's bytes are whole.
bool InsertPieces(TCursorPos Pos, const TBlockText& Text, TBlockExtent& Inserted) {
    if (!EditorControl || !Text.Bytes || Text.Length + Text.BreakCount <= 0 || Pos.Line < 0 ||
        Pos.Pos < 0)
        return false;
    EditorGetString egs;
    if (!ReadRawLine(Pos.Line, egs)) return false;
    const int Len = egs.StringLength;
    const int Split = Pos.Pos < Len ? Pos.Pos : Len;
    // The host's copy of the line does not survive the first split.
    char* Line = CopyBytes(egs.StringText, Len);
    char* Eol = CopyString(egs.StringEOL);
    if (!Line || !Eol) {
        FreeBytes(Line);
        FreeBytes(Eol);
        return false;
    }
    const TInsertPlan Plan = {Line, Split, Pos.Pos - Split, Line + Split, Len - Split, Eol};

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
                    WritePiece(LineNo, Plan, First, Text.Bytes + From, To - From, true, Plan.Eol);
            break;
        }
        // Text that ends with a break ends at column 0 of the line after it.
        Done = LineNo < INT_MAX &&
               WritePieceAndBreak(LineNo, Plan, First, Text.Bytes + From, To - From, Column);
        if (!Done) break;
        ++LineNo;
        Column = 0;
    }
    FreeBytes(Eol);
    FreeBytes(Line);
    if (!Done) return false;
    Inserted = {Pos.Line, Pos.Pos, LineNo, Column};
    SetCursorPos(Column, LineNo);
    return true;
}

// (Line, Pos), a place behind the cursor At, as it stands after Copy went in at At.
void ShiftBehindCopy(int& Line, int& Pos, TCursorPos At, const TBlockExtent& Copy) {
    if (Line == At.Line) {
        Line = Copy.EndLine;
        Pos = ClampToInt(static_cast<long long>(Copy.EndPos) + Pos - At.Pos);
    } else {
        Line = ClampToInt(static_cast<long long>(Line) + Copy.EndLine - Copy.StartLine);
    }
}

// Moves the gathered block (Block, its Text) to Pos, which lies before or behind it,
// and selects it there. The copy goes in first and the block goes after it: a host
// that refuses a call on the way leaves every byte of the block in the text, once
// or in part twice, never lost.
void MoveGatheredBlock(TCursorPos& Pos, TBlockExtent Block, const TBlockText& Text) {
    TBlockExtent Copy;
    if (!InsertPieces(Pos, Text, Copy)) return;
    const int Breaks = Copy.EndLine - Copy.StartLine;
    const int LastLength = Breaks > 0 ? Copy.EndPos : Copy.EndPos - Copy.StartPos;
    if (Precedes(Pos.Line, Pos.Pos, Block.StartLine, Block.StartPos)) {
        ShiftBehindCopy(Block.StartLine, Block.StartPos, Pos, Copy);
        ShiftBehindCopy(Block.EndLine, Block.EndPos, Pos, Copy);
    }
    SelectBlock(Block);
    // The copy's start follows the deletion as the cursor would.
    TCursorPos Start = {Copy.StartPos, Copy.StartLine};
    if (!DeleteBlockAndFollow(Start)) return;
    Copy.StartLine = Start.Line;
    Copy.StartPos = Start.Pos;
    Copy.EndLine = ClampToInt(static_cast<long long>(Start.Line) + Breaks);
    Copy.EndPos =
        Breaks > 0 ? LastLength : ClampToInt(static_cast<long long>(Start.Pos) + LastLength);
    SelectBlock(Copy);
    SetCursorPos(Copy.EndPos, Copy.EndLine);
    Pos.Pos = Copy.EndPos;
    Pos.Line = Copy.EndLine;
}

}  // namespace

// Gathers the block's pieces, every byte of them, with a line break behind each piece
// selected through its line break (also the text's last line, whose break the copy
// then adds). False (Text empty) with no block, when memory runs out, or when a line
// of the text cannot be read (a move would lose the rest of the block).
bool GetBlockText(TBlockText& Text) {
    return GatherBlock(Text, nullptr);
}

// Inserts the pieces at Pos, the host's cursor, selects them and leaves the cursor
// behind them.
void InsertBlockText(TCursorPos Pos, const TBlockText& Text) {
    TBlockExtent Inserted;
    if (InsertPieces(Pos, Text, Inserted)) SelectBlock(Inserted);
}

// Deletes the stream block and leaves the cursor at Pos, moved to stay on the
// same text (a cursor inside the block goes to the block's start).
void DeleteBlock(TCursorPos& Pos) {
    DeleteBlockAndFollow(Pos);
}

// Inserts a copy of the block at the cursor and selects it.
void CopyBlock(TCursorPos Pos) {
    TBlockText Text;
    // Reading the block expanded its lines; the cursor's index may have moved with
    // them. A cursor the host cannot report ends the copy.
    if (GetBlockText(Text) && GetCursorPos(Pos)) InsertBlockText(Pos, Text);
    ReleaseBlockText(Text);
}

// Moves the block to the cursor, where it stays selected; the text reads as if the
// block had been deleted and then inserted where the cursor's text stood. A cursor
// inside the block or right behind it would put the text back where it was: the
// text then stays as it is, byte for byte (line ends and the missing break of the
// text's last line included), and only the cursor goes behind the block.
void MoveBlock(TCursorPos& Pos) {
    TBlockText Text;
    TBlockExtent Block;
    if (GatherBlock(Text, &Block) && Text.Length + Text.BreakCount > 0 && GetCursorPos(Pos)) {
        const bool Before = Precedes(Pos.Line, Pos.Pos, Block.StartLine, Block.StartPos);
        const bool After = Precedes(Block.EndLine, Block.EndPos, Pos.Line, Pos.Pos);
        if (Before || After) {
            MoveGatheredBlock(Pos, Block, Text);
        } else {
            EditorInfo ei;
            EditorGetString egs;
            if (GetEditorInfo(ei) && Block.EndLine >= ei.TotalLines) {
                // Behind a block through the text's last line: that line's end.
                if (ReadLine(ei.TotalLines - 1, egs))
                    SetCursorPos(egs.StringLength, ei.TotalLines - 1);
            } else {
                SetCursorPos(Block.EndPos, Block.EndLine);
            }
            GetCursorPos(Pos);
        }
    }
    ReleaseBlockText(Text);
}

// Cuts the line at the cursor: the bytes before it stay, NULs included; the line
// break, the following lines and a block over the line stay too.
void DeleteToLineEnd(TCursorPos Pos) {
    EditorGetString egs;
    // A stale column would cut text that stands before the cursor.
    if (!ReadLine(Pos.Line, egs) || !RefreshCursorColumn(Pos)) return;
    if (Pos.Pos < 0) return;
    const int N = Pos.Pos < egs.StringLength ? Pos.Pos : egs.StringLength;
    ReplaceInLine(Pos.Line, N, egs.StringLength - N, "", 0);
}

}  // namespace tarvik
