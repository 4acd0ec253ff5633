// A cursor the host cannot report must not send a command to the file's start:
// each host call of the command fails in turn, and the text must stay as it was
// or change only at the cursor.
#include <string>

#include "fixture.h"

namespace {

class CursorFaultTest : public PluginTest {
protected:
    // Runs Keys on Markup once per service call they make, that call failing, and
    // hands each resulting text to Check (with the failing call's number).
    template <typename CheckFn>
    void EachCallFailing(const std::string& Markup, const std::string& KeysToRun, CheckFn Check) {
        Restart();
        OpenMarked(Markup);
        H().ResetCounters();
        Keys(KeysToRun);
        const int Calls = H().TotalCalls();
        ASSERT_GT(Calls, 0);
        for (int N = 1; N <= Calls; ++N) {
            Restart();
            OpenMarked(Markup);
            H().ResetCounters();
            H().FailNth(N);
            Keys(KeysToRun);
            H().ClearFaults();
            Check(N, H().Text());
        }
    }
};

TEST_F(CursorFaultTest, CutToLineEndNeverCutsBeforeTheCursor) {
    EachCallFailing("abc\ndef|ghi\n", "^Q ^Y", [](int N, const std::string& Text) {
        EXPECT_TRUE(Text == "abc\ndefghi\n" || Text == "abc\ndef\n")
            << "call " << N << " failing left " << fixture::Visible(Text);
    });
}

TEST_F(CursorFaultTest, WordCaseNeverChangesAnotherWord) {
    EachCallFailing("first\nsecond th|ird\n", "^K ^F", [](int N, const std::string& Text) {
        EXPECT_TRUE(Text == "first\nsecond third\n" || Text == "first\nsecond THIRD\n")
            << "call " << N << " failing left " << fixture::Visible(Text);
    });
}

// A line's copy goes in with one call: it is there whole, at the cursor, or not at all.
TEST_F(CursorFaultTest, CopyLandsOnlyAtTheCursor) {
    EachCallFailing("ab«cd»\nef|gh\n", "^K ^C", [](int N, const std::string& Text) {
        EXPECT_TRUE(Text == "abcd\nefgh\n" || Text == "abcd\nefcdgh\n")
            << "call " << N << " failing left " << fixture::Visible(Text);
    });
}

// The copy goes in at the cursor before the block goes: a refused deletion may
// leave the block's first line part way, never anything elsewhere.
TEST_F(CursorFaultTest, MoveLandsOnlyAtTheCursor) {
    EachCallFailing("ab«cd»\nef|gh\n", "^K ^V", [](int N, const std::string& Text) {
        EXPECT_TRUE(Text == "abcd\nefgh\n" || Text == "abcd\nefcdgh\n" || Text == "abd\nefcdgh\n" ||
                    Text == "ab\nefcdgh\n")
            << "call " << N << " failing left " << fixture::Visible(Text);
    });
}

// Behind a tab the cursor's column is taken again after the line's expansion; a
// failure of that read must not leave the old index, which names another place.
TEST_F(CursorFaultTest, CutBehindATabNeverCutsBeforeTheCursor) {
    EachCallFailing("\tab|cd\n", "^Q ^Y", [](int N, const std::string& Text) {
        // Left whole, expanded, or cut behind "ab" with or without the expansion.
        EXPECT_TRUE(Text == "\tabcd\n" || Text == "        abcd\n" || Text == "        ab\n" ||
                    Text == "\tab\n")
            << "call " << N << " failing left " << fixture::Visible(Text);
    });
}

TEST_F(CursorFaultTest, WordCaseBehindATabChangesOnlyTheCursorsWord) {
    EachCallFailing("ab\tc|d\n", "^K ^F", [](int N, const std::string& Text) {
        EXPECT_TRUE(Text == "ab\tcd\n" || Text == "ab      cd\n" || Text == "ab      CD\n" ||
                    Text == "ab\tCD\n")
            << "call " << N << " failing left " << fixture::Visible(Text);
    });
}

// Whatever call fails, a move never loses the block: what went in at the cursor is
// the block's beginning, and the block stays where it was until all of it is in.
TEST_F(CursorFaultTest, MoveNeverLosesOrTearsTheBlock) {
    EachCallFailing("«abc\ndef\ngh»i\nxyz|", "^K ^V", [](int N, const std::string& Text) {
        const std::string Block = "abc\ndef\ngh";
        const size_t At = Text.find("xyz");
        ASSERT_NE(At, std::string::npos) << "call " << N;
        const std::string Source = Text.substr(0, At), Inserted = Text.substr(At + 3);
        EXPECT_EQ(Block.rfind(Inserted, 0), 0u)
            << "call " << N << " failing left " << fixture::Visible(Text);
        if (Inserted == Block)
            EXPECT_TRUE(Source.size() >= 2 && Source.compare(Source.size() - 2, 2, "i\n") == 0)
                << "call " << N << " failing left " << fixture::Visible(Text);
        else
            EXPECT_EQ(Source, Block + "i\n")
                << "call " << N << " failing left " << fixture::Visible(Text);
    });
}

}  // namespace
