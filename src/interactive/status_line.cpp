#include "interactive/status_line.h"

#include <windows.h>

#include <cstring>

#include "plugin/globals.h"
#include "plugin/memory.h"

namespace tarvik {

namespace {

constexpr int kDefaultWidth = 80;
constexpr int kDefaultHeight = 25;
constexpr WORD kDefaultPromptColor = 0x30;

// Screen-buffer size; 80 x 25 when the console cannot tell or reports no area.
void GetScreenSize(int& Width, int& Height) {
    Width = kDefaultWidth;
    Height = kDefaultHeight;
    CONSOLE_SCREEN_BUFFER_INFO csbi;
    memset(&csbi, 0, sizeof csbi);
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &csbi)) return;
    if (csbi.dwSize.X <= 0 || csbi.dwSize.Y <= 0) return;
    Width = csbi.dwSize.X;
    Height = csbi.dwSize.Y;
}

// Heap copy of '"' + Text as the screen shows it + '"'; null when memory ran out.
char* QuoteForScreen(const char* Text, bool AnsiWindow) {
    char* oem = SearchTextOnScreen(Text, AnsiWindow);
    if (!oem) return nullptr;
    const size_t length = strlen(oem);
    char* quoted = static_cast<char*>(AllocBytes(length + 3));
    if (quoted) {
        quoted[0] = '"';
        memcpy(quoted + 1, oem, length);
        quoted[length + 1] = '"';
        quoted[length + 2] = 0;
    }
    FreeBytes(oem);
    return quoted;
}

}  // namespace

char* SearchTextOnScreen(const char* Text, bool AnsiWindow) {
    char* copy = CopyString(Text);
    // A character the ANSI code page lacks (a box-drawing one) is looked for as its
    // nearest ANSI form there; that form is what the prompt shows.
    if (copy && *copy && AnsiWindow) {
        OemToCharA(copy, copy);
        CharToOemA(copy, copy);
    }
    return copy;
}

void ShowStatusLine(const char* Prefix, const char* StatusText) {
    if (!Prefix) Prefix = "";
    if (!StatusText) StatusText = "";
    int width, height;
    GetScreenSize(width, height);

    WORD color = kDefaultPromptColor;
    COORD cell = {1, static_cast<SHORT>(height - 1)};
    DWORD read = 0;
    if (!ReadConsoleOutputAttribute(GetStdHandle(STD_OUTPUT_HANDLE), &color, 1, cell, &read) ||
        read != 1)
        color = kDefaultPromptColor;

    char* line = static_cast<char*>(AllocBytes(static_cast<size_t>(width) + 1));
    if (!line) return;
    // Lengths in 64 bits: texts longer than the screen are cut, never wrapped.
    const long long w = width;
    const long long p = static_cast<long long>(strlen(Prefix));
    const long long t = static_cast<long long>(strlen(StatusText));
    memset(line, ' ', static_cast<size_t>(width));
    line[width] = 0;
    if (p >= w) {
        memcpy(line, Prefix, static_cast<size_t>(w));
    } else {
        memcpy(line, Prefix, static_cast<size_t>(p));
        const long long room = w - p;
        // The end of a long text stays visible: it holds the characters typed last.
        const long long skip = t > room ? t - room : 0;
        memcpy(line + p, StatusText + skip, static_cast<size_t>(t - skip));
    }
    if (Text) {
        Text(0, height - 1, color, line);
        Text(0, 0, 0, nullptr);
    }
    FreeBytes(line);
}

void ShowSearchPrompt(const char* SearchText, bool AnsiWindow) {
    char* oem = SearchTextOnScreen(SearchText, AnsiWindow);
    ShowStatusLine(Msg(MSearchPrompt), oem ? oem : "");
    FreeBytes(oem);
}

void ShowSearchingMessage(const char* SearchText, bool AnsiWindow) {
    char* quoted = QuoteForScreen(SearchText, AnsiWindow);
    const char* items[] = {Msg(MSearchTitle), Msg(MSearching), quoted ? quoted : "\"\""};
    if (Message) Message(ModuleNumber, 0, nullptr, items, 3, 0);
    FreeBytes(quoted);
}

void ShowNotFound(const char* SearchText, bool AnsiWindow) {
    char* quoted = QuoteForScreen(SearchText, AnsiWindow);
    const char* items[] = {Msg(MSearchTitle), Msg(MNotFound), quoted ? quoted : "\"\"", Msg(MOk)};
    // Keys typed ahead and the rest of a replay must not close the box unseen.
    DiscardPendingInput();
    if (Message) Message(ModuleNumber, FMSG_WARNING, nullptr, items, 4, 1);
    FreeBytes(quoted);
}

void DiscardPendingInput() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        INPUT_RECORD event;
        DWORD count = 0;
        if (!PeekConsoleInputA(input, &event, 1, &count) || count == 0) break;
        count = 0;
        // A read that takes nothing would make this loop spin for ever.
        if (!ReadConsoleInputA(input, &event, 1, &count) || count == 0) break;
    }
}

int ScreenHeight() {
    int width, height;
    GetScreenSize(width, height);
    return height;
}

}  // namespace tarvik
