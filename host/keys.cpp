// Key strings of the tests turned into console input events, as a US keyboard
// under Windows delivers them, and events turned back into short names.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "keys.h"

namespace host {

namespace {

struct NamedKey {
    const char* Name;
    WORD Vk;
    char Ch;
};

// Keys named by a word; Ch is the character the console gives without modifiers.
const NamedKey kNamedKeys[] = {
    {"Enter", VK_RETURN, '\r'},
    {"Tab", VK_TAB, '\t'},
    {"BS", VK_BACK, '\b'},
    {"Esc", VK_ESCAPE, 27},
    {"Del", VK_DELETE, 0},
    {"Ins", VK_INSERT, 0},
    {"Home", VK_HOME, 0},
    {"End", VK_END, 0},
    {"Left", VK_LEFT, 0},
    {"Right", VK_RIGHT, 0},
    {"Up", VK_UP, 0},
    {"Down", VK_DOWN, 0},
    {"PgUp", VK_PRIOR, 0},
    {"PgDn", VK_NEXT, 0},
    {"Space", VK_SPACE, ' '},
    {"Pause", VK_PAUSE, 0},
    {"CapsLock", VK_CAPITAL, 0},
    {"NumLock", VK_NUMLOCK, 0},
};

// Punctuation of a US layout: unshifted and shifted character of each OEM key.
struct OemKey {
    WORD Vk;
    char Plain;
    char Shifted;
};
const OemKey kOemKeys[] = {
    {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},
};
const char kShiftedDigits[] = ")!@#$%^&*(";  // Shift+0 .. Shift+9

INPUT_RECORD MakeKey(WORD Vk, char Ch, DWORD State, bool Down = true) {
    INPUT_RECORD R;
    std::memset(&R, 0, sizeof R);
    R.EventType = KEY_EVENT;
    R.Event.KeyEvent.bKeyDown = Down ? TRUE : FALSE;
    R.Event.KeyEvent.wRepeatCount = 1;
    R.Event.KeyEvent.wVirtualKeyCode = Vk;
    R.Event.KeyEvent.uChar.AsciiChar = Ch;
    R.Event.KeyEvent.dwControlKeyState = State;
    return R;
}

// Virtual key and Shift need of a printable character; false when it has no key.
bool CharKey(unsigned char C, WORD& Vk, bool& Shift) {
    Shift = false;
    if (C >= 'a' && C <= 'z') {
        Vk = static_cast<WORD>(C - 'a' + 'A');
        return true;
    }
    if (C >= 'A' && C <= 'Z') {
        Vk = C;
        Shift = true;
        return true;
    }
    if (C >= '0' && C <= '9') {
        Vk = C;
        return true;
    }
    if (C == ' ') {
        Vk = VK_SPACE;
        return true;
    }
    for (int D = 0; D < 10; ++D)
        if (static_cast<unsigned char>(kShiftedDigits[D]) == C) {
            Vk = static_cast<WORD>('0' + D);
            Shift = true;
            return true;
        }
    for (const OemKey& K : kOemKeys) {
        if (K.Plain == static_cast<char>(C)) {
            Vk = K.Vk;
            return true;
        }
        if (K.Shifted == static_cast<char>(C)) {
            Vk = K.Vk;
            Shift = true;
            return true;
        }
    }
    return false;
}

// The character the console gives for Vk with Ctrl held (0 for most keys).
char CtrlChar(WORD Vk) {
    if (Vk >= 'A' && Vk <= 'Z') return static_cast<char>(Vk - 'A' + 1);
    if (Vk == VK_OEM_4) return 27;
    if (Vk == VK_OEM_5) return 28;
    if (Vk == VK_OEM_6) return 29;
    if (Vk == VK_SPACE) return ' ';
    if (Vk == VK_RETURN) return '\n';
    if (Vk == VK_BACK) return 127;
    return 0;
}

bool StartsWith(const std::string& S, const char* P) {
    size_t N = std::strlen(P);
    return S.size() > N && S.compare(0, N, P) == 0;
}

// One token without its repeat suffix; false for a token that names no key.
bool ParseToken(std::string T, INPUT_RECORD& Out) {
    DWORD State = 0;
    bool AltGr = false;
    for (;;) {
        if (T.size() > 1 && T[0] == '^') {
            State |= LEFT_CTRL_PRESSED;
            T.erase(0, 1);
        } else if (StartsWith(T, "Ctrl+")) {
            State |= LEFT_CTRL_PRESSED;
            T.erase(0, 5);
        } else if (StartsWith(T, "RCtrl+")) {
            State |= RIGHT_CTRL_PRESSED;
            T.erase(0, 6);
        } else if (StartsWith(T, "Alt+")) {
            State |= LEFT_ALT_PRESSED;
            T.erase(0, 4);
        } else if (StartsWith(T, "RAlt+")) {
            State |= RIGHT_ALT_PRESSED;
            T.erase(0, 5);
        } else if (StartsWith(T, "AltGr+")) {
            State |= RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED;
            AltGr = true;
            T.erase(0, 6);
        } else if (StartsWith(T, "Shift+")) {
            State |= SHIFT_PRESSED;
            T.erase(0, 6);
        } else {
            break;
        }
    }
    const bool Ctrl = (State & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
    const bool Shift = (State & SHIFT_PRESSED) != 0;

    if (T == "Shift" || T == "Ctrl" || T == "Alt") {
        WORD Vk = T == "Shift" ? VK_SHIFT : T == "Ctrl" ? VK_CONTROL : VK_MENU;
        DWORD Own = T == "Shift"  ? SHIFT_PRESSED
                    : T == "Ctrl" ? LEFT_CTRL_PRESSED
                                  : LEFT_ALT_PRESSED;
        Out = MakeKey(Vk, 0, State | Own);
        return true;
    }
    for (const NamedKey& K : kNamedKeys)
        if (T == K.Name) {
            char Ch = K.Ch;
            if (Ctrl) Ch = CtrlChar(K.Vk);
            Out = MakeKey(K.Vk, Ch, State);
            return true;
        }
    if (T.size() >= 2 && T.size() <= 3 && T[0] == 'F' &&
        std::isdigit(static_cast<unsigned char>(T[1]))) {
        int N = std::atoi(T.c_str() + 1);
        if (N < 1 || N > 12) return false;
        Out = MakeKey(static_cast<WORD>(VK_F1 + N - 1), 0, State);
        return true;
    }
    if (T.size() == 4 && T.compare(0, 3, "Num") == 0 &&
        std::isdigit(static_cast<unsigned char>(T[3]))) {
        Out = MakeKey(static_cast<WORD>(VK_NUMPAD0 + (T[3] - '0')), Ctrl ? 0 : T[3], State);
        return true;
    }
    if (T.size() != 1) return false;

    WORD Vk = 0;
    bool NeedsShift = false;
    unsigned char C = static_cast<unsigned char>(T[0]);
    if (!CharKey(C, Vk, NeedsShift)) return false;
    // "^K" and "Ctrl+K" name the plain key; only a bare capital or symbol implies Shift.
    if (NeedsShift && !(State & 0x0F)) State |= SHIFT_PRESSED;
    char Ch = static_cast<char>(C);
    if (Shift && C >= 'a' && C <= 'z') Ch = static_cast<char>(C - 'a' + 'A');
    if (AltGr)
        Ch = Vk == 'Q' ? '@' : 0;  // a German layout's AltGr+Q
    else if (Ctrl)
        Ch = CtrlChar(Vk);
    else if (State & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED))
        Ch = static_cast<char>(std::tolower(C));
    Out = MakeKey(Vk, Ch, State);
    return true;
}

}  // namespace

INPUT_RECORD KeyPress(const std::string& Token) {
    INPUT_RECORD R;
    std::string T = Token;
    int Repeat = 1;
    size_t Star = T.rfind('*');
    if (Star != std::string::npos && Star > 0 && Star + 1 < T.size() &&
        T.find_first_not_of("0123456789", Star + 1) == std::string::npos) {
        Repeat = std::atoi(T.c_str() + Star + 1);
        T.erase(Star);
    }
    if (!ParseToken(T, R)) {
        std::fprintf(stderr, "host: unknown key token '%s'\n", Token.c_str());
        R = MakeKey(0, 0, 0);
    }
    if (Repeat < 1) Repeat = 1;
    if (Repeat > 0xFFFF) Repeat = 0xFFFF;
    R.Event.KeyEvent.wRepeatCount = static_cast<WORD>(Repeat);
    return R;
}

std::vector<INPUT_RECORD> ParseKeys(const std::string& Keys, bool WithReleases) {
    std::vector<INPUT_RECORD> Out;
    size_t I = 0;
    while (I < Keys.size()) {
        while (I < Keys.size() && Keys[I] == ' ') ++I;
        size_t E = Keys.find(' ', I);
        if (E == std::string::npos) E = Keys.size();
        if (E > I) {
            INPUT_RECORD R = KeyPress(Keys.substr(I, E - I));
            Out.push_back(R);
            if (WithReleases) {
                R.Event.KeyEvent.bKeyDown = FALSE;
                R.Event.KeyEvent.wRepeatCount = 1;
                if (R.Event.KeyEvent.wVirtualKeyCode == VK_SHIFT)
                    R.Event.KeyEvent.dwControlKeyState &= ~static_cast<DWORD>(SHIFT_PRESSED);
                else if (R.Event.KeyEvent.wVirtualKeyCode == VK_CONTROL)
                    R.Event.KeyEvent.dwControlKeyState &= ~static_cast<DWORD>(LEFT_CTRL_PRESSED);
                else if (R.Event.KeyEvent.wVirtualKeyCode == VK_MENU)
                    R.Event.KeyEvent.dwControlKeyState &= ~static_cast<DWORD>(LEFT_ALT_PRESSED);
                Out.push_back(R);
            }
        }
        I = E;
    }
    return Out;
}

INPUT_RECORD CharPress(unsigned char Ch) {
    WORD Vk = 0;
    bool Shift = false;
    if (!CharKey(Ch, Vk, Shift)) Vk = 0;
    return MakeKey(Vk, static_cast<char>(Ch), Shift ? SHIFT_PRESSED : 0);
}

INPUT_RECORD UnitPress(char16_t Unit) {
    INPUT_RECORD R = CharPress(Unit < 0x80 ? static_cast<unsigned char>(Unit) : 0);
    R.Event.KeyEvent.uChar.UnicodeChar = Unit;
    return R;
}

INPUT_RECORD MouseEvent(int X, int Y, DWORD Buttons, DWORD Flags) {
    INPUT_RECORD R;
    std::memset(&R, 0, sizeof R);
    R.EventType = MOUSE_EVENT;
    R.Event.MouseEvent.dwMousePosition.X = static_cast<SHORT>(X);
    R.Event.MouseEvent.dwMousePosition.Y = static_cast<SHORT>(Y);
    R.Event.MouseEvent.dwButtonState = Buttons;
    R.Event.MouseEvent.dwEventFlags = Flags;
    return R;
}

INPUT_RECORD IdleRecord() {
    INPUT_RECORD R;
    std::memset(&R, 0, sizeof R);
    R.EventType = KEY_EVENT;
    return R;
}

std::string EventName(const INPUT_RECORD& Event) {
    char Buf[64];
    if (Event.EventType == MOUSE_EVENT) {
        const MOUSE_EVENT_RECORD& M = Event.Event.MouseEvent;
        std::snprintf(Buf, sizeof Buf, "Mouse(%d,%d) %u", M.dwMousePosition.X, M.dwMousePosition.Y,
                      static_cast<unsigned>(M.dwButtonState));
        return Buf;
    }
    if (Event.EventType != KEY_EVENT) {
        std::snprintf(Buf, sizeof Buf, "Event(%u)", static_cast<unsigned>(Event.EventType));
        return Buf;
    }
    const KEY_EVENT_RECORD& K = Event.Event.KeyEvent;
    const DWORD S = K.dwControlKeyState;
    const WORD Vk = K.wVirtualKeyCode;
    const unsigned char Ch = static_cast<unsigned char>(K.uChar.AsciiChar);
    std::string Key;
    bool ShiftShown = false;
    for (const NamedKey& N : kNamedKeys)
        if (N.Vk == Vk) Key = N.Name;
    if (Key.empty()) {
        if (Vk >= VK_F1 && Vk <= VK_F12) {
            Key = "F" + std::to_string(Vk - VK_F1 + 1);
        } else if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD9) {
            Key = "Num" + std::to_string(Vk - VK_NUMPAD0);
        } else if (Vk == VK_SHIFT) {
            Key = "Shift";
        } else if (Vk == VK_CONTROL) {
            Key = "Ctrl";
        } else if (Vk == VK_MENU) {
            Key = "Alt";
        } else if (Ch >= 32 && !(S & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED | LEFT_ALT_PRESSED |
                                      RIGHT_ALT_PRESSED))) {
            Key = std::string(1, static_cast<char>(Ch));
            ShiftShown = true;  // the character already tells
        } else if ((Vk >= 'A' && Vk <= 'Z') || (Vk >= '0' && Vk <= '9')) {
            Key = std::string(1, static_cast<char>(Vk));
        } else {
            for (const OemKey& O : kOemKeys)
                if (O.Vk == Vk) Key = std::string(1, O.Plain);
            if (Key.empty()) {
                std::snprintf(Buf, sizeof Buf, "VK%02X", Vk);
                Key = Buf;
                if (Ch) {
                    std::snprintf(Buf, sizeof Buf, "'\\x%02X'", Ch);
                    Key += Buf;
                }
            }
        }
    }
    std::string Name;
    if ((S & RIGHT_ALT_PRESSED) && (S & LEFT_CTRL_PRESSED)) {
        Name += "AltGr+";
    } else {
        if (S & LEFT_CTRL_PRESSED) Name += "Ctrl+";
        if (S & RIGHT_CTRL_PRESSED) Name += "RCtrl+";
        if (S & LEFT_ALT_PRESSED) Name += "Alt+";
        if (S & RIGHT_ALT_PRESSED) Name += "RAlt+";
    }
    if ((S & SHIFT_PRESSED) && !ShiftShown && Vk != VK_SHIFT) Name += "Shift+";
    if (Vk == VK_CONTROL || Vk == VK_SHIFT || Vk == VK_MENU) Name.clear();
    Name += Key;
    if (K.wRepeatCount > 1) Name += "*" + std::to_string(K.wRepeatCount);
    if (!K.bKeyDown) Name += " up";
    return Name;
}

}  // namespace host
