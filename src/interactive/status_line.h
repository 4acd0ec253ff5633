// The bottom-line prompt, the search message boxes and input draining.
#pragma once

namespace tarvik {

// The search text is kept as typed, in the OEM code page. The functions that show it
// take AnsiWindow: in a window that shows its text in the ANSI code page the search
// looks for the text's ANSI form, and the screen shows what is looked for.

// Heap copy of Text as the screen shows the search for it (free with FreeBytes):
// unchanged, or through the ANSI code page and back; null when out of memory.
char* SearchTextOnScreen(const char* Text, bool AnsiWindow);
void ShowStatusLine(const char* Prefix, const char* Text);
void ShowSearchPrompt(const char* Text, bool AnsiWindow);
void ShowSearchingMessage(const char* Text, bool AnsiWindow);
void ShowNotFound(const char* Text, bool AnsiWindow);
void DiscardPendingInput();

// Height of the console screen buffer; 25 when it cannot be read.
int ScreenHeight();

}  // namespace tarvik
