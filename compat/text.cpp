// Conversion between the ANSI code page (Windows-1251) and the OEM code page (866),
// as Windows does it under a Russian locale, and the lstr* string calls.
#include <windows.h>

#include <clocale>
#include <cstring>
#include <cwctype>

namespace {

// 1251 bytes 0x80..0xFF in code page 866, as Wine converts them under a Russian
// locale. Characters 866 lacks take the best fit (quotes and dashes their ASCII
// forms, the bullet, the section and pilcrow signs the DOS glyphs 0x07, 0x15 and
// 0x14) or '?'. Ukrainian І/і become Latin I/i as on Windows, where Wine gives '?'.
constexpr unsigned char AnsiToOem[128] = {
    '?',  '?',  '\'', '?',  '"',  ':',  0xC5, 0xD8, '?',  '%',  '?',  '<',  '?',  '?',  '?',  '?',
    '?',  '\'', '\'', '"',  '"',  0x07, '-',  '-',  '?',  'T',  '?',  '>',  '?',  '?',  '?',  '?',
    0xFF, 0xF6, 0xF7, '?',  0xFD, '?',  0xB3, 0x15, 0xF0, 'c',  0xF2, '<',  0xBF, '-',  'R',  0xF4,
    0xF8, '+',  'I',  'i',  '?',  0xE7, 0x14, 0xFA, 0xF1, 0xFC, 0xF3, '>',  '?',  '?',  '?',  0xF5,
    0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,
    0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,
};

// 866 bytes 0x80..0xFF in code page 1251, as Wine converts them under a Russian
// locale: box-drawing characters and shades take the look-alike best fit ('-', '+',
// '=', 'L', 'T', the broken bar 0xA6, the not sign 0xAC), the bullet operator the
// bullet, the square root 'v'.
constexpr unsigned char OemToAnsi[128] = {
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,
    '-',  '-',  '-',  0xA6, '+',  0xA6, 0xA6, 0xAC, 0xAC, 0xA6, 0xA6, 0xAC, '-',  '-',  '-',  0xAC,
    'L',  '+',  'T',  '+',  '-',  '+',  0xA6, 0xA6, 'L',  0xE3, 0xA6, 'T',  0xA6, '=',  '+',  0xA6,
    0xA6, 'T',  'T',  'L',  'L',  '-',  0xE3, '+',  '+',  '-',  '-',  '-',  '-',  0xA6, 0xA6, '-',
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
    0xA8, 0xB8, 0xAA, 0xBA, 0xAF, 0xBF, 0xA1, 0xA2, 0xB0, 0x95, 0xB7, 'v',  0xB9, 0xA4, 0xA6, 0xA0,
};

char Convert(const unsigned char* Table, char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return static_cast<char>(u < 0x80 ? u : Table[u - 0x80]);
}

// Converts through the NUL; Src and Dst may be the same buffer.
BOOL ConvertString(const unsigned char* Table, LPCSTR Src, LPSTR Dst) {
    if (!Src || !Dst) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (;; Src++, Dst++) {
        char c = *Src;
        *Dst = Convert(Table, c);
        if (!c) return TRUE;
    }
}

// Converts exactly Length bytes, NULs included; Src and Dst may be the same buffer.
BOOL ConvertBuffer(const unsigned char* Table, LPCSTR Src, LPSTR Dst, DWORD Length) {
    if (!Src || !Dst) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (DWORD i = 0; i < Length; i++) Dst[i] = Convert(Table, Src[i]);
    return TRUE;
}

}  // namespace

UINT WINAPI GetACP() {
    return 1251;
}

UINT WINAPI GetOEMCP() {
    return 866;
}

BOOL WINAPI CharToOemA(LPCSTR pSrc, LPSTR pDst) {
    return ConvertString(AnsiToOem, pSrc, pDst);
}

BOOL WINAPI OemToCharA(LPCSTR pSrc, LPSTR pDst) {
    return ConvertString(OemToAnsi, pSrc, pDst);
}

BOOL WINAPI CharToOemBuffA(LPCSTR lpszSrc, LPSTR lpszDst, DWORD cchDstLength) {
    return ConvertBuffer(AnsiToOem, lpszSrc, lpszDst, cchDstLength);
}

BOOL WINAPI OemToCharBuffA(LPCSTR lpszSrc, LPSTR lpszDst, DWORD cchDstLength) {
    return ConvertBuffer(OemToAnsi, lpszSrc, lpszDst, cchDstLength);
}

// A null string has length 0, as Windows reports it.
int WINAPI lstrlenA(LPCSTR lpString) {
    if (!lpString) return 0;
    size_t n = strlen(lpString);
    return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

// Null arguments give a null result, as Windows does when it catches the fault.
LPSTR WINAPI lstrcpyA(LPSTR lpString1, LPCSTR lpString2) {
    if (!lpString1 || !lpString2) return nullptr;
    return strcpy(lpString1, lpString2);
}

// Windows compares by the user's locale (case and accents weighted); every caller
// here only needs equality and a stable order, so unsigned byte order is used.
// A null string sorts before any other.
int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2) {
    if (!lpString1 || !lpString2) return lpString1 ? 1 : (lpString2 ? -1 : 0);
    int r = strcmp(lpString1, lpString2);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

namespace {

// Unicode case and classes of the C.UTF-8 locale, whatever locale the process runs in.
locale_t UnicodeLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return locale;
}

bool IsSurrogate(WCHAR Ch) {
    return Ch >= 0xD800 && Ch <= 0xDFFF;
}

// Maps Count units through Map, leaving surrogates and units it would widen alone.
DWORD MapUnits(WCHAR* Units, DWORD Count, wint_t (*Map)(wint_t, locale_t)) {
    if (!Units) return 0;
    for (DWORD i = 0; i < Count; ++i) {
        if (IsSurrogate(Units[i])) continue;
        const wint_t mapped = Map(Units[i], UnicodeLocale());
        if (mapped <= 0xFFFF && !IsSurrogate(static_cast<WCHAR>(mapped)))
            Units[i] = static_cast<WCHAR>(mapped);
    }
    return Count;
}

}  // namespace

DWORD WINAPI CharUpperBuffW(WCHAR* lpsz, DWORD cchLength) {
    return MapUnits(lpsz, cchLength, towupper_l);
}

DWORD WINAPI CharLowerBuffW(WCHAR* lpsz, DWORD cchLength) {
    return MapUnits(lpsz, cchLength, towlower_l);
}

BOOL WINAPI IsCharAlphaW(WCHAR ch) {
    return !IsSurrogate(ch) && iswalpha_l(ch, UnicodeLocale());
}

BOOL WINAPI IsCharAlphaNumericW(WCHAR ch) {
    return !IsSurrogate(ch) && iswalnum_l(ch, UnicodeLocale());
}

BOOL WINAPI IsCharUpperW(WCHAR ch) {
    return !IsSurrogate(ch) && iswupper_l(ch, UnicodeLocale());
}

BOOL WINAPI IsCharLowerW(WCHAR ch) {
    return !IsSurrogate(ch) && iswlower_l(ch, UnicodeLocale());
}
