// Finding text forward from a position, with the search's case rule.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

extern const unsigned char OemUpperTable[256];
extern const unsigned char AnsiUpperTable[256];

bool FindNext(TGlobalVars* State, const char* Text, TCursorPos Start);
bool FindText(TGlobalVars* State, const char* Text, TCursorPos Start, TCursorPos& Hit);
bool EscapePressed();
void TranslateChars(char* Text, const unsigned char* Table);
void EncodeSearchPattern(unsigned char* Buffer, const unsigned char* Table, int N);
bool PatternMatchesAt(const unsigned char* Pattern, const unsigned char* Position,
                      const unsigned char* Table);

}  // namespace tarvik
