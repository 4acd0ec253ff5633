// The plug-in's shared records and its few globals. Everything the plug-in
// knows lives here or in a window's TGlobalVars record.
#pragma once

#include "plugin/host_api.h"

namespace tarvik {

// A place in the text: Pos is the host's CurPos (a byte index in the line),
// Line is 0-based.
struct TCursorPos {
    int Pos;
    int Line;
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
    char* SearchText;              // owned, as typed (OEM code page); null means empty
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

// ---- Host services (null until SetStartupInfo accepts the host's record) ----
extern FARAPIEDITORCONTROL EditorControl;
extern FARAPISAVESCREEN SaveScreen;
extern FARAPIRESTORESCREEN RestoreScreen;
extern FARAPITEXT Text;
extern FARAPIGETMSG GetMsg;
extern FARAPIMESSAGE Message;
extern FARAPICHARTABLE CharTable;
extern int ModuleNumber;
extern char* RootKey;        // owned copy of the host's registry path; null until captured
extern HANDLE ConsoleInput;  // standard input handle taken at start-up

// ---- Menu texts, kept alive for the host between GetPluginInfo calls ----
extern char* TurnOffMenuText;
extern char* TurnOnMenuText;

// ---- Settings (registry values of the same names) ----
extern int MaxDetectSearchLines;     // default 1024
extern int MaxTabSearchLines;        // default 64
extern int MaxBackspaceSearchLines;  // default 128
extern int OnForTextWithTabs;        // default 0
extern int SaveFileType;             // default 0

// ---- Window records ----
extern TGlobalVars* EditorList;

// Fetches a message text; an empty string when the host cannot give one.
const char* Msg(TMessage Id);

}  // namespace tarvik
