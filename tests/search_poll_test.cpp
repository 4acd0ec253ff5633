// How often a long scan polls the keyboard for Esc: not once per line (each poll is
// a console call, very dear under Wine), yet after a bounded amount of work, and once
// more before a hit that lies beyond lines passed without a poll.
#include <string>
#include <utility>

#include "fixture.h"
#include "host_impl.h"

#ifndef _WIN32
#include "compat_control.h"
#endif

namespace {

class SearchPollTest : public PluginTest {
protected:
#ifndef _WIN32
    static int Polls() {
        return compat::ConsoleCallCount(compat::ConsoleCall::NumberOfEvents);
    }

    // Starts an incremental search for "z" at the top of the text; only the
    // search key and the z wait in the input, so no poll finds anything to take.
    int PollsToFindZ() {
        H().SetCursor(0, 0);
        compat::ResetConsole();
        Keys("Ctrl+Shift+S z");
        return Polls();
    }
#endif
};

#ifndef _WIN32

TEST_F(SearchPollTest, ManyShortLinesArePolledInFrequentlyButRegularly) {
    std::string Text;
    for (int L = 0; L < 10000; ++L) Text += "abc\n";
    Text += "xyz\n";
    OpenOn(Text);
    const int N = PollsToFindZ();
    EXPECT_EQ(Cursor(), std::make_pair(10000, 3)) << "the search stopped early";
    EXPECT_GE(N, 2) << "a scan of 10,000 lines must still look at the keyboard now and then";
    EXPECT_LE(N, 10) << "the keyboard is polled for nearly every line";

    // Near hits: none on the starting line, one after it, and one more before a hit
    // that lies beyond lines passed without a poll.
    const std::pair<int, int> kNear[] = {{0, 0}, {1, 1}, {2, 2}, {40, 2}};
    for (auto [HitLine, Expected] : kNear) {
        std::string Near;
        for (int L = 0; L < HitLine; ++L) Near += "abc\n";
        Restart();
        OpenOn(Near + "xyz\n");
        EXPECT_EQ(PollsToFindZ(), Expected) << "hit on line " << HitLine;
        EXPECT_EQ(Cursor(), std::make_pair(HitLine, 3));
    }
}

TEST_F(SearchPollTest, LongLinesArePolledAfterABoundedNumberOfBytes) {
    const std::string Long(700 * 1024, 'a');
    std::string Text;
    for (int L = 0; L < 8; ++L) Text += Long + "\n";
    Text += "xyz\n";
    OpenOn(Text);
    const int N = PollsToFindZ();
    EXPECT_EQ(Cursor(), std::make_pair(8, 3));
    // 5.6 MB without a hit: Esc must be looked for at least every 2 lines of this size.
    EXPECT_GE(N, 4);
}

#endif  // _WIN32

TEST_F(SearchPollTest, EscTypedDuringTheFirstLinesStillEndsTheScan) {
    std::string Text;
    for (int L = 0; L < 5000; ++L) Text += "abc\n";
    Text += "xyz\n";
    OpenOn(Text);
    Keys("Ctrl+Shift+S z Esc");
    // The first poll comes right after the starting line, whatever the spacing of later ones.
    EXPECT_EQ(Cursor(), std::make_pair(0, 0));
    EXPECT_EQ(H().PendingInput(), 0u);
}

// The host's EditorControl, and the line whose read puts an Esc into the console input:
// a key typed while the scan runs between two polls.
FARAPIEDITORCONTROL HostEditorControl = nullptr;
int EscAtLine = -1;

int WINAPI EditorControlTypingEsc(int Command, void* Param) {
    host::Host* H = host::Host::Current();
    if (Command == ECTL_GETSTRING && H->Win().CurLine == EscAtLine) {
        EscAtLine = -1;
        H->WriteInput({host::KeyPress("Esc")});
    }
    return HostEditorControl(Command, Param);
}

TEST_F(SearchPollTest, EscTypedMidScanWinsOverAHitBeforeTheNextPoll) {
    std::string Text;
    for (int L = 0; L < 20; ++L) Text += "abc\n";
    Text += "xyz\n";
    OpenOn(Text);
    Keys("Ctrl+Shift+S z Enter");
    ASSERT_EQ(Cursor(), std::make_pair(20, 3));
    PluginStartupInfo Info = H().StartupInfo();
    HostEditorControl = Info.EditorControl;
    Info.EditorControl = EditorControlTypingEsc;
    H().impl()->SetStartupInfo(&Info);

    // Incremental: the Esc drops the z (the search goes on with nothing typed) and is
    // used up; taken as the ending key instead, it would leave the cursor behind a hit.
    H().SetCursor(0, 0);
    EscAtLine = 5;
    Keys("Ctrl+Shift+S z");
    EXPECT_EQ(Cursor(), std::make_pair(0, 0));
    EXPECT_EQ(H().PendingInput(), 0u);

    // Ctrl+L in the editor: the repeat ends with the not-found box, the Esc never
    // reaches the editor.
    Keys("Ctrl+Shift+S z Enter");
    H().SetCursor(0, 0);
    H().Messages.clear();
    EscAtLine = 5;
    H().Feed(host::KeyPress("^L"));
    EXPECT_EQ(Cursor(), std::make_pair(0, 0));
    EXPECT_EQ(H().PendingInput(), 0u);
    ASSERT_FALSE(H().Messages.empty());
    EXPECT_EQ(H().Messages.back().ButtonsNumber, 1) << "the not-found box";
    EXPECT_EQ(EscAtLine, -1) << "the scan never read line 5";
}

}  // namespace
