// What the exported entry points do: capture the host's services, offer the
// menu entry, switch a window's bindings, follow the editor's window events.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// Takes the host's services, ModuleNumber, a RootKey copy and the console input
// handle. False, with nothing captured, for a null or too short record.
bool CaptureStartupInfo(const PluginStartupInfo* Info);

// Fills the part of PluginInfo this plug-in owns: the editor menu entry for the
// current window, or none when there is no record for it.
void FillPluginInfo(PluginInfo* Info);

// Flips the current window's bindings (undecided and off go on, on goes off) and
// remembers the choice for its file when SaveFileType allows.
void ToggleCurrentEditor();

// Creates the window's record at its first read or redraw, destroys it at close.
void HandleEditorEvent(int Event, void* Param);

// Frees the strings the plug-in owns; called once when the library unloads.
void ReleaseOwnedStrings();

}  // namespace tarvik
