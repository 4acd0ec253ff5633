#include "commands/indent_case.h"

#include <climits>

#include "commands/block_marking.h"
#include "commands/edit_helpers.h"
#include "commands/line_writes.h"
#include "commands/primitives.h"
#include "plugin/memory.h"

namespace tarvik {

namespace {

// Writes line Line (read as egs) back with bytes From..To-1 converted; every byte
// and the line's end are kept.
bool ConvertLine(const EditorGetString& egs, int Line, int From, int To, TCaseConvert Convert) {
    const int Len = egs.StringLength;
    char* Copy = CopyBytes(egs.StringText, Len);
    if (!Copy) return false;
    for (int I = From; I < To && I < Len; ++I)
        Copy[I] = static_cast<char>(Convert(static_cast<unsigned char>(Copy[I])));
    const bool Done = WriteLine(Line, Copy, Len, egs.StringEOL);
    FreeBytes(Copy);
    return Done;
}

// Takes line Line (read as egs) into the block's extent: the first line sets its
// start, every line its end.
void TakeIntoBlock(TBlockExtent& Block, bool First, int Line, const EditorGetString& egs) {
    if (First) {
        Block.StartLine = Line;
        Block.StartPos = egs.SelStart;
    }
    Block.EndLine = egs.SelEnd == -1 ? ClampToInt(static_cast<long long>(Line) + 1) : Line;
    Block.EndPos = egs.SelEnd == -1 ? 0 : egs.SelEnd;
}

// Where a block line's expansion moves the cursor's column: on the cursor's line, so
// that the cursor comes back to its character's column.
int* CursorColumnOn(int Line, TCursorPos& Pos) {
    return Line == Pos.Line ? &Pos.Pos : nullptr;
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
// character or line break (a start beyond the line's end is reached with blanks),
// selects the block again as it now stands, then returns the cursor to Pos.
void IndentBlock(TCursorPos Pos) {
    EditorInfo ei;
    if (!GetEditorInfo(ei) || ei.BlockType != BTYPE_STREAM) return;
    TBlockExtent Block;
    bool Any = false, Moved = false;
    EditorGetString egs;
    for (int Line = ei.BlockStartLine; Line >= 0 && Line < ei.TotalLines; ++Line) {
        if (!ReadBlockLine(Line, ei.TabSize, egs, Moved, CursorColumnOn(Line, Pos))) break;
        if (egs.SelStart < 0) break;
        TakeIntoBlock(Block, !Any, Line, egs);
        Any = true;
        if (egs.SelEnd == 0) continue;
        if (!WriteSplice(Line, egs, egs.SelStart, 0, " ", 1)) break;
        if (egs.SelEnd != -1) Block.EndPos = MapColumn(egs.SelEnd, egs.SelStart, 0, 1);
    }
    // The host drops the selection of every line it is given whole.
    if (Any) SelectBlock(Block);
    SetCursorPos(Pos.Pos, Pos.Line);
}

// Takes one blank away at the selection start of every block line that has one
// there, then returns the cursor to Pos.
void UnindentBlock(TCursorPos Pos) {
    EditorInfo ei;
    if (!GetEditorInfo(ei) || ei.BlockType != BTYPE_STREAM) return;
    TBlockExtent Block;
    bool Any = false, Moved = false;
    EditorGetString egs;
    for (int Line = ei.BlockStartLine; Line >= 0 && Line < ei.TotalLines; ++Line) {
        if (!ReadBlockLine(Line, ei.TabSize, egs, Moved, CursorColumnOn(Line, Pos))) break;
        if (egs.SelStart < 0) break;
        TakeIntoBlock(Block, !Any, Line, egs);
        Any = true;
        if (egs.SelEnd != 0 && egs.SelStart < egs.StringLength &&
            egs.StringText[egs.SelStart] == ' ') {
            if (!PlaceCursor(egs.SelStart, Line) || !EditorControl(ECTL_DELETECHAR, nullptr)) break;
            if (egs.SelEnd != -1) Block.EndPos = MapColumn(egs.SelEnd, egs.SelStart, 1, 0);
        }
    }
    // The host moves the selection with each deleted blank, but not a start it had
    // moved off a tab: only then is the block selected again.
    if (Any && Moved) SelectBlock(Block);
    SetCursorPos(Pos.Pos, Pos.Line);
}

// Converts the letters of the block line by line; the cursor stays and the block
// is selected again as it was.
void ConvertBlockCase(TCaseConvert Convert) {
    EditorInfo ei;
    if (!Convert || !GetEditorInfo(ei) || ei.BlockType != BTYPE_STREAM) return;
    TBlockExtent Block;
    bool Any = false, Moved = false;
    EditorGetString egs;
    for (int Line = ei.BlockStartLine; Line >= 0 && Line < ei.TotalLines; ++Line) {
        if (!ReadBlockLine(Line, ei.TabSize, egs, Moved)) break;
        if (!egs.StringText) continue;
        if (egs.SelStart < 0) break;
        TakeIntoBlock(Block, !Any, Line, egs);
        Any = true;
        int From, To;
        SelectedBytes(egs, From, To);
        if (!ConvertLine(egs, Line, From, To, Convert)) break;
    }
    if (Any) SelectBlock(Block);
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
    const int N = Last - From + 1;
    char* Word = CopyBytes(Text + From, N);
    if (!Word) return;
    for (int I = 0; I < N; ++I)
        Word[I] = static_cast<char>(Convert(static_cast<unsigned char>(Word[I])));
    ReplaceInLine(Pos.Line, From, N, Word, N);
    FreeBytes(Word);
}

}  // namespace tarvik
