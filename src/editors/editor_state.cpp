#include "editors/editor_state.h"

#include <climits>
#include <cstring>

#include "plugin/fault_guard.h"
#include "plugin/memory.h"

namespace tarvik {

namespace {

// The host's ECTL_GETINFO into the EditorInfo at Info; nonzero on success.
int AskEditorInfo(void* Info) {
    return EditorControl(ECTL_GETINFO, Info);
}

// Asks the host about the current editor. Outside an editor the host may fail
// the call or fault instead; both only mean that there is no current editor.
bool GetCurrentEditorInfo(EditorInfo& ei) {
    memset(&ei, 0, sizeof ei);
    if (!EditorControl) return false;
    return CallGuarded(AskEditorInfo, &ei, 0) != 0;
}

}  // namespace

TGlobalVars* FindCurrentEditor() {
    EditorInfo ei;
    if (!GetCurrentEditorInfo(ei)) return nullptr;
    return FindEditorById(ei.EditorID);
}

TGlobalVars* FindEditorById(int EditorID) {
    for (TGlobalVars* rec = EditorList; rec; rec = rec->Next)
        if (rec->EditorID == EditorID) return rec;
    return nullptr;
}

TGlobalVars* CreateEditorState() {
    EditorInfo ei;
    if (!GetCurrentEditorInfo(ei)) return nullptr;
    TGlobalVars* rec = static_cast<TGlobalVars*>(AllocBytes(sizeof(TGlobalVars)));
    if (!rec) return nullptr;
    memset(rec, 0, sizeof *rec);
    rec->EditorID = ei.EditorID;
    rec->Mode = ModeUndecided;
    rec->BlockBegin.Pos = INT_MAX;
    rec->BlockBegin.Line = INT_MAX;
    rec->RepeatUsesHostSearch = true;
    for (TCursorPos& mark : rec->Bookmarks) mark.Pos = -1;
    rec->Next = EditorList;
    EditorList = rec;
    return rec;
}

void DestroyEditorState(int EditorID) {
    TGlobalVars** link = &EditorList;
    while (*link && (*link)->EditorID != EditorID) link = &(*link)->Next;
    TGlobalVars* rec = *link;
    if (!rec) return;
    *link = rec->Next;
    FreeBytes(rec->RecordedEvents);
    FreeBytes(rec->SearchText);
    FreeBytes(rec);
}

}  // namespace tarvik
