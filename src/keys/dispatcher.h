// The key dispatcher, the body of ProcessEditorInput: decides for one input event at a
// time whether the plug-in handles it (1: the host drops it) or passes it on (0). It
// keeps each window's Ctrl+K / Ctrl+Q prefix, looks the key up in the binding tables
// and runs the row's procedure in the row's steps.
#pragma once

#include <windows.h>

namespace tarvik {

// Handles one input event; 1 when the plug-in used it, 0 when the host is to. The
// host's record may be changed in place (repeat count, blanked keys).
int DispatchEditorInput(INPUT_RECORD* Rec);

}  // namespace tarvik
