#include "plugin/host3/entry_points.h"

#include <climits>
#include <cstring>

#include "access/host3/host_services.h"
#include "editors/editor_state.h"
#include "ground/console.h"
#include "plugin/editor_windows.h"
#include "plugin/settings.h"

namespace tarvik {

namespace {

// The host reads the menu's arrays after GetPluginInfoW returns.
const char16_t* MenuStrings[1];

}  // namespace

void FillGlobalInfo(api3::GlobalInfo* Info) {
    // The host hands over a zeroed record of its own size: only the fields are written.
    if (!Info) return;
    // The records keep their present layout since build 3596, the oldest host it suits.
    Info->MinHostVersion = {3, 0, 0, 3596, api3::VS_RELEASE};
    Info->Version = {TARVIK_VERSION_MAJOR, TARVIK_VERSION_MINOR, 0, TARVIK_VERSION_PATCH,
                     api3::VS_RELEASE};
    Info->Id = PluginId;
    Info->Title = u"Tarvik";
    Info->Description = u"Classic programmer's editor keys";
    Info->Author = u"The Tarvik developers";
}

void StartPlugin(const api3::PluginStartupInfo* Info) {
    if (!CaptureHostServices(Info)) return;
    ConsoleInput = GetStdHandle(STD_INPUT_HANDLE);
    ReadSettings();
}

void FillPluginInfo(api3::PluginInfo* Info) {
    // The record is the host's, its StructSize too: only the fields are written.
    if (!Info) return;
    Info->Flags = api3::PF_EDITOR | api3::PF_DISABLEPANELS;
    Info->DiskMenu = {};
    Info->PluginMenu = {};
    Info->PluginConfig = {};
    Info->CommandPrefix = nullptr;
    const char16_t* text = CurrentMenuText();
    if (!text) return;
    MenuStrings[0] = text;
    Info->PluginMenu.Guids = &MenuItemId;
    Info->PluginMenu.Strings = MenuStrings;
    Info->PluginMenu.Count = 1;
}

void HandleEditorEvent(const api3::ProcessEditorEventInfo* Info) {
    if (!Info) return;
    switch (Info->Event) {
        case api3::EE_READ:
        case api3::EE_REDRAW:
            AttachCurrentEditor();
            break;
        case api3::EE_CLOSE:
            // The closing window is named by the record, not by Param.
            if (Info->EditorID >= INT_MIN && Info->EditorID <= INT_MAX)
                DestroyEditorState(static_cast<int>(Info->EditorID));
            break;
        default:
            break;
    }
}

void StopPlugin() {
    ReleaseSettings();
    ReleaseMenuTexts();
    MenuStrings[0] = nullptr;
}

}  // namespace tarvik
