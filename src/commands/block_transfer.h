// Copying, moving and deleting the block; cutting a line at the cursor.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

// The block's text: the selected bytes of its lines back to back, NULs and all,
// and the places where line breaks stand between them. Piece k runs from break k - 1
// (or the start) to break k (or the end); a block selected through its last line's
// break ends with an empty piece.
struct TBlockText {
    char* Bytes;     // Length bytes and an uncounted NUL; owned
    int Length;      // bytes in the pieces
    int* Breaks;     // BreakCount offsets into Bytes, ascending; owned
    int BreakCount;  // line breaks
};

bool GetBlockText(TBlockText& Text);
void ReleaseBlockText(TBlockText& Text);
void InsertBlockText(TCursorPos Pos, const TBlockText& Text);
void DeleteBlock(TCursorPos& Pos);
void CopyBlock(TCursorPos Pos);
void MoveBlock(TCursorPos& Pos);
void DeleteToLineEnd(TCursorPos Pos);

}  // namespace tarvik
