// What the commands know of characters: which units make words, and letter case. The
// 8-bit text of the 1.70 interface knows only ASCII letters: no code page is consulted,
// and every byte of the upper half counts as a word character in OEM and ANSI text
// alike, its case left alone. The Unicode build goes by the platform's Unicode tables.
#pragma once

#include "ground/text.h"

namespace tarvik {

// True for a word unit: a letter or digit ('_' too).
bool IsWordChar(TChar Ch);

// True where a character may take two units (UTF-16 text).
constexpr bool kSurrogatePairs = sizeof(TChar) > 1;

#if defined(TARVIK_WIDE)
// Units of the character that starts at Units (Count of them there): 2 for a surrogate
// pair, which the host deletes and the commands treat as one character, else 1.
int CharacterUnits(const TChar* Units, int Count);

// True for the first (high) and second (low) unit of a surrogate pair.
bool IsHighSurrogate(TChar Ch);
bool IsLowSurrogate(TChar Ch);
#else
// An 8-bit unit is always a character of its own: the surrogate paths fold away.
inline int CharacterUnits(const TChar* /*Units*/, int /*Count*/) {
    return 1;
}
inline bool IsHighSurrogate(TChar /*Ch*/) {
    return false;
}
inline bool IsLowSurrogate(TChar /*Ch*/) {
    return false;
}
#endif

// The three case changes of the case commands.
enum TCaseChange : unsigned char { CaseUpper = 0, CaseLower = 1, CaseToggle = 2 };

// Changes the case of the Count units at Units in place, unit for unit.
void ChangeCase(TChar* Units, int Count, TCaseChange Change);

}  // namespace tarvik
