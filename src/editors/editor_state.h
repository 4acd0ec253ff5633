// The registry of per-window records: one TGlobalVars per open editor window, kept in
// EditorList newest first and keyed by the host's editor ID. Nobody keeps a record
// from one host call to the next: every caller finds it afresh.
#pragma once

#include "ground/globals.h"

namespace tarvik {

// The current window's record, or null (also when the host cannot say which editor
// is current).
TGlobalVars* FindCurrentEditor();

// The record of the window with this ID, without asking the host; null when the
// window has been closed. Re-finds a record after a nested host call.
TGlobalVars* FindEditorById(int EditorID);

// A new record for the current window at the head of EditorList, or null. It does not
// look for an existing record of the window: its caller has done so.
TGlobalVars* CreateEditorState();

// Unlinks and frees the record of EditorID with all it owns; unknown IDs are ignored.
void DestroyEditorState(int EditorID);

}  // namespace tarvik
