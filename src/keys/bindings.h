// The key map as data: five tables of plain rows, one per prefix and modifier state,
// searched by one lookup. A row names the procedure a key runs, what the dispatcher
// hands it (its argument kind) and the steps around it; the dispatcher runs it, and
// the key-map generator and the table-walking test read the same rows.
#pragma once

#include <windows.h>

#include "ground/characters.h"
#include "ground/globals.h"

namespace tarvik {

// Which table a key event is looked up in.
enum TKeyTableId : unsigned char {
    TablePlain = 0,  // no prefix pending, neither Alt nor Ctrl down (Shift may be)
    TableAlt = 1,    // no prefix pending, Alt down: every key is passed on (no rows)
    TableCtrl = 2,   // no prefix pending, Ctrl down, Alt up
    TableCtrlK = 3,  // Ctrl+K pending, Alt up; Ctrl and Shift do not matter
    TableCtrlQ = 4,  // Ctrl+Q pending, Alt up; Ctrl and Shift do not matter
    KeyTableCount = 5
};

// How a row treats the Shift key.
enum TShiftRule : unsigned char {
    ShiftEither = 0,  // Shift up or down
    ShiftUp = 1,      // only without Shift
    ShiftDown = 2     // only with Shift
};

// The steps the dispatcher runs around a row's procedure. "Repeat" is
// ExpandRepeatCount, "hook" is RecorderHook, "cursor" is reading the cursor for the
// rows whose argument takes it; the prefix flags are cleared and CountDownPlayback
// runs afterwards unless the row says otherwise.
enum TSteps : unsigned char {
    StepsFull = 0,      // repeat, hook, cursor, procedure, redraw; result 1
    StepsNoRedraw = 1,  // repeat, hook, cursor, procedure; result 1
    StepsPrefix = 2,    // repeat, hook, procedure; result 1 at once, prefix flags kept
    StepsDecides = 3,   // repeat, hook, procedure; it redraws and gives the result
    StepsNoHook = 4,    // repeat, procedure, redraw; result 1. The replay key: never
                        // recorded, so never one of the replayed events counted down
    StepsOwn = 5,       // the procedure runs its own steps (or none); its result, else 0
    StepsPassOn = 6     // hook only; result 0 (the row documents what the hook does)
};

// What the dispatcher hands a row's procedure: the window's record (State, found
// afresh just before the call), the cursor (read just before the call), the row's
// Value, the host's event record.
enum TArgKind : unsigned char {
    ArgNothing = 0,           // Procedure()
    ArgCursor = 1,            // Procedure(Cursor)
    ArgCursorCase = 2,        // Procedure(Cursor, Value as a case change)
    ArgCase = 3,              // Procedure(Value as a case change)
    ArgState = 4,             // Procedure(State)
    ArgStateCursor = 5,       // Procedure(State, Cursor)
    ArgStateValue = 6,        // Procedure(State, Value)
    ArgStateCursorValue = 7,  // Procedure(State, Cursor, Value)
    ArgDecides = 8,           // Result = Procedure(): true handled, false pass on
    ArgStateEvent = 9,        // Result = Procedure(State, Event)
    ArgNone = 10              // no procedure: a StepsPassOn row
};

// The bound procedure, one member per argument kind.
union TProcedure {
    void (*Nothing)();
    void (*Cursor)(TCursorPos);
    void (*CursorCase)(TCursorPos, TCaseChange);
    void (*Case)(TCaseChange);
    void (*State)(TGlobalVars*);
    void (*StateCursor)(TGlobalVars*, TCursorPos);
    void (*StateValue)(TGlobalVars*, int);
    void (*StateCursorValue)(TGlobalVars*, TCursorPos, int);
    bool (*Decides)();
    int (*StateEvent)(TGlobalVars*, INPUT_RECORD*);
};

// One binding: a key (with its Shift rule) in one table and what it runs.
struct TBinding {
    WORD Key;                 // virtual-key code, never the character
    TShiftRule Shift;         // Shift requirement within the table
    TSteps Steps;             // steps around the procedure
    TArgKind Arg;             // what the procedure is handed
    TProcedure Run;           // the procedure; the member of Arg
    int Value;                // the row's constant (a bookmark digit, a case change), else 0
    const char* Name;         // the procedure's name, for readers of the key map
    const char* Description;  // one line for the key map
};

// One table of the key map.
struct TKeyTable {
    TKeyTableId Id;
    const char* Title;     // when the table applies, for the key map
    const TBinding* Rows;  // null when Count is 0
    int Count;
};

extern const TKeyTable KeyTables[KeyTableCount];

// True for the argument kinds that hand over the cursor.
bool TakesCursor(TArgKind Arg);

// The table a key press goes to, from the window's prefix flags and the modifier bits
// (only the low byte of ControlKeyState counts).
TKeyTableId ChooseKeyTable(bool CtrlKPending, bool CtrlQPending, DWORD ControlKeyState);

// The row of Table bound to Key with these modifiers, or null (pass the key on).
const TBinding* FindBinding(TKeyTableId Table, WORD Key, DWORD ControlKeyState);

}  // namespace tarvik
