// The key dispatcher through the stand-in host: the gate, the prefix state
// machine, the table choice (Shift, Alt, AltGr), repeat counts, keys handed to
// the host, and windows that close inside a nested dispatch.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fixture.h"

namespace {

const char* const kTwentyLines =
    "l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9\nline "
    "ten\nl11\nl12\nl13\nl14\nl15\nl16\nl17\nl18\nl19\n";

class DispatcherTest : public PluginTest {
protected:
    // One key press, handled as the host's main loop does; the plug-in's answer.
    int Press(const std::string& Token) { return H().Feed(host::KeyPress(Token)); }

    // A release of the key of Token.
    int Release(const std::string& Token) {
        INPUT_RECORD Event = host::KeyPress(Token);
        Event.Event.KeyEvent.bKeyDown = FALSE;
        return H().Feed(Event);
    }

    // True when a Ctrl+K or Ctrl+Q prefix was pending: the digit 5 is then bound
    // (a bookmark) and handled, otherwise the host types it. Ends the prefix.
    bool ProbePrefix() {
        const std::string Before = H().Text();
        const int Result = Press("5");
        if (Result == 1) {
            EXPECT_EQ(H().Text(), Before) << "a bound digit must not be typed";
        }
        return Result == 1;
    }

    WORD LastHostKey() {
        return H().HostKeys.empty() ? 0 : H().HostKeys.back().Event.KeyEvent.wVirtualKeyCode;
    }
};

// ---- The gate ----

TEST_F(DispatcherTest, KeyPassedOnAtTheGateCostsExactlyOneGetInfo) {
    OpenOn("abc\n");
    const std::vector<INPUT_RECORD> Events = {
        [] {
            INPUT_RECORD R = host::KeyPress("x");
            R.Event.KeyEvent.bKeyDown = FALSE;
            return R;
        }(),
        host::MouseEvent(3, 4, FROM_LEFT_1ST_BUTTON_PRESSED),
    };
    for (const INPUT_RECORD& Event : Events) {
        H().ResetCounters();
        INPUT_RECORD Copy = Event;
        EXPECT_EQ(H().ProcessEditorInput(Copy), 0) << host::EventName(Event);
        EXPECT_EQ(H().TotalCalls(), 1) << host::EventName(Event);
        EXPECT_EQ(H().EctlCalls(ECTL_GETINFO), 1) << host::EventName(Event);
    }
}

TEST_F(DispatcherTest, WindowWithBindingsOffPassesEverythingOnUnchanged) {
    OpenOn("abc\n");
    H().PickMenu();  // off
    ASSERT_FALSE(BindingsOn());
    for (const char* Token : {"^K", "Enter", "^L", "F7", "Ctrl+Shift+R"}) {
        H().ResetCounters();
        INPUT_RECORD Event = host::KeyPress(Token);
        const INPUT_RECORD Before = Event;
        EXPECT_EQ(H().ProcessEditorInput(Event), 0) << Token;
        EXPECT_EQ(memcmp(&Event, &Before, sizeof Event), 0) << Token << ": record changed";
        EXPECT_EQ(H().TotalCalls(), 1) << Token;
    }
    EXPECT_TRUE(H().HostActions.empty());
}

// ---- The prefix state machine, row by row ----

TEST_F(DispatcherTest, NoneThenCtrlKOrCtrlQEntersThePrefixWithoutRedraw) {
    for (const char* Prefix : {"^K", "^Q", "RCtrl+K", "Ctrl+Shift+Q"}) {
        SCOPED_TRACE(Prefix);
        Restart();
        OpenOn("abc\n");
        H().ResetCounters();
        EXPECT_EQ(Press(Prefix), 1);
        EXPECT_EQ(H().EctlCalls(ECTL_REDRAW), 0);
        EXPECT_TRUE(H().HostKeys.empty());
        EXPECT_TRUE(ProbePrefix());
        EXPECT_FALSE(ProbePrefix()) << "a bound second key ends the prefix";
    }
}

TEST_F(DispatcherTest, CtrlKBoundKeyRunsAndCtrlQBoundKeyRunsThenPrefixIsGone) {
    OpenOn(kTwentyLines);
    H().SetCursor(10, 4);
    H().ResetCounters();
    EXPECT_EQ(Press("^K"), 1);
    EXPECT_EQ(Press("5"), 1);
    EXPECT_EQ(H().EctlCalls(ECTL_REDRAW), 0) << "setting a bookmark does not redraw";
    ExpectText(kTwentyLines);
    EXPECT_FALSE(ProbePrefix());

    H().SetCursor(2, 1);
    H().ResetCounters();
    EXPECT_EQ(Press("^Q"), 1);
    EXPECT_EQ(Press("5"), 1);
    EXPECT_EQ(Cursor(), std::make_pair(10, 4));
    EXPECT_EQ(H().EctlCalls(ECTL_REDRAW), 1);

    // An unset bookmark moves nothing, but the key is still handled and redrawn.
    H().ResetCounters();
    EXPECT_EQ(Press("^Q"), 1);
    EXPECT_EQ(Press("7"), 1);
    EXPECT_EQ(Cursor(), std::make_pair(10, 4));
    EXPECT_EQ(H().EctlCalls(ECTL_REDRAW), 1);
    EXPECT_FALSE(ProbePrefix());
}

TEST_F(DispatcherTest, PendingPrefixEndsOnAnyOtherKeyDownWhichGoesToTheHost) {
    struct Case {
        const char* Prefix;
        const char* Key;
        WORD HostVk;
    };
    const Case Cases[] = {
        {"^K", "z", 'Z'},
        {"^K", "Alt+B", 'B'},
        {"^K", "^Q", 'Q'},
        {"^K", "Ctrl", VK_CONTROL},
        {"^K", "F7", VK_F7},
        {"^K", "Num5", VK_NUMPAD0 + 5},
        {"^K", "AltGr+B", 'B'},
        {"^K", "^R", 'R'},
        {"^Q", "g", 'G'},
        {"^Q", "Alt+F", 'F'},
        {"^Q", "^Q", 'Q'},
        {"^Q", "Shift", VK_SHIFT},
        {"^Q", "Num5", VK_NUMPAD0 + 5},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(C.Prefix) + " " + C.Key);
        Restart();
        OpenOn("abc\n");
        ASSERT_EQ(Press(C.Prefix), 1);
        EXPECT_EQ(Press(C.Key), 0);
        EXPECT_EQ(LastHostKey(), C.HostVk);
        EXPECT_FALSE(ProbePrefix());
    }
}

TEST_F(DispatcherTest, ReleasesMouseEventsAndBindingsOffLeaveThePrefixPending) {
    OpenOn("abc\n");
    ASSERT_EQ(Press("^K"), 1);
    EXPECT_EQ(Release("^K"), 0);
    EXPECT_EQ(Release("Ctrl"), 0);
    EXPECT_EQ(H().Feed(host::MouseEvent(5, 5, 0, MOUSE_MOVED)), 0);
    EXPECT_EQ(H().Feed(host::MouseEvent(5, 5, FROM_LEFT_1ST_BUTTON_PRESSED)), 0);
    H().PickMenu();  // off: the host handles the key
    EXPECT_EQ(Press("x"), 0);
    H().PickMenu();  // on again
    EXPECT_TRUE(ProbePrefix());
}

TEST_F(DispatcherTest, PrefixStateBelongsToItsWindowAndGoesWithIt) {
    const int First = OpenOn("first\n", "a.txt");
    ASSERT_EQ(Press("^K"), 1);
    const int Second = OpenOn("second\n", "b.txt");
    EXPECT_FALSE(ProbePrefix());
    H().SwitchTo(First);
    EXPECT_TRUE(ProbePrefix());

    ASSERT_EQ(Press("^Q"), 1);
    H().CloseWindow(First);
    H().SwitchTo(Second);
    EXPECT_FALSE(ProbePrefix());
}

TEST_F(DispatcherTest, SecondKeyOfAPrefixIgnoresCtrlAndShift) {
    for (const char* Key : {"b", "B", "^B"}) {
        SCOPED_TRACE(Key);
        Restart();
        OpenOn("abc\n");
        ASSERT_EQ(Press("^K"), 1);
        EXPECT_EQ(Press(Key), 1);
        ExpectText("abc\n");
    }
    // Ctrl+K Ctrl+K is the block end mark, not a new prefix; Ctrl+Q Ctrl+K is Ctrl+Q K.
    for (const char* Prefix : {"^K", "^Q"}) {
        SCOPED_TRACE(Prefix);
        Restart();
        OpenOn("abc\n");
        ASSERT_EQ(Press(Prefix), 1);
        EXPECT_EQ(Press("^K"), 1);
        EXPECT_FALSE(ProbePrefix());
    }
}

TEST_F(DispatcherTest, AltGrNeverReachesTheCtrlTable) {
    OpenOn("abc\n");
    for (const char* Key : {"AltGr+K", "AltGr+Q", "AltGr+L"}) {
        SCOPED_TRACE(Key);
        EXPECT_EQ(Press(Key), 0);
        EXPECT_FALSE(ProbePrefix());
    }
    EXPECT_TRUE(H().HostActions.empty()) << "AltGr+L must not repeat a search";
}

// ---- Repeat counts ----

// The first copy runs in the nested call, the prefix still pending, and clears it;
// the outer call runs the command it had chosen: the block is indented twice.
TEST_F(DispatcherTest, RepeatedSecondKeyRunsInTheNestedCallAndAgainOutside) {
    OpenOn("ab\ncd\nef\n");
    H().SelectStream(0, 0, 0, 2);
    ASSERT_EQ(Press("^K"), 1);
    H().ResetCounters();
    EXPECT_EQ(Press("I*2"), 1);
    EXPECT_EQ(H().EctlCalls(ECTL_PROCESSINPUT), 1);
    ExpectText("  ab\ncd\nef\n");
    EXPECT_FALSE(ProbePrefix());
}

TEST_F(DispatcherTest, PassedOnKeysKeepTheirRepeatCount) {
    OpenOn("abc\n");
    H().SetCursor(0, 3);
    EXPECT_EQ(Press("^Z*3"), 0);
    ASSERT_FALSE(H().HostKeys.empty());
    EXPECT_EQ(H().HostKeys.back().Event.KeyEvent.wRepeatCount, 3);
    // The host ignores the count: one x, and none more unless the plug-in expanded it.
    EXPECT_EQ(Press("x*3"), 0);
    ExpectText("abcx\n");
}

// ---- Keys the plug-in hands to the host ----

TEST_F(DispatcherTest, CtrlKSLeavesExactlyAnF2PressAndRelease) {
    OpenOn("abc\n");
    ASSERT_EQ(Press("^K"), 1);
    EXPECT_EQ(Press("S"), 1);
    const std::vector<INPUT_RECORD> Waiting = H().PeekInput();
    ASSERT_EQ(Waiting.size(), 2u);
    for (size_t I = 0; I < 2; ++I) {
        const KEY_EVENT_RECORD& Key = Waiting[I].Event.KeyEvent;
        EXPECT_EQ(Waiting[I].EventType, KEY_EVENT);
        EXPECT_EQ(Key.bKeyDown != 0, I == 0);
        EXPECT_EQ(Key.wVirtualKeyCode, VK_F2);
        EXPECT_EQ(Key.wRepeatCount, 1);
        EXPECT_EQ(Key.wVirtualScanCode, 0);
        EXPECT_EQ(Key.uChar.AsciiChar, 0);
        EXPECT_EQ(Key.dwControlKeyState, 0u);
    }
    H().Pump();
    EXPECT_EQ(H().Win().Saves, 1);
}

TEST_F(DispatcherTest, CtrlQFAndCtrlQAHandTheHostItsSearchAndReplace) {
    OpenOn("abc\n");
    H().ResetCounters();
    ASSERT_EQ(Press("^Q"), 1);
    EXPECT_EQ(Press("F"), 1);
    ASSERT_EQ(Press("^Q"), 1);
    EXPECT_EQ(Press("A"), 1);
    EXPECT_EQ(H().HostActions,
              (std::vector<host::HostAction>{host::HostAction::Search, host::HostAction::Replace}));
    EXPECT_EQ(H().EctlCalls(ECTL_PROCESSINPUT), 2);
    // The sent F7 came back while Ctrl+Q was pending: passed on, so the repeat
    // keys still repeat the host's search.
    EXPECT_EQ(Press("Shift+F7"), 0);
    EXPECT_EQ(H().HostActions.back(), host::HostAction::RepeatSearch);
}

TEST_F(DispatcherTest, SearchKeysWithoutAPluginSearchGoToTheHost) {
    OpenOn("abc\n");
    EXPECT_EQ(Press("F7"), 0);
    EXPECT_EQ(Press("Ctrl+F7"), 0);
    EXPECT_EQ(Press("Shift+F7"), 0);
    H().ResetCounters();
    EXPECT_EQ(Press("^L"), 1);  // a new record repeats the host's search
    EXPECT_EQ(H().EctlCalls(ECTL_REDRAW), 1);
    EXPECT_EQ(H().HostActions,
              (std::vector<host::HostAction>{host::HostAction::Search, host::HostAction::Replace,
                                             host::HostAction::RepeatSearch,
                                             host::HostAction::RepeatSearch}));
}

// Builds of the host that ask the plug-in a second time, with the last record read
// from the console, before acting on a key handed over: each hand-over is served
// once, so nothing recurses and nothing happens twice.
TEST_F(DispatcherTest, HostAskingTwicePerHandOverGetsEachKeyOnce) {
    OpenOn("abc\n");
    H().SecondInputCall = true;
    H().SetCursor(0, 3);
    Keys("^L");  // Shift+F7 handed over; the second call brings back Ctrl+L
    EXPECT_EQ(H().HostActions, std::vector<host::HostAction>{host::HostAction::RepeatSearch});
    Keys("BS*3");  // declined: two copies through the host, then the key itself
    ExpectText("\n");
    Keys("Ctrl+Shift+R x Esc");  // typed at the recording prompt
    ExpectText("x\n");
    ASSERT_EQ(Press("Ctrl+Shift+P"), 1);
    EXPECT_EQ(H().PendingInput(), 1u) << "the recording holds the x once";
    EXPECT_TRUE(H().Misuses.empty());
}

// ---- Windows that close inside a nested dispatch ----

TEST_F(DispatcherTest, WindowClosedInsideNestedCallsIsNeverTouchedAgain) {
    struct Case {
        const char* Prefix;  // may be empty
        const char* Key;
    };
    const Case Cases[] = {
        {"^K", "5*3"},                  // ExpandRepeatCount
        {"^Q", "F"},                    // SendKeyToHost
        {"^Q", "A"},     {"", "^L"},    // Ctrl+L repeating the host's search
        {"", "^L*2"},    {"", "^K*2"},  // a prefix key with a repeat count
        {"", "Enter*2"},                // a key whose command decides
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(C.Prefix) + " " + C.Key);
        Restart();
        const int Id = OpenOn("abc\n");
        if (*C.Prefix) {
            ASSERT_EQ(Press(C.Prefix), 1);
        }
        H().OnProcessInput = [Id](host::Host& Host, const INPUT_RECORD&) {
            if (Host.HasWindow(Id)) Host.CloseWindow(Id);
        };
        EXPECT_EQ(Press(C.Key), 1);
        EXPECT_FALSE(H().HasWindow(Id));
        H().OnProcessInput = nullptr;
    }
}

TEST_F(DispatcherTest, WindowClosedWhileShiftF7RepeatsThePluginsSearch) {
    const int Id = OpenOn("ab ab ab\n");
    Keys("Ctrl+Shift+S a b Enter");  // the plug-in's own search text is now "ab"
    H().OnProcessInput = [Id](host::Host& Host, const INPUT_RECORD&) {
        if (Host.HasWindow(Id)) Host.CloseWindow(Id);
    };
    EXPECT_EQ(Press("Shift+F7*2"), 1);
    EXPECT_FALSE(H().HasWindow(Id));
    EXPECT_EQ(
        std::count(H().HostActions.begin(), H().HostActions.end(), host::HostAction::RepeatSearch),
        0)
        << "the plug-in's own search repeats, not the host's";
}

}  // namespace
