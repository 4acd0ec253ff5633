#include "keys/key_commands.h"

#include <climits>

#include "access/editor_access.h"
#include "editors/editor_state.h"
#include "ground/console.h"
#include "ground/key_event.h"
#include "ground/memory.h"
#include "interactive/recorder.h"
#include "interactive/status_line.h"
#include "interactive/text_search.h"

namespace tarvik {

namespace {

bool HasSearchText(const TGlobalVars* State) {
    return State->SearchText && *State->SearchText;
}

// Looks for SearchText from one column right of the cursor; tells when it is not there.
void RepeatOwnSearch(TGlobalVars* State) {
    const int id = State->EditorID;
    TCursorPos start;
    GetCursor(start);
    if (start.Pos < INT_MAX) ++start.Pos;
    if (FindNext(State, State->SearchText, start)) return;
    // The search talks to the host; make sure the record it reads is still there.
    State = FindEditorById(id);
    TEditorView view;
    if (State && HasSearchText(State))
        ShowNotFound(State->SearchText, GetEditorView(view) && view.Code == ViewAnsi);
}

}  // namespace

void EnterCtrlKPrefix(TGlobalVars* State) {
    State->CtrlKPending = true;
    State->CtrlQPending = false;
}

void EnterCtrlQPrefix(TGlobalVars* State) {
    State->CtrlQPending = true;
    State->CtrlKPending = false;
}

void SetBookmark(TGlobalVars* State, TCursorPos Cursor, int Digit) {
    if (Digit < 0 || Digit > 9) return;
    State->Bookmarks[Digit] = Cursor;
}

void GotoBookmark(TGlobalVars* State, int Digit) {
    if (Digit < 0 || Digit > 9) return;
    const TCursorPos mark = State->Bookmarks[Digit];
    if (mark.Pos >= 0) SetCursor(mark.Pos, mark.Line);
}

void UseHostSearch(TGlobalVars* State) {
    State->RepeatUsesHostSearch = true;
    FreeBytes(State->SearchText);
    State->SearchText = nullptr;
}

void RepeatSearchCtrlL(TGlobalVars* State) {
    if (State->RepeatUsesHostSearch)
        SendKeyToHost(VK_F7, 0, SHIFT_PRESSED);
    else if (HasSearchText(State))
        RepeatOwnSearch(State);
}

int RepeatSearchShiftF7(TGlobalVars* State, INPUT_RECORD* Event) {
    if (State->RepeatUsesHostSearch || !HasSearchText(State)) return 0;
    const int id = State->EditorID;
    ExpandRepeatCount(Event);
    State = FindEditorById(id);
    if (!State) return 1;
    if (!State->RepeatUsesHostSearch && HasSearchText(State)) RepeatOwnSearch(State);
    if (FindEditorById(id)) Redraw();
    return 1;
}

void HostFind() {
    SendKeyToHost(VK_F7, 0, 0);
}

void HostReplace() {
    SendKeyToHost(VK_F7, 0, LEFT_CTRL_PRESSED);
}

void SaveFile() {
    // Through the console rather than the editor call, so the host saves with its own
    // F2 handling after this key is done.
    INPUT_RECORD events[2] = {KeyPressRecord(VK_F2, 0, 0), KeyPressRecord(VK_F2, 0, 0)};
    events[1].Event.KeyEvent.bKeyDown = 0;
    WriteEvents(&events[0], 1);
    WriteEvents(&events[1], 1);
}

void SendKeyToHost(WORD VirtualKey, char Char, DWORD ControlKeyState) {
    INPUT_RECORD event = KeyPressRecord(VirtualKey, Char, ControlKeyState);
    HandToHost(&event);
}

}  // namespace tarvik
