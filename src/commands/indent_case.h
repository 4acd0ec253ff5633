// Block indentation by one blank, and letter case of the block or a word.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

typedef unsigned char (*TCaseConvert)(unsigned char Ch);

unsigned char ToUpperAscii(unsigned char Ch);
unsigned char ToLowerAscii(unsigned char Ch);
unsigned char ToggleCaseAscii(unsigned char Ch);

void IndentBlock(TCursorPos Pos);
void UnindentBlock(TCursorPos Pos);
void ConvertBlockCase(TCaseConvert Convert);
void ConvertWordCase(TCursorPos Pos, TCaseConvert Convert);

}  // namespace tarvik
