// How often a long scan polls the keyboard for Esc: not once per line (each poll is
// a console call, very dear under Wine), yet after a bounded amount of work.
#ifndef _WIN32

#include <string>

#include "compat_control.h"
#include "fixture.h"

namespace {

class SearchPollTest : public PluginTest {
protected:
    static int Polls() { return compat::ConsoleCallCount(compat::ConsoleCall::NumberOfEvents); }

    // Starts an incremental search for "z" at the top of the text; only the
    // search key and the z wait in the input, so no poll finds anything to take.
    int PollsToFindZ() {
        H().SetCursor(0, 0);
        compat::ResetConsole();
        Keys("Ctrl+Shift+S z");
        return Polls();
    }
};

TEST_F(SearchPollTest, ManyShortLinesArePolledInFrequentlyButRegularly) {
    std::string Text;
    for (int L = 0; L < 10000; ++L) Text += "abc\n";
    Text += "xyz\n";
    OpenOn(Text);
    const int N = PollsToFindZ();
    EXPECT_EQ(Cursor(), std::make_pair(10000, 3)) << "the search stopped early";
    EXPECT_GE(N, 2) << "a scan of 10,000 lines must still look at the keyboard now and then";
    EXPECT_LE(N, 10) << "the keyboard is polled for nearly every line";
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

}  // namespace

#endif  // _WIN32
