// Cursor movement to the ends of the line, the window, the block and the file, and
// scrolling the window around the cursor's line. A command that takes a column from
// one line to another expands the tabs of both, so that the column keeps its place on
// the screen.
#pragma once

namespace tarvik {

// Cursor to the first selected unit of the stream block.
void GotoBlockBegin();

// Cursor to the column after the last selected unit. A block that ends with a line
// break ends at column 0 of the first line after it; one through the end of the text's
// last line has no end to go to.
void GotoBlockEnd();

// Cursor after the last unit of the file's last line.
void GotoFileEnd();

// Cursor after the last unit of its line.
void GotoLineEnd();

// Cursor to the window's top line, keeping its screen column.
void GotoWindowTop();

// Cursor to the start of the file.
void GotoFileStart();

// Cursor to column 0 of its line.
void GotoLineStart();

// Scrolls the window so that the cursor's line is its top line.
void ScrollLineToTop();

// Scrolls the window so that the cursor's line is its bottom line; a line too near the
// file's start to be the bottom one leaves the window as it is.
void ScrollLineToBottom();

// Cursor to the window's bottom line (the file's last line in a short file), keeping
// its screen column.
void GotoWindowBottom();

}  // namespace tarvik
