#include "keys/dispatcher.h"

#include "access/editor_access.h"
#include "editors/editor_state.h"
#include "ground/hand_over.h"
#include "ground/key_event.h"
#include "interactive/recorder.h"
#include "keys/bindings.h"

namespace tarvik {

namespace {

// Redraws the editor unless the window went away during the procedure.
void RedrawIfAlive(int EditorID) {
    if (FindEditorById(EditorID)) Redraw();
}

// Calls Row's procedure with what its argument kind hands over; its result, or 1 for a
// procedure without one.
int CallProcedure(const TBinding& Row, TGlobalVars* State, TCursorPos Cursor, INPUT_RECORD* Rec) {
    const TProcedure& Run = Row.Run;
    switch (Row.Arg) {
        case ArgNothing:
            Run.Nothing();
            return 1;
        case ArgCursor:
            Run.Cursor(Cursor);
            return 1;
        case ArgCursorCase:
            Run.CursorCase(Cursor, static_cast<TCaseChange>(Row.Value));
            return 1;
        case ArgCase:
            Run.Case(static_cast<TCaseChange>(Row.Value));
            return 1;
        case ArgState:
            Run.State(State);
            return 1;
        case ArgStateCursor:
            Run.StateCursor(State, Cursor);
            return 1;
        case ArgStateValue:
            Run.StateValue(State, Row.Value);
            return 1;
        case ArgStateCursorValue:
            Run.StateCursorValue(State, Cursor, Row.Value);
            return 1;
        case ArgDecides:
            return Run.Decides() ? 1 : 0;
        case ArgStateEvent:
            return Run.StateEvent(State, Rec);
        case ArgNone:
            break;
    }
    return 1;
}

// Runs a bound row's steps around its procedure; the result for the host. The record
// is looked up again after every step that may nest a dispatch, since the host may
// close the window inside it; a vanished window ends the key as handled.
int RunBinding(int EditorID, const TBinding& Row, INPUT_RECORD* Rec) {
    TGlobalVars* rec = FindEditorById(EditorID);
    if (!rec) return 1;
    // A procedure with its own steps passes the key on unless it says otherwise.
    if (Row.Steps == StepsOwn) {
        const int result = CallProcedure(Row, rec, TCursorPos{0, 0}, Rec);
        return Row.Arg == ArgStateEvent ? result : 0;
    }

    ExpandRepeatCount(Rec);
    if (Row.Steps != StepsNoHook) {
        rec = FindEditorById(EditorID);
        if (!rec) return 1;
        RecorderHook(rec, Rec);
    }
    rec = FindEditorById(EditorID);
    if (!rec) return 1;

    TCursorPos cursor = {0, 0};
    // Without the cursor the procedure would act at the file's start, on text the user
    // never pointed at: it ends quietly instead, the key still handled.
    if (TakesCursor(Row.Arg) && !GetCursor(cursor)) {
        RedrawIfAlive(EditorID);
        return 1;
    }
    const int result = CallProcedure(Row, rec, cursor, Rec);
    if (Row.Steps == StepsDecides) return result;
    if (Row.Steps == StepsFull || Row.Steps == StepsNoHook) RedrawIfAlive(EditorID);
    return 1;
}

// The dispatch of one event: gate, table, steps, final step.
int DispatchKey(INPUT_RECORD* Rec) {
    TGlobalVars* rec = FindCurrentEditor();
    if (!rec || rec->Mode != ModeOn || !IsKeyPress(*Rec)) return 0;

    const int id = rec->EditorID;
    // The row is chosen before any step runs: a procedure still runs after the hook
    // has blanked the key, and nested dispatches cannot change the choice.
    const DWORD mods = Modifiers(*Rec);
    const TKeyTableId table = ChooseKeyTable(rec->CtrlKPending, rec->CtrlQPending, mods);
    const TBinding* row = FindBinding(table, Rec->Event.KeyEvent.wVirtualKeyCode, mods);

    int result = 0;
    if (!row || row->Steps == StepsPassOn || row->Arg == ArgNone) {
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

}  // namespace

int DispatchEditorInput(INPUT_RECORD* Rec) {
    if (!Rec || !EnterDispatch()) return 0;
    const int result = DispatchKey(Rec);
    LeaveDispatch();
    return result;
}

}  // namespace tarvik
