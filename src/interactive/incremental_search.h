// The incremental search: Ctrl+Shift+S takes over the keyboard; every printable key
// extends the search text and the cursor jumps to the next place, at or after the
// current hit, where the longer text occurs, with the found characters selected.
// Backspace steps back, Ctrl+L finds the next occurrence, any other key ends the
// search behind the hit. The prompt stands over the bottom screen line meanwhile.
#pragma once

#include "ground/globals.h"

namespace tarvik {

// The modal search from Start (the cursor): reads keys until one ends it, then leaves
// the cursor behind the last hit, nothing selected, and the window's SearchText
// holding the text found last.
void IncrementalSearch(TGlobalVars* State, TCursorPos Start);

// Cursor to hit-stack entry K (where the first K characters were found) and those K
// characters selected.
void SelectSearchHit(const TCursorPos* Stack, int K);

}  // namespace tarvik
