// Making the block: the begin and end marks, the cursor's line, the word under the
// cursor, and hiding it. The block is always the host's own stream selection; the
// marks of a window's record only serve to make it.
#pragma once

#include "ground/globals.h"

namespace tarvik {

// Removes the host's selection; the marks stay for the next Ctrl+K B or K.
void HideBlock();

// Sets the window's begin (end) mark to Pos and selects between the marks when the
// begin precedes the end; otherwise the host's selection stays as it is.
void MarkBlockBegin(TGlobalVars* State, TCursorPos Pos);
void MarkBlockEnd(TGlobalVars* State, TCursorPos Pos);

// Selects the line at Pos with its line break.
void MarkLine(TCursorPos Pos);

// Selects the run of word units under the cursor; elsewhere nothing changes.
void MarkWord(TCursorPos Pos);

}  // namespace tarvik
