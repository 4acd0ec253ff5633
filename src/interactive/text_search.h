// Finding text forward from a position, with the search's case rule.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// True for a window that shows its text in the ANSI code page (no host table).
bool ShowsAnsiText(const EditorInfo& Ei);
bool FindNext(TGlobalVars* State, const char* Text, TCursorPos Start);
bool FindText(TGlobalVars* State, const char* Text, TCursorPos Start, TCursorPos& Hit);
bool EscapePressed();

}  // namespace tarvik
