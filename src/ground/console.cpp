#include "ground/console.h"

#include <cstring>

namespace tarvik {

HANDLE ConsoleInput = nullptr;

namespace {

// The Unicode build reads and writes the console's records as the host of its
// generation does, with the character as a UTF-16 unit.
#if defined(TARVIK_WIDE)
#define TARVIK_CONSOLE(Name) Name##W
#else
#define TARVIK_CONSOLE(Name) Name##A
#endif

constexpr int kDefaultWidth = 80;
constexpr int kDefaultHeight = 25;

}  // namespace

HANDLE CurrentInput() {
    return GetStdHandle(STD_INPUT_HANDLE);
}

bool CountWaitingEvents(HANDLE Input, DWORD& Count) {
    Count = 0;
    if (GetNumberOfConsoleInputEvents(Input, &Count)) return true;
    Count = 0;
    return false;
}

bool ReadWaitingEvent(HANDLE Input, INPUT_RECORD& Event) {
    DWORD read = 0;
    return TARVIK_CONSOLE(ReadConsoleInput)(Input, &Event, 1, &read) && read == 1;
}

void DiscardPendingInput() {
    HANDLE input = CurrentInput();
    for (;;) {
        INPUT_RECORD event;
        DWORD count = 0;
        if (!TARVIK_CONSOLE(PeekConsoleInput)(input, &event, 1, &count) || count == 0) break;
        // A read that takes nothing would make this loop spin for ever.
        if (!ReadWaitingEvent(input, event)) break;
    }
}

DWORD WriteEvents(const INPUT_RECORD* Events, DWORD Count) {
    DWORD written = 0;
    if (Events && Count) TARVIK_CONSOLE(WriteConsoleInput)(CurrentInput(), Events, Count, &written);
    return written;
}

void GetScreenSize(int& Width, int& Height) {
    Width = kDefaultWidth;
    Height = kDefaultHeight;
    CONSOLE_SCREEN_BUFFER_INFO csbi;
    memset(&csbi, 0, sizeof csbi);
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &csbi)) return;
    // A console that reports no area is measured as the default one.
    if (csbi.dwSize.X <= 0 || csbi.dwSize.Y <= 0) return;
    Width = csbi.dwSize.X;
    Height = csbi.dwSize.Y;
}

WORD ScreenAttribute(int X, int Y, WORD Fallback) {
    WORD attribute = Fallback;
    COORD cell = {static_cast<SHORT>(X), static_cast<SHORT>(Y)};
    DWORD read = 0;
    if (!ReadConsoleOutputAttribute(GetStdHandle(STD_OUTPUT_HANDLE), &attribute, 1, cell, &read) ||
        read != 1)
        return Fallback;
    return attribute;
}

}  // namespace tarvik
