// The bound procedures that are the key map's own: the two prefixes, bookmarks, the
// search keys, and the keys handed to the host instead of doing its work.
#pragma once

#include <windows.h>

#include "ground/globals.h"

namespace tarvik {

// Ctrl+K (Ctrl+Q): the next key is looked up in the Ctrl+K (Ctrl+Q) table.
void EnterCtrlKPrefix(TGlobalVars* State);
void EnterCtrlQPrefix(TGlobalVars* State);

// Bookmark Digit := Cursor. The screen is not redrawn.
void SetBookmark(TGlobalVars* State, TCursorPos Cursor, int Digit);

// Cursor to bookmark Digit when it is set; an unset one changes nothing.
void GotoBookmark(TGlobalVars* State, int Digit);

// F7 / Ctrl+F7: from now on the repeat keys repeat the host's own search; SearchText
// emptied. The key goes on to the host.
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

// Ctrl+K S: an F2 press and release put into the console input; the host saves the
// file with its own F2 handling once this key is done.
void SaveFile();

// Hands one key press to the host (a nested dispatch first).
void SendKeyToHost(WORD VirtualKey, char Char, DWORD ControlKeyState);

}  // namespace tarvik
