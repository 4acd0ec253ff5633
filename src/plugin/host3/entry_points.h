// The entry layer of the host's generation-3 interface: what its exported entry points
// do, each taking one record of the host's.
#pragma once

#include "ground/host3/host_api.h"

namespace tarvik {

// The plug-in's identity for the host: name, version, the oldest host it runs in.
void FillGlobalInfo(api3::GlobalInfo* Info);

// Takes a copy of the host's record and standard functions and the console input
// handle, then reads the settings. Nothing is taken from a null or too short record:
// the plug-in stays inert.
void StartPlugin(const api3::PluginStartupInfo* Info);

// Fills PluginInfo: the editor menu item for the current window, or none when there is
// no record for it.
void FillPluginInfo(api3::PluginInfo* Info);

// Creates a window's record at its first read or redraw, with its initial mode;
// destroys it at close.
void HandleEditorEvent(const api3::ProcessEditorEventInfo* Info);

// Frees what the plug-in owns; when the host unloads it.
void StopPlugin();

}  // namespace tarvik
