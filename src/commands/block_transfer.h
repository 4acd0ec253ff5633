// Copying, moving and deleting the block; cutting a line at the cursor. The block is
// the host's stream selection; a column block counts as none.
#pragma once

#include "ground/globals.h"

namespace tarvik {

// Inserts a copy of the block at the cursor and selects it.
void CopyBlock(TCursorPos Pos);

// Moves the block to the cursor, where it stays selected; the text reads as if the
// block had been deleted and then inserted where the cursor's text stood. A cursor
// inside the block or right behind it leaves the text as it is, byte for byte, and
// only the cursor goes behind the block.
void MoveBlock(TCursorPos Pos);

// Deletes the block and leaves the cursor on the same text (a cursor inside the block
// goes to the block's start); nothing stays selected.
void DeleteBlock(TCursorPos Pos);

// Cuts the line at the cursor: the units before it stay, NULs included; the line
// break, the following lines and a block over the line stay too.
void DeleteToLineEnd(TCursorPos Pos);

}  // namespace tarvik
