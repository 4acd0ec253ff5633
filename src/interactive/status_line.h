// What the interactive modes show: the prompt over the bottom screen line, the two
// search boxes, and the search text as the screen shows it. The search text is kept
// as typed, in the console's code page; in a window that shows ANSI text the search
// looks for its ANSI form, and the screen shows what is looked for.
#pragma once

#include "ground/text.h"

namespace tarvik {

// Heap copy of Text as the screen shows the search for it (free with FreeBytes):
// unchanged, or through the ANSI code page and back; null when out of memory.
TChar* SearchTextOnScreen(const TChar* Text, bool AnsiWindow);

// Draws Prefix and Text as one line over the whole bottom screen line, in the colour
// of the key bar's first title cell; a Text too long for the room left shows its end.
void ShowStatusLine(const TChar* Prefix, const TChar* Text);

// The incremental search's prompt with Text.
void ShowSearchPrompt(const TChar* Text, bool AnsiWindow);

// The box that stands while a search scans, without waiting; it stays until the
// screen under it is restored.
void ShowSearchingMessage(const TChar* Text, bool AnsiWindow);

// The warning that Text was not found; waiting keys are dropped first, so that none
// closes the box unseen. Returns when the user has closed it.
void ShowNotFound(const TChar* Text, bool AnsiWindow);

// Height of the console screen buffer; 25 when it cannot be read.
int ScreenHeight();

}  // namespace tarvik
