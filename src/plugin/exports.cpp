// The five entry points the host calls. Each hands over to a named procedure.
#include "plugin/host_api.h"
#include "keys/dispatcher.h"

extern "C" {

TARVIK_EXPORT void WINAPI SetStartupInfo(const PluginStartupInfo*) {}

TARVIK_EXPORT void WINAPI GetPluginInfo(PluginInfo*) {}

TARVIK_EXPORT HANDLE WINAPI OpenPlugin(int, int) { return INVALID_HANDLE_VALUE; }

TARVIK_EXPORT int WINAPI ProcessEditorEvent(int, void*) { return 0; }

TARVIK_EXPORT int WINAPI ProcessEditorInput(const INPUT_RECORD* Rec) {
    // The host hands over its own record and expects changes to it to stick.
    return tarvik::DispatchEditorInput(const_cast<INPUT_RECORD*>(Rec));
}

}  // extern "C"
