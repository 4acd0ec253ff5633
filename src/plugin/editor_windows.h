// What the entry points do for the editor's windows, whatever the host: a record for
// each window with its initial mode, the menu item that switches a window's bindings,
// and its text.
#pragma once

#include "ground/text.h"

namespace tarvik {

// Gives the current window its record and initial Mode (the choice remembered for its
// file, else what its text says) at its first read or redraw; a window that has one
// keeps it.
void AttachCurrentEditor();

// Flips the current window's bindings (undecided and off go on, on goes off) and
// remembers the choice for its file when SaveFileType allows.
void ToggleCurrentEditor();

// The menu item's text for the current window ("turn off" while its bindings are on,
// "turn on" otherwise), kept alive until the next call; null when the window has no
// record.
const TChar* CurrentMenuText();

// Frees the menu texts; at unload.
void ReleaseMenuTexts();

}  // namespace tarvik
