#include "plugin/host170/entry_points.h"

#include <cstring>

#include "access/host170/host_services.h"
#include "editors/editor_state.h"
#include "ground/console.h"
#include "plugin/editor_windows.h"
#include "plugin/host170/settings.h"

namespace tarvik {

namespace {

// The host reads PluginMenuStrings after GetPluginInfo returns.
const char* MenuStrings[1];

}  // namespace

void StartPlugin(const PluginStartupInfo* Info) {
    if (!CaptureHostServices(Info)) return;
    ConsoleInput = GetStdHandle(STD_INPUT_HANDLE);
    TakeSettingsRoot(Info->RootKey);
    ReadSettings();
}

void FillPluginInfo(PluginInfo* Info) {
    if (!Info) return;
    memset(Info, 0, kPluginInfoWrittenSize);
    Info->StructSize = kPluginInfoWrittenSize;
    Info->Flags = PF_EDITOR | PF_DISABLEPANELS;
    const char* text = CurrentMenuText();
    if (!text) return;
    MenuStrings[0] = text;
    Info->PluginMenuStrings = MenuStrings;
    Info->PluginMenuStringsNumber = 1;
}

void HandleEditorEvent(int Event, void* Param) {
    switch (Event) {
        case EE_READ:
        case EE_REDRAW:
            AttachCurrentEditor();
            break;
        case EE_CLOSE:
            if (Param) {
                int id;
                memcpy(&id, Param, sizeof id);
                DestroyEditorState(id);
            }
            break;
        default:
            break;
    }
}

void ReleaseOwnedStrings() {
    ReleaseSettings();
    ReleaseMenuTexts();
    MenuStrings[0] = nullptr;
}

}  // namespace tarvik
