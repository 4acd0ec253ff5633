// The block's text, gathered from the host's selection and inserted at the cursor,
// every unit of it (NULs included), whatever the editor's modes.
#pragma once

#include "ground/globals.h"

namespace tarvik {

// The selected units of the block's lines back to back, and the places where line
// breaks stand between them. Piece k runs from break k - 1 (or the start) to break k
// (or the end); a block selected through its last line's break ends with an empty
// piece.
struct TBlockText {
    TChar* Units;    // Length units and an uncounted NUL; owned
    int Length;      // units in the pieces
    int* Breaks;     // BreakCount offsets into Units, ascending; owned
    int BreakCount;  // line breaks
};

// Gathers the block's text in one pass over its lines, which it tab-expands keeping
// the block where it was; Extent, when given, tells where the block lies. A line
// selected through its break gives a break, the text's last line too (a copy then
// adds it). False (Text empty) with no block, when memory runs out, or when a line of
// the text cannot be read (a move would lose the rest of the block).
bool GetBlockText(TBlockText& Text, TBlockExtent* Extent = nullptr);

// True when Text holds no unit and no break.
bool IsEmptyBlockText(const TBlockText& Text);

// Frees what Text owns and leaves it empty.
void ReleaseBlockText(TBlockText& Text);

// Inserts the pieces at Pos, the host's cursor, breaking lines at the breaks, and
// leaves the cursor behind them; Inserted tells where they went. False when memory
// or the host failed: the first pieces are in then, and the cursor line's units are
// whole.
bool InsertBlockText(TCursorPos Pos, const TBlockText& Text, TBlockExtent& Inserted);

}  // namespace tarvik
