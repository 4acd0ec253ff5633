// The key dispatcher: the body of ProcessEditorInput.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// Handles one input event; 1 when the plug-in used it, 0 when the host is to.
// The host's record may be changed in place (repeat count, blanked keys).
int DispatchEditorInput(INPUT_RECORD* Rec);

// Hands Event to the host through ECTL_PROCESSINPUT: the host dispatches it (a
// nested call, served once) and then handles it itself. Every hand-over of the
// plug-in goes through here. The host's result.
int HandToHost(INPUT_RECORD* Event);

// Hands one key press to the host through ECTL_PROCESSINPUT (a nested dispatch).
void SendKeyToHost(WORD VirtualKey, char Char, DWORD ControlKeyState);

// Puts an F2 press and release into the console input: the host saves the file.
void SaveFile();

}  // namespace tarvik
