// The console: one input buffer (a FIFO of INPUT_RECORD) and one screen buffer,
// reached through pseudo handles as the Windows console hands them out. Both keep
// text as UTF-16, as the Windows console does: the wide calls take and give it as it
// is, the 8-bit calls convert from and to the OEM code page (866).
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

#include "compat_control.h"

namespace {

// The values a Windows 7 console gives its three standard handles; any of them
// may be replaced with SetStdHandle, but the kind of a handle follows its value.
HANDLE const InputHandle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x3));
HANDLE const OutputHandle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x7));
HANDLE const ErrorHandle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0xB));

constexpr SHORT DefaultWidth = 80;
constexpr SHORT DefaultHeight = 25;
constexpr WORD DefaultAttribute = 0x07;
// Cells a screen buffer may hold; Windows refuses sizes far below this memory.
constexpr int64_t MaxScreenCells = int64_t{4} * 1024 * 1024;

constexpr int CallKinds = static_cast<int>(compat::ConsoleCall::Count);

struct TConsole {
    HANDLE StdInput = InputHandle;
    HANDLE StdOutput = OutputHandle;
    HANDLE StdError = ErrorHandle;
    std::deque<INPUT_RECORD> Input;
    SHORT Width = DefaultWidth;
    SHORT Height = DefaultHeight;
    std::vector<WCHAR> Chars = std::vector<WCHAR>(size_t{DefaultWidth} * DefaultHeight, ' ');
    std::vector<WORD> Attributes =
        std::vector<WORD>(size_t{DefaultWidth} * DefaultHeight, DefaultAttribute);
    bool Fail[CallKinds] = {};
    int Calls[CallKinds] = {};
};

// One instance for the process: the module and the test program share this library.
// Never destroyed, so that calls made while the process exits still find it.
TConsole& Console() {
    static TConsole& console = *new TConsole;
    return console;
}

bool IsInput(HANDLE h) {
    return h == InputHandle;
}
bool IsOutput(HANDLE h) {
    return h == OutputHandle || h == ErrorHandle;
}

// Counts the call and tells whether it must go on; sets the error otherwise.
bool EnterCall(compat::ConsoleCall Which, bool HandleOk) {
    TConsole& c = Console();
    int k = static_cast<int>(Which);
    c.Calls[k]++;
    if (!HandleOk) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (c.Fail[k]) {
        SetLastError(ERROR_GEN_FAILURE);
        return false;
    }
    return true;
}

// Fails with ERROR_INVALID_PARAMETER; Windows faults on these null pointers instead.
BOOL InvalidParameter() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// Index of the first cell of a run, or -1 when the coordinate lies outside the buffer.
int64_t CellIndex(COORD At) {
    const TConsole& c = Console();
    if (At.X < 0 || At.Y < 0 || At.X >= c.Width || At.Y >= c.Height) return -1;
    return static_cast<int64_t>(At.Y) * c.Width + At.X;
}

// Cells of a run of Length from Start, stopped at the end of the buffer.
DWORD RunLength(int64_t Start, DWORD Length) {
    const TConsole& c = Console();
    int64_t left = static_cast<int64_t>(c.Width) * c.Height - Start;
    return static_cast<DWORD>(std::min<int64_t>(left, Length));
}

WCHAR OemToUnit(char Byte) {
    WCHAR Unit = 0;
    MultiByteToWideChar(CP_OEMCP, 0, &Byte, 1, &Unit, 1);
    return Unit;
}

char UnitToOem(WCHAR Unit) {
    char Byte = '?';
    WideCharToMultiByte(CP_OEMCP, 0, &Unit, 1, &Byte, 1, nullptr, nullptr);
    return Byte;
}

// A record as the 8-bit calls write it, kept as the wide calls read it, and back.
INPUT_RECORD Widened(INPUT_RECORD Event) {
    if (Event.EventType == KEY_EVENT)
        Event.Event.KeyEvent.uChar.UnicodeChar = OemToUnit(Event.Event.KeyEvent.uChar.AsciiChar);
    return Event;
}

INPUT_RECORD Narrowed(INPUT_RECORD Event) {
    if (Event.EventType == KEY_EVENT) {
        const char Byte = UnitToOem(Event.Event.KeyEvent.uChar.UnicodeChar);
        Event.Event.KeyEvent.uChar.UnicodeChar = 0;
        Event.Event.KeyEvent.uChar.AsciiChar = Byte;
    }
    return Event;
}

// The records to read; with Convert, each as the 8-bit calls give it. Removes them
// from the buffer when Take.
BOOL TakeInput(compat::ConsoleCall Which, HANDLE hConsoleInput, INPUT_RECORD* lpBuffer,
               DWORD nLength, LPDWORD lpNumberOfEventsRead, bool Take, bool Convert) {
    if (!EnterCall(Which, IsInput(hConsoleInput))) return FALSE;
    if (!lpNumberOfEventsRead || (!lpBuffer && nLength)) return InvalidParameter();
    std::deque<INPUT_RECORD>& input = Console().Input;
    DWORD n = static_cast<DWORD>(std::min<size_t>(input.size(), nLength));
    for (DWORD i = 0; i < n; i++) lpBuffer[i] = Convert ? Narrowed(input[i]) : input[i];
    if (Take) input.erase(input.begin(), input.begin() + n);
    *lpNumberOfEventsRead = n;
    return TRUE;
}

BOOL PutInput(HANDLE hConsoleInput, const INPUT_RECORD* lpBuffer, DWORD nLength,
              LPDWORD lpNumberOfEventsWritten, bool Convert) {
    if (!EnterCall(compat::ConsoleCall::WriteInput, IsInput(hConsoleInput))) return FALSE;
    if (!lpNumberOfEventsWritten || (!lpBuffer && nLength)) return InvalidParameter();
    for (DWORD i = 0; i < nLength; i++)
        Console().Input.push_back(Convert ? Widened(lpBuffer[i]) : lpBuffer[i]);
    *lpNumberOfEventsWritten = nLength;
    return TRUE;
}

// The characters of a run of cells, as the 8-bit calls (char) or the wide calls give them.
WCHAR FromCell(WCHAR Unit, WCHAR /*Kind*/) {
    return Unit;
}
char FromCell(WCHAR Unit, char /*Kind*/) {
    return UnitToOem(Unit);
}
WCHAR ToCell(WCHAR Unit) {
    return Unit;
}
WCHAR ToCell(char Byte) {
    return OemToUnit(Byte);
}

template <class T>
BOOL ReadCells(HANDLE hConsoleOutput, T* Text, DWORD nLength, COORD At, LPDWORD lpNumberRead) {
    if (!EnterCall(compat::ConsoleCall::ReadCharacter, IsOutput(hConsoleOutput))) return FALSE;
    if (!lpNumberRead || (!Text && nLength)) return InvalidParameter();
    int64_t start = CellIndex(At);
    if (start < 0) return InvalidParameter();
    DWORD n = RunLength(start, nLength);
    for (DWORD i = 0; i < n; i++) Text[i] = FromCell(Console().Chars[start + i], T());
    *lpNumberRead = n;
    return TRUE;
}

template <class T>
BOOL WriteCells(HANDLE hConsoleOutput, const T* Text, DWORD nLength, COORD At,
                LPDWORD lpNumberWritten) {
    if (!EnterCall(compat::ConsoleCall::WriteCharacter, IsOutput(hConsoleOutput))) return FALSE;
    if (!lpNumberWritten || (!Text && nLength)) return InvalidParameter();
    int64_t start = CellIndex(At);
    if (start < 0) return InvalidParameter();
    DWORD n = RunLength(start, nLength);
    for (DWORD i = 0; i < n; i++) Console().Chars[start + i] = ToCell(Text[i]);
    *lpNumberWritten = n;
    return TRUE;
}

}  // namespace

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
    TConsole& c = Console();
    if (nStdHandle == STD_INPUT_HANDLE) return c.StdInput;
    if (nStdHandle == STD_OUTPUT_HANDLE) return c.StdOutput;
    if (nStdHandle == STD_ERROR_HANDLE) return c.StdError;
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_HANDLE_VALUE;
}

BOOL WINAPI SetStdHandle(DWORD nStdHandle, HANDLE hHandle) {
    TConsole& c = Console();
    if (nStdHandle == STD_INPUT_HANDLE) {
        c.StdInput = hHandle;
    } else if (nStdHandle == STD_OUTPUT_HANDLE) {
        c.StdOutput = hHandle;
    } else if (nStdHandle == STD_ERROR_HANDLE) {
        c.StdError = hHandle;
    } else {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI PeekConsoleInputA(HANDLE hConsoleInput, INPUT_RECORD* lpBuffer, DWORD nLength,
                              LPDWORD lpNumberOfEventsRead) {
    return TakeInput(compat::ConsoleCall::PeekInput, hConsoleInput, lpBuffer, nLength,
                     lpNumberOfEventsRead, false, true);
}

BOOL WINAPI PeekConsoleInputW(HANDLE hConsoleInput, INPUT_RECORD* lpBuffer, DWORD nLength,
                              LPDWORD lpNumberOfEventsRead) {
    return TakeInput(compat::ConsoleCall::PeekInput, hConsoleInput, lpBuffer, nLength,
                     lpNumberOfEventsRead, false, false);
}

// Windows waits here until an event arrives; the stand-in cannot wait for anyone,
// so an empty buffer gives TRUE with no event read.
BOOL WINAPI ReadConsoleInputA(HANDLE hConsoleInput, INPUT_RECORD* lpBuffer, DWORD nLength,
                              LPDWORD lpNumberOfEventsRead) {
    return TakeInput(compat::ConsoleCall::ReadInput, hConsoleInput, lpBuffer, nLength,
                     lpNumberOfEventsRead, true, true);
}

BOOL WINAPI ReadConsoleInputW(HANDLE hConsoleInput, INPUT_RECORD* lpBuffer, DWORD nLength,
                              LPDWORD lpNumberOfEventsRead) {
    return TakeInput(compat::ConsoleCall::ReadInput, hConsoleInput, lpBuffer, nLength,
                     lpNumberOfEventsRead, true, false);
}

BOOL WINAPI WriteConsoleInputA(HANDLE hConsoleInput, const INPUT_RECORD* lpBuffer, DWORD nLength,
                               LPDWORD lpNumberOfEventsWritten) {
    return PutInput(hConsoleInput, lpBuffer, nLength, lpNumberOfEventsWritten, true);
}

BOOL WINAPI WriteConsoleInputW(HANDLE hConsoleInput, const INPUT_RECORD* lpBuffer, DWORD nLength,
                               LPDWORD lpNumberOfEventsWritten) {
    return PutInput(hConsoleInput, lpBuffer, nLength, lpNumberOfEventsWritten, false);
}

BOOL WINAPI GetNumberOfConsoleInputEvents(HANDLE hConsoleInput, LPDWORD lpNumberOfEvents) {
    if (!EnterCall(compat::ConsoleCall::NumberOfEvents, IsInput(hConsoleInput))) return FALSE;
    if (!lpNumberOfEvents) return InvalidParameter();
    *lpNumberOfEvents = static_cast<DWORD>(Console().Input.size());
    return TRUE;
}

BOOL WINAPI FlushConsoleInputBuffer(HANDLE hConsoleInput) {
    if (!EnterCall(compat::ConsoleCall::FlushInput, IsInput(hConsoleInput))) return FALSE;
    Console().Input.clear();
    return TRUE;
}

BOOL WINAPI GetConsoleScreenBufferInfo(HANDLE hConsoleOutput,
                                       CONSOLE_SCREEN_BUFFER_INFO* lpConsoleScreenBufferInfo) {
    if (!EnterCall(compat::ConsoleCall::ScreenBufferInfo, IsOutput(hConsoleOutput))) return FALSE;
    if (!lpConsoleScreenBufferInfo) return InvalidParameter();
    const TConsole& c = Console();
    CONSOLE_SCREEN_BUFFER_INFO& info = *lpConsoleScreenBufferInfo;
    info.dwSize = {c.Width, c.Height};
    info.dwCursorPosition = {0, 0};
    info.wAttributes = DefaultAttribute;
    info.srWindow = {0, 0, static_cast<SHORT>(c.Width - 1), static_cast<SHORT>(c.Height - 1)};
    info.dwMaximumWindowSize = {c.Width, c.Height};
    return TRUE;
}

// Keeps the cells both sizes share, as Windows does; new cells are blank.
BOOL WINAPI SetConsoleScreenBufferSize(HANDLE hConsoleOutput, COORD dwSize) {
    if (!EnterCall(compat::ConsoleCall::SetBufferSize, IsOutput(hConsoleOutput))) return FALSE;
    if (dwSize.X < 1 || dwSize.Y < 1 ||
        static_cast<int64_t>(dwSize.X) * dwSize.Y > MaxScreenCells) {
        return InvalidParameter();
    }
    TConsole& c = Console();
    size_t cells = static_cast<size_t>(dwSize.X) * static_cast<size_t>(dwSize.Y);
    std::vector<WCHAR> chars(cells, ' ');
    std::vector<WORD> attributes(cells, DefaultAttribute);
    SHORT rows = std::min(c.Height, dwSize.Y);
    SHORT cols = std::min(c.Width, dwSize.X);
    for (SHORT y = 0; y < rows; y++) {
        size_t from = static_cast<size_t>(y) * static_cast<size_t>(c.Width);
        size_t to = static_cast<size_t>(y) * static_cast<size_t>(dwSize.X);
        std::copy_n(c.Chars.begin() + from, cols, chars.begin() + to);
        std::copy_n(c.Attributes.begin() + from, cols, attributes.begin() + to);
    }
    c.Chars.swap(chars);
    c.Attributes.swap(attributes);
    c.Width = dwSize.X;
    c.Height = dwSize.Y;
    return TRUE;
}

BOOL WINAPI ReadConsoleOutputAttribute(HANDLE hConsoleOutput, LPWORD lpAttribute, DWORD nLength,
                                       COORD dwReadCoord, LPDWORD lpNumberOfAttrsRead) {
    if (!EnterCall(compat::ConsoleCall::ReadAttribute, IsOutput(hConsoleOutput))) return FALSE;
    if (!lpNumberOfAttrsRead || (!lpAttribute && nLength)) return InvalidParameter();
    int64_t start = CellIndex(dwReadCoord);
    if (start < 0) return InvalidParameter();
    DWORD n = RunLength(start, nLength);
    std::copy_n(Console().Attributes.begin() + start, n, lpAttribute);
    *lpNumberOfAttrsRead = n;
    return TRUE;
}

BOOL WINAPI ReadConsoleOutputCharacterA(HANDLE hConsoleOutput, LPSTR lpCharacter, DWORD nLength,
                                        COORD dwReadCoord, LPDWORD lpNumberOfCharsRead) {
    return ReadCells(hConsoleOutput, lpCharacter, nLength, dwReadCoord, lpNumberOfCharsRead);
}

BOOL WINAPI ReadConsoleOutputCharacterW(HANDLE hConsoleOutput, LPWSTR lpCharacter, DWORD nLength,
                                        COORD dwReadCoord, LPDWORD lpNumberOfCharsRead) {
    return ReadCells(hConsoleOutput, lpCharacter, nLength, dwReadCoord, lpNumberOfCharsRead);
}

BOOL WINAPI WriteConsoleOutputAttribute(HANDLE hConsoleOutput, const WORD* lpAttribute,
                                        DWORD nLength, COORD dwWriteCoord,
                                        LPDWORD lpNumberOfAttrsWritten) {
    if (!EnterCall(compat::ConsoleCall::WriteAttribute, IsOutput(hConsoleOutput))) return FALSE;
    if (!lpNumberOfAttrsWritten || (!lpAttribute && nLength)) return InvalidParameter();
    int64_t start = CellIndex(dwWriteCoord);
    if (start < 0) return InvalidParameter();
    DWORD n = RunLength(start, nLength);
    std::copy_n(lpAttribute, n, Console().Attributes.begin() + start);
    *lpNumberOfAttrsWritten = n;
    return TRUE;
}

BOOL WINAPI WriteConsoleOutputCharacterA(HANDLE hConsoleOutput, LPCSTR lpCharacter, DWORD nLength,
                                         COORD dwWriteCoord, LPDWORD lpNumberOfCharsWritten) {
    return WriteCells(hConsoleOutput, lpCharacter, nLength, dwWriteCoord, lpNumberOfCharsWritten);
}

BOOL WINAPI WriteConsoleOutputCharacterW(HANDLE hConsoleOutput, LPCWSTR lpCharacter, DWORD nLength,
                                         COORD dwWriteCoord, LPDWORD lpNumberOfCharsWritten) {
    return WriteCells(hConsoleOutput, lpCharacter, nLength, dwWriteCoord, lpNumberOfCharsWritten);
}

namespace compat {

// Also puts the standard handles back, so one test's SetStdHandle cannot leak into the next.
void ResetConsole() {
    Console() = TConsole();
}

void FailConsoleCall(ConsoleCall Which, bool Fail) {
    int k = static_cast<int>(Which);
    if (k >= 0 && k < CallKinds) Console().Fail[k] = Fail;
}

int ConsoleCallCount(ConsoleCall Which) {
    int k = static_cast<int>(Which);
    return k >= 0 && k < CallKinds ? Console().Calls[k] : 0;
}

int PendingConsoleInput() {
    return static_cast<int>(Console().Input.size());
}

bool TakeConsoleInput(INPUT_RECORD& Event) {
    std::deque<INPUT_RECORD>& input = Console().Input;
    if (input.empty()) return false;
    Event = input.front();
    input.pop_front();
    return true;
}

}  // namespace compat
