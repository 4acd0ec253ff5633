#include "ground/key_event.h"

#include <cstring>

namespace tarvik {

INPUT_RECORD KeyPressRecord(WORD VirtualKey, char Char, DWORD ControlKeyState) {
    INPUT_RECORD event;
    memset(&event, 0, sizeof event);
    event.EventType = KEY_EVENT;
    event.Event.KeyEvent.bKeyDown = -1;
    event.Event.KeyEvent.wRepeatCount = 1;
    event.Event.KeyEvent.wVirtualKeyCode = VirtualKey;
#if defined(TARVIK_WIDE)
    event.Event.KeyEvent.uChar.UnicodeChar = static_cast<unsigned char>(Char);
#else
    event.Event.KeyEvent.uChar.AsciiChar = Char;
#endif
    event.Event.KeyEvent.dwControlKeyState = ControlKeyState;
    return event;
}

unsigned KeyChar(const INPUT_RECORD& Event) {
#if defined(TARVIK_WIDE)
    return static_cast<unsigned short>(Event.Event.KeyEvent.uChar.UnicodeChar);
#else
    return static_cast<unsigned char>(Event.Event.KeyEvent.uChar.AsciiChar);
#endif
}

}  // namespace tarvik
