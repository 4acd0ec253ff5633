// The key map as data: five tables of plain rows, one per prefix/modifier state,
// searched by one lookup. The dispatcher runs what a row names; the key-map
// generator and the table-walking test read the same rows.
//
// Stable interface for readers of the tables:
//   KeyTables[TableId]          the five tables, in TKeyTableId order
//   KeyTables[t].Rows / .Count  the rows of one table (Rows is null when Count is 0)
//   TBinding fields             Key, Shift, Steps, TakesCursor, Arg, Name, Description
//   FormatBindingKey            the key as users write it ("Ctrl+K B", "Shift+F7")
#pragma once

#include "plugin/globals.h"

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

// The steps the dispatcher runs around a row's command. "Repeat" is
// ExpandRepeatCount, "hook" is RecorderHook, "cursor" is GetCursorPos when the
// row's TakesCursor is set; the prefix flags are cleared and CountDownPlayback
// runs afterwards unless the row says otherwise. A StepsNoHook row is the replay
// key: never recorded, so never one of the replayed events the countdown counts.
enum TSteps : unsigned char {
    StepsFull = 0,      // repeat, hook, cursor, command, ECTL_REDRAW; result 1
    StepsNoRedraw = 1,  // repeat, hook, cursor, command; result 1
    StepsPrefix = 2,    // repeat, hook, command; result 1 at once, prefix flags kept
    StepsDecides = 3,   // repeat, hook, cursor, command; the command redraws and gives the result
    StepsNoHook = 4,    // repeat, cursor, command, ECTL_REDRAW; result 1; no countdown
    StepsOwn = 5,       // the command runs its own steps (or none) and gives the result
    StepsPassOn = 6     // hook only; result 0 (the row documents what the hook does)
};

// A bound command. State is the window's record, found afresh just before the
// call; Event is the host's record; Cursor is read only for rows with
// TakesCursor. The result counts only for StepsDecides and StepsOwn rows:
// 1 handled, 0 pass on to the host. A command that hands events to the host
// must not use State afterwards.
typedef int (*TCommand)(TGlobalVars* State, INPUT_RECORD* Event, TCursorPos Cursor, int Arg);

// One binding: a key (with its Shift rule) in one table and what it runs.
struct TBinding {
    WORD Key;                 // virtual-key code, never the character
    TShiftRule Shift;         // Shift requirement within the table
    TSteps Steps;             // steps around the command
    bool TakesCursor;         // the dispatcher reads the cursor before the command
    TCommand Command;         // null only for StepsPassOn rows
    int Arg;                  // per-row constant for Command (a bookmark digit, else 0)
    const char* Name;         // the procedure a reader looks for, e.g. "CopyBlock"
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

// The table a key press goes to, from the window's prefix flags and the
// modifier bits (only the low byte of ControlKeyState counts).
TKeyTableId ChooseKeyTable(bool CtrlKPending, bool CtrlQPending, DWORD ControlKeyState);

// The row of Table bound to Key with these modifiers, or null (pass the key on).
const TBinding* FindBinding(TKeyTableId Table, WORD Key, DWORD ControlKeyState);

// A short name of a virtual-key code: "B", "5", "F7", "Del", "[", or "0xNN".
// Writes at most Size bytes including the NUL.
void FormatKeyName(WORD Key, char* Buffer, int Size);

// The whole key of a row as users write it: "Ctrl+K B", "Ctrl+Shift+P",
// "Shift+F7", "Backspace". Writes at most Size bytes including the NUL.
void FormatBindingKey(TKeyTableId Table, const TBinding& Row, char* Buffer, int Size);

}  // namespace tarvik
