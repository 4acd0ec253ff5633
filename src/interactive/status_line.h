// The bottom-line prompt, the search message boxes and input draining.
#pragma once

namespace tarvik {

// Heap copy of Text in the OEM code page (free with FreeBytes); null when out of memory.
char* ConvertToOem(const char* Text);
void ShowStatusLine(const char* Prefix, const char* Text);
void ShowSearchPrompt(const char* Text);
void ShowSearchingMessage(const char* Text);
void ShowNotFound(const char* Text);
void DiscardPendingInput();

// Height of the console screen buffer; 25 when it cannot be read.
int ScreenHeight();

}  // namespace tarvik
