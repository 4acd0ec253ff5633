// Changing a line's units in place, byte for byte whatever the editor's modes. The
// host types the text of ECTL_INSERTTEXT as keys (a carriage return breaks the line,
// a backspace deletes, overtype overwrites, a code table converts, a selection may
// go first), so every change goes in as a whole line with the line's own end, and a
// block over the line is selected again where it was.
#pragma once

#include "access/editor_access.h"
#include "ground/globals.h"

namespace tarvik {

// Number of leading blanks within the first Length units of Text.
int SkipSpaces(const TChar* Text, int Length);

// The selected units of a read line as [From, To), both within 0..Length: a selection
// past the line's end stops at the units that exist.
void SelectedUnits(const TLine& L, int& From, int& To);

// Column Col of a line whose units [At, At + Removed) gave way to Inserted units: a
// column behind them moves with the text, a column at At stays (inserted units land
// behind it), and one within the removed units goes to At unless as many came in as
// went (a change in place, which moves nothing).
int MapColumn(int Col, int At, int Removed, int Inserted);

// Writes the line read as L (its text still valid) with its units [At, At + Removed)
// replaced by the Count units of Insert, padded with blanks up to At first, keeping
// its line end. The line's selection is not put back.
bool WriteSplice(int Line, const TLine& L, int At, int Removed, const TChar* Insert, int Count);

// Replaces the units [At, At + Removed) of line Line by the Count units of Insert,
// padding the line with blanks up to At first. The line's end, every other unit and
// a block over the line stay. False when memory or the host failed; nothing has
// changed then.
bool ReplaceInLine(int Line, int At, int Removed, const TChar* Insert, int Count);

// ReplaceInLine inserting Count blanks at At.
bool InsertBlanksAt(int Line, int At, int Count);

}  // namespace tarvik
