// A tiny plug-in of the current interface for the generation-3 host's own tests. What
// it says of itself and what it saw live in one record that a test reaches through the
// export ProbeState; the test keeps the module loaded itself, so that the record
// survives the host's loads and unloads.
#pragma once

#include "ground/host3/host_api.h"

namespace probe3 {

struct State {
    // What GetGlobalInfoW gives (StructSize aside); ClearSize sets it to 0.
    api3::GlobalInfo Info;
    bool ClearSize;
    // SetStartupInfoW keeps the host's pointer instead of a copy.
    bool KeepPointer;
    const api3::PluginStartupInfo* Kept;
    api3::PluginStartupInfo Copy;
    api3::StandardFunctions Functions;
    int Starts, Exits, Opens, Inputs;
    intptr_t InputAnswer;  // what ProcessEditorInputW returns
};

typedef State*(WINAPI* StateFn)();

}  // namespace probe3
