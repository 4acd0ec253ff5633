// What the interactive modes show: the prompt over the bottom screen line and the two
// search boxes. The search text is shown as the window shows what is looked for
// (SearchTextOnScreen).
#pragma once

#include "ground/text.h"

namespace tarvik {

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
