// The host's services as its generation-3 interface hands them over in
// SetStartupInfoW: the one place that holds them (copies: the host's record and its
// table of standard functions live on its stack during that call). Only the host
// access (this folder) calls them; the entry layer fills them in.
#pragma once

#include "ground/host3/host_api.h"

namespace tarvik {

// The plug-in's identity, and its editor menu item's.
extern const api3::Guid PluginId;
extern const api3::Guid MenuItemId;

// The host's record and standard functions as taken; all null until then.
extern api3::PluginStartupInfo HostInfo;
extern api3::StandardFunctions HostFunctions;

// Takes a copy of the host's record and of its standard functions. False, with nothing
// taken, for a null or too short record.
bool CaptureHostServices(const api3::PluginStartupInfo* Info);

}  // namespace tarvik
