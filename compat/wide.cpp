// Conversion between the OEM code page (866) and UTF-16, as Windows does it under a
// Russian locale.
#include <windows.h>

namespace {

// 866 bytes 0x80..0xFF as UTF-16 units; the bytes below 0x80 are the same units.
constexpr WCHAR OemHigh[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

bool IsOem(UINT CodePage) {
    return CodePage == CP_OEMCP || CodePage == 866;
}

// The 866 byte of a unit, or false when 866 has none.
bool UnitToOem(WCHAR Unit, char& Byte) {
    if (Unit < 0x80) {
        Byte = static_cast<char>(Unit);
        return true;
    }
    for (int I = 0; I < 128; ++I)
        if (OemHigh[I] == Unit) {
            Byte = static_cast<char>(0x80 + I);
            return true;
        }
    return false;
}

// The length of a run given as -1 (through its NUL, which counts) or as a count.
template <class T>
int RunLength(const T* Text, int Given) {
    if (Given != -1) return Given;
    int N = 0;
    while (Text[N]) ++N;
    return N + 1;
}

}  // namespace

// Only the OEM code page is known to the stand-in; other code pages fail.
int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    if (!IsOem(CodePage) || dwFlags || !lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 ||
        cchWideChar < 0 || (cchWideChar > 0 && !lpWideCharStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int N = RunLength(lpMultiByteStr, cbMultiByte);
    if (cchWideChar == 0) return N;
    if (cchWideChar < N) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int I = 0; I < N; ++I) {
        const auto B = static_cast<unsigned char>(lpMultiByteStr[I]);
        lpWideCharStr[I] = B < 0x80 ? B : OemHigh[B - 0x80];
    }
    return N;
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
    if (!IsOem(CodePage) || dwFlags || !lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 ||
        cbMultiByte < 0 || (cbMultiByte > 0 && !lpMultiByteStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int N = RunLength(lpWideCharStr, cchWideChar);
    if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
    if (cbMultiByte == 0) return N;
    if (cbMultiByte < N) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int I = 0; I < N; ++I) {
        if (UnitToOem(lpWideCharStr[I], lpMultiByteStr[I])) continue;
        lpMultiByteStr[I] = lpDefaultChar ? *lpDefaultChar : '?';
        if (lpUsedDefaultChar) *lpUsedDefaultChar = TRUE;
    }
    return N;
}
