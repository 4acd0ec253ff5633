// Small pieces shared by the editing commands: reading a block line, clamping a
// line's selection to the bytes that exist, inserting blanks.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// Clamps a 64-bit value into the range of int.
int ClampToInt(long long Value);

// Expands Line's tabs and reads it with its selection; false when the line cannot be read.
bool ReadLine(int Line, EditorGetString& egs);

// The selected bytes of a read line as [From, To), both within 0..StringLength;
// ThroughEnd tells whether the selection runs on through the line break, which
// the text's last line, having none, never does.
void SelectedSpan(const EditorGetString& egs, int& From, int& To, bool& ThroughEnd);

// Inserts Count blanks at the cursor in one call (an empty string for 0 or less);
// false when memory or the host failed.
bool InsertBlanks(int Count);

// After a command has expanded the cursor's line, takes the cursor column afresh
// so that Pos names the character under the cursor; other lines are left alone.
// False when the host cannot tell: Pos may then name another character.
bool RefreshCursorColumn(TCursorPos& Pos);

}  // namespace tarvik
