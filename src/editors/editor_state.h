// The registry of per-window records: find, create, destroy.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// The current window's record, or null (also when the host cannot say which
// editor is current).
TGlobalVars* FindCurrentEditor();

// The record of the window with this ID, without asking the host; null when the
// window has been closed. Used to re-find a record after a nested host call.
TGlobalVars* FindEditorById(int EditorID);

// A new record for the current window at the head of EditorList, or null.
TGlobalVars* CreateEditorState();

// Unlinks and frees the record of EditorID with all it owns; unknown IDs are ignored.
void DestroyEditorState(int EditorID);

}  // namespace tarvik
