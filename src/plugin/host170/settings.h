// The settings store of the host's 1.70 interface: registry values below the host's
// plug-in key (RootKey\Tarvik), read once at start-up, and the per-file memory of the
// menu's on/off choice (RootKey\Tarvik\File Types, one value per file name).
#pragma once

#include "plugin/settings.h"

namespace tarvik {

// Keeps a copy of the host's registry path for plug-ins (null: the registry is then
// out of reach); any earlier copy goes. ReleaseSettings lets it go.
void TakeSettingsRoot(const char* RootKey);

}  // namespace tarvik
