// Placeholder: replaced when this part is built.
#include "commands/block_transfer.h"

namespace tarvik {
char* GetBlockText(int& Length) {
    Length = 0;
    return nullptr;
}
void InsertBlockText(TCursorPos, const char*, int) {}
void DeleteBlock(TCursorPos&) {}
void CopyBlock(TCursorPos) {}
void MoveBlock(TCursorPos&) {}
void DeleteToLineEnd(TCursorPos) {}
}  // namespace tarvik
