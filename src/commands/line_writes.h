// Writing the text byte for byte. The host types the bytes of ECTL_INSERTTEXT as
// keys (a carriage return breaks the line, a backspace byte deletes, overtype
// overwrites, a code table converts, a selection may be deleted first), so every
// change the commands make goes through ECTL_SETSTRING of a whole line, with the
// line's own line end passed back. That call drops the line's selection; the
// helpers here put a block over the line back where it was.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// A stream block as ECTL_SELECT makes it: from (StartPos, StartLine) up to, not
// including, (EndPos, EndLine). A block through the line break of line L ends at
// (0, L + 1), also when L is the text's last line, whose break does not exist.
struct TBlockExtent {
    int StartLine;
    int StartPos;
    int EndLine;
    int EndPos;
};

// Reads line Line as stored (tabs and all); false when it cannot be read.
bool ReadRawLine(int Line, EditorGetString& egs);

// Column of byte Pos of a line (Length bytes of Text) once its tabs are blanks up
// to the next multiple of TabSize; a position beyond the line's end keeps its
// distance from it.
int ExpandedColumn(const char* Text, int Length, int Pos, int TabSize);

// Reads line Line for a block command: expands its tabs (a lasting change) and
// gives its selection in the expanded line's columns, where it stood before. The
// host moves a selection that starts on a tab behind the blanks that replace it,
// which would drop the tab's blanks from the block: Moved is set when the host's
// own selection of the line no longer matches egs, and the block must be selected
// again. Follow, when given, is a column of the line taken through the expansion
// too (the cursor's, which then stays on its character). False when the line cannot
// be read.
bool ReadBlockLine(int Line, int TabSize, EditorGetString& egs, bool& Moved, int* Follow = nullptr);

// Expands the tabs of every line of the stream block (and of the line that ends it)
// and keeps the block where it was (see ReadBlockLine); Block is its extent
// afterwards, and Cursor, when given, stays on its character. False when there is no
// block or a line of it cannot be read.
bool ExpandBlock(TBlockExtent& Block, TCursorPos* Cursor = nullptr);

// Reads the stream block from the lines' own selection, without expanding tabs;
// false when there is none (no selection, a column block, or a block start whose
// line is not selected).
bool ReadBlockExtent(TBlockExtent& Block);

// Selects Block. The host reports 0 for a block that reaches the text's last line
// although it made the selection, so the result is not looked at.
void SelectBlock(const TBlockExtent& Block);

// Column Col of a line whose bytes [At, At + Removed) gave way to Inserted bytes:
// a column behind them moves with the text, a column at At stays (inserted bytes
// land behind it), and one within the removed bytes goes to At unless as many
// bytes came in as went (a change in place, which moves nothing).
int MapColumn(int Col, int At, int Removed, int Inserted);

// Writes Length bytes of Text (NULs allowed) as line Line with the line end Eol;
// false when the host refused. Eol may point into the host's own copy of the line.
bool WriteLine(int Line, const char* Text, int Length, const char* Eol);

// Writes the line read as egs (StringText still valid) with its bytes
// [At, At + Removed) replaced by the Count bytes of Insert, padded with blanks up
// to At first, keeping its line end. The line's selection is not put back.
bool WriteSplice(int Line, const EditorGetString& egs, int At, int Removed, const char* Insert,
                 int Count);

// Replaces the bytes [At, At + Removed) of line Line by the
// Count bytes of Insert, padding the line with blanks up to At first. The line's
// end, every other byte and a block over the line stay. False when memory or the
// host failed; nothing has changed then.
bool ReplaceInLine(int Line, int At, int Removed, const char* Insert, int Count);

// ReplaceInLine inserting Count blanks at At.
bool InsertBlanksAt(int Line, int At, int Count);

}  // namespace tarvik
