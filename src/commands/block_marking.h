// Making the block: marks, line, word, hide.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

bool IsWordChar(unsigned char Ch);
void HideBlock();
void MarkBlockBegin(TGlobalVars* Rec, TCursorPos Pos);
void MarkBlockEnd(TGlobalVars* Rec, TCursorPos Pos);
void SelectMarkedBlock();
void MarkLine(TCursorPos Pos);
void MarkWord(TCursorPos Pos);

}  // namespace tarvik
