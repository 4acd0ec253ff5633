// The probe plug-in (probe3.h): the seven exports of an editor plug-in and ProbeState.
#include "probe3.h"

namespace {

const api3::Guid kMenuGuid = {0x5EC0A7E1, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
const char16_t* const kMenu[] = {u"Probe"};

probe3::State TheState = {{0,
                           {3, 0, 0, 3596, 0},
                           {1, 0, 0, 1, 0},
                           {0x5EC0A7E0, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}},
                           u"Probe",
                           u"Test plug-in",
                           u"Tests",
                           nullptr},
                          false,
                          false,
                          nullptr,
                          {},
                          {},
                          0,
                          0,
                          0,
                          0,
                          0};

}  // namespace

extern "C" {

TARVIK_EXPORT3 probe3::State* WINAPI ProbeState() {
    return &TheState;
}

TARVIK_EXPORT3 void WINAPI GetGlobalInfoW(api3::GlobalInfo* Info) {
    const size_t Size = Info->StructSize;
    *Info = TheState.Info;
    Info->StructSize = TheState.ClearSize ? 0 : Size;
}

TARVIK_EXPORT3 void WINAPI SetStartupInfoW(const api3::PluginStartupInfo* Info) {
    ++TheState.Starts;
    TheState.Kept = Info;
    if (TheState.KeepPointer) return;
    TheState.Copy = *Info;
    TheState.Functions = *Info->FSF;
    TheState.Copy.FSF = &TheState.Functions;
}

TARVIK_EXPORT3 void WINAPI GetPluginInfoW(api3::PluginInfo* Info) {
    Info->Flags = api3::PF_EDITOR | api3::PF_DISABLEPANELS;
    Info->PluginMenu = {&kMenuGuid, kMenu, 1};
}

TARVIK_EXPORT3 HANDLE WINAPI OpenW(const api3::OpenInfo* /*Info*/) {
    ++TheState.Opens;
    return nullptr;
}

TARVIK_EXPORT3 intptr_t WINAPI ProcessEditorInputW(const api3::ProcessEditorInputInfo* /*Info*/) {
    ++TheState.Inputs;
    return TheState.InputAnswer;
}

TARVIK_EXPORT3 intptr_t WINAPI ProcessEditorEventW(const api3::ProcessEditorEventInfo* /*Info*/) {
    return 0;
}

TARVIK_EXPORT3 void WINAPI ExitFARW(const api3::ExitInfo* /*Info*/) {
    ++TheState.Exits;
}

}  // extern "C"
