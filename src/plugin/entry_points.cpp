#include "plugin/entry_points.h"

#include <cstring>

#include "editors/editor_state.h"
#include "editors/text_kind.h"
#include "plugin/memory.h"
#include "plugin/settings.h"

namespace tarvik {

namespace {

// The host reads PluginMenuStrings after GetPluginInfo returns, so the array
// and the text it points at must outlive the call.
const char* MenuStrings[1];

// Keeps Cached equal to the host's current text for Id; the old copy (and the
// pointer handed to the host) survives when the text is unchanged or cannot be copied.
void RefreshMenuText(char*& Cached, TMessage Id) {
    const char* fresh = Msg(Id);
    if (Cached && lstrcmpA(Cached, fresh) == 0) return;
    char* copy = CopyString(fresh);
    if (!copy) return;
    FreeBytes(Cached);
    Cached = copy;
}

// Gives a window that has no record yet its record and its initial Mode.
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
    unsigned char mode = DetectTextKind();
    rec = FindEditorById(id);
    if (rec) rec->Mode = mode;
}

}  // namespace

bool CaptureStartupInfo(const PluginStartupInfo* Info) {
    if (!Info || Info->StructSize < kMinStartupInfoSize) return false;
    ConsoleInput = GetStdHandle(STD_INPUT_HANDLE);
    ModuleNumber = Info->ModuleNumber;
    EditorControl = Info->EditorControl;
    SaveScreen = Info->SaveScreen;
    RestoreScreen = Info->RestoreScreen;
    GetMsg = Info->GetMsg;
    Text = Info->Text;
    Message = Info->Message;
    CharTable = Info->CharTable;
    // A host without a RootKey leaves the copy null: the registry is then out of reach.
    char* copy = Info->RootKey ? CopyString(Info->RootKey) : nullptr;
    FreeBytes(RootKey);
    RootKey = copy;
    return true;
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
    FreeBytes(RootKey);
    RootKey = nullptr;
    FreeBytes(TurnOffMenuText);
    TurnOffMenuText = nullptr;
    FreeBytes(TurnOnMenuText);
    TurnOnMenuText = nullptr;
    MenuStrings[0] = nullptr;
}

}  // namespace tarvik
