// The text search through the stand-in host: the case rule in the OEM, ANSI and
// host character tables, line boundaries, the Esc poll and what it does to keys
// typed ahead, the repeat keys' cursor placement, the two message boxes, and a
// host whose calls fail in the middle of a scan.
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"
#include "host_impl.h"

namespace {

class SearchTest : public PluginTest {
protected:
    // Writes the events into the console input and lets the host handle them.
    void Feed(const std::vector<INPUT_RECORD>& Events) {
        H().WriteInput(Events);
        H().Pump();
    }

    // An incremental search for the bytes of Oem (typed as OEM characters), ended by Enter.
    void SearchOem(const std::string& Oem) {
        std::vector<INPUT_RECORD> Events = {host::KeyPress("Ctrl+Shift+S")};
        for (unsigned char C : Oem) Events.push_back(host::CharPress(C));
        Events.push_back(host::KeyPress("Enter"));
        Feed(Events);
    }

    // Ctrl+L in the editor; the plug-in's answer.
    int CtrlL() { return H().Feed(host::KeyPress("^L")); }

    // Boxes with a button shown since the test began: the not-found boxes.
    int NotFoundBoxes() {
        int N = 0;
        for (const host::MessageBox& Box : H().Messages) N += Box.ButtonsNumber > 0;
        return N;
    }
};

// ---- The case rule ----

TEST_F(SearchTest, SmallLatinLetterFindsBothFormsCapitalOnlyItself) {
    OpenOn("xx Abc abc ABC");
    Keys("Ctrl+Shift+S a b c Enter");
    EXPECT_EQ(Cursor(), std::make_pair(0, 6)) << "abc finds Abc first";
    CtrlL();
    EXPECT_EQ(Cursor(), std::make_pair(0, 7));
    CtrlL();
    EXPECT_EQ(Cursor(), std::make_pair(0, 11));

    H().SetCursor(0, 0);
    Keys("Ctrl+Shift+S A b c Enter");
    EXPECT_EQ(Cursor(), std::make_pair(0, 6));
    CtrlL();
    EXPECT_EQ(Cursor(), std::make_pair(0, 11)) << "Abc must skip abc";
    EXPECT_EQ(NotFoundBoxes(), 0);
    ExpectText("xx Abc abc ABC");
}

// Small and capital forms of every letter of a table, as OEM key characters.
std::vector<std::pair<unsigned char, unsigned char>> OemLetterPairs() {
    std::vector<std::pair<unsigned char, unsigned char>> Pairs;
    for (int C = 'a'; C <= 'z'; ++C) Pairs.push_back({C, C - 32});
    for (int C = 0xA0; C <= 0xAF; ++C) Pairs.push_back({C, C - 0x20});
    for (int C = 0xE0; C <= 0xEF; ++C) Pairs.push_back({C, C - 0x50});
    for (int C = 0xF1; C <= 0xF7; C += 2) Pairs.push_back({C, C - 1});
    return Pairs;
}

TEST_F(SearchTest, EveryLetterOfBothTablesFollowsTheCaseRule) {
    // Under Wine the code pages follow the locale: the Cyrillic cases need 1251 / 866.
    if (GetACP() != 1251 || GetOEMCP() != 866) GTEST_SKIP() << "not 1251/866";
    const auto Pairs = OemLetterPairs();
    ASSERT_EQ(Pairs.size(), 62u);
    OpenOn("x");
    // Short lines take the plain scan, long ones the vector filter; letters at column 1
    // and at 17, with 20 bytes behind them.
    for (int Ansi = 0; Ansi <= 1; ++Ansi) {
        for (int Wide = 0; Wide <= 1; ++Wide) {
            for (auto [Small, Capital] : Pairs) {
                // The editor's bytes: OEM as typed, or their ANSI forms.
                std::string Line = std::string(Wide ? 17 : 1, '.') + static_cast<char>(Capital) +
                                   static_cast<char>(Small) + std::string(Wide ? 20 : 0, '.');
                if (Ansi) OemToCharA(Line.data(), Line.data());
                const int At = Wide ? 17 : 1;
                H().Win().Lines[0].Text = Line;
                H().Win().AnsiMode = Ansi;
                H().SetCursor(0, 0);
                SearchOem(std::string(1, static_cast<char>(Small)));
                EXPECT_EQ(Cursor(), std::make_pair(0, At + 1)) << Ansi << " small " << int(Small);
                H().SetCursor(0, At + 1);
                SearchOem(std::string(1, static_cast<char>(Capital)));
                EXPECT_EQ(Cursor(), std::make_pair(0, At + 1))
                    << Ansi << " capital " << int(Capital);
                SearchOem(std::string(1, static_cast<char>(Small)));
                EXPECT_EQ(Cursor(), std::make_pair(0, At + 2)) << Ansi << " small " << int(Small);
            }
        }
    }
    EXPECT_EQ(NotFoundBoxes(), 0);
}

TEST_F(SearchTest, AnsiEditorUsesTheAnsiTableYoAndUkrainianI) {
    // Under Wine the code pages follow the locale: the Cyrillic cases need 1251 / 866.
    if (GetACP() != 1251 || GetOEMCP() != 866) GTEST_SKIP() << "not 1251/866";
    // 1251: 0xB3 small Ukrainian i, 0xB2 its capital, 0xA8 capital Yo, 0xB8 small yo.
    OpenOn("\xB3\xB2\xA8\xB8");
    H().Win().AnsiMode = 1;
    SearchOem("\xF1");  // small yo, 0xB8 in the ANSI code page
    EXPECT_EQ(Cursor(), std::make_pair(0, 3)) << "0xB8 finds 0xA8, passing 0xB3 and 0xB2";
    H().SetCursor(0, 2);
    CtrlL();
    EXPECT_EQ(Cursor(), std::make_pair(0, 3)) << "and then 0xB8 itself";
    CtrlL();
    EXPECT_EQ(NotFoundBoxes(), 1);

    H().SetCursor(0, 0);
    SearchOem("\xF0");  // capital Yo, 0xA8
    EXPECT_EQ(Cursor(), std::make_pair(0, 3));
    H().SetCursor(0, 2);
    CtrlL();
    EXPECT_EQ(NotFoundBoxes(), 2) << "0xA8 must not find 0xB8";

    // A byte that the table leaves alone matches only itself: 0xB3 is not a form of 'i'.
    H().Win().Lines[0].Text = "\xB3i";
    H().SetCursor(0, 0);
    Keys("Ctrl+Shift+S i Enter");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2));
}

// The bytes typed are looked for: pseudo-graphics have no ANSI form to go through.
// In an ANSI window the search looks for their nearest ANSI form, as the prompt shows.
TEST_F(SearchTest, BoxDrawingCharactersAreLookedForAsTyped) {
    OpenOn("x=y v \xCD\xFB");
    SearchOem("\xCD");
    EXPECT_EQ(Cursor(), std::make_pair(0, 7));
    H().SetCursor(0, 0);
    SearchOem("\xFB");
    EXPECT_EQ(Cursor(), std::make_pair(0, 8));
    if (GetACP() != 1251 || GetOEMCP() != 866) return;
    H().Win().AnsiMode = 1;
    H().SetCursor(0, 0);
    SearchOem("\xCD");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2));
}

TEST_F(SearchTest, HostCharacterTableEncodesTheTextAndSuppliesTheCase) {
    // The stand-in's table 0 is KOI8-R: small a 0xC1, capital A 0xE1.
    OpenOn("x\xE1\xC1");
    H().Win().TableNum = 0;
    SearchOem("\xA0");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2)) << "small a finds the KOI8 capital";
    H().SetCursor(0, 2);
    SearchOem("\x80");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2)) << "capital A must not find the small one";
    H().SetCursor(0, 0);
    SearchOem("\x80");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2));
    EXPECT_GE(H().Calls(host::Service::CharTable), 1);
}

TEST_F(SearchTest, HostCharTableFailingGivesAnExactSearch) {
    OpenOn("xAa");
    H().Win().TableNum = 0;
    H().FailService(host::Service::CharTable);
    Keys("Ctrl+Shift+S a Enter");
    EXPECT_EQ(Cursor(), std::make_pair(0, 3));
    EXPECT_TRUE(H().Misuses.empty());
}

// A character table whose upper case maps q to 0 and whose encoding maps z to 0.
int WINAPI ZeroMappingCharTable(int Command, char* Buffer, int BufferSize) {
    if (Command != 0 || BufferSize < static_cast<int>(sizeof(CharTableSet))) return -1;
    CharTableSet* Set = reinterpret_cast<CharTableSet*>(Buffer);
    for (int C = 0; C < 256; ++C) {
        Set->DecodeTable[C] = Set->EncodeTable[C] = Set->LowerTable[C] =
            static_cast<unsigned char>(C);
        Set->UpperTable[C] = static_cast<unsigned char>(C >= 'a' && C <= 'z' ? C - 32 : C);
    }
    Set->UpperTable['q'] = 0;
    Set->EncodeTable['z'] = 0;
    Set->TableName[0] = 0;
    return 0;
}

TEST_F(SearchTest, ATableEntryOfZeroDoesNotEndThePatternEarly) {
    PluginStartupInfo Info = H().StartupInfo();
    Info.CharTable = ZeroMappingCharTable;
    H().impl()->SetStartupInfo(&Info);
    OpenOn(std::string("xa aq\nby b\0", 11));
    H().Win().TableNum = 0;
    Keys("Ctrl+Shift+S a q");
    EXPECT_EQ(Cursor(), std::make_pair(0, 5)) << "aq needs its q: not the a at 1";
    H().SetCursor(1, 0);
    Keys("Ctrl+Shift+S b z");
    EXPECT_EQ(Cursor(), std::make_pair(1, 5)) << "z encodes to 0: bz finds b\\0, not b";
}

// ---- Lines ----

TEST_F(SearchTest, NoHitAcrossALineBreakAndNoWrapToTheTop) {
    OpenOn("ab\ncd\n");
    Keys("Ctrl+Shift+S b c");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2)) << "c is dropped: bc spans the line break";
    H().SetCursor(1, 0);
    Keys("Ctrl+Shift+S a");
    EXPECT_EQ(Cursor(), std::make_pair(1, 0)) << "no wrap from the last line to the first";
    EXPECT_EQ(NotFoundBoxes(), 0);
    ExpectText("ab\ncd\n");
}

TEST_F(SearchTest, LinesWithNulBytesAreSearchedToTheirFullLength) {
    OpenOn(std::string("\0\0a\0b\0z\nq", 9));
    Keys("Ctrl+Shift+S z");
    EXPECT_EQ(Cursor(), std::make_pair(0, 7));
    H().SetCursor(0, 0);
    Keys("Ctrl+Shift+S b z");
    EXPECT_EQ(Cursor(), std::make_pair(0, 5)) << "bz is not there: b\\0z";
    ExpectText(std::string("\0\0a\0b\0z\nq", 9));
}

TEST_F(SearchTest, LongLinesAndTextsWiderThanThePrompt) {
    std::string Long(100000, 'a');
    std::string Word;
    for (int I = 0; I < 120; ++I) Word += static_cast<char>('b' + I % 20);
    OpenOn(Long + Word + "\n");
    std::string Keys = "Ctrl+Shift+S";
    for (char C : Word) Keys += std::string(" ") + C;
    this->Keys(Keys);
    EXPECT_EQ(Cursor(), std::make_pair(0, 100000 + 120));
    EXPECT_EQ(H().SavedScreens(), 0);
    // The repeat goes on to the end of the file and reports the text missing.
    CtrlL();
    EXPECT_EQ(NotFoundBoxes(), 1);
    ASSERT_FALSE(H().Messages.empty());
    EXPECT_EQ(H().Messages.back().Items.at(2), "\"" + Word + "\"");
}

// ---- The Esc poll ----

TEST_F(SearchTest, KeysTypedAheadAreLostWhenTheScanLeavesItsLine) {
    OpenOn("q\nw\nab x\n");
    Keys("Ctrl+Shift+S a x");
    // The poll after line 0 took the x: the search ended with "a" at (2, 0).
    EXPECT_EQ(Cursor(), std::make_pair(2, 1));
    ExpectText("q\nw\nab x\n");
    EXPECT_EQ(H().PendingInput(), 0u);
}

TEST_F(SearchTest, EscStopsTheScanAndLeavesLaterKeysWaiting) {
    OpenOn("q\nw\nab\n");
    Keys("Ctrl+Shift+S a Esc w");
    // a was dropped by the Esc; w, behind the Esc, was then found at (1, 0).
    EXPECT_EQ(Cursor(), std::make_pair(1, 1));
    EXPECT_EQ(NotFoundBoxes(), 0);
}

TEST_F(SearchTest, NoPollWhileAReplayIsPending) {
    OpenOn("ab\nzz\nzz\nab\n");
    Keys("Ctrl+Shift+R");
    Keys("Ctrl+Shift+S a b Enter");
    Keys("Ctrl+Shift+R");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2));
    // Replayed from line 1, the scan for a passes two lines; the replayed b and
    // Enter behind it must survive.
    H().SetCursor(1, 0);
    Keys("Ctrl+Shift+P");
    EXPECT_EQ(Cursor(), std::make_pair(3, 2));
    ExpectText("ab\nzz\nzz\nab\n");
}

// ---- Repeats ----

TEST_F(SearchTest, RepeatPutsTheCursorOnTheHitSoOverlapsAreFound) {
    OpenOn("aaaaaa\n");
    Keys("Ctrl+Shift+S a a Enter");
    EXPECT_EQ(Cursor(), std::make_pair(0, 2));
    EXPECT_EQ(CtrlL(), 1);
    EXPECT_EQ(Cursor(), std::make_pair(0, 3)) << "the hit at 2 touches the cursor: skipped";
    EXPECT_EQ(H().SelectionString(), "none");
    CtrlL();
    EXPECT_EQ(Cursor(), std::make_pair(0, 4)) << "overlaps the previous hit";
    CtrlL();
    EXPECT_EQ(Cursor(), std::make_pair(0, 4));
    EXPECT_EQ(NotFoundBoxes(), 1);
    // Shift+F7 repeats the same search.
    H().SetCursor(0, 0);
    EXPECT_EQ(H().Feed(host::KeyPress("Shift+F7")), 1);
    EXPECT_EQ(Cursor(), std::make_pair(0, 1));
    ExpectText("aaaaaa\n");
}

TEST_F(SearchTest, NotFoundBoxItemsFlagsAndDrainedInput) {
    OpenOn("find me\n");
    Keys("Ctrl+Shift+S m e Enter");
    H().Messages.clear();
    Keys("^L x y");
    ExpectText("find me\n");  // x and y were drained before the box
    ASSERT_FALSE(H().Messages.empty());
    const host::MessageBox& Box = H().Messages.back();
    EXPECT_EQ(Box.Flags, 1u);
    EXPECT_EQ(Box.ButtonsNumber, 1);
    const std::vector<std::string> Items = {
        H().Msg(tarvik::MSearchTitle), H().Msg(tarvik::MNotFound), "\"me\"", H().Msg(tarvik::MOk)};
    EXPECT_EQ(Box.Items, Items);
}

TEST_F(SearchTest, SearchingBoxStandsWhileTheScanRunsAndIsRemovedAfter) {
    OpenOn("one two\n");
    H().DrawKeyBar();
    const std::string BarBefore = H().ScreenLine(H().ScreenHeight() - 1);
    const std::string TopBefore = H().ScreenLine(10);
    Keys("Ctrl+Shift+S t w Enter");
    bool Seen = false;
    for (const host::MessageBox& Box : H().Messages) {
        if (Box.ButtonsNumber != 0) continue;
        EXPECT_EQ(Box.Flags, 0u);
        ASSERT_EQ(Box.Items.size(), 3u);
        EXPECT_EQ(Box.Items[0], H().Msg(tarvik::MSearchTitle));
        EXPECT_EQ(Box.Items[1], H().Msg(tarvik::MSearching));
        Seen = Seen || Box.Items[2] == "\"tw\"";
    }
    EXPECT_TRUE(Seen);
    EXPECT_EQ(H().SavedScreens(), 0);
    EXPECT_EQ(H().ScreenLine(10), TopBefore);
    EXPECT_EQ(H().ScreenLine(H().ScreenHeight() - 1), BarBefore);
    EXPECT_TRUE(H().Misuses.empty());
}

// ---- A host that fails ----

// Sets up a window with SearchText "target", the cursor at (3, 5) and a scrolled view.
class SearchFaultTest : public SearchTest {
protected:
    static std::string FaultText() {
        std::string T;
        for (int I = 0; I < 60; ++I)
            T += I == 50 ? "xx target\n" : "line " + std::to_string(I) + "\n";
        return T.replace(0, 6, "target");
    }
    void Prepare() {
        OpenOn(FaultText());
        Keys("Ctrl+Shift+S t a r g e t Enter");
        ASSERT_EQ(Cursor(), std::make_pair(0, 6));
        H().SetCursor(3, 5);
        H().Win().TopScreenLine = 2;
        H().Win().LeftPos = 1;
        H().Messages.clear();
    }
    void ExpectCursorAndViewKept() {
        EXPECT_EQ(Cursor(), std::make_pair(3, 5));
        EXPECT_EQ(H().Win().TopScreenLine, 2);
        EXPECT_EQ(H().Win().LeftPos, 1);
    }
};

TEST_F(SearchFaultTest, FailingGetStringOrSetPositionEndsTheScanAndRestoresTheView) {
    for (int Command : {ECTL_GETSTRING, ECTL_SETPOSITION}) {
        Restart();
        Prepare();
        H().FailCommand(Command);
        CtrlL();
        H().ClearFaults();
        ExpectCursorAndViewKept();
        EXPECT_EQ(NotFoundBoxes(), 1) << Command;
        ExpectText(FaultText());
        EXPECT_EQ(H().SavedScreens(), 0);
    }
}

TEST_F(SearchFaultTest, AnySingleFailingCallLeavesTextViewAndScreenSound) {
    Prepare();
    H().ResetCounters();
    CtrlL();
    ASSERT_EQ(Cursor(), std::make_pair(50, 3));
    const int Calls = H().TotalCalls();
    ASSERT_GT(Calls, 100);
    for (int N = 1; N <= Calls + 1; ++N) {
        Restart();
        Prepare();
        H().FailNth(N);
        CtrlL();
        H().ClearFaults();
        ExpectText(FaultText());
        if (Cursor() == std::make_pair(3, 5)) {
            ExpectCursorAndViewKept();
        } else {
            EXPECT_EQ(Cursor(), std::make_pair(50, 3)) << "call " << N;
        }
        // Only a failing RestoreScreen itself may leave one saved screen with the host.
        EXPECT_LE(H().SavedScreens(), 1) << "call " << N;
        EXPECT_TRUE(H().Misuses.empty()) << "call " << N;
        if (HasFailure()) break;
    }
}

}  // namespace
