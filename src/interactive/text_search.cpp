// Placeholder: replaced when this part is built.
#include "interactive/text_search.h"

namespace tarvik {
const unsigned char OemUpperTable[256] = {};
const unsigned char AnsiUpperTable[256] = {};
bool FindNext(TGlobalVars*, const char*, TCursorPos) { return false; }
bool FindText(TGlobalVars*, const char*, TCursorPos, TCursorPos&) { return false; }
bool EscapePressed() { return false; }
void TranslateChars(char*, const unsigned char*) {}
void EncodeSearchPattern(unsigned char*, const unsigned char*, int) {}
bool PatternMatchesAt(const unsigned char*, const unsigned char*, const unsigned char*) { return false; }
}  // namespace tarvik
