// Key strings of the tests turned into console input events, and events turned back
// into short names: shared by both stand-in hosts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace host {

// ---- Keys -----------------------------------------------------------------------

// Parses a key string into console input events. Tokens are separated by blanks:
//   "x", "A", "5", "[", ";"      a character key (capital letters carry Shift)
//   "^K", "Ctrl+K"               Ctrl with a key; "Ctrl+Shift+R", "Alt+B", "RCtrl+K",
//   "AltGr+Q" (right Alt and left Ctrl, as the AltGr key sends)
//   "Enter", "Tab", "BS", "Esc", "Del", "Ins", "Home", "End", "Left", "Right", "Up",
//   "Down", "PgUp", "PgDn", "Space", "F1".."F12", "Num5" (keypad digit), "Shift",
//   "Ctrl", "Alt" (a modifier key's own event)
//   any token may end in "*N": repeat count N, e.g. "^K P*2"
// Each key gives a press and, when WithReleases, a release. Character codes follow
// the console: Ctrl+letter gives the control code (Ctrl+L is 12), keys without a
// character give 0.
std::vector<INPUT_RECORD> ParseKeys(const std::string& Keys, bool WithReleases = true);
// One key press (no release) from a single token.
INPUT_RECORD KeyPress(const std::string& Token);
// A press of a character key with this byte as AsciiChar (VK from the character
// where it has one, else 0). Used for OEM text such as Cyrillic letters.
INPUT_RECORD CharPress(unsigned char Ch);
// A press of a character key with this UTF-16 unit as UnicodeChar, as the wide console
// calls give it (VK from the character where ASCII has one, else 0).
INPUT_RECORD UnitPress(char16_t Unit);
INPUT_RECORD MouseEvent(int X, int Y, DWORD Buttons, DWORD Flags = 0);
// What the host produces when nothing is typed: a KEY_EVENT with every field zero.
INPUT_RECORD IdleRecord();
// A short readable name of an event ("Ctrl+K", "x", "F2 up", "Mouse(3,4) 1").
std::string EventName(const INPUT_RECORD& Event);

// The host's own action on a key it handled itself (beyond plain editing).
enum class HostAction { Search, RepeatSearch, Replace, Save, Close };

}  // namespace host
