// Indenting the block's lines by one blank, and the letter case of the block or of
// the word under the cursor. Every line read is tab-expanded first.
#pragma once

#include "ground/characters.h"
#include "ground/globals.h"

namespace tarvik {

// Puts one blank at the selection start of every block line that has a selected unit
// or line break (a start beyond the line's end is reached with blanks), selects the
// block again as it now stands, and returns the cursor to Pos's column (the column of
// its unit once tabs are blanks), not following the text.
void IndentBlock(TCursorPos Pos);

// Takes one blank away at the selection start of every block line that has one there,
// then returns the cursor to Pos's column, as IndentBlock does.
void UnindentBlock(TCursorPos Pos);

// Changes the case of the block's letters line by line; the cursor stays and the block
// is selected again as it was.
void ConvertBlockCase(TCaseChange Change);

// Changes the case of the letters of the word under the cursor; elsewhere nothing
// changes.
void ConvertWordCase(TCursorPos Pos, TCaseChange Change);

}  // namespace tarvik
