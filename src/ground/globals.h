// The plug-in's shared records and its few globals: a place in the text, a block,
// the state of each editor window, the message numbers, the settings. Everything
// the plug-in knows between two host calls lives here or in a window's record.
#pragma once

#include <windows.h>

#include "ground/text.h"

namespace tarvik {

// A place in the text: Pos is the host's CurPos (a unit index in the line, which
// may lie past its end), Line is 0-based.
struct TCursorPos {
    int Pos;
    int Line;
};

// True when A comes before B in reading order.
inline bool Precedes(TCursorPos A, TCursorPos B) {
    return A.Line < B.Line || (A.Line == B.Line && A.Pos < B.Pos);
}

// A stream block: from (StartPos, StartLine) up to, not including, (EndPos, EndLine).
// A block through the line break of line L ends at (0, L + 1), also when L is the
// text's last line, whose break does not exist.
struct TBlockExtent {
    int StartLine;
    int StartPos;
    int EndLine;
    int EndPos;
};

// Mode values of a window.
enum : unsigned char { ModeUndecided = 0, ModeOn = 1, ModeOff = 2 };

// Per-window state, one record per open editor window, newest first in EditorList.
struct TGlobalVars {
    int EditorID;                  // the host's editor ID; key of the list
    unsigned char Mode;            // ModeUndecided, ModeOn or ModeOff
    TCursorPos BlockBegin;         // block begin mark; (INT_MAX, INT_MAX) until set
    TCursorPos BlockEnd;           // block end mark, first position after the block
    TGlobalVars* Next;             // next (older) record, null at the tail
    bool CtrlKPending;             // Ctrl+K was the last key
    bool CtrlQPending;             // Ctrl+Q was the last key
    bool RepeatUsesHostSearch;     // Ctrl+L / Shift+F7 repeat the host's own search
    TChar* SearchText;             // owned, as typed (the console's code page); null: empty
    bool Recording;                // keystrokes are being recorded
    int RecordedCount;             // number of events in RecordedEvents
    INPUT_RECORD* RecordedEvents;  // owned; null when RecordedCount is 0
    unsigned PlaybackPending;      // replayed events that may still wait in the console input
    TCursorPos Bookmarks[10];      // per digit; Pos -1 = unset
};

// Message numbers of the language files, in file order.
enum TMessage {
    MSearchPrompt = 0,     // prefix of the incremental-search prompt
    MRecordingPrompt = 1,  // the prompt while keystrokes are recorded
    MTurnOff = 2,          // menu entry while the bindings are on
    MTurnOn = 3,           // menu entry while the bindings are off or undecided
    MSearchTitle = 4,      // title of both search boxes
    MNotFound = 5,         // text line of the not-found box
    MOk = 6,               // the not-found box's button
    MSearching = 7,        // text line of the box shown while a search runs
    MessageCount = 8
};

// ---- Settings (read by the entry layer from the host's store at start-up) ----
extern int MaxDetectSearchLines;     // default 1024
extern int MaxTabSearchLines;        // default 64
extern int MaxBackspaceSearchLines;  // default 128
extern int OnForTextWithTabs;        // default 0
extern int SaveFileType;             // default 0

// ---- Window records ----
extern TGlobalVars* EditorList;

}  // namespace tarvik
