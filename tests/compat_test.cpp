// The stand-in for the Windows calls must behave as Windows does where the plug-in
// depends on it. The registry, code-page and string cases also run in the Windows
// build under Wine, against the real calls, which keeps the stand-in honest.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#ifndef _WIN32
#include "compat_control.h"
#endif

namespace {

// ---- Registry ----------------------------------------------------------------

const char* const TestRoot = "Software\\TarvikCompatTest";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        compat::ResetRegistry();
#endif
        RegDeleteTreeA(HKEY_CURRENT_USER, TestRoot);
        ASSERT_EQ(ERROR_SUCCESS, Create(HKEY_CURRENT_USER, TestRoot, KEY_ALL_ACCESS, Root));
    }
    void TearDown() override {
        RegCloseKey(Root);
        RegDeleteTreeA(HKEY_CURRENT_USER, TestRoot);
    }
    static LSTATUS Create(HKEY Parent, const char* Path, REGSAM Access, HKEY& Key,
                          DWORD* Disposition = nullptr) {
        return RegCreateKeyExA(Parent, Path, 0, nullptr, REG_OPTION_NON_VOLATILE, Access, nullptr,
                               &Key, Disposition);
    }
    static LSTATUS SetDword(HKEY Key, const char* Name, DWORD Value) {
        return RegSetValueExA(Key, Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Value), 4);
    }
    HKEY Root = nullptr;
};

TEST_F(RegistryTest, QueryFollowsTheSizeRules) {
    ASSERT_EQ(ERROR_SUCCESS, SetDword(Root, "Lines", 0x01020304));
    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(Root, "Lines", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, size);

    // Too small: the size needed comes back and the caller's variable keeps its value.
    WORD small = 0xBEEF;
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(Root, "Lines", nullptr, nullptr,
                                                reinterpret_cast<BYTE*>(&small), &size));
    EXPECT_EQ(4u, size);
#ifndef _WIN32
    EXPECT_EQ(0xBEEF, small);  // Windows leaves the buffer undefined; the stand-in untouched
#endif

    unsigned char big[8] = {};
    size = sizeof big;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(Root, "lines", nullptr, nullptr, big, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0x04, big[0]);
    EXPECT_EQ(0x01, big[3]);

    // A shorter value of another type replaces only the low bytes of the variable.
    BYTE five = 5;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(Root, "Short", 0, REG_BINARY, &five, 1));
    DWORD value = 1024;
    size = 4;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(Root, "Short", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(1u, size);
    EXPECT_EQ(1029u, value);

    // The terminating NUL is stored when the caller counts it.
    const char banner[] = "Tarvik";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(Root, "Info", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(banner), sizeof banner));
    size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(Root, "INFO", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(sizeof banner, size);

    size = 4;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(Root, "Missing", nullptr, nullptr, big, &size));
}

TEST_F(RegistryTest, KeysAreCreatedLevelByLevelAndFoundWhateverTheCase) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, Create(Root, "Tarvik\\File Types", KEY_ALL_ACCESS, key, &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
    ASSERT_EQ(ERROR_SUCCESS, SetDword(key, "C:\\Work\\Notes.TXT", 2));
    RegCloseKey(key);

    ASSERT_EQ(ERROR_SUCCESS,
              Create(Root, "TARVIK\\file types", KEY_QUERY_VALUE, key, &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
    DWORD mode = 0, size = 4;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "c:\\work\\notes.txt", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(&mode), &size));
    EXPECT_EQ(2u, mode);
    RegCloseKey(key);

    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(Root, "tarvik", 0, KEY_READ, &key));
    RegCloseKey(key);
    key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(Root, "Tarvik\\Nothing", 0, KEY_READ, &key));
    EXPECT_EQ(nullptr, key);
}

TEST_F(RegistryTest, HandlesAllowOnlyTheAccessTheyWereOpenedWith) {
    ASSERT_EQ(ERROR_SUCCESS, SetDword(Root, "Value", 7));
    HKEY readOnly = nullptr, writeOnly = nullptr, child = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, TestRoot, 0, KEY_QUERY_VALUE, &readOnly));
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, TestRoot, 0, KEY_SET_VALUE, &writeOnly));

    DWORD value = 0, size = 4;
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetDword(readOnly, "Value", 8));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueA(readOnly, "Value"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(writeOnly, "Value", nullptr, nullptr,
                                                    reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(readOnly, "Value", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(7u, value);

    // A new subkey needs KEY_CREATE_SUB_KEY on the parent; nothing is created without it.
    // (Wine skips this check; Windows makes it.)
#ifndef _WIN32
    EXPECT_EQ(ERROR_ACCESS_DENIED, Create(readOnly, "Sub", KEY_ALL_ACCESS, child));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(Root, "Sub", 0, KEY_READ, &child));
#endif
    HKEY creator = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, TestRoot, 0,
                                           KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY, &creator));
    ASSERT_EQ(ERROR_SUCCESS, Create(creator, "Sub", KEY_QUERY_VALUE | KEY_SET_VALUE, child));
    RegCloseKey(child);
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetDword(creator, "Value", 9));
    RegCloseKey(creator);
    RegCloseKey(writeOnly);
    RegCloseKey(readOnly);
}

TEST_F(RegistryTest, DeletingValuesAndTrees) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Create(Root, "A\\B\\C", KEY_ALL_ACCESS, key));
    ASSERT_EQ(ERROR_SUCCESS, SetDword(key, "V", 1));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, "v"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueA(key, "v"));
    RegCloseKey(key);

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeA(Root, "a\\b"));
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(Root, "A", 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(Root, "A\\B", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteTreeA(Root, "A\\B"));
}

#ifndef _WIN32
TEST_F(RegistryTest, OpenKeysAreCountedAndTheContentCanBeInspected) {
    int before = compat::OpenRegistryKeys();
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Create(Root, "Tarvik", KEY_ALL_ACCESS, key));
    EXPECT_EQ(before + 1, compat::OpenRegistryKeys());
    ASSERT_EQ(ERROR_SUCCESS, SetDword(key, "MaxTabSearchLines", 64));
    ASSERT_EQ(ERROR_SUCCESS, SetDword(key, "SaveFileType", 1));
    ASSERT_EQ(ERROR_SUCCESS, SetDword(key, "savefiletype", 0));  // keeps the first spelling
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    EXPECT_EQ(before, compat::OpenRegistryKeys());

    std::vector<compat::RegistryValue> values;
    ASSERT_TRUE(compat::ReadRegistryKey(std::string(TestRoot) + "\\TARVIK", values));
    ASSERT_EQ(2u, values.size());
    EXPECT_EQ("MaxTabSearchLines", values[0].Name);
    EXPECT_EQ("SaveFileType", values[1].Name);
    EXPECT_EQ(std::vector<BYTE>({0, 0, 0, 0}), values[1].Data);
    EXPECT_FALSE(compat::RegistryKeyExists(std::string(TestRoot) + "\\Other"));

    // A handle to a deleted key fails instead of touching freed memory.
    ASSERT_EQ(ERROR_SUCCESS, Create(Root, "Tarvik", KEY_ALL_ACCESS, key));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeA(Root, "Tarvik"));
    EXPECT_EQ(ERROR_KEY_DELETED, SetDword(key, "SaveFileType", 1));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
}

// ---- Console -------------------------------------------------------------------

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override { compat::ResetConsole(); }
    void TearDown() override { compat::ResetConsole(); }
    static INPUT_RECORD Key(WORD VirtualKey) {
        INPUT_RECORD r = {};
        r.EventType = KEY_EVENT;
        r.Event.KeyEvent.bKeyDown = TRUE;
        r.Event.KeyEvent.wRepeatCount = 1;
        r.Event.KeyEvent.wVirtualKeyCode = VirtualKey;
        return r;
    }
    HANDLE In = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE Out = GetStdHandle(STD_OUTPUT_HANDLE);
};

TEST_F(ConsoleTest, InputBufferIsAFifo) {
    ASSERT_NE(nullptr, In);
    ASSERT_NE(In, Out);
    INPUT_RECORD keys[3] = {Key('A'), Key('B'), Key(VK_ESCAPE)};
    DWORD n = 0;
    ASSERT_TRUE(WriteConsoleInputA(In, keys, 3, &n));
    EXPECT_EQ(3u, n);

    INPUT_RECORD got[4] = {};
    ASSERT_TRUE(PeekConsoleInputA(In, got, 4, &n));
    EXPECT_EQ(3u, n);
    ASSERT_TRUE(GetNumberOfConsoleInputEvents(In, &n));
    EXPECT_EQ(3u, n);  // peeking removes nothing
    ASSERT_TRUE(ReadConsoleInputA(In, got, 2, &n));
    EXPECT_EQ(2u, n);
    EXPECT_EQ('A', got[0].Event.KeyEvent.wVirtualKeyCode);
    EXPECT_EQ('B', got[1].Event.KeyEvent.wVirtualKeyCode);
    // The host's own reading is neither counted nor failed.
    compat::FailConsoleCall(compat::ConsoleCall::ReadInput, true);
    int reads = compat::ConsoleCallCount(compat::ConsoleCall::ReadInput);
    EXPECT_EQ(1, compat::PendingConsoleInput());
    ASSERT_TRUE(compat::TakeConsoleInput(got[0]));
    EXPECT_EQ(VK_ESCAPE, got[0].Event.KeyEvent.wVirtualKeyCode);
    EXPECT_FALSE(compat::TakeConsoleInput(got[0]));
    EXPECT_EQ(reads, compat::ConsoleCallCount(compat::ConsoleCall::ReadInput));
    compat::FailConsoleCall(compat::ConsoleCall::ReadInput, false);
    ASSERT_TRUE(WriteConsoleInputA(In, keys, 1, &n));
    ASSERT_TRUE(FlushConsoleInputBuffer(In));
    // Where Windows would wait for a key, the stand-in reports none.
    n = 7;
    EXPECT_TRUE(ReadConsoleInputA(In, got, 1, &n));
    EXPECT_EQ(0u, n);
}

TEST_F(ConsoleTest, CallsOnTheWrongHandleOrMadeToFailDoNothing) {
    DWORD n = 0;
    INPUT_RECORD key = Key('A');
    SetLastError(0);
    EXPECT_FALSE(WriteConsoleInputA(Out, &key, 1, &n));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    CONSOLE_SCREEN_BUFFER_INFO info;
    EXPECT_FALSE(GetConsoleScreenBufferInfo(In, &info));

    compat::FailConsoleCall(compat::ConsoleCall::WriteInput, true);
    EXPECT_FALSE(WriteConsoleInputA(In, &key, 1, &n));
    compat::FailConsoleCall(compat::ConsoleCall::WriteInput, false);
    ASSERT_TRUE(GetNumberOfConsoleInputEvents(In, &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(2, compat::ConsoleCallCount(compat::ConsoleCall::WriteInput));
    EXPECT_EQ(1, compat::ConsoleCallCount(compat::ConsoleCall::NumberOfEvents));

    ASSERT_TRUE(WriteConsoleInputA(In, &key, 1, &n));
    compat::FailConsoleCall(compat::ConsoleCall::ReadInput, true);
    INPUT_RECORD got;
    EXPECT_FALSE(ReadConsoleInputA(In, &got, 1, &n));
    compat::FailConsoleCall(compat::ConsoleCall::ReadInput, false);
    ASSERT_TRUE(GetNumberOfConsoleInputEvents(In, &n));
    EXPECT_EQ(1u, n);

    // A replaced standard handle is what the next GetStdHandle gives.
    ASSERT_TRUE(SetStdHandle(STD_INPUT_HANDLE, Out));
    EXPECT_FALSE(GetNumberOfConsoleInputEvents(GetStdHandle(STD_INPUT_HANDLE), &n));
    compat::ResetConsole();
    EXPECT_EQ(In, GetStdHandle(STD_INPUT_HANDLE));
    EXPECT_EQ(0, compat::ConsoleCallCount(compat::ConsoleCall::NumberOfEvents));
}

TEST_F(ConsoleTest, ScreenRunsWrapIntoTheNextRowAndStopAtTheEnd) {
    COORD size = {10, 3};
    ASSERT_TRUE(SetConsoleScreenBufferSize(Out, size));
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    ASSERT_TRUE(GetConsoleScreenBufferInfo(Out, &info));
    EXPECT_EQ(10, info.dwSize.X);
    EXPECT_EQ(3, info.dwSize.Y);
    EXPECT_EQ(9, info.srWindow.Right);
    EXPECT_EQ(2, info.srWindow.Bottom);
    EXPECT_EQ(0x07, info.wAttributes);

    DWORD n = 0;
    ASSERT_TRUE(WriteConsoleOutputCharacterA(Out, "abcdef", 6, {7, 0}, &n));
    EXPECT_EQ(6u, n);
    char row[11] = {};
    ASSERT_TRUE(ReadConsoleOutputCharacterA(Out, row, 10, {0, 1}, &n));
    EXPECT_STREQ("def       ", row);

    const WORD attrs[5] = {0x30, 0x31, 0x32, 0x33, 0x34};
    ASSERT_TRUE(WriteConsoleOutputAttribute(Out, attrs, 5, {8, 2}, &n));
    EXPECT_EQ(2u, n);  // the buffer ends after two cells
    WORD got[3] = {};
    ASSERT_TRUE(ReadConsoleOutputAttribute(Out, got, 3, {7, 2}, &n));
    EXPECT_EQ(3u, n);
    EXPECT_EQ(0x07, got[0]);
    EXPECT_EQ(0x30, got[1]);
    EXPECT_EQ(0x31, got[2]);

    EXPECT_FALSE(ReadConsoleOutputAttribute(Out, got, 1, {10, 0}, &n));
    EXPECT_FALSE(ReadConsoleOutputAttribute(Out, got, 1, {0, 3}, &n));
    EXPECT_FALSE(ReadConsoleOutputAttribute(Out, got, 1, {-1, 0}, &n));
    compat::FailConsoleCall(compat::ConsoleCall::ReadAttribute, true);
    EXPECT_FALSE(ReadConsoleOutputAttribute(Out, got, 1, {0, 0}, &n));

    // Growing keeps what both sizes share.
    ASSERT_TRUE(SetConsoleScreenBufferSize(Out, {12, 4}));
    ASSERT_TRUE(ReadConsoleOutputCharacterA(Out, row, 10, {0, 1}, &n));
    EXPECT_STREQ("def       ", row);
    EXPECT_FALSE(SetConsoleScreenBufferSize(Out, {0, 4}));
}

// ---- Process heap ----------------------------------------------------------------

// The wide calls keep UTF-16; the 8-bit calls meet them through the OEM code page.
TEST_F(ConsoleTest, WideAndEightBitCallsShareTheTextThroughTheOemCodePage) {
    INPUT_RECORD k = Key('A');
    k.Event.KeyEvent.uChar.AsciiChar = '\xE0';  // 866 р
    DWORD n = 0;
    ASSERT_TRUE(WriteConsoleInputA(In, &k, 1, &n));
    k.Event.KeyEvent.uChar.UnicodeChar = 0x2603;  // no 866 byte
    ASSERT_TRUE(WriteConsoleInputW(In, &k, 1, &n));
    INPUT_RECORD got[2] = {};
    ASSERT_TRUE(PeekConsoleInputW(In, got, 2, &n));
    EXPECT_EQ(0x0440, got[0].Event.KeyEvent.uChar.UnicodeChar);
    ASSERT_TRUE(ReadConsoleInputA(In, got, 2, &n));
    EXPECT_EQ('\xE0', got[0].Event.KeyEvent.uChar.AsciiChar);
    EXPECT_EQ('?', got[1].Event.KeyEvent.uChar.AsciiChar);

    const WCHAR wide[3] = {0x0416, 'x', 0x2603};  // Ж x snowman
    ASSERT_TRUE(WriteConsoleOutputCharacterW(Out, wide, 3, {0, 0}, &n));
    char row[4] = {};
    ASSERT_TRUE(ReadConsoleOutputCharacterA(Out, row, 3, {0, 0}, &n));
    EXPECT_STREQ("\x86x?", row);
    ASSERT_TRUE(WriteConsoleOutputCharacterA(Out, "\xF1", 1, {1, 0}, &n));  // 866 ё
    WCHAR back[3] = {};
    ASSERT_TRUE(ReadConsoleOutputCharacterW(Out, back, 3, {0, 0}, &n));
    EXPECT_EQ(0x0451, back[1]);
}

TEST(HeapTest, InjectedFailuresHitExactlyTheChosenAllocations) {
    HANDLE heap = GetProcessHeap();
    long live = compat::LiveHeapBlocks();
    long count = compat::HeapAllocationCount();

    compat::FailHeapAllocation(2, 2);
    void* first = HeapAlloc(heap, 0, 16);
    void* second = HeapAlloc(heap, 0, 16);
    void* third = HeapAlloc(heap, 0, 16);
    void* fourth = HeapAlloc(heap, 0, 16);
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(nullptr, second);
    EXPECT_EQ(nullptr, third);
    EXPECT_NE(nullptr, fourth);
    EXPECT_EQ(count + 4, compat::HeapAllocationCount());
    EXPECT_EQ(live + 2, compat::LiveHeapBlocks());

    // A failing reallocation keeps the old block and its bytes.
    memcpy(first, "kept", 5);
    compat::FailHeapAllocation(1);
    EXPECT_EQ(nullptr, HeapReAlloc(heap, 0, first, 4096));
    EXPECT_STREQ("kept", static_cast<char*>(first));
    char* grown = static_cast<char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, first, 64));
    ASSERT_NE(nullptr, grown);
    EXPECT_STREQ("kept", grown);
    EXPECT_EQ(0, grown[63]);

    compat::FailHeapAllocation(1, 0);
    EXPECT_EQ(nullptr, HeapAlloc(heap, 0, 1));
    EXPECT_EQ(nullptr, HeapAlloc(heap, 0, 1));
    compat::FailHeapAllocation(0);
    void* last = HeapAlloc(heap, 0, 0);
    EXPECT_NE(nullptr, last);

    EXPECT_TRUE(HeapFree(heap, 0, grown));
    EXPECT_TRUE(HeapFree(heap, 0, fourth));
    EXPECT_TRUE(HeapFree(heap, 0, last));
    EXPECT_TRUE(HeapFree(heap, 0, nullptr));
    EXPECT_EQ(live, compat::LiveHeapBlocks());
}
#endif  // !_WIN32

// ---- Code pages and strings ------------------------------------------------------

// The Cyrillic cases need ANSI 1251 and OEM 866 (under Wine: a Russian locale).
#define REQUIRE_RUSSIAN_CODE_PAGES() \
    if (GetACP() != 1251 || GetOEMCP() != 866) GTEST_SKIP() << "not 1251/866"

char ToOem(unsigned char c) {
    char s[2] = {static_cast<char>(c), 0};
    CharToOemA(s, s);
    return s[0];
}

char ToAnsi(unsigned char c) {
    char s[2] = {static_cast<char>(c), 0};
    OemToCharA(s, s);
    return s[0];
}

TEST(CodePageTest, CyrillicLettersAndSignsMapBothWays) {
    REQUIRE_RUSSIAN_CODE_PAGES();
    for (int c = 0xC0; c <= 0xFF; c++) {  // А..я
        int oem = c < 0xF0 ? c - 0x40 : c - 0x10;
        EXPECT_EQ(static_cast<char>(oem), ToOem(static_cast<unsigned char>(c))) << std::hex << c;
        EXPECT_EQ(static_cast<char>(c), ToAnsi(static_cast<unsigned char>(oem))) << std::hex << c;
    }
    // Ё ё Ў ў Є є Ї ї NBSP ° · № ¤
    const unsigned char pairs[][2] = {{0xA8, 0xF0}, {0xB8, 0xF1}, {0xA1, 0xF6}, {0xA2, 0xF7},
                                      {0xAA, 0xF2}, {0xBA, 0xF3}, {0xAF, 0xF4}, {0xBF, 0xF5},
                                      {0xA0, 0xFF}, {0xB0, 0xF8}, {0xB7, 0xFA}, {0xB9, 0xFC},
                                      {0xA4, 0xFD}};
    for (const auto& p : pairs) {
        EXPECT_EQ(static_cast<char>(p[1]), ToOem(p[0])) << std::hex << int(p[0]);
        EXPECT_EQ(static_cast<char>(p[0]), ToAnsi(p[1])) << std::hex << int(p[1]);
    }
    for (int c = 1; c < 0x80; c++) {
        EXPECT_EQ(static_cast<char>(c), ToOem(static_cast<unsigned char>(c)));
        EXPECT_EQ(static_cast<char>(c), ToAnsi(static_cast<unsigned char>(c)));
    }
    // Box-drawing has no counterpart and takes a look-alike.
    EXPECT_EQ('-', ToAnsi(0xC4));
    EXPECT_EQ('=', ToAnsi(0xCD));
}

TEST(CodePageTest, WholeStringsAndBuffersConvertInPlace) {
    REQUIRE_RUSSIAN_CODE_PAGES();
    char text[] = "\xCF\xF0\xE8\xE2\xE5\xF2, \xB8\xEB\xEA\xE0!";  // Привет, ёлка!
    ASSERT_TRUE(CharToOemA(text, text));
    EXPECT_STREQ("\x8F\xE0\xA8\xA2\xA5\xE2, \xF1\xAB\xAA\xA0!", text);
    ASSERT_TRUE(OemToCharA(text, text));
    EXPECT_STREQ("\xCF\xF0\xE8\xE2\xE5\xF2, \xB8\xEB\xEA\xE0!", text);

    // The buffer forms convert exactly the count given, past a NUL, and no further.
    char buffer[5] = {'\xC0', 0, '\xE0', '\xFF', '\xC1'};
    ASSERT_TRUE(CharToOemBuffA(buffer, buffer, 4));
    EXPECT_EQ(0, memcmp("\x80\0\xA0\xEF\xC1", buffer, 5));
}

// Every OEM byte has its own UTF-16 unit, and the case functions follow Unicode.
TEST(CodePageTest, OemBytesAndUtf16RoundTripAndChangeCase) {
    REQUIRE_RUSSIAN_CODE_PAGES();
    char bytes[256];
    for (int c = 0; c < 256; c++) bytes[c] = static_cast<char>(c);
    WCHAR wide[256] = {};
    ASSERT_EQ(256, MultiByteToWideChar(CP_OEMCP, 0, bytes, 256, wide, 256));
    EXPECT_EQ(0x0410, wide[0x80]);  // А
    EXPECT_EQ(0x044F, wide[0xEF]);  // я
    EXPECT_EQ(0x2500, wide[0xC4]);  // ─
    char back[256] = {};
    ASSERT_EQ(256, WideCharToMultiByte(CP_OEMCP, 0, wide, 256, back, 256, nullptr, nullptr));
    EXPECT_EQ(0, memcmp(bytes, back, 256));

    WCHAR text[] = {'a', 0x0451, 0x044F, 0x00E9, '1', 0xD83D, 0};  // a ё я é 1 (high surrogate)
    EXPECT_EQ(6u, CharUpperBuffW(text, 6));
    const WCHAR upper[] = {'A', 0x0401, 0x042F, 0x00C9, '1', 0xD83D, 0};
    EXPECT_EQ(0, memcmp(upper, text, sizeof text));
    EXPECT_TRUE(IsCharUpperW(0x042F));
    EXPECT_TRUE(IsCharAlphaW(0x044F));
    EXPECT_FALSE(IsCharAlphaW('1'));
    CharLowerBuffW(text, 6);
    EXPECT_EQ(0x0451, text[1]);
}

#ifndef _WIN32
TEST(CodePageTest, MissingCharactersTakeTheBestFitAndNullFails) {
    EXPECT_EQ('I', ToOem(0xB2));  // І
    EXPECT_EQ('i', ToOem(0xB3));  // і
    EXPECT_EQ('?', ToOem(0x80));  // Ђ
    char out[4];
    EXPECT_FALSE(CharToOemA(nullptr, out));
    EXPECT_FALSE(OemToCharA("a", nullptr));
    EXPECT_FALSE(CharToOemBuffA(nullptr, out, 1));
}
#endif

TEST(StringTest, LengthCopyAndCompare) {
    EXPECT_EQ(0, lstrlenA(nullptr));
    EXPECT_EQ(6, lstrlenA("Tarvik"));
    char copy[8];
    EXPECT_EQ(copy, lstrcpyA(copy, "Tarvik"));
    EXPECT_STREQ("Tarvik", copy);
    EXPECT_EQ(0, lstrcmpA("Tarvik", copy));
    EXPECT_GT(0, lstrcmpA("abc", "abd"));
    EXPECT_LT(0, lstrcmpA("abcd", "abc"));
    EXPECT_GT(0, lstrcmpA(nullptr, "a"));
    EXPECT_LT(0, lstrcmpA("a", nullptr));
}

}  // namespace
