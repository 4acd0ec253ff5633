// Characters in UTF-16 units, by the platform's Unicode tables: a word character is a
// letter or digit of any script, or '_'; case changes go unit for unit. A unit of a
// surrogate pair is neither a letter nor cased, so no command splits a pair: a pair is
// never part of a word, and case changes leave it alone.
#include "ground/characters.h"

#include <windows.h>

namespace tarvik {

namespace {

WCHAR* AsWide(TChar* Units) {
    return reinterpret_cast<WCHAR*>(Units);
}

}  // namespace

bool IsWordChar(TChar Ch) {
    return Ch == u'_' || IsCharAlphaNumericW(static_cast<WCHAR>(Ch));
}

bool IsHighSurrogate(TChar Ch) {
    return Ch >= 0xD800 && Ch <= 0xDBFF;
}

bool IsLowSurrogate(TChar Ch) {
    return Ch >= 0xDC00 && Ch <= 0xDFFF;
}

int CharacterUnits(const TChar* Units, int Count) {
    return Count > 1 && IsHighSurrogate(Units[0]) && IsLowSurrogate(Units[1]) ? 2 : 1;
}

void ChangeCase(TChar* Units, int Count, TCaseChange Change) {
    if (Count <= 0) return;
    if (Change == CaseUpper) {
        CharUpperBuffW(AsWide(Units), static_cast<DWORD>(Count));
    } else if (Change == CaseLower) {
        CharLowerBuffW(AsWide(Units), static_cast<DWORD>(Count));
    } else {
        for (int I = 0; I < Count; ++I) {
            const WCHAR Unit = static_cast<WCHAR>(Units[I]);
            if (IsCharLowerW(Unit))
                CharUpperBuffW(AsWide(Units + I), 1);
            else if (IsCharUpperW(Unit))
                CharLowerBuffW(AsWide(Units + I), 1);
        }
    }
}

}  // namespace tarvik
