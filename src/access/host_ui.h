// The host's screen and messages: saving and restoring screen areas, drawing a line
// of text, message boxes, and the plug-in's own message texts from its language
// file. Screen text is in the console's code page.
#pragma once

#include <windows.h>

#include "ground/globals.h"
#include "ground/text.h"

namespace tarvik {

// Saves the screen area from (X1, Y1) to (X2, Y2), -1 meaning to the edge; the handle
// for RestoreScreenArea, null when the host cannot save it.
HANDLE SaveScreenArea(int X1, int Y1, int X2, int Y2);

// Puts a saved area back and lets its handle go.
void RestoreScreenArea(HANDLE Saved);

// Draws Text at (X, Y) in the console attribute Color and has the host show it.
void DrawLine(int X, int Y, WORD Color, const TChar* Text);

// Shows a message box: Items[0] is its title, the last Buttons items its buttons.
// A box with buttons returns when the user has closed it; one without stays on the
// screen until the area under it is restored. Warning gives it the warning colours.
void ShowMessageBox(bool Warning, const TChar* const* Items, int Count, int Buttons);

// The plug-in's text for Id in the host's language; "" when the host has none.
const TChar* MessageText(TMessage Id);

// Heap copy of a search text (as typed) as the screen shows what the search looks for
// in a window (free with FreeBytes); null when out of memory. In a window that shows
// ANSI text the search looks for the text's nearest ANSI form, which the screen shows:
// a character the ANSI code page lacks (a box-drawing one) shows as that form.
TChar* SearchTextOnScreen(const TChar* Text, bool AnsiWindow);

}  // namespace tarvik
