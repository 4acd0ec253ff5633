// The commands' unit of text. Lines, lengths and positions count these units; the
// host's 1.70 interface hands out 8-bit text, so a unit is a byte, NULs included.
#pragma once

namespace tarvik {

typedef char TChar;

// A unit as an unsigned number (a byte, 0 to 255), for tables and comparisons.
typedef unsigned char TUnit;

inline TUnit UnitOf(TChar Ch) {
    return static_cast<TUnit>(Ch);
}

// A string literal in the unit of text: TARVIK_TEXT("") is an empty text.
#define TARVIK_TEXT(Literal) Literal

// Units in the NUL-terminated Text; 0 for null.
int TextLength(const TChar* Text);

}  // namespace tarvik
