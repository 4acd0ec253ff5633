#include "interactive/incremental_search.h"

#include <windows.h>

#include <climits>
#include <cstring>

#include "access/editor_access.h"
#include "access/host_ui.h"
#include "editors/editor_state.h"
#include "ground/characters.h"
#include "ground/key_event.h"
#include "ground/memory.h"
#include "interactive/recorder.h"
#include "interactive/status_line.h"
#include "interactive/text_search.h"

namespace tarvik {

namespace {

// What one search owns while it runs.
struct TSearchRun {
    int EditorID;            // the window; its record is re-found after every call that may nest
    TChar* Text;             // the search text as typed (the console's code page), and a NUL
    int Length;              // characters accepted: also the index of the top hit-stack entry
    int TextCapacity;        // units allocated for Text
    TCursorPos* Stack;       // entry k: hit of the first k characters; entry 0: the start
    int StackSize;           // entries allocated for Stack
    bool AnsiWindow;         // the window shows ANSI text: the prompt shows what is looked for
    bool HasHigh;            // the first unit of a surrogate pair waits for its second
    TChar High;              // that unit
    INPUT_RECORD HighEvent;  // and the key event that typed it
};

enum TStep { StepGoOn, StepEnd, StepGone };

// Room for Count more units and hit-stack entries; false when memory ran out.
bool MakeRoom(TSearchRun& Run, int Count) {
    if (Run.Length > INT_MAX / 4) return false;
    if (Run.Length + Count + 1 > Run.TextCapacity) {
        int capacity = Run.TextCapacity * 2;
        TChar* text = static_cast<TChar*>(
            ResizeBytes(Run.Text, sizeof(TChar) * static_cast<size_t>(capacity)));
        if (!text) return false;
        Run.Text = text;
        Run.TextCapacity = capacity;
    }
    if (Run.Length + Count + 1 > Run.StackSize) {
        int size = Run.StackSize * 2;
        TCursorPos* stack = static_cast<TCursorPos*>(
            ResizeBytes(Run.Stack, sizeof(TCursorPos) * static_cast<size_t>(size)));
        if (!stack) return false;
        Run.Stack = stack;
        Run.StackSize = size;
    }
    return true;
}

// Stores the first Length characters of Text as the window's SearchText; false when out of memory.
bool PublishText(TGlobalVars* State, const TChar* Text, int Length) {
    TChar* copy = nullptr;
    if (Length > 0) {
        copy = CopyUnits(Text, Length);
        if (!copy) return false;
    }
    FreeBytes(State->SearchText);
    State->SearchText = copy;
    return true;
}

// An Alt or Ctrl combination ends the search, except AltGr, which types a character
// (the @ { } [ ] \ | ~ of many layouts).
bool EndsSearch(DWORD Mods) {
    if ((Mods & kAltGrMask) == kAltGrMask) return false;
    return (Mods & (kAltMask | kCtrlMask)) != 0;
}

int PosPlus(int Pos, int Delta) {
    long long sum = static_cast<long long>(Pos) + Delta;
    return sum > INT_MAX ? INT_MAX : static_cast<int>(sum);
}

// Backspace: back to the hit of the text one character shorter (a surrogate pair goes
// whole, as it came).
TStep TakeBackChar(TGlobalVars* State, TSearchRun& Run) {
    if (Run.Length == 0) return StepGoOn;
    const int Units = Run.Length >= 2 && CharacterUnits(Run.Text + Run.Length - 2, 2) == 2 ? 2 : 1;
    Run.Length -= Units;
    Run.Text[Run.Length] = 0;
    if (!PublishText(State, Run.Text, Run.Length) && State->SearchText &&
        TextLength(State->SearchText) > Run.Length) {
        State->SearchText[Run.Length] = 0;
    }
    for (int I = 0; I < Units; ++I) DropLastKeystroke(State);
    SelectSearchHit(Run.Stack, Run.Length);
    ShowSearchPrompt(Run.Text, Run.AnsiWindow);
    Redraw();
    return StepGoOn;
}

// A printable character, its Count units (1, or 2 for a surrogate pair) typed with the
// Count Events: the longer text from the current hit on, or the character is dropped.
TStep AddChar(TGlobalVars* State, TSearchRun& Run, INPUT_RECORD* Events, const TChar* Units,
              int Count) {
    if (!MakeRoom(Run, Count)) return StepGoOn;
    const int i = Run.Length;
    for (int k = 0; k < Count; ++k) Run.Text[i + k] = Units[k];
    Run.Text[i + Count] = 0;
    TCursorPos hit;
    if (!FindText(State, Run.Text, Run.Stack[i], hit) || !PublishText(State, Run.Text, i + Count)) {
        Run.Text[i] = 0;
        return StepGoOn;
    }
    for (int k = 0; k < Count; ++k) {
        RecorderHook(State, &Events[k]);
        State = FindEditorById(Run.EditorID);
        if (!State) return StepGone;
    }
    Run.Length = i + Count;
    for (int k = 1; k <= Count; ++k) Run.Stack[i + k] = hit;
    SelectSearchHit(Run.Stack, Run.Length);
    ShowSearchPrompt(Run.Text, Run.AnsiWindow);
    Redraw();
    return StepGoOn;
}

// A printable unit. The first unit of a surrogate pair waits for the second, so that the
// search never looks for half a character; without its second it is dropped.
TStep AddUnit(TGlobalVars* State, TSearchRun& Run, INPUT_RECORD& Event, TChar Ch) {
    const bool Pending = Run.HasHigh;
    Run.HasHigh = false;
    if (Pending && IsLowSurrogate(Ch)) {
        const TChar pair[2] = {Run.High, Ch};
        INPUT_RECORD events[2] = {Run.HighEvent, Event};
        return AddChar(State, Run, events, pair, 2);
    }
    if (IsHighSurrogate(Ch)) {
        Run.HasHigh = true;
        Run.High = Ch;
        Run.HighEvent = Event;
        return StepGoOn;
    }
    return AddChar(State, Run, &Event, &Ch, 1);
}

// Ctrl+L inside the search: the same text from one column right of the current hit.
TStep FindAgain(TGlobalVars* State, TSearchRun& Run, INPUT_RECORD& Event) {
    TCursorPos& top = Run.Stack[Run.Length];
    TCursorPos from = {PosPlus(top.Pos, 1), top.Line};
    TCursorPos hit;
    if (!FindText(State, Run.Text, from, hit)) {
        ShowNotFound(Run.Text, Run.AnsiWindow);
        return StepGoOn;
    }
    RecorderHook(State, &Event);
    if (!FindEditorById(Run.EditorID)) return StepGone;
    Run.Stack[Run.Length] = hit;
    SelectSearchHit(Run.Stack, Run.Length);
    Redraw();
    return StepGoOn;
}

// One key-down event, its repeat count already expanded.
TStep HandleKey(TGlobalVars* State, TSearchRun& Run, INPUT_RECORD& Event) {
    const DWORD mods = Modifiers(Event);
    // The key's character as typed; 0 for a key without one.
    const unsigned ch = KeyChar(Event);
    if (ch == 8) {
        Run.HasHigh = false;
        if (mods & (kAltMask | kCtrlMask | kShiftMask)) return StepEnd;
        return TakeBackChar(State, Run);
    }
    if (ch >= 32) {
        if (EndsSearch(mods)) return StepEnd;
        return AddUnit(State, Run, Event, static_cast<TChar>(ch));
    }
    // Anything else: a first half of a pair waiting for its second is dropped.
    Run.HasHigh = false;
    switch (Event.Event.KeyEvent.wVirtualKeyCode) {
        case VK_SHIFT:
        case VK_CONTROL:
        case VK_MENU:
        case VK_CAPITAL:
        case VK_NUMLOCK:
            return StepGoOn;
        case 'L':
            if (!(mods & kAltMask)) return FindAgain(State, Run, Event);
            return StepEnd;
        default:
            return StepEnd;
    }
}

}  // namespace

void SelectSearchHit(const TCursorPos* Stack, int K) {
    SetCursor(Stack[K].Pos, Stack[K].Line);
    SelectBlock({Stack[K].Line, Stack[K].Pos, Stack[K].Line, PosPlus(Stack[K].Pos, K)});
}

void IncrementalSearch(TGlobalVars* State, TCursorPos Start) {
    if (!State) return;
    TSearchRun run = {};
    run.EditorID = State->EditorID;
    run.Length = 0;
    run.TextCapacity = 16;
    run.StackSize = 16;
    run.Text = static_cast<TChar*>(AllocBytes(sizeof(TChar) * run.TextCapacity));
    run.Stack = static_cast<TCursorPos*>(AllocBytes(sizeof(TCursorPos) * run.StackSize));
    if (!run.Text || !run.Stack) {
        FreeBytes(run.Text);
        FreeBytes(run.Stack);
        return;
    }
    run.Text[0] = 0;
    run.Stack[0] = Start;

    TEditorView view;
    run.AnsiWindow = GetEditorView(view) && view.Code == ViewAnsi;

    int height = ScreenHeight();
    State->RepeatUsesHostSearch = false;
    PublishText(State, run.Text, 0);
    HANDLE bottomLine = SaveScreenArea(0, height - 1, -1, -1);
    ShowSearchPrompt(TARVIK_TEXT(""), run.AnsiWindow);

    INPUT_RECORD event;
    memset(&event, 0, sizeof event);
    bool endedByEvent = false;
    bool gone = false;
    while (!endedByEvent && !gone) {
        // A failed read ends the search without an ending event: nothing is re-recorded.
        if (!ReadInput(event)) break;
        if (event.EventType == MOUSE_EVENT && event.Event.MouseEvent.dwButtonState) {
            INPUT_RECORD click = event;
            HandToHost(&click);
            endedByEvent = true;
            break;
        }
        if (!IsKeyPress(event)) continue;
        // A key held down counts once per repetition, as a search key: handed to the
        // host, the repetitions would edit the text under the open search.
        const int times =
            event.Event.KeyEvent.wRepeatCount > 1 ? event.Event.KeyEvent.wRepeatCount : 1;
        event.Event.KeyEvent.wRepeatCount = 1;
        for (int n = 0; n < times && !endedByEvent && !gone; ++n) {
            TGlobalVars* state = FindEditorById(run.EditorID);
            if (!state) {
                gone = true;
                break;
            }
            TStep step = HandleKey(state, run, event);
            endedByEvent = step == StepEnd;
            gone = step == StepGone;
        }
    }

    TGlobalVars* state = FindEditorById(run.EditorID);
    if (state && endedByEvent) {
        RecorderHook(state, &event);
        state = FindEditorById(run.EditorID);
    }
    if (state) {
        const TCursorPos& top = run.Stack[run.Length];
        SetCursor(PosPlus(top.Pos, run.Length), top.Line);
        ClearSelection();
    }
    FreeBytes(run.Stack);
    FreeBytes(run.Text);
    RestoreScreenArea(bottomLine);
}

}  // namespace tarvik
