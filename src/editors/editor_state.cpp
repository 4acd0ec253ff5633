#include "editors/editor_state.h"

#include <climits>
#include <cstring>

#include "access/editor_access.h"
#include "ground/memory.h"

namespace tarvik {

TGlobalVars* FindCurrentEditor() {
    int id;
    return GetCurrentEditorId(id) ? FindEditorById(id) : nullptr;
}

TGlobalVars* FindEditorById(int EditorID) {
    for (TGlobalVars* rec = EditorList; rec; rec = rec->Next)
        if (rec->EditorID == EditorID) return rec;
    return nullptr;
}

TGlobalVars* CreateEditorState() {
    int id;
    if (!GetCurrentEditorId(id)) return nullptr;
    TGlobalVars* rec = static_cast<TGlobalVars*>(AllocBytes(sizeof(TGlobalVars)));
    if (!rec) return nullptr;
    memset(rec, 0, sizeof *rec);
    rec->EditorID = id;
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
