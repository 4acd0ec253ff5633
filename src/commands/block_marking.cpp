// Placeholder: replaced when this part is built.
#include "commands/block_marking.h"

namespace tarvik {
bool IsWordChar(unsigned char) { return false; }
void HideBlock() {}
void MarkBlockBegin(TGlobalVars*, TCursorPos) {}
void MarkBlockEnd(TGlobalVars*, TCursorPos) {}
void SelectMarkedBlock() {}
void MarkLine(TCursorPos) {}
void MarkWord(TCursorPos) {}
}  // namespace tarvik
