// The entry points the host's generation-3 interface calls. Each hands over to named
// procedures.
#include "ground/host3/host_api.h"
#include "keys/dispatcher.h"
#include "plugin/editor_windows.h"
#include "plugin/host3/entry_points.h"

extern "C" {

TARVIK_EXPORT3 void WINAPI GetGlobalInfoW(api3::GlobalInfo* Info) {
    tarvik::FillGlobalInfo(Info);
}

TARVIK_EXPORT3 void WINAPI SetStartupInfoW(const api3::PluginStartupInfo* Info) {
    tarvik::StartPlugin(Info);
}

TARVIK_EXPORT3 void WINAPI GetPluginInfoW(api3::PluginInfo* Info) {
    tarvik::FillPluginInfo(Info);
}

// The one menu item switches the bindings; the plug-in never opens a panel of its own.
TARVIK_EXPORT3 HANDLE WINAPI OpenW(const api3::OpenInfo* Info) {
    if (Info && Info->OpenFrom == api3::OPEN_EDITOR) tarvik::ToggleCurrentEditor();
    return nullptr;
}

TARVIK_EXPORT3 intptr_t WINAPI ProcessEditorEventW(const api3::ProcessEditorEventInfo* Info) {
    tarvik::HandleEditorEvent(Info);
    return 0;
}

TARVIK_EXPORT3 intptr_t WINAPI ProcessEditorInputW(const api3::ProcessEditorInputInfo* Info) {
    if (!Info) return 0;
    // The host's record is a copy of its own: changes to it would reach nobody.
    INPUT_RECORD event = Info->Rec;
    return tarvik::DispatchEditorInput(&event);
}

TARVIK_EXPORT3 void WINAPI ExitFARW(const api3::ExitInfo* /*Info*/) {
    tarvik::StopPlugin();
}

}  // extern "C"
