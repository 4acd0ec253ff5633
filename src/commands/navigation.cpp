// Placeholder: replaced when this part is built.
#include "commands/navigation.h"

namespace tarvik {
void GotoBlockBegin() {}
void GotoBlockEnd() {}
void GotoFileEnd() {}
void GotoLineEnd() {}
void GotoWindowTop() {}
void GotoFileStart() {}
void GotoLineStart() {}
void ScrollLineToTop() {}
void ScrollLineToBottom() {}
void GotoWindowBottom() {}
}  // namespace tarvik
