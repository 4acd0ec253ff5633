// The keystroke recorder of each window, and the expansion of a key's repeat count.
// What is recorded and replayed are the console input records the host hands over.
// Those calls that hand events to the host (RecorderHook, RecordingPrompt,
// ExpandRepeatCount) may leave State stale: the host may close the window inside
// them; callers find the record again by its ID.
#pragma once

#include <windows.h>

#include "ground/globals.h"

namespace tarvik {

// Called for each key press the plug-in processes: records it while recording. On
// Ctrl+Shift+R (no Alt) it blanks the event's key and starts a recording, with its
// prompt, or stops the running one instead; Ctrl+Shift+P is never recorded.
void RecorderHook(TGlobalVars* State, INPUT_RECORD* Event);

// Starts a recording, discarding the previous one.
void StartRecording(TGlobalVars* State);

// Ends the recording; what it holds stays for replays.
void StopRecording(TGlobalVars* State);

// Appends a copy of Event. Out of memory the recording ends with what it holds.
void AppendRecordedEvent(TGlobalVars* State, const INPUT_RECORD* Event);

// While recording, drops the last key press that typed a character (32 or more) and
// everything recorded after it.
void DropLastKeystroke(TGlobalVars* State);

// The modal prompt right after a recording starts: keys typed there go to the host
// (and so are recorded), F1 to F12 do nothing, Esc ends the recording, a mouse click
// ends the prompt but not the recording.
void RecordingPrompt(TGlobalVars* State);

// Hands the extra repetitions of a key with a repeat count above 1 to the host one at
// a time; the caller goes on with its own event, now with repeat count 1.
void ExpandRepeatCount(INPUT_RECORD* Event);

// Writes the recording into the console input, behind whatever waits there, and adds
// the number written to the replayed events still to come.
void PlayRecording(TGlobalVars* State);

// After each key the dispatcher processes: one replayed event fewer to come while the
// console input still holds events, none when it is empty.
void CountDownPlayback(TGlobalVars* State);

}  // namespace tarvik
