// Jumping between matching brackets, and between equal delimiters: the pairs ( ) [ ]
// { } < >, counted with nesting across lines; any other unit that is no word unit is
// matched with its next (or previous) occurrence.
#pragma once

#include "ground/globals.h"

namespace tarvik {

// From an opening bracket (or a delimiter) at Cursor forward to its partner; the
// cursor stays when there is none.
void MatchPairForward(TCursorPos Cursor);

// From a closing bracket (or a delimiter) at Cursor back to its partner.
void MatchPairBackward(TCursorPos Cursor);

}  // namespace tarvik
