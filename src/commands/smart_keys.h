// Tab, Backspace and Enter that follow the indentation of the lines above.
#pragma once

namespace tarvik {

int BackspaceTarget(int Line, int Col);
int TabTarget(int Line, int Col);

// Each returns true when it handled the key (and redrew), false when it declines.
bool SmartBackspace();
bool SmartTab();
bool SmartEnter();

}  // namespace tarvik
