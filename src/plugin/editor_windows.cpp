#include "plugin/editor_windows.h"

#include "access/host_ui.h"
#include "editors/editor_state.h"
#include "editors/text_kind.h"
#include "ground/memory.h"
#include "plugin/settings.h"

namespace tarvik {

namespace {

// The host reads the menu's texts after the call that hands them over returns.
TChar* TurnOffMenuText = nullptr;  // shown while the bindings are on
TChar* TurnOnMenuText = nullptr;   // shown while they are off or undecided

bool SameText(const TChar* A, const TChar* B) {
    while (*A && *A == *B) ++A, ++B;
    return *A == *B;
}

// Keeps Cached equal to the host's current text for Id; the old copy (and the pointer
// handed to the host) survives when the text is unchanged or cannot be copied.
void RefreshMenuText(TChar*& Cached, TMessage Id) {
    const TChar* fresh = MessageText(Id);
    if (Cached && SameText(Cached, fresh)) return;
    TChar* copy = CopyText(fresh);
    if (!copy) return;
    FreeBytes(Cached);
    Cached = copy;
}

}  // namespace

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

void ToggleCurrentEditor() {
    TGlobalVars* rec = FindCurrentEditor();
    if (!rec) return;
    rec->Mode = rec->Mode == ModeOn ? ModeOff : ModeOn;
    // Events of an earlier replay must not hold back the Esc poll of a later search.
    rec->PlaybackPending = 0;
    unsigned char mode = rec->Mode;
    LoadSaveFileTypeMode(false, mode);
}

const TChar* CurrentMenuText() {
    // Without records there is nothing to switch, and no reason to ask the host.
    if (!EditorList) return nullptr;
    TGlobalVars* rec = FindCurrentEditor();
    if (!rec) return nullptr;
    const bool on = rec->Mode == ModeOn;
    RefreshMenuText(TurnOnMenuText, MTurnOn);
    RefreshMenuText(TurnOffMenuText, MTurnOff);
    return on ? TurnOffMenuText : TurnOnMenuText;
}

void ReleaseMenuTexts() {
    FreeBytes(TurnOffMenuText);
    TurnOffMenuText = nullptr;
    FreeBytes(TurnOnMenuText);
    TurnOnMenuText = nullptr;
}

}  // namespace tarvik
