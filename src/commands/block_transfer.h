// Copying, moving and deleting the block; cutting a line at the cursor.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// The block's text: pieces with a NUL after every piece selected through its line
// break, plus an uncounted NUL. Caller frees with FreeBytes. Null, Length 0: none.
char* GetBlockText(int& Length);
void InsertBlockText(TCursorPos Pos, const char* Text, int Length);
void DeleteBlock(TCursorPos& Pos);
void CopyBlock(TCursorPos Pos);
void MoveBlock(TCursorPos& Pos);
void DeleteToLineEnd(TCursorPos Pos);

}  // namespace tarvik
