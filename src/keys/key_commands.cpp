#include "keys/key_commands.h"

#include <climits>

#include "commands/edit_helpers.h"
#include "commands/primitives.h"
#include "editors/editor_state.h"
#include "interactive/recorder.h"
#include "interactive/status_line.h"
#include "interactive/text_search.h"
#include "keys/dispatcher.h"
#include "plugin/memory.h"

namespace tarvik {

namespace {

bool HasSearchText(const TGlobalVars* State) {
    return State->SearchText && *State->SearchText;
}

// Looks for SearchText from one column right of the cursor; tells when it is not there.
void RepeatOwnSearch(TGlobalVars* State) {
    const int id = State->EditorID;
    TCursorPos start;
    GetCursorPos(start);
    if (start.Pos < INT_MAX) ++start.Pos;
    if (FindNext(State, State->SearchText, start)) return;
    // The search talks to the host; make sure the record it reads is still there.
    State = FindEditorById(id);
    EditorInfo ei;
    if (State && HasSearchText(State))
        ShowNotFound(State->SearchText, GetEditorInfo(ei) && ShowsAnsiText(ei));
}

}  // namespace

void SetBookmark(TGlobalVars* State, int Digit, TCursorPos Cursor) {
    if (Digit < 0 || Digit > 9) return;
    State->Bookmarks[Digit] = Cursor;
}

void GotoBookmark(TGlobalVars* State, int Digit) {
    if (Digit < 0 || Digit > 9) return;
    const TCursorPos mark = State->Bookmarks[Digit];
    if (mark.Pos >= 0) SetCursorPos(mark.Pos, mark.Line);
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
    if (EditorControl && FindEditorById(id)) EditorControl(ECTL_REDRAW, nullptr);
    return 1;
}

void HostFind() {
    SendKeyToHost(VK_F7, 0, 0);
}

void HostReplace() {
    SendKeyToHost(VK_F7, 0, LEFT_CTRL_PRESSED);
}

}  // namespace tarvik
