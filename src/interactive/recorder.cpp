// Placeholder: replaced when this part is built.
#include "interactive/recorder.h"

namespace tarvik {
void RecorderHook(TGlobalVars*, INPUT_RECORD*) {}
void StartRecording(TGlobalVars*) {}
void StopRecording(TGlobalVars*) {}
void AppendRecordedEvent(TGlobalVars*, const INPUT_RECORD*) {}
void DropLastKeystroke(TGlobalVars*) {}
void RecordingPrompt(TGlobalVars*) {}
void ExpandRepeatCount(INPUT_RECORD*) {}
void PlayRecording(TGlobalVars*) {}
void CountDownPlayback(TGlobalVars*) {}
}  // namespace tarvik
