// The keystroke recorder through the stand-in host: the prompt loop, what is
// recorded, replay through the console input and its count-down, memory
// exhaustion, and a window closed while the prompt runs.
#include <string>
#include <vector>

#include "fixture.h"

namespace {

class RecorderTest : public PluginTest {
protected:
    int Press(const std::string& Token) { return H().Feed(host::KeyPress(Token)); }

    // Ctrl+Shift+P, then what it left in the console input (left there).
    std::vector<std::string> Replayed() {
        EXPECT_EQ(Press("Ctrl+Shift+P"), 1);
        std::vector<std::string> Names;
        for (const INPUT_RECORD& Event : H().PeekInput()) Names.push_back(host::EventName(Event));
        return Names;
    }

    static std::vector<std::string> Names(const std::string& Keys) {
        std::vector<std::string> Out;
        for (const INPUT_RECORD& Event : host::ParseKeys(Keys, false))
            Out.push_back(host::EventName(Event));
        return Out;
    }

#ifndef _WIN32
    static int QueriesOfWaitingInput() {
        return compat::ConsoleCallCount(compat::ConsoleCall::NumberOfEvents);
    }
#endif

    // Reads Count waiting events and hands each to the host's loop, without the
    // pump's own queries of the input.
    void FeedWaiting(int Count) {
        for (int I = 0; I < Count; ++I) {
            INPUT_RECORD Event;
            DWORD Read = 0;
            ASSERT_TRUE(ReadConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &Event, 1, &Read));
            ASSERT_EQ(Read, 1u);
            H().Feed(Event);
        }
    }

    // Starts a recording and leaves its prompt with a mouse click, so that later
    // keys go straight through the dispatcher.
    void StartRecordingWithoutPrompt() {
        H().WriteInput(
            {host::KeyPress("Ctrl+Shift+R"), host::MouseEvent(1, 1, FROM_LEFT_1ST_BUTTON_PRESSED)});
        H().Pump();
    }
};

TEST_F(RecorderTest, RecordsTheTypedKeysButNeitherTheToggleNorEsc) {
    OpenOn("\n");
    Keys("Ctrl+Shift+R x y z Esc");
    ExpectText("xyz\n");
    EXPECT_EQ(H().SavedScreens(), 0);
    const std::vector<INPUT_RECORD> Events = [&] {
        EXPECT_EQ(Press("Ctrl+Shift+P"), 1);
        return H().PeekInput();
    }();
    ASSERT_EQ(Events.size(), 3u);
    for (size_t I = 0; I < 3; ++I) {
        EXPECT_EQ(Events[I].EventType, KEY_EVENT);
        EXPECT_NE(Events[I].Event.KeyEvent.bKeyDown, 0);
        EXPECT_EQ(Events[I].Event.KeyEvent.uChar.AsciiChar, "xyz"[I]);
    }
    H().Pump();  // the replay runs through the dispatcher like typed keys
    ExpectText("xyzxyz\n");
}

// The hook blanks the key in the host's own record and passes it on. (The host acts
// on the key it worked out before the call; the blank is for anything reading the
// record afterwards.)
TEST_F(RecorderTest, ToggleKeyIsBlankedInTheHostsRecord) {
    OpenOn("\n");
    H().WriteInput(host::ParseKeys("Esc"));  // ends the prompt the toggle opens
    INPUT_RECORD Rec = host::KeyPress("Ctrl+Shift+R");
    EXPECT_EQ(H().ProcessEditorInput(Rec), 0);
    EXPECT_EQ(Rec.Event.KeyEvent.wVirtualKeyCode, 0);
    EXPECT_EQ(Rec.Event.KeyEvent.wVirtualScanCode, 0);
    EXPECT_EQ(Rec.Event.KeyEvent.uChar.UnicodeChar, 0);
}

TEST_F(RecorderTest, CtrlShiftRAfterAPrefixTogglesAndRunsOnlyWhereRIsBound) {
    OpenOn("one\ntwo\nthree\n");
    H().SetCursor(2, 3);
    ASSERT_EQ(Press("^Q"), 1);
    EXPECT_EQ(Press("Ctrl+Shift+R"), 1);  // Ctrl+Q R: go to the file start
    EXPECT_EQ(Cursor(), std::make_pair(0, 0));
    Keys("x");
    H().SetCursor(2, 3);
    ASSERT_EQ(Press("^K"), 1);
    EXPECT_EQ(Press("Ctrl+Shift+R"), 0);  // R is unbound after Ctrl+K: only the toggle
    EXPECT_EQ(Cursor(), std::make_pair(2, 3));
    EXPECT_EQ(Replayed(), Names("x ^K"));
}

TEST_F(RecorderTest, FunctionKeysAtThePromptDoNothing) {
    OpenOn("\n");
    Keys("Ctrl+Shift+R F1 F2 F7 Shift+F7 Ctrl+F12 x Esc");
    for (const INPUT_RECORD& Event : H().HostKeys) {
        const WORD Vk = Event.Event.KeyEvent.wVirtualKeyCode;
        EXPECT_FALSE(Event.EventType == KEY_EVENT && Vk >= VK_F1 && Vk <= VK_F12)
            << host::EventName(Event);
    }
    EXPECT_TRUE(H().HostActions.empty());
    EXPECT_EQ(H().Win().Saves, 0);
    EXPECT_EQ(Replayed(), Names("x"));
}

TEST_F(RecorderTest, MouseClickEndsThePromptButNotTheRecording) {
    OpenOn("\n");
    const std::string KeyBar = H().ScreenLine(24);
    StartRecordingWithoutPrompt();
    EXPECT_EQ(H().ScreenLine(24), KeyBar);
    EXPECT_EQ(H().SavedScreens(), 0);
    bool HostGotClick = false;
    for (const INPUT_RECORD& Event : H().HostKeys) HostGotClick |= Event.EventType == MOUSE_EVENT;
    EXPECT_TRUE(HostGotClick);
    Keys("a b Ctrl+Shift+R c");
    ExpectText("abc\n");
    EXPECT_EQ(Replayed(), Names("a b"));
}

TEST_F(RecorderTest, CtrlShiftRTypedAtThePromptEndsIt) {
    OpenOn("\n");
    Keys("Ctrl+Shift+R x Ctrl+Shift+R y");
    ExpectText("xy\n");
    EXPECT_EQ(H().SavedScreens(), 0);
    EXPECT_EQ(Replayed(), Names("x"));
}

TEST_F(RecorderTest, ReadFailureEndsThePromptAndRecordingGoesOn) {
    OpenOn("\n");
    H().FailCommand(ECTL_READINPUT);
    Keys("Ctrl+Shift+R");
    H().ClearFaults();
    EXPECT_EQ(H().SavedScreens(), 0);
    Keys("a b Ctrl+Shift+R");
    EXPECT_EQ(Replayed(), Names("a b"));
}

TEST_F(RecorderTest, RightCtrlTogglesAndCtrlAltShiftRIsRecordedLikeAnyKey) {
    OpenOn("\n");
    Keys("RCtrl+Shift+R x Ctrl+Alt+Shift+R RCtrl+Shift+R");
    EXPECT_EQ(Replayed(), Names("x Ctrl+Alt+Shift+R"));
}

TEST_F(RecorderTest, NewRecordingDiscardsTheOldOneAtOnce) {
    OpenOn("\n");
    Keys("Ctrl+Shift+R x Esc");
    Keys("Ctrl+Shift+R Esc");
    EXPECT_TRUE(Replayed().empty());
}

TEST_F(RecorderTest, ReplayWhileRecordingPlaysNothingAndIsNotRecorded) {
    OpenOn("\n");
    StartRecordingWithoutPrompt();
    Keys("x");
    H().ResetCounters();
    EXPECT_EQ(Press("Ctrl+Shift+P"), 1);
    EXPECT_EQ(H().EctlCalls(ECTL_REDRAW), 1);
    EXPECT_EQ(H().PendingInput(), 0u);
    Keys("Ctrl+Shift+R");
    EXPECT_EQ(Replayed(), Names("x"));
}

TEST_F(RecorderTest, KeyWithRepeatCountIsRecordedAsSingleKeys) {
    OpenOn("\n");
    Keys("Ctrl+Shift+R ^L*3 Esc");
    EXPECT_EQ(H().HostActions, std::vector<host::HostAction>(3, host::HostAction::RepeatSearch));
    EXPECT_EQ(Press("Ctrl+Shift+P"), 1);
    const std::vector<INPUT_RECORD> Events = H().PeekInput();
    ASSERT_EQ(Events.size(), 3u);
    for (const INPUT_RECORD& Event : Events) {
        EXPECT_EQ(Event.Event.KeyEvent.wVirtualKeyCode, 'L');
        EXPECT_EQ(Event.Event.KeyEvent.wRepeatCount, 1);
    }
}

TEST_F(RecorderTest, CtrlQFRecordsThePrefixTheKeyAndTheSentF7) {
    OpenOn("\n");
    StartRecordingWithoutPrompt();
    Keys("^Q F Ctrl+Shift+R");
    EXPECT_EQ(Replayed(), Names("^Q F F7"));
}

#ifndef _WIN32  // fault injection of the Linux stand-in
TEST_F(RecorderTest, ReplayCountsDownAsTheDispatcherTakesItsEvents) {
    OpenOn("\n");
    Keys("Ctrl+Shift+R a b c Esc");
    const int Before = QueriesOfWaitingInput();
    EXPECT_EQ(Press("Ctrl+Shift+P"), 1);
    FeedWaiting(3);
    ExpectText("abcabc\n");
    // The replay key is not one of the replayed events and asks nothing; a and b find
    // replayed events waiting, c finds the input empty and ends the count, so later
    // keys ask nothing.
    EXPECT_EQ(QueriesOfWaitingInput() - Before, 3);
    Press("d");
    EXPECT_EQ(QueriesOfWaitingInput() - Before, 3);
}
#endif

#ifndef _WIN32  // fault injection of the Linux stand-in
TEST_F(RecorderTest, FailingCountQueryEndsThePlayback) {
    OpenOn("\n");
    Keys("Ctrl+Shift+R a b c Esc");
    compat::FailConsoleCall(compat::ConsoleCall::NumberOfEvents, true);
    const int Before = QueriesOfWaitingInput();
    EXPECT_EQ(Press("Ctrl+Shift+P"), 1);
    FeedWaiting(3);
    compat::FailConsoleCall(compat::ConsoleCall::NumberOfEvents, false);
    EXPECT_EQ(QueriesOfWaitingInput() - Before, 1);
    ExpectText("abcabc\n");
}
#endif

// Every replay runs whole, held or typed ahead of the one before: a search among the
// replayed keys must not poll the keyboard while replayed keys still wait.
TEST_F(RecorderTest, ReplaysHeldOrTypedAheadEachRunWhole) {
    for (const char* Replays : {"Ctrl+Shift+P*2", "Ctrl+Shift+P Ctrl+Shift+P"}) {
        Restart();
        OpenOn("foo\nx\ny\nfoo\nx\nfoo\nx\ny\nfoo\nend");
        // One key at a time: a search that leaves its line takes keys typed ahead.
        for (const char* Key :
             {"Ctrl+Shift+S f o o Enter", "Ctrl+Shift+R", "^L", "a", "Ctrl+Shift+R"})
            Keys(Key);
        ExpectText("foo\nx\ny\nafoo\nx\nfoo\nx\ny\nfoo\nend");
        Keys(Replays);
        ExpectText("foo\nx\ny\nafoo\nx\nafoo\nx\ny\nafoo\nend");
        EXPECT_EQ(Cursor(), std::make_pair(8, 1)) << Replays;
    }
}

TEST_F(RecorderTest, EmptyRecordingAndOtherWindowsReplayNothing) {
    OpenOn("\n", "a.txt");
    EXPECT_TRUE(Replayed().empty());
    Keys("Ctrl+Shift+R x Esc");
    OpenOn("\n", "b.txt");
    EXPECT_TRUE(Replayed().empty());
}

#ifndef _WIN32  // fault injection of the Linux stand-in
TEST_F(RecorderTest, RecordingThatCannotGrowEndsWithWhatItHolds) {
    OpenOn("\n");
    StartRecordingWithoutPrompt();
    Keys("a");
    compat::FailHeapAllocation(1, 0);
    Keys("b");
    compat::FailHeapAllocation(0);
    Keys("c");  // no longer recorded: a replay with a hole would be other keys
    ExpectText("abc\n");
    EXPECT_EQ(Replayed(), Names("a"));
}
#endif

TEST_F(RecorderTest, WindowClosedFromThePromptEndsItCleanly) {
    const int Id = OpenOn("\n");
    H().CloseKeys = {'Z'};  // the prompt keeps function keys from the host
    H().WriteInput(host::ParseKeys("Ctrl+Shift+R x z y"));
    H().Pump();
    EXPECT_FALSE(H().HasWindow(Id));
    EXPECT_EQ(H().SavedScreens(), 0);
}

}  // namespace
