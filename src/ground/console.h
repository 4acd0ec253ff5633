// The Windows console the host reads its input from and draws into. The plug-in
// writes events there (a save key, a replay), reads from it directly (the search's
// Esc poll, the draining before a box) and measures its screen buffer.
#pragma once

#include <windows.h>

namespace tarvik {

// The standard input handle taken when the host started the plug-in; the search
// polls it for Esc.
extern HANDLE ConsoleInput;

// The standard input handle as it is now.
HANDLE CurrentInput();

// Events waiting in Input; false (Count 0) when the console cannot tell.
bool CountWaitingEvents(HANDLE Input, DWORD& Count);

// Takes the next waiting event; false when none was read.
bool ReadWaitingEvent(HANDLE Input, INPUT_RECORD& Event);

// Removes every event that waits in the current input.
void DiscardPendingInput();

// Puts Count events behind those waiting in the current input; the number written.
DWORD WriteEvents(const INPUT_RECORD* Events, DWORD Count);

// Size of the screen buffer; 80 x 25 when the console cannot tell.
void GetScreenSize(int& Width, int& Height);

// Attribute of the screen cell (X, Y); Fallback when it cannot be read.
WORD ScreenAttribute(int X, int Y, WORD Fallback);

}  // namespace tarvik
