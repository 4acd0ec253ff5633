// Tab, Backspace and Enter that follow the indentation of the lines above the cursor.
// They put in blanks only, never a tab; every line they read is tab-expanded first.
#pragma once

namespace tarvik {

// Indentation of the nearest line from Line upwards whose first non-blank stands left
// of Col; 0 when there is none within MaxBackspaceSearchLines.
int BackspaceTarget(int Line, int Col);

// Start of the next word at or after Col on the nearest line from Line upwards that is
// longer than Col; Col itself when there is none within MaxTabSearchLines.
int TabTarget(int Line, int Col);

// At the end of a line's indentation, steps back to the indentation of the nearest
// earlier line indented less and redraws; false (the host's own Backspace) anywhere else.
bool SmartBackspace();

// Fills blanks up to the next word start of the nearest longer line above and
// redraws; false (the host's own Tab) when no such line is within reach. In overtype
// mode it only moves the cursor there, as the host's own Tab does.
bool SmartTab();

// Breaks the line at the cursor and indents the new line like the current one; always
// true.
bool SmartEnter();

}  // namespace tarvik
