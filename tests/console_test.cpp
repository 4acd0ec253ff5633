// The console the tests run on: under Wine it is Windows' own, so these cases pin
// what the scenario tests silently rely on there (and hold natively as well).
#include <windows.h>

#include "fixture.h"

namespace {

class WindowsConsoleTest : public PluginTest {};

constexpr WORD kVkCancel = 0x03;  // VK_CANCEL, the key code of Ctrl+Break

// Ctrl+C written into the console input must arrive as a key event: a console
// that processes it raises a control event instead, which ends the program.
TEST_F(WindowsConsoleTest, CtrlCAndCtrlBreakArriveAsKeys) {
    OpenMarked("ab«cd»\nef|gh\n");
    Keys("^K ^C");
    ExpectMarked("abcd\nef«cd»|gh\n");

    H().HostKeys.clear();
    Keys("Ctrl+C");
    ASSERT_FALSE(H().HostKeys.empty());
    const KEY_EVENT_RECORD& Key = H().HostKeys.front().Event.KeyEvent;
    EXPECT_EQ(Key.wVirtualKeyCode, 'C');
    EXPECT_NE(Key.dwControlKeyState & 0x0C, 0u);

    INPUT_RECORD Break = host::KeyPress("Ctrl+C");
    Break.Event.KeyEvent.wVirtualKeyCode = kVkCancel;
    Break.Event.KeyEvent.uChar.AsciiChar = 3;
    H().HostKeys.clear();
    H().WriteInput({Break});
    H().Pump();
    ASSERT_EQ(H().HostKeys.size(), 1u);
    EXPECT_EQ(H().HostKeys[0].Event.KeyEvent.wVirtualKeyCode, kVkCancel);
}

// Whatever a test leaves on the console, the next one starts on the host's
// 80 x 25 screen of blanks with its key bar and no input waiting.
TEST_F(WindowsConsoleTest, EachTestStartsOnAFreshEightyByTwentyFiveScreen) {
    HANDLE Out = GetStdHandle(STD_OUTPUT_HANDLE);
    ASSERT_TRUE(SetConsoleScreenBufferSize(Out, COORD{100, 30}));
    DWORD Done = 0;
    WriteConsoleOutputCharacterA(Out, "left over", 9, COORD{2, 3}, &Done);
    H().WriteInput(host::ParseKeys("x y"));
    ASSERT_GT(H().PendingInput(), 0u);

    Restart();
    EXPECT_EQ(H().ScreenWidth(), 80);
    EXPECT_EQ(H().ScreenHeight(), 25);
    EXPECT_EQ(H().ScreenLine(3), std::string(80, ' '));
    EXPECT_EQ(H().ScreenLine(24).substr(0, 7), "1Help  ");
    EXPECT_EQ(H().ScreenAttr(1, 24), 0x30);
    EXPECT_EQ(H().PendingInput(), 0u);
}

}  // namespace
