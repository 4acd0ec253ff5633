// The keystroke recorder and the repeat-count expansion.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// The state pointer may be stale after any of these that hand events to the host
// (RecorderHook, RecordingPrompt, ExpandRepeatCount): re-find the record by ID.
void RecorderHook(TGlobalVars* State, INPUT_RECORD* Event);
void StartRecording(TGlobalVars* State);
void StopRecording(TGlobalVars* State);
void AppendRecordedEvent(TGlobalVars* State, const INPUT_RECORD* Event);
void DropLastKeystroke(TGlobalVars* State);
void RecordingPrompt(TGlobalVars* State);
void ExpandRepeatCount(INPUT_RECORD* Event);
void PlayRecording(TGlobalVars* State);
void CountDownPlayback(TGlobalVars* State);

}  // namespace tarvik
