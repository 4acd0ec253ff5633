// What the host's entry points do: take the host's services, offer the editor's menu
// entry that switches a window's bindings, follow the editor's window events, and let
// go of what the plug-in owns when it is unloaded.
#pragma once

#include "ground/host170/host_api.h"

namespace tarvik {

// Takes the host's services and registry path and the console input handle, then
// reads the settings. Nothing is taken from a null or too short record: the plug-in
// stays inert.
void StartPlugin(const PluginStartupInfo* Info);

// Fills the part of PluginInfo this plug-in owns: the editor menu entry for the
// current window ("turn off" while its bindings are on, "turn on" otherwise), or none
// when there is no record for it.
void FillPluginInfo(PluginInfo* Info);

// Flips the current window's bindings (undecided and off go on, on goes off) and
// remembers the choice for its file when SaveFileType allows.
void ToggleCurrentEditor();

// Creates the window's record at its first read or redraw, with its initial mode;
// destroys it at close.
void HandleEditorEvent(int Event, void* Param);

// Frees the strings the plug-in owns; called once when the library unloads.
void ReleaseOwnedStrings();

}  // namespace tarvik
