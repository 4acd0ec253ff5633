#include "interactive/status_line.h"

#include <windows.h>

#include "access/host_ui.h"
#include "ground/console.h"
#include "ground/memory.h"

namespace tarvik {

namespace {

constexpr WORD kDefaultPromptColor = 0x30;

// Heap copy of '"' + Text as the screen shows it + '"'; null when memory ran out.
TChar* QuoteForScreen(const TChar* Text, bool AnsiWindow) {
    TChar* shown = SearchTextOnScreen(Text, AnsiWindow);
    if (!shown) return nullptr;
    const int length = TextLength(shown);
    TChar* quoted =
        static_cast<TChar*>(AllocBytes((static_cast<size_t>(length) + 3) * sizeof(TChar)));
    if (quoted) {
        quoted[0] = '"';
        for (int i = 0; i < length; ++i) quoted[i + 1] = shown[i];
        quoted[length + 1] = '"';
        quoted[length + 2] = 0;
    }
    FreeBytes(shown);
    return quoted;
}

}  // namespace

void ShowStatusLine(const TChar* Prefix, const TChar* StatusText) {
    if (!Prefix) Prefix = TARVIK_TEXT("");
    if (!StatusText) StatusText = TARVIK_TEXT("");
    int width, height;
    GetScreenSize(width, height);
    const WORD color = ScreenAttribute(1, height - 1, kDefaultPromptColor);

    TChar* line = static_cast<TChar*>(AllocBytes((static_cast<size_t>(width) + 1) * sizeof(TChar)));
    if (!line) return;
    // Lengths in 64 bits: texts longer than the screen are cut, never wrapped.
    const long long w = width;
    const long long p = TextLength(Prefix);
    const long long t = TextLength(StatusText);
    for (long long i = 0; i < w; ++i) line[i] = ' ';
    line[width] = 0;
    if (p >= w) {
        for (long long i = 0; i < w; ++i) line[i] = Prefix[i];
    } else {
        for (long long i = 0; i < p; ++i) line[i] = Prefix[i];
        const long long room = w - p;
        // The end of a long text stays visible: it holds the characters typed last.
        const long long skip = t > room ? t - room : 0;
        for (long long i = skip; i < t; ++i) line[p + i - skip] = StatusText[i];
    }
    DrawLine(0, height - 1, color, line);
    FreeBytes(line);
}

void ShowSearchPrompt(const TChar* SearchText, bool AnsiWindow) {
    TChar* shown = SearchTextOnScreen(SearchText, AnsiWindow);
    ShowStatusLine(MessageText(MSearchPrompt), shown ? shown : TARVIK_TEXT(""));
    FreeBytes(shown);
}

void ShowSearchingMessage(const TChar* SearchText, bool AnsiWindow) {
    TChar* quoted = QuoteForScreen(SearchText, AnsiWindow);
    const TChar* items[] = {MessageText(MSearchTitle), MessageText(MSearching),
                            quoted ? quoted : TARVIK_TEXT("\"\"")};
    ShowMessageBox(false, items, 3, 0);
    FreeBytes(quoted);
}

void ShowNotFound(const TChar* SearchText, bool AnsiWindow) {
    TChar* quoted = QuoteForScreen(SearchText, AnsiWindow);
    const TChar* items[] = {MessageText(MSearchTitle), MessageText(MNotFound),
                            quoted ? quoted : TARVIK_TEXT("\"\""), MessageText(MOk)};
    // Keys typed ahead and the rest of a replay must not close the box unseen.
    DiscardPendingInput();
    ShowMessageBox(true, items, 4, 1);
    FreeBytes(quoted);
}

int ScreenHeight() {
    int width, height;
    GetScreenSize(width, height);
    return height;
}

}  // namespace tarvik
