// Cursor movement to line, window, block and file ends; scrolling.
#pragma once

namespace tarvik {

void GotoBlockBegin();
void GotoBlockEnd();
void GotoFileEnd();
void GotoLineEnd();
void GotoWindowTop();
void GotoFileStart();
void GotoLineStart();
void ScrollLineToTop();
void ScrollLineToBottom();
void GotoWindowBottom();

}  // namespace tarvik
