// Finding a text forward from a position, line by line to the end of the file, in the
// window's own code page, with the search's case rule: a small letter matches its
// small and capital forms, every other character only itself. Text that spans a line
// break is not found, and the search does not wrap to the top.
#pragma once

#include "ground/globals.h"

namespace tarvik {

// FindText, then the cursor on the first character of the hit, nothing selected.
bool FindNext(TGlobalVars* State, const TChar* Text, TCursorPos Start);

// The first occurrence of Text (as typed) at or after Start; the cursor, the view and
// the screen are as before, and Hit is written only when found. While it scans, a box
// stands and the keyboard is polled for Esc, which ends the scan with nothing found;
// never while a replay of State's recording is still arriving.
bool FindText(TGlobalVars* State, const TChar* Text, TCursorPos Start, TCursorPos& Hit);

// Reads every waiting console event up to the first Esc press; true when there was one.
// The events read are gone.
bool EscapePressed();

}  // namespace tarvik
