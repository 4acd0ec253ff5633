// The entry layer of the host's 1.70 interface: what its five exported entry points do.
#pragma once

#include "ground/host170/host_api.h"

namespace tarvik {

// Takes the host's services and registry path and the console input handle, then
// reads the settings. Nothing is taken from a null or too short record: the plug-in
// stays inert.
void StartPlugin(const PluginStartupInfo* Info);

// Fills the part of PluginInfo this plug-in owns: the editor menu entry for the
// current window, or none when there is no record for it.
void FillPluginInfo(PluginInfo* Info);

// Creates the window's record at its first read or redraw, with its initial mode;
// destroys it at close (Param points to the closing window's ID).
void HandleEditorEvent(int Event, void* Param);

// Frees what the plug-in owns; called once when the library unloads.
void ReleaseOwnedStrings();

}  // namespace tarvik
