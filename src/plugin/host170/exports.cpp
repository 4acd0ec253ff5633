// The five entry points the host's 1.70 interface calls. Each hands over to named
// procedures.
#include "ground/host170/host_api.h"
#include "keys/dispatcher.h"
#include "plugin/editor_windows.h"
#include "plugin/host170/entry_points.h"

extern "C" {

TARVIK_EXPORT void WINAPI SetStartupInfo(const PluginStartupInfo* Info) {
    tarvik::StartPlugin(Info);
}

TARVIK_EXPORT void WINAPI GetPluginInfo(PluginInfo* Info) {
    tarvik::FillPluginInfo(Info);
}

// The plug-in never opens a panel of its own; its one menu entry switches the bindings.
TARVIK_EXPORT HANDLE WINAPI OpenPlugin(int OpenFrom, int /*Item*/) {
    if (OpenFrom == OPEN_EDITOR) tarvik::ToggleCurrentEditor();
    return INVALID_HANDLE_VALUE;
}

TARVIK_EXPORT int WINAPI ProcessEditorEvent(int Event, void* Param) {
    tarvik::HandleEditorEvent(Event, Param);
    return 0;
}

TARVIK_EXPORT int WINAPI ProcessEditorInput(const INPUT_RECORD* Rec) {
    // The host hands over its own record and expects changes to it to stick.
    return tarvik::DispatchEditorInput(const_cast<INPUT_RECORD*>(Rec));
}

}  // extern "C"
