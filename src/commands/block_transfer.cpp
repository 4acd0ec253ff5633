#include "commands/block_transfer.h"

#include "access/editor_access.h"
#include "commands/block_text.h"
#include "commands/line_edits.h"
#include "ground/characters.h"
#include "ground/memory.h"
#include "ground/numbers.h"

namespace tarvik {

namespace {

// What a deletion loop steps through, character by character: a copy of Count units
// where a character may take two of them (the host's own copy of the line goes with
// the first deletion), none for 8-bit text, where each unit is a character. False
// when the copy could not be made.
bool CopyForSteps(const TChar* Units, int Count, TChar*& Steps) {
    Steps = nullptr;
    if (!kSurrogatePairs || Count <= 0) return true;
    Steps = CopyUnits(Units, Count);
    return Steps != nullptr;
}

// Deletes Count units at the cursor (column S of Line), one character at a time as the
// host deletes them (a surrogate pair at once; Steps from CopyForSteps), keeping Pos on
// its text; false when the host refused one.
bool DeleteUnits(const TChar* Steps, int Count, TCursorPos& Pos, int Line, int S) {
    for (int I = 0; I < Count;) {
        const int Step = Steps ? CharacterUnits(Steps + I, Count - I) : 1;
        if (!DeleteChar()) return false;
        I += Step;
        if (Line == Pos.Line && Pos.Pos > S) Pos.Pos = Pos.Pos - Step < S ? S : Pos.Pos - Step;
    }
    return true;
}

// DeleteUnits for the units [From, To) of the line read as L, deleted at column S.
bool DeleteRange(const TLine& L, int From, int To, TCursorPos& Pos, int Line, int S) {
    TChar* Steps;
    if (!CopyForSteps(L.Text + From, To - From, Steps)) return false;
    const bool Done = DeleteUnits(Steps, To - From, Pos, Line, S);
    FreeBytes(Steps);
    return Done;
}

// Deletes the block's whole lines one call each, keeping Pos on its text. The host
// never removes the text's last line: it empties it and drops its selection, and the
// pass ends there. False when the host refused a call.
bool DeleteWholeLines(TBlockWalk& Walk, TCursorPos& Pos) {
    TLine L;
    int Line;
    while (NextBlockLine(Walk, L, Line)) {
        if (L.SelStart != 0 || L.SelEnd != -1) continue;
        if (!SetCursor(0, Line) || !DeleteLine()) return false;
        if (Line == Pos.Line)
            Pos.Pos = 0;
        else if (Line < Pos.Line)
            --Pos.Line;
        if (Line == Walk.TotalLines - 1) break;
        // The next line has moved up into this one.
        Walk.Line = Line;
        --Walk.TotalLines;
    }
    return !Walk.Failed;
}

// Deletes what is left of the block in its first line and, when the block goes on
// through that line's break, joins the next line and deletes its share. How much
// of the next line goes is read before the join: the host shifts the joined part's
// selection by the line's length, not by the join column. The lines are expanded
// already. False when the host refused a call.
bool DeletePartialLines(int Line, TCursorPos& Pos) {
    TEditorView View;
    TLine L;
    if (!GetEditorView(View)) return false;
    if (Line >= View.TotalLines) return true;
    if (!ReadLine(Line, L)) return false;
    if (L.SelStart < 0) return true;
    int S, To;
    SelectedUnits(L, S, To);
    const bool ThroughBreak = L.SelEnd == -1;
    if (!SetCursor(S, Line) || !DeleteRange(L, S, To, Pos, Line, S)) return false;
    if (!ThroughBreak) return true;

    // The break of the text's last line does not exist: nothing to join.
    int Share = 0, ShareAt = 0;
    TChar* ShareSteps = nullptr;
    const bool HasNext = Line + 1 < View.TotalLines;
    if (HasNext) {
        if (!ReadLine(Line + 1, L)) return false;
        if (L.SelStart >= 0) {
            int From;
            SelectedUnits(L, From, To);
            ShareAt = From;
            Share = To - From;
            if (!CopyForSteps(L.Text + From, Share, ShareSteps)) return false;
        }
    }
    if (Line == Pos.Line) {
        if (Pos.Pos > S) Pos.Pos = S;
    } else if (HasNext && Line < Pos.Line) {
        --Pos.Line;
        if (Pos.Line == Line) Pos.Pos = ClampToInt(static_cast<long long>(Pos.Pos) + S);
    }
    if (!HasNext) return true;
    const int At = ClampToInt(static_cast<long long>(S) + ShareAt);
    const bool Done = DeleteChar() && (Share <= 0 || ShareAt <= 0 || SetCursor(At, Line)) &&
                      DeleteUnits(ShareSteps, Share, Pos, Line, At);
    FreeBytes(ShareSteps);
    return Done;
}

// Deletes the block, keeping Pos on the same text, and leaves nothing selected;
// false when there was no block or the host refused a call before the whole block
// was gone.
bool DeleteBlockAndFollow(TCursorPos& Pos) {
    TBlockExtent Block;
    TBlockWalk Walk;
    // Expanded first, so that a line whose selection starts on a tab is still whole;
    // Pos stays on its unit.
    if (!ExpandBlock(Block, &Pos) || !BeginBlockWalk(Walk, true)) return false;
    // The first line of what is left of the block stays at the block's first line:
    // whole lines before it are gone, partial lines are never removed.
    const int First = Walk.Line;
    const bool Done = DeleteWholeLines(Walk, Pos) && DeletePartialLines(First, Pos);
    // What is still selected holds nothing (or, after a refused call, is no block the
    // user made): a later block command must not act on it.
    if (Done) ClearSelection();
    SetCursor(Pos.Pos, Pos.Line);
    return Done;
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
// that refuses a call on the way leaves every unit of the block in the text, once
// or in part twice, never lost.
void MoveGatheredBlock(TCursorPos Pos, TBlockExtent Block, const TBlockText& Text) {
    TBlockExtent Copy;
    if (!InsertBlockText(Pos, Text, Copy)) return;
    const int Breaks = Copy.EndLine - Copy.StartLine;
    const int LastLength = Breaks > 0 ? Copy.EndPos : Copy.EndPos - Copy.StartPos;
    if (Precedes(Pos, {Block.StartPos, Block.StartLine})) {
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
    SetCursor(Copy.EndPos, Copy.EndLine);
}

// The cursor to just behind Block, which it stood in or right behind: a block
// through the text's last line ends at that line's end.
void CursorBehindBlock(const TBlockExtent& Block) {
    TEditorView View;
    TLine L;
    if (GetEditorView(View) && Block.EndLine >= View.TotalLines) {
        if (ReadExpandedLine(View.TotalLines - 1, L)) SetCursor(L.Length, View.TotalLines - 1);
    } else {
        SetCursor(Block.EndPos, Block.EndLine);
    }
}

}  // namespace

void CopyBlock(TCursorPos Pos) {
    TBlockText Text;
    TBlockExtent Inserted;
    // Reading the block expanded its lines; the cursor's index may have moved with
    // them. A cursor the host cannot report ends the copy.
    if (GetBlockText(Text) && !IsEmptyBlockText(Text) && GetCursor(Pos) &&
        InsertBlockText(Pos, Text, Inserted))
        SelectBlock(Inserted);
    ReleaseBlockText(Text);
}

void MoveBlock(TCursorPos Pos) {
    TBlockText Text;
    TBlockExtent Block;
    if (GetBlockText(Text, &Block) && !IsEmptyBlockText(Text) && GetCursor(Pos)) {
        const TCursorPos Start = {Block.StartPos, Block.StartLine};
        const TCursorPos End = {Block.EndPos, Block.EndLine};
        if (Precedes(Pos, Start) || Precedes(End, Pos))
            MoveGatheredBlock(Pos, Block, Text);
        else
            CursorBehindBlock(Block);
    }
    ReleaseBlockText(Text);
}

void DeleteBlock(TCursorPos Pos) {
    DeleteBlockAndFollow(Pos);
}

void DeleteToLineEnd(TCursorPos Pos) {
    TLine L;
    // A stale column would cut text that stands before the cursor.
    if (!ReadExpandedLine(Pos.Line, L) || !RefreshCursorColumn(Pos)) return;
    if (Pos.Pos < 0) return;
    const int N = Pos.Pos < L.Length ? Pos.Pos : L.Length;
    ReplaceInLine(Pos.Line, N, L.Length - N, nullptr, 0);
}

}  // namespace tarvik
