// Small pieces shared by the editing commands: reading a block line, clamping a
// line's selection to the bytes that exist, inserting blanks.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// Clamps a 64-bit value into the range of int.
int ClampToInt(long long Value);

// Expands Line's tabs and reads it with its selection; false when the line cannot be read.
bool ReadLine(int Line, EditorGetString& egs);

// The selected bytes of a read line as [From, To), both within 0..StringLength:
// a selection past the line's end stops at the bytes that exist.
void SelectedBytes(const EditorGetString& egs, int& From, int& To);

// The host's view of the current editor; false (all zero) when it cannot tell.
bool GetEditorInfo(EditorInfo& ei);

// After a command has expanded the cursor's line, takes the cursor column afresh
// so that Pos names the character under the cursor; other lines are left alone.
// False when the host cannot tell: Pos may then name another character.
bool RefreshCursorColumn(TCursorPos& Pos);

}  // namespace tarvik
