// Key events as the host hands them over: the Windows console's input records,
// with the modifier masks every part of the plug-in tests them by.
#pragma once

#include <windows.h>

namespace tarvik {

// Only the low byte of dwControlKeyState counts; left and right keys are equal.
constexpr DWORD kAltMask = RIGHT_ALT_PRESSED | LEFT_ALT_PRESSED;
constexpr DWORD kCtrlMask = RIGHT_CTRL_PRESSED | LEFT_CTRL_PRESSED;
constexpr DWORD kShiftMask = SHIFT_PRESSED;
// The AltGr key sends right Alt with left Ctrl; the host types what it gives as text.
constexpr DWORD kAltGrMask = RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED;

// The modifier bits of Event (its low byte).
inline DWORD Modifiers(const INPUT_RECORD& Event) {
    return Event.Event.KeyEvent.dwControlKeyState & 0xFF;
}

// True for a key press (a key event with bKeyDown set).
inline bool IsKeyPress(const INPUT_RECORD& Event) {
    return Event.EventType == KEY_EVENT && Event.Event.KeyEvent.bKeyDown;
}

// A key press as a typed key arrives: repeat count 1, no scan code.
INPUT_RECORD KeyPressRecord(WORD VirtualKey, char Char, DWORD ControlKeyState);

// The character a key event carries, as an unsigned unit of text (0 for none): the
// console's code page in the 8-bit build, UTF-16 in the Unicode one.
unsigned KeyChar(const INPUT_RECORD& Event);

}  // namespace tarvik
