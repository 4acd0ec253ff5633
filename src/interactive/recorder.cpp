#include "interactive/recorder.h"

#include <climits>
#include <cstring>

#include "access/editor_access.h"
#include "access/host_ui.h"
#include "editors/editor_state.h"
#include "ground/console.h"
#include "ground/key_event.h"
#include "ground/memory.h"
#include "interactive/status_line.h"

namespace tarvik {

namespace {

// Ctrl+Shift+R or Ctrl+Shift+P without Alt, pressed or released.
bool IsRecorderKey(const INPUT_RECORD* Event) {
    if (Event->EventType != KEY_EVENT) return false;
    const KEY_EVENT_RECORD& key = Event->Event.KeyEvent;
    if (key.wVirtualKeyCode != 'R' && key.wVirtualKeyCode != 'P') return false;
    const DWORD mods = Modifiers(*Event);
    return (mods & kCtrlMask) && (mods & SHIFT_PRESSED) && !(mods & kAltMask);
}

// Resizes the recording to Count records; false (nothing changed) when memory ran out.
bool ResizeRecording(TGlobalVars* State, int Count) {
    if (Count <= 0) {
        FreeBytes(State->RecordedEvents);
        State->RecordedEvents = nullptr;
        State->RecordedCount = 0;
        return true;
    }
    void* block =
        ResizeBytes(State->RecordedEvents, static_cast<size_t>(Count) * sizeof(INPUT_RECORD));
    if (!block) return false;
    State->RecordedEvents = static_cast<INPUT_RECORD*>(block);
    return true;
}

}  // namespace

void RecorderHook(TGlobalVars* State, INPUT_RECORD* Event) {
    if (!State || !Event) return;
    if (IsRecorderKey(Event)) {
        KEY_EVENT_RECORD& key = Event->Event.KeyEvent;
        if (key.wVirtualKeyCode == 'P') return;
        // The host goes on with this event; blanked, it means nothing to it.
        key.wVirtualKeyCode = 0;
        key.wVirtualScanCode = 0;
        key.uChar.UnicodeChar = 0;
        if (State->Recording) {
            StopRecording(State);
        } else {
            StartRecording(State);
            RecordingPrompt(State);
        }
        return;
    }
    if (State->Recording) AppendRecordedEvent(State, Event);
}

void StartRecording(TGlobalVars* State) {
    State->Recording = true;
    FreeBytes(State->RecordedEvents);
    State->RecordedEvents = nullptr;
    State->RecordedCount = 0;
}

void StopRecording(TGlobalVars* State) {
    State->Recording = false;
}

void AppendRecordedEvent(TGlobalVars* State, const INPUT_RECORD* Event) {
    // Out of memory the recording ends with what it holds and the key still works:
    // recording on past a lost key would replay keys the user never typed together.
    if (!Event || State->RecordedCount < 0 || State->RecordedCount == INT_MAX) return;
    const int count = State->RecordedCount;
    if (!ResizeRecording(State, count + 1)) {
        StopRecording(State);
        return;
    }
    memcpy(&State->RecordedEvents[count], Event, sizeof(INPUT_RECORD));
    State->RecordedCount = count + 1;
}

void DropLastKeystroke(TGlobalVars* State) {
    if (!State->Recording || !State->RecordedEvents) return;
    for (int i = State->RecordedCount - 1; i >= 0; --i) {
        const INPUT_RECORD& event = State->RecordedEvents[i];
        if (event.EventType != KEY_EVENT || !event.Event.KeyEvent.bKeyDown) continue;
        if (KeyChar(event) < 32) continue;
        // A failed shrink keeps the larger block; only the count matters then.
        ResizeRecording(State, i);
        State->RecordedCount = i;
        return;
    }
}

void RecordingPrompt(TGlobalVars* State) {
    const int id = State->EditorID;
    const int height = ScreenHeight();
    HANDLE saved = SaveScreenArea(0, height - 1, -1, -1);
    ShowStatusLine(MessageText(MRecordingPrompt), TARVIK_TEXT(""));
    for (;;) {
        INPUT_RECORD event;
        memset(&event, 0, sizeof event);
        if (!ReadInput(event)) break;
        if (event.EventType == MOUSE_EVENT && event.Event.MouseEvent.dwButtonState) {
            HandToHost(&event);
            break;
        }
        if (IsKeyPress(event)) {
            const WORD vk = event.Event.KeyEvent.wVirtualKeyCode;
            if (vk == VK_ESCAPE) {
                if (TGlobalVars* rec = FindEditorById(id)) StopRecording(rec);
            } else if (vk < VK_F1 || vk > VK_F12) {
                HandToHost(&event);
            }
        }
        // The key handed over may have ended the recording or closed the window.
        const TGlobalVars* rec = FindEditorById(id);
        if (!rec || !rec->Recording) break;
    }
    RestoreScreenArea(saved);
}

void ExpandRepeatCount(INPUT_RECORD* Event) {
    if (!Event || Event->EventType != KEY_EVENT) return;
    while (Event->Event.KeyEvent.wRepeatCount > 1) {
        // A fresh copy each time: a nested dispatch may blank the copy it got.
        INPUT_RECORD copy = *Event;
        copy.Event.KeyEvent.wRepeatCount = 1;
        HandToHost(&copy);
        --Event->Event.KeyEvent.wRepeatCount;
    }
}

void PlayRecording(TGlobalVars* State) {
    // A recording that is still being made is not played.
    if (State->Recording) return;
    DWORD written = 0;
    if (State->RecordedEvents && State->RecordedCount > 0)
        written = WriteEvents(State->RecordedEvents, static_cast<DWORD>(State->RecordedCount));
    // Added, not set: a replay typed ahead of an earlier one's events must not cut
    // the count of events still to come, or a search among them would poll the
    // keyboard and swallow them.
    const DWORD room = UINT_MAX - State->PlaybackPending;
    State->PlaybackPending += written < room ? written : room;
}

void CountDownPlayback(TGlobalVars* State) {
    if (State->PlaybackPending == 0) return;
    DWORD waiting = 0;
    if (CountWaitingEvents(CurrentInput(), waiting) && waiting > 0)
        --State->PlaybackPending;
    else
        State->PlaybackPending = 0;
}

}  // namespace tarvik
