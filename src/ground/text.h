// The commands' unit of text. Lines, lengths and positions count these units, NULs
// included. The host's 1.70 interface hands out 8-bit text, so there a unit is a byte;
// the build for the host's Unicode generation (TARVIK_WIDE) makes it a UTF-16 unit, and
// a character outside the basic plane is two of them.
#pragma once

namespace tarvik {

#if defined(TARVIK_WIDE)
typedef char16_t TChar;
// A unit as an unsigned number, for tables and comparisons.
typedef char16_t TUnit;
// A string literal in the unit of text: TARVIK_TEXT("") is an empty text.
#define TARVIK_TEXT(Literal) u"" Literal
#else
typedef char TChar;
typedef unsigned char TUnit;
#define TARVIK_TEXT(Literal) Literal
#endif

inline TUnit UnitOf(TChar Ch) {
    return static_cast<TUnit>(Ch);
}

// Units in the NUL-terminated Text; 0 for null.
int TextLength(const TChar* Text);

}  // namespace tarvik
