// Jumping between matching brackets and equal delimiters.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

void MatchPairForward(TCursorPos Cursor);
void MatchPairBackward(TCursorPos Cursor);

}  // namespace tarvik
