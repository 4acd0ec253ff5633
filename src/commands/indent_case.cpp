// Placeholder: replaced when this part is built.
#include "commands/indent_case.h"

namespace tarvik {
unsigned char ToUpperAscii(unsigned char Ch) { return Ch; }
unsigned char ToLowerAscii(unsigned char Ch) { return Ch; }
unsigned char ToggleCaseAscii(unsigned char Ch) { return Ch; }
void IndentBlock(TCursorPos) {}
void UnindentBlock(TCursorPos) {}
void ConvertBlockCase(TCaseConvert) {}
void ConvertWordCase(TCursorPos, TCaseConvert) {}
}  // namespace tarvik
