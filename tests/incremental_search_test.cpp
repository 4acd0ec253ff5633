// The incremental search through the stand-in host: the worked examples, the
// keys inside the search, how it ends, the prompt, the recorder, and windows or
// host calls that go away under it.
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"

namespace {

bool StartsWith(const std::string& S, const std::string& Prefix) {
    return S.compare(0, Prefix.size(), Prefix) == 0;
}

// Presses of the key Vk that reached the host's own handling.
int HostPresses(host::Host& H, WORD Vk) {
    int N = 0;
    for (const INPUT_RECORD& Event : H.HostKeys)
        if (Event.Event.KeyEvent.bKeyDown && Event.Event.KeyEvent.wVirtualKeyCode == Vk) ++N;
    return N;
}

class IncrementalSearchTest : public PluginTest {
protected:
    // Runs "Ctrl+Shift+S <Keys>" and then a mouse click, which ends the search; returns
    // the window (markup) and the prompt line as they were when the click arrived.
    std::pair<std::string, std::string> Probe(const std::string& Keys) {
        std::pair<std::string, std::string> Seen;
        H().OnProcessInput = [&Seen](host::Host& Host, const INPUT_RECORD& Event) {
            if (Event.EventType != MOUSE_EVENT) return;
            Seen.first = fixture::Marked(Host);
            // The prompt's line: the bottom one, unless the console the plug-in measured is
            // not the one the host shows (under Wine with a redirected standard output).
            const std::string Prefix = Host.Msg(tarvik::MSearchPrompt);
            for (int Y = Host.ScreenHeight() - 1; Y >= 0 && Seen.second.empty(); --Y) {
                const std::string Line = Host.ScreenLine(Y);
                if (Line.compare(0, Prefix.size(), Prefix) == 0) Seen.second = Line;
            }
        };
        std::vector<INPUT_RECORD> Events = host::ParseKeys("Ctrl+Shift+S " + Keys);
        Events.push_back(host::MouseEvent(5, 5, FROM_LEFT_1ST_BUTTON_PRESSED));
        H().WriteInput(Events);
        H().Pump();
        H().OnProcessInput = nullptr;
        return Seen;
    }

    // The prompt as ShowSearchPrompt draws it for Text, without the blank fill.
    std::string Prompt(const std::string& Text) { return H().Msg(tarvik::MSearchPrompt) + Text; }

    // Whether Line is the prompt for Text; true when the console cannot be read back at all
    // (Wine in a pseudo-terminal), where only the window's state can be checked.
    bool ShowsPrompt(const std::string& Line, const std::string& Text) {
        H().DrawKeyBar();
        if (H().ScreenLine(H().ScreenHeight() - 1).find_first_not_of(' ') == std::string::npos)
            return true;
        return StartsWith(Line, Prompt(Text + " "));
    }
};

// ---- Worked examples ----

TEST_F(IncrementalSearchTest, XaxabEachCharacterMovesTheHitAndSelectsIt) {
    OpenOn("xaxab");
    auto [AfterA, PromptA] = Probe("a");
    EXPECT_EQ(AfterA, "x\xC2\xAB|a\xC2\xBBxab");
    EXPECT_TRUE(ShowsPrompt(PromptA, "a")) << PromptA;
    H().SetCursor(0, 0);
    auto [AfterB, PromptB] = Probe("a b");
    EXPECT_EQ(AfterB, "xax\xC2\xAB|ab\xC2\xBB");
    EXPECT_TRUE(ShowsPrompt(PromptB, "ab")) << PromptB;
    // Ended by the click: the cursor stands behind the hit, nothing stays selected.
    EXPECT_EQ(Cursor(), std::make_pair(0, 5));
    EXPECT_EQ(H().SelectionString(), "none");
}

TEST_F(IncrementalSearchTest, FailingCharacterLeavesTextHitSelectionAndPrompt) {
    OpenOn("xaxab");
    auto [Seen, Line] = Probe("a z");
    EXPECT_EQ(Seen, "x\xC2\xAB|a\xC2\xBBxab");
    EXPECT_TRUE(ShowsPrompt(Line, "a")) << Line;
    int Boxes = 0;
    for (const host::MessageBox& Box : H().Messages) Boxes += Box.ButtonsNumber > 0;
    EXPECT_EQ(Boxes, 0) << "a failing character is dropped silently";
    H().SetCursor(0, 0);
    Keys("Ctrl+Shift+S a z b Enter");
    EXPECT_EQ(Cursor(), std::make_pair(0, 5)) << "b is tried against a, not az";
}

TEST_F(IncrementalSearchTest, SearchStartedOnAHitFindsItInPlace) {
    OpenOn("xaxab");
    H().SetCursor(0, 3);
    auto [Seen, Line] = Probe("a");
    EXPECT_EQ(Seen,
              "xax\xC2\xAB|a\xC2\xBB"
              "b");
}

TEST_F(IncrementalSearchTest, BackspaceReturnsToTheShorterHitFoundBeforeCtrlL) {
    OpenOn("ab ab ab");
    auto [AfterCtrlL, L1] = Probe("a b ^L ^L");
    EXPECT_EQ(AfterCtrlL, "ab ab \xC2\xAB|ab\xC2\xBB");
    H().SetCursor(0, 0);
    auto [AfterBack, L2] = Probe("a b ^L ^L BS");
    EXPECT_EQ(AfterBack,
              "\xC2\xAB|a\xC2\xBB"
              "b ab ab");
    EXPECT_TRUE(ShowsPrompt(L2, "a")) << L2;
    EXPECT_EQ(Cursor(), std::make_pair(0, 1));
}

TEST_F(IncrementalSearchTest, BackspaceWithEmptyTextDoesNothingShiftBackspaceEnds) {
    OpenOn("xaxab");
    Keys("Ctrl+Shift+S BS a");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2));
    ExpectText("xaxab");
    H().SetCursor(0, 0);
    Keys("Ctrl+Shift+S Shift+BS a");
    // Shift+Backspace ended the search; the a then reached the editor.
    ExpectText("axaxab");
}

TEST_F(IncrementalSearchTest, CtrlLWithEmptyTextStepsOneColumnThenToTheNextLine) {
    OpenOn("abc\ndef");
    H().SetCursor(0, 1);
    auto [Seen, Line] = Probe("^L ^L");
    EXPECT_EQ(Seen, "abc\xC2\xAB\xC2\xBB|\ndef");
    H().SetCursor(0, 1);
    Keys("Ctrl+Shift+S ^L ^L ^L");
    EXPECT_EQ(Cursor(), std::make_pair(1, 0));
    ExpectText("abc\ndef");
}

TEST_F(IncrementalSearchTest, FailedCtrlLShowsTheBoxAndKeepsTheHit) {
    OpenOn("ab ab");
    Keys("Ctrl+Shift+S a b ^L ^L");
    ASSERT_FALSE(H().Messages.empty());
    const host::MessageBox& Box = H().Messages.back();
    EXPECT_EQ(Box.ButtonsNumber, 1);
    EXPECT_EQ(Box.Items.at(2), "\"ab\"");
    EXPECT_EQ(Cursor(), std::make_pair(0, 5)) << "the hit of the first Ctrl+L stays";
}

// ---- How the search ends ----

TEST_F(IncrementalSearchTest, EnterEndsBehindTheHitWithoutSplittingTheLine) {
    OpenOn("xaxab\n");
    H().HostKeys.clear();
    Keys("Ctrl+Shift+S a b Enter");
    ExpectText("xaxab\n");
    EXPECT_EQ(Cursor(), std::make_pair(0, 5));
    EXPECT_EQ(H().SelectionString(), "none");
    EXPECT_EQ(HostPresses(H(), VK_RETURN), 0) << "Enter reached the editor";
}

TEST_F(IncrementalSearchTest, OtherKeysEndTheSearchAndAreUsedUp) {
    for (const char* Ending : {"Esc", "Tab", "Right", "F3", "Ctrl+A", "Alt+B", "Ctrl+Alt+L"}) {
        Restart();
        OpenOn("xaxab\n");
        Keys(std::string("Ctrl+Shift+S a ") + Ending + " q");
        // The search ended at "a" (cursor 2); the q behind the ending key is typed.
        ExpectText("xaqxab\n");
        EXPECT_EQ(Cursor(), std::make_pair(0, 3)) << Ending;
        EXPECT_EQ(HostPresses(H(), host::KeyPress(Ending).Event.KeyEvent.wVirtualKeyCode), 0)
            << Ending << " reached the editor";
    }
}

// AltGr (right Alt with left Ctrl) types a layout's @ { } [ ] \ | ~: a search character.
TEST_F(IncrementalSearchTest, AltGrCharactersAreSearchCharacters) {
    OpenOn("mail me at x@y.z\nnext\n");
    Keys("Ctrl+Shift+S AltGr+Q Enter");
    ExpectText("mail me at x@y.z\nnext\n");
    EXPECT_EQ(Cursor(), std::make_pair(0, 13));
}

TEST_F(IncrementalSearchTest, ModifierKeysAndReleasesAreIgnored) {
    OpenOn("xaxab\n");
    std::vector<INPUT_RECORD> Events = host::ParseKeys("Ctrl+Shift+S a Shift Ctrl Alt b");
    H().WriteInput(Events);
    H().Pump();
    EXPECT_EQ(Cursor(), std::make_pair(0, 5));
    ExpectText("xaxab\n");
}

TEST_F(IncrementalSearchTest, PromptIsRestoredAndRepeatsUseTheFinalText) {
    OpenOn("abab ab\n");
    H().DrawKeyBar();
    const std::string Bar = H().ScreenLine(H().ScreenHeight() - 1);
    Keys("Ctrl+Shift+S a b Enter");
    EXPECT_EQ(H().ScreenLine(H().ScreenHeight() - 1), Bar);
    EXPECT_EQ(H().SavedScreens(), 0);
    EXPECT_EQ(Cursor(), std::make_pair(0, 2));
    // Ctrl+L now repeats this search (not the host's): the hit directly behind the
    // cursor is skipped, since the repeat starts one column to its right.
    Keys("^L");
    EXPECT_EQ(Cursor(), std::make_pair(0, 5));
    EXPECT_TRUE(H().HostActions.empty());
}

// A held key is one search key per repetition; none of them reaches the text.
TEST_F(IncrementalSearchTest, HeldKeysCountOncePerRepetition) {
    OpenOn("xaab aab\n");
    Keys("Ctrl+Shift+S a*2 b BS*2 Enter");
    ExpectText("xaab aab\n");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2));
    EXPECT_EQ(HostPresses(H(), 'A') + HostPresses(H(), VK_BACK), 0);
    EXPECT_EQ(H().SavedScreens(), 0);
}

// ---- The recorder ----

TEST_F(IncrementalSearchTest, BackspaceDropsTheLastSearchCharacterFromTheRecording) {
    OpenOn("ac ab\nac ab\n");
    Keys("Ctrl+Shift+R");
    Keys("Ctrl+Shift+S a b BS Enter");
    Keys("Ctrl+Shift+R");
    EXPECT_EQ(Cursor(), std::make_pair(0, 1));
    // Replayed, the recording searches for "a" only: b and the Backspace are gone.
    H().SetCursor(1, 0);
    Keys("Ctrl+Shift+P");
    EXPECT_EQ(Cursor(), std::make_pair(1, 1));
    ExpectText("ac ab\nac ab\n");
}

TEST_F(IncrementalSearchTest, SearchEndedByAFailedReadRecordsNoKeyTwice) {
    OpenOn("ab abb\nab abb\n");
    Keys("Ctrl+Shift+R");
    // Key presses only: the read that fails comes right after the press of b.
    H().WriteInput(host::ParseKeys("Ctrl+Shift+S a b", false));
    H().Pump();
    Keys("Ctrl+Shift+R");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2));
    H().SetCursor(1, 0);
    Keys("Ctrl+Shift+P");
    EXPECT_EQ(Cursor(), std::make_pair(1, 2)) << "a second b would have searched for abb";
}

// ---- Windows and host calls that go away ----

TEST_F(IncrementalSearchTest, WindowClosedByTheEndingClickIsNotTouchedAfterwards) {
    const int First = OpenOn("other\n", "first.txt");
    const int Second = OpenOn("xaxab\n", "second.txt");
    H().OnProcessInput = [Second](host::Host& Host, const INPUT_RECORD& Event) {
        if (Event.EventType == MOUSE_EVENT) Host.CloseWindow(Second);
    };
    std::vector<INPUT_RECORD> Events = host::ParseKeys("Ctrl+Shift+S a");
    Events.push_back(host::MouseEvent(1, 1, FROM_LEFT_1ST_BUTTON_PRESSED));
    H().WriteInput(Events);
    H().Pump();
    H().OnProcessInput = nullptr;
    EXPECT_FALSE(H().HasWindow(Second));
    ASSERT_TRUE(H().HasWindow(First));
    H().SwitchTo(First);
    ExpectText("other\n");
    EXPECT_EQ(H().SelectionString(), "none");
    EXPECT_EQ(H().SavedScreens(), 0);
}

TEST_F(IncrementalSearchTest, WindowClosedByTheEndingClickEndsTheSearch) {
    const int Id = OpenOn("xaxab\n");
    H().OnProcessInput = [Id](host::Host& Host, const INPUT_RECORD&) {
        if (Host.HasWindow(Id)) Host.CloseWindow(Id);
    };
    H().WriteInput(host::ParseKeys("Ctrl+Shift+S a"));
    H().WriteInput({host::MouseEvent(3, 4, FROM_LEFT_1ST_BUTTON_PRESSED)});
    H().Pump();
    H().OnProcessInput = nullptr;
    EXPECT_FALSE(H().HasWindow(Id));
    EXPECT_EQ(H().SavedScreens(), 0);
}

// A failing read or gate hands the remaining keys to the editor, so only soundness is checked.
TEST_F(IncrementalSearchTest, AnySingleFailingCallIsSurvived) {
    const std::string Text = "xaxab ab\nq\n";
    OpenOn(Text);
    H().ResetCounters();
    Keys("Ctrl+Shift+S a b ^L BS Enter");
    const int Calls = H().TotalCalls();
    ASSERT_GT(Calls, 20);
    for (int N = 1; N <= Calls + 1; ++N) {
        Restart();
        OpenOn(Text);
        H().FailNth(N);
        Keys("Ctrl+Shift+S a b ^L BS Enter");
        H().ClearFaults();
        EXPECT_LE(H().SavedScreens(), 1) << "call " << N;
        EXPECT_TRUE(H().Misuses.empty()) << "call " << N;
        if (HasFailure()) break;
    }
}

}  // namespace
