// What the commands know of characters: which units make words, and letter case.
// The 8-bit text of the 1.70 interface knows only ASCII letters: no code page is
// consulted, and every byte of the upper half counts as a word character in OEM and
// ANSI text alike, its case left alone.
#pragma once

#include "ground/text.h"

namespace tarvik {

// True for a word unit: ASCII letters and digits, '_' and every byte of the upper half.
bool IsWordChar(TChar Ch);

// The three case changes of the case commands.
enum TCaseChange : unsigned char { CaseUpper = 0, CaseLower = 1, CaseToggle = 2 };

// Changes the case of the Count units at Units in place; only ASCII letters change.
void ChangeCase(TChar* Units, int Count, TCaseChange Change);

}  // namespace tarvik
