#include "plugin/host170/entry_points.h"

#include <cstring>

#include "access/host170/host_services.h"
#include "access/host_ui.h"
#include "editors/editor_state.h"
#include "editors/text_kind.h"
#include "ground/console.h"
#include "ground/memory.h"
#include "plugin/host170/settings.h"

namespace tarvik {

namespace {

// The menu texts, kept alive for the host between GetPluginInfo calls: it reads
// PluginMenuStrings after GetPluginInfo returns.
char* TurnOffMenuText = nullptr;  // shown while the bindings are on
char* TurnOnMenuText = nullptr;   // shown while they are off or undecided
const char* MenuStrings[1];

// Keeps Cached equal to the host's current text for Id; the old copy (and the
// pointer handed to the host) survives when the text is unchanged or cannot be copied.
void RefreshMenuText(char*& Cached, TMessage Id) {
    const char* fresh = MessageText(Id);
    if (Cached && lstrcmpA(Cached, fresh) == 0) return;
    char* copy = CopyText(fresh);
    if (!copy) return;
    FreeBytes(Cached);
    Cached = copy;
}

// Gives a window that has no record yet its record and its initial Mode: the choice
// remembered for its file, else what its text says.
void AttachCurrentEditor() {
    if (FindCurrentEditor()) return;
    TGlobalVars* rec = CreateEditorState();
    if (!rec) return;
    int id = rec->EditorID;
    // The lookup above may have failed only for a moment: a second record would
    // hide the window's own (its mode, marks and recording) and outlive the window.
    for (TGlobalVars* older = rec->Next; older; older = older->Next) {
        if (older->EditorID == id) {
            DestroyEditorState(id);
            return;
        }
    }
    unsigned char mode = ModeUndecided;
    LoadSaveFileTypeMode(true, mode);
    if (mode == ModeUndecided) mode = DetectTextKind();
    rec = FindEditorById(id);
    if (rec) rec->Mode = mode;
}

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
    // Without records there is nothing to switch, and no reason to ask the host.
    if (!EditorList) return;
    TGlobalVars* rec = FindCurrentEditor();
    if (!rec) return;
    bool on = rec->Mode == ModeOn;
    RefreshMenuText(TurnOnMenuText, MTurnOn);
    RefreshMenuText(TurnOffMenuText, MTurnOff);
    const char* text = on ? TurnOffMenuText : TurnOnMenuText;
    if (!text) return;
    MenuStrings[0] = text;
    Info->PluginMenuStrings = MenuStrings;
    Info->PluginMenuStringsNumber = 1;
}

void ToggleCurrentEditor() {
    TGlobalVars* rec = FindCurrentEditor();
    if (!rec) return;
    rec->Mode = rec->Mode == ModeOn ? ModeOff : ModeOn;
    // Events of an earlier replay must not hold back the Esc poll of a later search.
    rec->PlaybackPending = 0;
    unsigned char mode = rec->Mode;
    LoadSaveFileTypeMode(false, mode);
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
    ReleaseSettingsRoot();
    FreeBytes(TurnOffMenuText);
    TurnOffMenuText = nullptr;
    FreeBytes(TurnOnMenuText);
    TurnOnMenuText = nullptr;
    MenuStrings[0] = nullptr;
}

}  // namespace tarvik
