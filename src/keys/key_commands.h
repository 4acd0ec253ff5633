// Commands that consist of dispatcher code only: bookmarks, the search keys and
// the keys handed to the host.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// Bookmark Digit := Cursor. The screen is not redrawn.
void SetBookmark(TGlobalVars* State, int Digit, TCursorPos Cursor);

// Cursor to bookmark Digit when it is set; an unset one changes nothing.
void GotoBookmark(TGlobalVars* State, int Digit);

// F7 / Ctrl+F7: from now on the repeat keys repeat the host's own search; SearchText emptied.
void UseHostSearch(TGlobalVars* State);

// Ctrl+L after its repeat and hook steps: the host's repeat search, or the plug-in's
// SearchText looked for from one column right of the cursor. May hand a key to the host.
void RepeatSearchCtrlL(TGlobalVars* State);

// Shift+F7, with its own steps: 0 when the host is to repeat its own search, else 1
// after the plug-in's repeat. Event may be handed to the host (repeat count).
int RepeatSearchShiftF7(TGlobalVars* State, INPUT_RECORD* Event);

// Ctrl+Q F: the host's search (F7). Ctrl+Q A: the host's replace (Ctrl+F7).
void HostFind();
void HostReplace();

}  // namespace tarvik
