#include "commands/block_transfer.h"

#include <climits>
#include <cstring>

#include "commands/edit_helpers.h"
#include "commands/primitives.h"
#include "plugin/memory.h"

namespace tarvik {

namespace {

const int kBlockTextChunk = 1024;

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

// Deletes the block's whole lines one call each, keeping Pos on its text. The
// text's last remaining line is never deleted (the host cannot remove it): it is
// left for the character pass. False when the host refused a call, a read of a
// line that exists included.
bool DeleteWholeLines(int Line, int TotalLines, TCursorPos& Pos) {
    EditorGetString egs;
    for (;;) {
        if (!ReadLine(Line, egs)) return Line >= TotalLines;
        if (egs.SelStart < 0) break;
        // The line without a break (the text's last) is never whole: its bytes go in
        // the character pass and the line stays, as the block holds no break for it.
        const bool Whole =
            egs.SelStart == 0 && egs.SelEnd == -1 && egs.StringEOL && egs.StringEOL[0];
        if (Whole && TotalLines > 1) {
            if (!PlaceCursor(0, Line) || !EditorControl(ECTL_DELETESTRING, nullptr)) return false;
            --TotalLines;
            if (Line == Pos.Line)
                Pos.Pos = 0;
            else if (Line < Pos.Line)
                --Pos.Line;
        } else {
            if (Line == INT_MAX) break;
            ++Line;
        }
    }
    return true;
}

// Deletes what is left of the block in its first line and, when the block goes
// on through that line's break, joins the next line and deletes its share.
bool DeletePartialLines(TCursorPos& Pos) {
    // A failed read is told apart from a block already gone: a move must not
    // insert the block again while part of it still stands.
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei)) return false;
    if (ei.BlockType != BTYPE_STREAM) return true;
    const int Line = ei.BlockStartLine;
    EditorGetString egs;
    memset(&egs, 0, sizeof egs);
    egs.StringNumber = Line;
    if (!EditorControl(ECTL_GETSTRING, &egs)) return false;
    if (egs.SelStart < 0) return true;
    if (!egs.StringText) egs.StringLength = 0;
    int S, To;
    bool ThroughEnd;
    SelectedSpan(egs, S, To, ThroughEnd);
    if (!PlaceCursor(S, Line) || !DeleteChars(To - S, Pos, Line, S)) return false;
    if (!ThroughEnd) return true;

    if (Line == Pos.Line) {
        if (Pos.Pos > S) Pos.Pos = S;
    } else if (Line < Pos.Line) {
        --Pos.Line;
        if (Pos.Line == Line) Pos.Pos = ClampToInt(static_cast<long long>(Pos.Pos) + S);
    }
    if (!EditorControl(ECTL_DELETECHAR, nullptr)) return false;

    memset(&egs, 0, sizeof egs);
    egs.StringNumber = Line;
    if (!EditorControl(ECTL_GETSTRING, &egs)) return false;
    if (egs.SelStart < 0) return true;
    if (!egs.StringText) egs.StringLength = 0;
    SelectedSpan(egs, S, To, ThroughEnd);
    return DeleteChars(To - S, Pos, Line, S);
}

// Deletes the block, keeping Pos on the same text; false when there was no block
// or the host refused a call before the whole block was gone.
bool DeleteBlockAndFollow(TCursorPos& Pos) {
    if (!EditorControl) return false;
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei) || ei.BlockType != BTYPE_STREAM) return false;
    const bool Done =
        DeleteWholeLines(ei.BlockStartLine, ei.TotalLines, Pos) && DeletePartialLines(Pos);
    SetCursorPos(Pos.Pos, Pos.Line);
    return Done;
}

}  // namespace

// Gathers the block's pieces, a NUL after each piece selected through its line
// break and one uncounted NUL at the end. Null (Length 0) with no block, when
// memory runs out, when a line of the text cannot be read (a move would lose the
// rest of the block), or when a piece holds a NUL byte, which the buffer's
// separators and the host's NUL-terminated insertion could not carry.
char* GetBlockText(int& Length) {
    Length = 0;
    if (!EditorControl) return nullptr;
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei) || ei.BlockType != BTYPE_STREAM) return nullptr;
    int Line = ei.BlockStartLine;
    size_t Capacity = kBlockTextChunk;
    char* Buffer = static_cast<char*>(AllocBytes(Capacity));
    if (!Buffer) return nullptr;
    size_t Used = 0;
    EditorGetString egs;
    for (;;) {
        if (!ReadLine(Line, egs)) {
            if (Line >= ei.TotalLines) break;
            FreeBytes(Buffer);
            return nullptr;
        }
        if (egs.SelStart < 0) break;
        int From, To;
        bool ThroughEnd;
        SelectedSpan(egs, From, To, ThroughEnd);
        const size_t Piece = static_cast<size_t>(To - From);
        const size_t NewLength = Used + Piece + (ThroughEnd ? 1 : 0);
        if ((Piece && memchr(egs.StringText + From, 0, Piece)) ||
            NewLength >= static_cast<size_t>(INT_MAX) - kBlockTextChunk) {
            FreeBytes(Buffer);
            return nullptr;
        }
        if (NewLength >= Capacity) {
            Capacity = NewLength + kBlockTextChunk;
            char* Bigger = static_cast<char*>(ResizeBytes(Buffer, Capacity));
            if (!Bigger) {
                FreeBytes(Buffer);
                return nullptr;
            }
            Buffer = Bigger;
        }
        if (Piece) memcpy(Buffer + Used, egs.StringText + From, Piece);
        if (ThroughEnd) Buffer[Used + Piece] = 0;
        Used = NewLength;
        if (Line == INT_MAX) break;
        ++Line;
    }
    Buffer[Used] = 0;
    Length = static_cast<int>(Used);
    return Buffer;
}

// Inserts the pieces at the host's cursor, which stands at Pos, breaking lines at
// the separators, and selects what went in.
void InsertBlockText(TCursorPos Pos, const char* Text, int Length) {
    if (!EditorControl || !Text) return;
    int I = 0;
    int Lines = 1;
    int LastLength = 0;
    while (I < Length) {
        if (Text[I] == 0) {
            if (!EditorControl(ECTL_INSERTSTRING, nullptr)) return;
            ++Lines;
            LastLength = 0;
            ++I;
        } else {
            int Piece = 0;
            while (I + Piece < Length && Text[I + Piece]) ++Piece;
            if (!EditorControl(ECTL_INSERTTEXT, const_cast<char*>(Text + I))) return;
            LastLength = Piece;
            I += Piece;
        }
    }
    const long long EndColumn =
        Lines > 1 ? LastLength : static_cast<long long>(Pos.Pos) + LastLength;
    EditorSelect es;
    es.BlockType = BTYPE_STREAM;
    es.BlockStartLine = Pos.Line;
    es.BlockStartPos = Pos.Pos;
    es.BlockWidth = ClampToInt(EndColumn - Pos.Pos);
    es.BlockHeight = Lines;
    EditorControl(ECTL_SELECT, &es);
}

// Deletes the stream block and leaves the cursor at Pos, moved to stay on the
// same text (a cursor inside the block goes to the block's start).
void DeleteBlock(TCursorPos& Pos) {
    DeleteBlockAndFollow(Pos);
}

// Inserts a copy of the block at the cursor and selects it.
void CopyBlock(TCursorPos Pos) {
    int Length;
    char* Buffer = GetBlockText(Length);
    if (Buffer && Length > 0) {
        // Reading the block expanded its lines; the cursor's index may have moved with
        // them. A cursor the host cannot report ends the copy.
        if (GetCursorPos(Pos)) InsertBlockText(Pos, Buffer, Length);
    }
    FreeBytes(Buffer);
}

// Moves the block to the cursor: deletes it, then inserts it where the cursor's
// text now stands, selected.
void MoveBlock(TCursorPos& Pos) {
    int Length;
    char* Buffer = GetBlockText(Length);
    if (Buffer && Length > 0) {
        if (GetCursorPos(Pos) && DeleteBlockAndFollow(Pos)) InsertBlockText(Pos, Buffer, Length);
    }
    FreeBytes(Buffer);
}

// Cuts the line at the cursor: the bytes before it stay, NULs included; the line
// break and the following lines stay too.
void DeleteToLineEnd(TCursorPos Pos) {
    EditorGetString egs;
    // A stale column would cut text that stands before the cursor.
    if (!ReadLine(Pos.Line, egs) || !RefreshCursorColumn(Pos)) return;
    if (Pos.Pos < 0) return;
    const int N = Pos.Pos < egs.StringLength ? Pos.Pos : egs.StringLength;
    char* Text = CopyBytes(egs.StringText, N);
    char* Eol = egs.StringEOL ? CopyString(egs.StringEOL) : nullptr;
    if (Text && (Eol || !egs.StringEOL)) {
        EditorSetString ess;
        ess.StringNumber = Pos.Line;
        ess.StringText = Text;
        ess.StringEOL = Eol;
        ess.StringLength = N;
        EditorControl(ECTL_SETSTRING, &ess);
    }
    FreeBytes(Text);
    FreeBytes(Eol);
}

}  // namespace tarvik
