// Small operations over the host's EditorControl shared by the commands.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// Replaces the tabs of Line (-1: the cursor's line) by blanks in the text itself.
void ExpandTabs(int Line);

// Expands Line's tabs and fetches it; null and Length 0 when the line cannot be read.
// The bytes are the host's and stay valid until the next call that changes the text.
const char* GetLineText(int Line, int& Length);

// The cursor as (CurPos, CurLine); false, with (0, 0), when the host cannot tell.
bool GetCursorPos(TCursorPos& Pos);

// Moves the cursor; Line -1 keeps its line. The host's result is ignored.
void SetCursorPos(int Pos, int Line);

// SetCursorPos that reports whether the host accepted the place; editing at a
// cursor the host refused to move would change the wrong text.
bool PlaceCursor(int Pos, int Line);

// First line of the stream selection; -1 for no selection or a column block.
int GetBlockStartLine();

// Number of leading blanks (byte 32) within the first Length bytes of Buf.
int SkipSpaces(const char* Buf, int Length);

}  // namespace tarvik
