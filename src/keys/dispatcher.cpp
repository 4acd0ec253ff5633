#include "keys/dispatcher.h"

#include <cstring>

#include "commands/primitives.h"
#include "editors/editor_state.h"
#include "interactive/recorder.h"
#include "keys/bindings.h"

namespace tarvik {

namespace {

// Redraws the editor unless the window went away during the command.
void RedrawIfAlive(int EditorID) {
    if (EditorControl && FindEditorById(EditorID)) EditorControl(ECTL_REDRAW, nullptr);
}

// Runs a bound row's steps around its command; the result for the host.
// The record is looked up again after every step that may nest a dispatch,
// since the host may close the window inside it; a vanished window ends the
// key as handled.
int RunBinding(int EditorID, const TBinding& Row, INPUT_RECORD* Rec) {
    TGlobalVars* rec = FindEditorById(EditorID);
    if (!rec) return 1;
    if (Row.Steps == StepsOwn) return Row.Command(rec, Rec, TCursorPos{0, 0}, Row.Arg);

    ExpandRepeatCount(Rec);
    if (Row.Steps != StepsNoHook) {
        rec = FindEditorById(EditorID);
        if (!rec) return 1;
        RecorderHook(rec, Rec);
    }
    rec = FindEditorById(EditorID);
    if (!rec) return 1;

    TCursorPos cursor = {0, 0};
    // Without the cursor the command would act at the file's start, on text the
    // user never pointed at: it ends quietly instead, the key still handled.
    if (Row.TakesCursor && !GetCursorPos(cursor)) {
        RedrawIfAlive(EditorID);
        return 1;
    }
    const int result = Row.Command(rec, Rec, cursor, Row.Arg);
    if (Row.Steps == StepsDecides) return result;
    if (Row.Steps == StepsFull || Row.Steps == StepsNoHook) RedrawIfAlive(EditorID);
    return 1;
}

// Dispatches nest when the plug-in hands an event to the host, which calls
// ProcessEditorInput again before the outer call goes on. When the plug-in
// declines the event there, some builds of the host ask once more, with the last
// record they read from the console (often a key the plug-in is handling right
// then), before they act on the event themselves. Each hand-over is served once:
// a further call within it is declined without a second look, so the host goes
// on with the event and nothing recurses; nesting past any real use is declined
// the same way.
constexpr int kMaxNesting = 16;
int Nesting = 0;                       // dispatches in progress
int HandOvers = 0;                     // hand-overs to the host in progress
bool HandOverServed[kMaxNesting + 1];  // per hand-over: its nested dispatch has run

// The dispatch of one event: gate, table, steps, final step.
int DispatchKey(INPUT_RECORD* Rec) {
    TGlobalVars* rec = FindCurrentEditor();
    if (!rec || rec->Mode != ModeOn || Rec->EventType != KEY_EVENT || !Rec->Event.KeyEvent.bKeyDown)
        return 0;

    const int id = rec->EditorID;
    // The row is chosen before any step runs: a command still runs after the
    // hook has blanked the key, and nested dispatches cannot change the choice.
    const KEY_EVENT_RECORD& key = Rec->Event.KeyEvent;
    const TKeyTableId table =
        ChooseKeyTable(rec->CtrlKPending, rec->CtrlQPending, key.dwControlKeyState & 0xFF);
    const TBinding* row = FindBinding(table, key.wVirtualKeyCode, key.dwControlKeyState & 0xFF);

    int result = 0;
    if (!row || row->Steps == StepsPassOn || !row->Command) {
        RecorderHook(rec, Rec);
    } else {
        result = RunBinding(id, *row, Rec);
        if (row->Steps == StepsPrefix) return result;
    }

    rec = FindEditorById(id);
    if (!rec) return result;
    rec->CtrlKPending = false;
    rec->CtrlQPending = false;
    if (!row || row->Steps != StepsNoHook) CountDownPlayback(rec);
    return result;
}

// A key press as a typed key arrives: repeat count 1, no scan code.
INPUT_RECORD KeyPressRecord(WORD VirtualKey, char Char, DWORD ControlKeyState) {
    INPUT_RECORD event;
    memset(&event, 0, sizeof event);
    event.EventType = KEY_EVENT;
    event.Event.KeyEvent.bKeyDown = -1;
    event.Event.KeyEvent.wRepeatCount = 1;
    event.Event.KeyEvent.wVirtualKeyCode = VirtualKey;
    event.Event.KeyEvent.uChar.AsciiChar = Char;
    event.Event.KeyEvent.dwControlKeyState = ControlKeyState;
    return event;
}

}  // namespace

int DispatchEditorInput(INPUT_RECORD* Rec) {
    if (!Rec) return 0;
    if (HandOvers > 0) {
        if (HandOverServed[HandOvers]) return 0;
        HandOverServed[HandOvers] = true;
    }
    if (Nesting >= kMaxNesting) return 0;
    ++Nesting;
    const int result = DispatchKey(Rec);
    --Nesting;
    return result;
}

int HandToHost(INPUT_RECORD* Event) {
    if (!EditorControl || !Event) return 0;
    if (HandOvers >= kMaxNesting) return 0;
    ++HandOvers;
    HandOverServed[HandOvers] = false;
    const int result = EditorControl(ECTL_PROCESSINPUT, Event);
    --HandOvers;
    return result;
}

void SendKeyToHost(WORD VirtualKey, char Char, DWORD ControlKeyState) {
    INPUT_RECORD event = KeyPressRecord(VirtualKey, Char, ControlKeyState);
    HandToHost(&event);
}

void SaveFile() {
    // Through the console rather than the editor call, so the host saves with
    // its own F2 handling after this key is done.
    INPUT_RECORD event = KeyPressRecord(VK_F2, 0, 0);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD written = 0;
    WriteConsoleInputA(input, &event, 1, &written);
    event.Event.KeyEvent.bKeyDown = 0;
    WriteConsoleInputA(input, &event, 1, &written);
}

}  // namespace tarvik
