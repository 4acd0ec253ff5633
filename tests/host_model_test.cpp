// The stand-in host's own rules: selection tracking, the editing calls, input,
// screen, language, faults and the module's load and unload. Most cases drive
// the host's services directly, as the plug-in calls them, with no plug-in loaded;
// OnEditorInput stands in for the plug-in where input is handed over.
#include <cstring>

#include "fixture.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace {

class HostModelTest : public ::testing::Test {
protected:
    std::unique_ptr<host::Host> H;

    void SetUp() override {
        fixture::ResetStandIn();
        H = std::make_unique<host::Host>();
    }

    int Ectl(int Command, void* Param) { return H->StartupInfo().EditorControl(Command, Param); }
    int Select(int Type, int Line, int Pos, int Width, int Height) {
        EditorSelect Es{Type, Line, Pos, Width, Height};
        return Ectl(ECTL_SELECT, &Es);
    }
    // (SelStart, SelEnd) of a line as the host stores it.
    std::pair<int, int> Sel(int Line) {
        const host::Line& L = H->Win().Lines[Line];
        return {L.SelStart, L.SelEnd};
    }
    void SetSel(int Line, std::pair<int, int> Range) {
        H->Win().Lines[Line].SelStart = Range.first;
        H->Win().Lines[Line].SelEnd = Range.second;
    }
    EditorInfo Info() {
        EditorInfo Ei;
        std::memset(&Ei, 0xCC, sizeof Ei);
        EXPECT_EQ(Ectl(ECTL_GETINFO, &Ei), 1);
        return Ei;
    }
    int SetPos(int Line, int Pos, int Top = -1, int TabPos = -1) {
        EditorSetPosition Esp{Line, Pos, TabPos, Top, -1, -1};
        return Ectl(ECTL_SETPOSITION, &Esp);
    }
    int Insert(const char* Text) { return Ectl(ECTL_INSERTTEXT, const_cast<char*>(Text)); }
    EditorGetString Get(int Line) {
        EditorGetString Egs{Line, nullptr, nullptr, 0, 0, 0};
        EXPECT_EQ(Ectl(ECTL_GETSTRING, &Egs), 1);
        return Egs;
    }
    std::string Eol(int Line) { return H->Win().Lines[Line].Eol; }
};

using P = std::pair<int, int>;

bool IsIdle(const INPUT_RECORD& R) {
    const KEY_EVENT_RECORD& K = R.Event.KeyEvent;
    return R.EventType == KEY_EVENT && !K.bKeyDown && !K.wRepeatCount && !K.wVirtualKeyCode &&
           !K.wVirtualScanCode && !K.uChar.AsciiChar && !K.dwControlKeyState;
}

// ---- Selection ------------------------------------------------------------------

TEST_F(HostModelTest, SelectKeepsAStartPastTheEndAndFailsOnTheLastLine) {
    H->OpenWindow("a.txt", "0123456\nabcdef\nxyz\nlast");
    ASSERT_EQ(Select(BTYPE_STREAM, 0, 2, 3, 3), 1);
    EXPECT_EQ(Sel(0), P(2, -1));
    EXPECT_EQ(Sel(1), P(0, -1));
    EXPECT_EQ(Sel(2), P(0, 5));  // the end column is BlockStartPos + BlockWidth
    EXPECT_EQ(Sel(3), P(-1, -1));
    EXPECT_EQ(Info().BlockType, BTYPE_STREAM);
    EXPECT_EQ(Info().BlockStartLine, 0);

    ASSERT_EQ(Select(BTYPE_STREAM, 1, 9, 0, 1), 1);  // past the end, empty: still a block
    EXPECT_EQ(Sel(0), P(-1, -1));
    EXPECT_EQ(Sel(1), P(9, 9));
    EXPECT_EQ(Info().BlockStartLine, 1);

    // A block that reaches the last line is made, and the call says 0.
    EXPECT_EQ(Select(BTYPE_STREAM, 2, 1, 0, 2), 0);
    EXPECT_EQ(Sel(2), P(1, -1));
    EXPECT_EQ(Sel(3), P(0, 1));
    EXPECT_EQ(Select(BTYPE_STREAM, 3, 0, 2, 1), 0);
    EXPECT_EQ(Sel(3), P(0, 2));
    EXPECT_EQ(Select(BTYPE_STREAM, 2, 1, 0, 10), 0);  // lines past the end are ignored
    EXPECT_EQ(Sel(3), P(0, -1));
    EXPECT_EQ(Info().BlockStartLine, 2);

    ASSERT_EQ(Select(BTYPE_COLUMN, 0, 1, 2, 2), 1);
    EXPECT_EQ(Info().BlockType, BTYPE_COLUMN);
    EXPECT_EQ(Sel(1), P(1, 3));

    ASSERT_EQ(Select(BTYPE_NONE, 0, 0, 0, 0), 1);
    EXPECT_EQ(Info().BlockType, BTYPE_NONE);
    for (int L = 0; L < 4; ++L) EXPECT_EQ(Sel(L), P(-1, -1));
}

TEST_F(HostModelTest, SelectRejectsImpossibleBlocks) {
    H->OpenWindow("a.txt", "abc\ndef");
    EXPECT_EQ(Select(BTYPE_STREAM, 5, 0, 1, 1), 0);
    EXPECT_EQ(Select(BTYPE_STREAM, -1, 0, 1, 1), 0);
    EXPECT_EQ(Select(BTYPE_STREAM, 0, 2, -3, 1), 0);
    EXPECT_EQ(Select(BTYPE_STREAM, 0, 0x7FFFFFF0, 0x7FFFFFF0, 1), 0);
    EXPECT_EQ(Select(7, 0, 0, 1, 1), 0);
    EXPECT_EQ(H->SelectionString(), "none");
    EXPECT_EQ(Info().BlockType, BTYPE_NONE);
}

TEST_F(HostModelTest, BlockStartIsHostStateOfItsOwn) {
    H->OpenWindow("a.txt", "zero\none\ntwo\nthree\nfour");
    ASSERT_EQ(Select(BTYPE_STREAM, 1, 1, 2, 1), 1);
    H->SetCursor(1, 0);
    Ectl(ECTL_DELETESTRING, nullptr);  // the start goes to the next line, not selected
    EXPECT_EQ(H->SelectionString(), "none");
    EXPECT_EQ(Info().BlockType, BTYPE_STREAM);
    EXPECT_EQ(Info().BlockStartLine, 1);
    H->SetCursor(0, 0);
    Ectl(ECTL_DELETESTRING, nullptr);  // a line before it goes: the start moves up with "two"
    EXPECT_EQ(Info().BlockStartLine, 0);

    ASSERT_EQ(Select(BTYPE_STREAM, 1, 2, 2, 1), 1);  // "three" (2, 4)
    EditorSetString Ess{1, "new", "\n", 3};
    Ectl(ECTL_SETSTRING, &Ess);  // the range goes, the start stays
    EXPECT_EQ(Sel(1), P(-1, -1));
    EXPECT_EQ(Info().BlockStartLine, 1);

    ASSERT_EQ(Select(BTYPE_STREAM, 1, 2, 1, 1), 1);
    H->SetCursor(1, 1);
    Ectl(ECTL_INSERTSTRING, nullptr);  // the whole range goes to the new line, the start too
    EXPECT_EQ(Sel(2), P(1, 2));
    EXPECT_EQ(Info().BlockStartLine, 2);
    H->SetCursor(0, 0);
    Ectl(ECTL_INSERTSTRING, nullptr);
    EXPECT_EQ(Info().BlockStartLine, 3);

    ASSERT_EQ(Select(BTYPE_NONE, 0, 0, 0, 0), 1);
    SetSel(0, {0, 1});  // ranges alone make no block
    EXPECT_EQ(Info().BlockType, BTYPE_NONE);
}

TEST_F(HostModelTest, CharEditsMoveTheRange) {
    H->PersistentBlocks = true;  // typing keeps the block
    H->OpenWindow("a.txt", "0123456789");
    Select(BTYPE_STREAM, 0, 3, 4, 1);  // (3, 7)
    H->SetCursor(0, 1);
    Ectl(ECTL_DELETECHAR, nullptr);  // before: both drop
    EXPECT_EQ(Sel(0), P(2, 6));
    H->SetCursor(0, 4);
    Ectl(ECTL_DELETECHAR, nullptr);  // inside: the end drops
    EXPECT_EQ(Sel(0), P(2, 5));
    H->SetCursor(0, 5);
    Ectl(ECTL_DELETECHAR, nullptr);  // at the end column: nothing moves
    EXPECT_EQ(Sel(0), P(2, 5));
    H->SetCursor(0, 2);
    Insert("ab");  // at the start: the start stays
    EXPECT_EQ(Sel(0), P(2, 7));
    H->SetCursor(0, 0);
    Insert("x");
    EXPECT_EQ(Sel(0), P(3, 8));
    EXPECT_EQ(H->Text(), "x02ab34689");

    SetSel(0, {2, -1});  // through the end: only the start moves
    H->SetCursor(0, 0);
    Insert("yy");
    EXPECT_EQ(Sel(0), P(4, -1));
}

TEST_F(HostModelTest, JoiningShiftsByTheLengthBeforePaddingAndMerges) {
    // Joins "efgh" onto "abcd" with the cursor at Pos; the ranges before, the one after.
    auto Join = [&](int Pos, P First, P Second) {
        H->OpenWindow("j.txt", "abcd\r\nefgh\nxy");
        SetSel(0, First);
        SetSel(1, Second);
        H->SetCursor(0, Pos);
        EXPECT_EQ(Ectl(ECTL_DELETECHAR, nullptr), 1);
        return Sel(0);
    };
    EXPECT_EQ(Join(4, {1, -1}, {0, 3}), P(1, 7));
    EXPECT_EQ(Join(4, {1, -1}, {0, -1}), P(1, -1));
    EXPECT_EQ(Join(4, {0, 2}, {1, 3}), P(0, 7));  // apart, yet one range
    EXPECT_EQ(H->Text(), "abcdefgh\r\nxy");       // the joined line keeps its own end
    // Padded to the cursor first, the joined range still shifted by the length before.
    EXPECT_EQ(Join(6, {-1, -1}, {1, 3}), P(5, 7));
    EXPECT_EQ(H->Text(), "abcd  efgh\r\nxy");
    H->SetCursor(0, 10);
    Ectl(ECTL_DELETECHAR, nullptr);  // the last line had no end: neither has the joined one
    EXPECT_EQ(H->Text(), "abcd  efghxy");
}

TEST_F(HostModelTest, SplittingKeepsEachPartsShare) {
    H->OpenWindow("a.txt", "abcdefgh\r\nnext");
    Select(BTYPE_STREAM, 0, 2, 4, 1);  // (2, 6)
    H->SetCursor(0, 4);
    ASSERT_EQ(Ectl(ECTL_INSERTSTRING, nullptr), 1);
    EXPECT_EQ(H->Text(), "abcd\r\nefgh\r\nnext");
    EXPECT_EQ(Sel(0), P(2, -1));
    EXPECT_EQ(Sel(1), P(0, 2));
    EXPECT_EQ(H->Win().CurLine, 1);
    EXPECT_EQ(H->Win().CurPos, 0);

    Select(BTYPE_STREAM, 0, 0, 2, 1);
    H->SetCursor(0, 3);  // the range stays whole in the first part
    Ectl(ECTL_INSERTSTRING, nullptr);
    EXPECT_EQ(Sel(0), P(0, 2));
    EXPECT_EQ(Sel(1), P(-1, -1));

    // The last line split: its first part gets the file's default end (its first line
    // end), the new last line none.
    H->OpenWindow("b.txt", "ab\ncd\r\nlast\r\n");
    H->Win().Lines[2].Eol = "\r\n";
    H->Win().Lines.pop_back();  // a last line with an end of its own
    H->SetCursor(2, 2);
    Ectl(ECTL_INSERTSTRING, nullptr);
    EXPECT_EQ(H->Text(), "ab\ncd\r\nla\nst");
    H->OpenWindow("c.txt", "solo");  // a file without any line end has none to give
    H->SetCursor(0, 2);
    Ectl(ECTL_INSERTSTRING, nullptr);
    EXPECT_EQ(H->LineTexts(), (std::vector<std::string>{"so", "lo"}));
    EXPECT_EQ(Eol(0), "");
}

TEST_F(HostModelTest, DeleteStringEmptiesTheLastLineInsteadOfRemovingIt) {
    H->OpenWindow("a.txt", "one\ntwo\nthree");
    Select(BTYPE_STREAM, 0, 1, 2, 3);
    H->SetCursor(1, 0);
    Ectl(ECTL_DELETESTRING, nullptr);
    EXPECT_EQ(H->Text(), "one\nthree");
    EXPECT_EQ(Sel(0), P(1, -1));
    EXPECT_EQ(Sel(1), P(0, 3));

    H->SetCursor(1, 0);
    for (int N = 0; N < 2; ++N) {
        ASSERT_EQ(Ectl(ECTL_DELETESTRING, nullptr), 1);
        EXPECT_EQ(H->Text(), "one\n");  // the line before keeps its end
        EXPECT_EQ(Info().TotalLines, 2);
        EXPECT_EQ(Sel(1), P(-1, -1));
        EXPECT_EQ(H->Win().CurLine, 1);
    }

    H->OpenWindow("b.txt", "only");
    Select(BTYPE_STREAM, 0, 1, 2, 1);
    ASSERT_EQ(Ectl(ECTL_DELETESTRING, nullptr), 1);
    EXPECT_EQ(H->Text(), "");
    EXPECT_EQ(Sel(0), P(-1, -1));
}

TEST_F(HostModelTest, ExpandTabsMapsRangeAndCursor) {
    H->OpenWindow("a.txt", "a\tb\tc\nx\ty");
    SetSel(0, {1, 3});   // from the first tab to the second
    H->SetCursor(0, 3);  // on the second tab
    int Line = -1;
    ASSERT_EQ(Ectl(ECTL_EXPANDTABS, &Line), 1);
    EXPECT_EQ(H->LineTexts()[0], "a       b       c");
    EXPECT_EQ(Sel(0), P(8, 9));  // a start on a tab starts after its blanks
    EXPECT_EQ(H->Win().CurPos, 9);
    EXPECT_EQ(H->LineTexts()[1], "x\ty");  // only the line asked for
    EXPECT_FALSE(H->Win().Modified);

    H->SetCursor(1, 5);  // past the end: the distance beyond the end is kept
    Line = 1;
    Ectl(ECTL_EXPANDTABS, &Line);
    EXPECT_EQ(H->Win().CurPos, 11);
    Line = 9;
    EXPECT_EQ(Ectl(ECTL_EXPANDTABS, &Line), 0);
    EXPECT_FALSE(H->Win().Modified);
}

// ---- Editing calls --------------------------------------------------------------

TEST_F(HostModelTest, InsertTextIsTypedByteByByte) {
    H->OpenWindow("a.txt", "\t  ab\n\nxyz\nhello");
    H->SetCursor(0, 5);
    ASSERT_EQ(Insert("c\rd\ne\bf"), 1);  // CR breaks, unindented; LF is a byte; BS deletes
    EXPECT_EQ(H->LineTexts()[0], "\t  abc");
    EXPECT_EQ(H->LineTexts()[1], "d\nf");
    EXPECT_EQ(H->Win().CurPos, 3);

    // Past the end of an empty line: the line above's white space, then blanks.
    H->Win().Lines[1].Text = "\t  ab";
    H->SetCursor(2, 12);
    Insert("x");
    EXPECT_EQ(H->LineTexts()[2], "\t    x");
    H->SetCursor(3, 5);
    Insert("!");
    EXPECT_EQ(H->LineTexts()[3], "xyz  !");

    H->Win().Overtype = 1;  // bytes overwrite; a tab only moves to the next stop
    H->SetCursor(3, 0);
    Insert("Q\tR");
    EXPECT_EQ(H->LineTexts()[3], "Qyz  !  R");
    H->Win().Overtype = 0;

    H->Win().TableNum = 0;  // shown in KOI8-R: the OEM byte is converted first
    H->SetCursor(4, 0);
    Insert("\xA0");
    EXPECT_EQ(H->LineTexts()[4], "\xC1hello");
    H->Win().TableNum = -1;

    // Persistent blocks off: the cursor line's selected part goes first.
    Select(BTYPE_STREAM, 4, 2, 2, 1);
    H->SetCursor(4, 4);
    Insert("12");
    EXPECT_EQ(H->LineTexts()[4], "\xC1h12lo");
    EXPECT_EQ(Sel(4), P(-1, -1));
    EXPECT_EQ(H->Win().CurPos, 4);
}

TEST_F(HostModelTest, DeleteCharPastTheEndPadsAndStopsAtTheLastLine) {
    H->OpenWindow("a.txt", "ab\ncd");
    H->SetCursor(1, 2);
    Ectl(ECTL_DELETECHAR, nullptr);  // end of the last line: nothing
    H->SetCursor(1, 6);
    Ectl(ECTL_DELETECHAR, nullptr);
    EXPECT_EQ(H->Text(), "ab\ncd");
    EXPECT_FALSE(H->Win().Modified);
    H->SetCursor(0, 3);
    Ectl(ECTL_DELETECHAR, nullptr);
    EXPECT_EQ(H->Text(), "ab cd");
    EXPECT_TRUE(H->Win().Modified);
}

TEST_F(HostModelTest, GetStringCopiesLiveUntilTheNextChangeOrRedraw) {
    H->OpenWindow("a.txt", std::string("a\0b\r\nlast\n", 10));
    H->SetCursor(1, 0);
    EditorGetString Egs = Get(-5);  // any negative number: the cursor line
    EXPECT_EQ(std::string(Egs.StringText, 5), std::string("last\0", 5));
    EXPECT_STREQ(Egs.StringEOL, "\n");
    Egs = Get(0);
    EXPECT_EQ(Egs.StringLength, 3);  // the NUL counts
    EXPECT_EQ(std::string(Egs.StringText, 4), std::string("a\0b\0", 4));
    EXPECT_STREQ(Egs.StringEOL, "\r\n");
    Egs = Get(2);
    ASSERT_NE(Egs.StringEOL, nullptr);
    EXPECT_STREQ(Egs.StringEOL, "");
    Egs.StringNumber = 3;
    EXPECT_EQ(Ectl(ECTL_GETSTRING, &Egs), 0);

    const char* Kept = Get(0).StringText;
    SetPos(2, 1);  // moving is no change
    Info();
    EXPECT_TRUE(H->LineCopyLive(Kept));
    EXPECT_EQ(Get(0).StringText, Kept);
    auto Retires = [&](const char* What, auto Call) {
        const char* Stale = Get(1).StringText;
        Call();
        EXPECT_FALSE(H->LineCopyLive(Stale)) << What;
#if defined(__SANITIZE_ADDRESS__)
        EXPECT_TRUE(__asan_address_is_poisoned(Stale)) << What;
#endif
    };
    Retires("redraw", [&] { Ectl(ECTL_REDRAW, nullptr); });
    Retires("select", [&] { Select(BTYPE_NONE, 0, 0, 0, 0); });
    Retires("insert string", [&] { Ectl(ECTL_INSERTSTRING, nullptr); });
    Retires("a key the host handles", [&] { H->Keys("Right"); });
}

TEST_F(HostModelTest, SetStringTakesTheRealHostsLineEnds) {
    H->OpenWindow("a.txt", "ab\ncd\r\nlast");  // the file's default end is "\n"
    ASSERT_EQ(Select(BTYPE_STREAM, 0, 0, 1, 1), 1);
    EditorSetString Ess{0, "xyz", nullptr, 2};
    ASSERT_EQ(Ectl(ECTL_SETSTRING, &Ess), 1);
    EXPECT_EQ(H->LineTexts()[0], "xy");
    EXPECT_EQ(Eol(0), "\n");
    EXPECT_EQ(Sel(0), P(-1, -1));
    Ess = {2, "q", nullptr, 1};  // null on the last line adds a break to the file's end
    Ectl(ECTL_SETSTRING, &Ess);
    EXPECT_EQ(H->Text(), "xy\ncd\r\nq\n");

    // An empty line end takes a trailing CR or LF of the text.
    for (const char* Text : {"r\r\n", "r\n", "r\r", "r"}) {
        Ess = {1, Text, "", static_cast<int>(std::strlen(Text))};
        Ectl(ECTL_SETSTRING, &Ess);
        EXPECT_EQ(H->LineTexts()[1], "r");
        EXPECT_EQ(Eol(1), std::string(Text + 1)) << fixture::Visible(Text);
    }

    H->SetExpandTabs(host::Host::Expand::AllTabs);
    Ess = {1, "\tu\tv", "\n", 4};
    Ectl(ECTL_SETSTRING, &Ess);
    EXPECT_EQ(H->LineTexts()[1], "        u       v");
    H->SetExpandTabs(host::Host::Expand::None);

    // The host's own line copy handed back as the new text (read before the copies go).
    EditorGetString Egs = Get(0);
    Ess = {1, Egs.StringText, "\n", Egs.StringLength};
    ASSERT_EQ(Ectl(ECTL_SETSTRING, &Ess), 1);
    EXPECT_EQ(H->LineTexts()[1], "xy");

    Ess = {0, nullptr, "\n", 3};
    EXPECT_EQ(Ectl(ECTL_SETSTRING, &Ess), 0);
    Ess = {5, "a", "\n", 1};
    EXPECT_EQ(Ectl(ECTL_SETSTRING, &Ess), 0);

    H->OpenWindow("b.txt", "solo");  // a file without any line end: null gives none
    Ess = {0, "s", nullptr, 1};
    Ectl(ECTL_SETSTRING, &Ess);
    EXPECT_EQ(H->Text(), "s");
    H->Win().DefaultEol = "\r\n";  // a new file's default
    Ectl(ECTL_SETSTRING, &Ess);
    EXPECT_EQ(H->Text(), "s\r\n");
}

TEST_F(HostModelTest, SetPositionFollowsTheRealHost) {
    std::string Text;
    for (int L = 0; L < 100; ++L) Text += "line\n";
    H->OpenWindow("long.txt", Text);
    EditorInfo Ei = Info();
    EXPECT_EQ(Ei.TotalLines, 101);
    EXPECT_STREQ(Ei.FileName, "long.txt");
    EXPECT_EQ(Ei.WindowSizeY, 23);
    EXPECT_EQ(Ei.TableNum, -1);
    for (DWORD R : Ei.Reserved) EXPECT_EQ(R, 0u);

    ASSERT_EQ(SetPos(500, 7), 1);  // past the last line: the last line, past its end
    EXPECT_EQ(Info().CurLine, 100);
    EXPECT_EQ(Info().CurPos, 7);
    EXPECT_EQ(Info().TopScreenLine, 100);  // off the screen: it becomes the top line
    ASSERT_EQ(SetPos(-5, -2), 1);          // negative: unchanged
    EXPECT_EQ(Info().CurLine, 100);
    EXPECT_EQ(Info().CurPos, 7);
    SetPos(90, 0);
    EXPECT_EQ(Info().TopScreenLine, 90);
    SetPos(95, -1);  // on the screen: no scroll
    EXPECT_EQ(Info().TopScreenLine, 90);

    SetPos(50, -1, 40);  // a top within one screen above the cursor line is used
    EXPECT_EQ(Info().TopScreenLine, 40);
    SetPos(50, -1, 20);  // more than a screen above: ignored
    EXPECT_EQ(Info().TopScreenLine, 40);
    SetPos(-1, -1, 51);  // below the cursor line: ignored
    EXPECT_EQ(Info().TopScreenLine, 40);

    H->Win().Lines[50].Text = "\tx\ty";
    SetPos(-1, 1, -1, 9);  // CurTabPos comes after CurPos and wins
    EXPECT_EQ(Info().CurPos, 2);
    EXPECT_EQ(Info().CurTabPos, 9);
    EditorSetPosition Esp{-1, -1, -1, -1, -1, 1};
    Ectl(ECTL_SETPOSITION, &Esp);
    EXPECT_EQ(Info().Overtype, 1);
}

TEST_F(HostModelTest, GetInfoOutsideAnEditor) {
    EditorInfo Out;
    EXPECT_EQ(Ectl(ECTL_GETINFO, &Out), 0);  // no editor exists
    const int Id = H->OpenWindow("a.txt", "x");
    EXPECT_EQ(Ectl(99, nullptr), 0);
    int Seen = 0;
    H->OnEditorInput = [&](INPUT_RECORD&) { return ++Seen, 0; };
    H->SetPanelsActive(true);  // the editor waits behind the panels
    ASSERT_EQ(Ectl(ECTL_GETINFO, &Out), 1);
    EXPECT_EQ(Out.EditorID, Id);
    H->Keys("z");  // the panels' key
    EXPECT_EQ(Seen, 0);
    EXPECT_EQ(H->Text(), "x");

    H->SetNoCurrentEditor(true);  // a host with no editor at all
    EXPECT_EQ(Ectl(ECTL_GETINFO, &Out), 0);
    H->SetNoCurrentEditor(false);
    H->CloseWindow(Id);
    EXPECT_EQ(Ectl(ECTL_GETINFO, &Out), 0);
}

TEST_F(HostModelTest, CurTabPosCountsTabs) {
    H->OpenWindow("a.txt", "\tab\tc");
    H->SetCursor(0, 4);
    EXPECT_EQ(Info().CurTabPos, 16);
    EXPECT_EQ(Info().CurPos, 4);
}

// ---- Input ----------------------------------------------------------------------

TEST_F(HostModelTest, KeyStrings) {
    INPUT_RECORD R = host::KeyPress("^L");
    EXPECT_EQ(R.Event.KeyEvent.wVirtualKeyCode, 'L');
    EXPECT_EQ(R.Event.KeyEvent.uChar.AsciiChar, 12);
    EXPECT_EQ(R.Event.KeyEvent.dwControlKeyState, static_cast<DWORD>(LEFT_CTRL_PRESSED));
    EXPECT_EQ(host::KeyPress("Ctrl+H").Event.KeyEvent.uChar.AsciiChar, 8);
    R = host::KeyPress("A");
    EXPECT_EQ(R.Event.KeyEvent.dwControlKeyState, static_cast<DWORD>(SHIFT_PRESSED));
    EXPECT_EQ(R.Event.KeyEvent.uChar.AsciiChar, 'A');
    R = host::KeyPress("AltGr+Q");
    EXPECT_EQ(R.Event.KeyEvent.dwControlKeyState,
              static_cast<DWORD>(RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED));
    R = host::KeyPress("F7");
    EXPECT_EQ(R.Event.KeyEvent.wVirtualKeyCode, VK_F7);
    EXPECT_EQ(R.Event.KeyEvent.uChar.AsciiChar, 0);
    EXPECT_EQ(host::KeyPress("^K*3").Event.KeyEvent.wRepeatCount, 3);
    EXPECT_EQ(host::KeyPress("*").Event.KeyEvent.uChar.AsciiChar, '*');
    EXPECT_EQ(host::KeyPress("Num5").Event.KeyEvent.wVirtualKeyCode, VK_NUMPAD0 + 5);
    EXPECT_TRUE(IsIdle(host::IdleRecord()));

    std::vector<INPUT_RECORD> Events = host::ParseKeys("^K b Shift+F7");
    ASSERT_EQ(Events.size(), 6u);
    std::vector<std::string> Names;
    for (const INPUT_RECORD& E : Events) Names.push_back(host::EventName(E));
    EXPECT_EQ(Names, (std::vector<std::string>{"Ctrl+K", "Ctrl+K up", "b", "b up", "Shift+F7",
                                               "Shift+F7 up"}));
    EXPECT_EQ(host::ParseKeys("x", false).size(), 1u);
}

TEST_F(HostModelTest, HostHandlesKeysItself) {
    H->OpenWindow("a.txt", "  ab\ncd\n");
    H->SetCursor(1, 0);
    H->Keys("BS x Enter Tab F2 F7 Shift+F7 Ctrl+F7 Left*2 Del");
    EXPECT_EQ(H->Text(), "  abx\ncd\n");  // Enter adds no indentation
    EXPECT_EQ(H->Win().Saves, 1);
    using A = host::HostAction;
    EXPECT_EQ(H->HostActions, (std::vector<A>{A::Save, A::Search, A::RepeatSearch, A::Replace}));
    EXPECT_EQ(H->HostKeys.size(), 20u);  // releases too
    EXPECT_EQ(H->PendingInput(), 0u);

    H->Type("Q!");
    EXPECT_EQ(H->Text(), "  abx\nQ!cd\n");
    H->Keys("^Q Alt+x AltGr+B");  // no character is typed with Ctrl or Alt
    EXPECT_EQ(H->Text(), "  abx\nQ!cd\n");

    H->Win().Overtype = 1;  // a character overwrites; Tab only moves to the next stop
    H->SetCursor(1, 1);
    H->Keys("y Tab z");
    EXPECT_EQ(H->Text(), "  abx\nQycd    z\n");
}

TEST_F(HostModelTest, MainLoopActsOnTheKeyWorkedOutBeforeThePlugin) {
    H->OpenWindow("a.txt", "text");
    std::vector<std::string> Seen;
    H->OnEditorInput = [&](INPUT_RECORD& R) {
        Seen.push_back(host::EventName(R));
        R.Event.KeyEvent.wVirtualKeyCode = 'Z';  // no effect on what the host does
        R.Event.KeyEvent.uChar.AsciiChar = 'Z';
        return 0;
    };
    H->Keys("x*3 F11 F12 Ctrl+Tab Ctrl+Shift+Tab Alt+F9 Ctrl+W");
    EXPECT_EQ(H->Text(), "xtext");  // one record, one action
    EXPECT_EQ(Seen, (std::vector<std::string>{"x*3", "x up", "F11 up", "F12 up", "Ctrl+Tab up",
                                              "Ctrl+Shift+Tab up", "Alt+F9 up", "Ctrl+W up"}));
    ASSERT_EQ(H->HostKeys.size(), 14u);
    EXPECT_EQ(host::EventName(H->HostKeys[0]), "x*3");
}

TEST_F(HostModelTest, ProcessInputHandsOverTheCallersRecord) {
    H->OpenWindow("a.txt", "text");
    std::vector<std::string> Seen;
    const INPUT_RECORD* First = nullptr;
    H->OnEditorInput = [&](INPUT_RECORD& R) {
        if (Seen.empty()) First = &R;
        Seen.push_back(host::EventName(R));
        return 0;
    };
    H->Feed(host::KeyPress("F5"));  // the main loop's last record from now on
    Seen.clear();
    INPUT_RECORD R = host::KeyPress("y");
    EXPECT_EQ(Ectl(ECTL_PROCESSINPUT, &R), 1);
    EXPECT_EQ(First, &R);
    EXPECT_EQ(H->Text(), "ytext");
    INPUT_RECORD Click = host::MouseEvent(1, 1, FROM_LEFT_1ST_BUTTON_PRESSED);
    Ectl(ECTL_PROCESSINPUT, &Click);  // a declined mouse record comes back, with F5
    R = host::KeyPress("F2");         // the file-editor frame saves
    Ectl(ECTL_PROCESSINPUT, &R);
    EXPECT_EQ(H->Win().Saves, 1);
    EXPECT_EQ(Seen, (std::vector<std::string>{"y", "Mouse(1,1) 1", "F5", "F2"}));

    H->SecondInputCall = true;  // the 2003-2004 builds: a declined key comes back too
    Seen.clear();
    R = host::KeyPress("z");
    Ectl(ECTL_PROCESSINPUT, &R);
    EXPECT_EQ(Seen, (std::vector<std::string>{"z", "F5"}));
    EXPECT_EQ(H->Text(), "yztext");

    // A plug-in that hands a key over again from the second call meets the guard,
    // and the handled second call leaves the key to nobody.
    H->OnEditorInput = [&](INPUT_RECORD& Rec) {
        if (Rec.Event.KeyEvent.wVirtualKeyCode != VK_F5) return 0;
        INPUT_RECORD Again = host::KeyPress("q");
        Ectl(ECTL_PROCESSINPUT, &Again);
        return 1;
    };
    R = host::KeyPress("q");
    Ectl(ECTL_PROCESSINPUT, &R);
    EXPECT_EQ(H->Misuses, (std::vector<std::string>{"ECTL_PROCESSINPUT nested too deep"}));
    EXPECT_EQ(H->Text(), "yztext");
}

TEST_F(HostModelTest, ReadInputGivesIdleRecordsWhenDry) {
    H->OpenWindow("a.txt", "x");
    INPUT_RECORD R;
    for (int N = 0; N < 3; ++N) {
        ASSERT_EQ(Ectl(ECTL_READINPUT, &R), 1);
        EXPECT_TRUE(IsIdle(R));
    }
    EXPECT_EQ(Ectl(ECTL_READINPUT, &R), 0);
    EXPECT_EQ(Ectl(ECTL_READINPUT, &R), 0);
    H->WriteInput(host::ParseKeys("z"));
    ASSERT_EQ(Ectl(ECTL_READINPUT, &R), 1);
    EXPECT_EQ(host::EventName(R), "z");
    EXPECT_EQ(H->PendingInput(), 1u);
    H->DiscardInput();
    H->IdleReads = 1;  // a real event starts the idle records again
    EXPECT_EQ(Ectl(ECTL_READINPUT, &R), 1);
    EXPECT_EQ(Ectl(ECTL_READINPUT, &R), 0);

    int Idle = 0;
    H->OnEditorInput = [&](INPUT_RECORD& Rec) { return Idle += IsIdle(Rec), 0; };
    H->Keys("a");
    EXPECT_EQ(Idle, 0);
    H->IdleWhenDry = true;  // the main loop's idle record once the input runs dry
    H->Keys("b");
    EXPECT_EQ(Idle, 1);
}

TEST_F(HostModelTest, ProcessInputNestsAndSurvivesAClose) {
    int Id = H->OpenWindow("a.txt", "text");
    int Depth = -1;
    H->OnProcessInput = [&](host::Host& Hs, const INPUT_RECORD&) {
        Depth = Hs.ProcessInputDepth();
    };
    INPUT_RECORD R = host::KeyPress("y");
    EXPECT_EQ(Ectl(ECTL_PROCESSINPUT, &R), 1);
    EXPECT_EQ(Depth, 0);
    EXPECT_EQ(H->Text(), "ytext");

    R = host::KeyPress("F10");  // the host closes the window for this key
    EXPECT_EQ(Ectl(ECTL_PROCESSINPUT, &R), 1);
    EXPECT_FALSE(H->HasWindow(Id));
    EXPECT_EQ(Ectl(ECTL_GETSTRING, &R), 0);

    // A window closed while the plug-in has the key: the window behind does not get it.
    const int Behind = H->OpenWindow("b.txt", "behind");
    Id = H->OpenWindow("c.txt", "front");
    H->OnEditorInput = [&](INPUT_RECORD&) { return H->CloseWindow(Id), 0; };
    H->Keys("x");
    INPUT_RECORD Y = host::KeyPress("y");
    H->OpenWindow("d.txt", "");
    Id = H->Win().EditorID;
    Ectl(ECTL_PROCESSINPUT, &Y);
    EXPECT_EQ(H->Win(Behind).Lines[0].Text, "behind");
    H->OnProcessInput = nullptr;
}

// ---- Seen in the real host ------------------------------------------------------

TEST_F(HostModelTest, WithoutPersistentBlocksTheHostsCursorKeysRemoveTheBlock) {
    H->OpenWindow("a.txt", "one two\nthree\nfour");
    struct Case {
        const char* Key;
        P Cursor;  // from (0, 5)
        bool Kept;
    };
    const Case Cases[] = {
        {"Left", {0, 4}, false},       {"Right", {0, 6}, false},     {"Up", {0, 5}, false},
        {"Down", {1, 5}, false},       {"Home", {0, 0}, false},      {"End", {0, 7}, false},
        {"PgUp", {0, 5}, false},       {"PgDn", {2, 5}, false},      {"Ctrl+Left", {0, 4}, false},
        {"Ctrl+Right", {0, 7}, false}, {"Ctrl+Down", {1, 5}, false}, {"Ctrl+Home", {0, 0}, false},
        {"Ctrl+End", {2, 4}, false},   {"Ctrl+PgUp", {0, 0}, false}, {"Ctrl+PgDn", {2, 4}, false},
        {"Shift+Right", {0, 6}, true}, {"Alt+Right", {0, 5}, true},
    };
    for (bool Persistent : {false, true}) {
        H->PersistentBlocks = Persistent;
        for (const Case& C : Cases) {
            Select(BTYPE_STREAM, 0, 1, 2, 2);
            H->SetCursor(0, 5);
            H->Keys(C.Key);
            EXPECT_EQ(P(H->Win().CurLine, H->Win().CurPos), C.Cursor) << C.Key;
            const bool Kept = C.Kept || Persistent;
            EXPECT_EQ(H->SelectionString(), Kept ? "[0:1-1:3)" : "none") << C.Key << Persistent;
            EXPECT_EQ(Info().BlockType, Kept ? BTYPE_STREAM : BTYPE_NONE) << C.Key << Persistent;
        }
    }
    H->PersistentBlocks = false;  // a plug-in's move keeps the block
    SetPos(2, 1);
    EXPECT_EQ(H->SelectionString(), "[0:1-1:3)");
}

TEST_F(HostModelTest, ExpandAllTabsLeavesNoTabInAnyLine) {
    using E = host::Host::Expand;
    const int Old = H->OpenWindow("a.txt", "a\tb\n\tc");
    H->SetCursor(1, 1);
    H->SetExpandTabs(E::NewTabs);  // only typed tabs become blanks
    EditorSetString Ess{0, "\tx", "\n", 2};
    Ectl(ECTL_SETSTRING, &Ess);
    H->Keys("Tab");
    EXPECT_EQ(H->LineTexts(), (std::vector<std::string>{"\tx", "\t        c"}));
    SetSel(0, {1, 2});

    H->SetExpandTabs(E::AllTabs);  // switched on: every line of every window
    EXPECT_EQ(H->LineTexts(), (std::vector<std::string>{"        x", std::string(16, ' ') + "c"}));
    EXPECT_EQ(Sel(0), P(8, 9));
    EXPECT_EQ(H->Win().CurPos, 16);
    H->OpenWindow("b.txt", "\tq\n");  // and a text as it opens
    EXPECT_EQ(H->LineTexts()[0], "        q");
    Ess = {0, "r\ts", "\n", 3};
    Ectl(ECTL_SETSTRING, &Ess);
    EXPECT_EQ(H->LineTexts()[0], "r       s");
    H->SetCursor(0, 9);
    H->Keys("Tab");
    Insert("\t");
    EXPECT_EQ(H->LineTexts()[0], "r       s" + std::string(15, ' '));
    for (int Id : {Old, H->Win().EditorID})
        for (const host::Line& L : H->Win(Id).Lines)
            EXPECT_EQ(L.Text.find('\t'), std::string::npos) << L.Text;
}

TEST_F(HostModelTest, ALoneCarriageReturnIsALineEnd) {
    const std::string Text = "a\rb\r\nc\n\r\rd";
    H->OpenWindow("a.txt", Text);
    EXPECT_EQ(H->LineTexts(), (std::vector<std::string>{"a", "b", "c", "", "", "d"}));
    EXPECT_STREQ(Get(0).StringEOL, "\r");
    EXPECT_STREQ(Get(3).StringEOL, "\r");
    EXPECT_EQ(H->Text(), Text);
    EditorSetString Ess{5, "e", nullptr, 1};  // the file's default end is its first
    Ectl(ECTL_SETSTRING, &Ess);
    EXPECT_EQ(Eol(5), "\r");
}

TEST_F(HostModelTest, PluginsAreAskedInTheOrderOfTheirFileNamesUntilOneTakesTheKey) {
    H->OpenWindow("a.txt", "text");
    std::string Asked;
    char Taker = 0;
    auto Plugin = [&](char Name) {
        return [&, Name](INPUT_RECORD&) { return Asked += Name, Name == Taker ? 1 : 0; };
    };
    H->OnEditorInput = Plugin('T');  // in the loaded module's place: Tarvik.dll
    H->AddPlugin("zeta.dll", Plugin('Z'));
    H->AddPlugin("b.dll", Plugin('B'));  // before Tarvik without case, after it by bytes
    H->AddPlugin("U.DLL", Plugin('U'));
    H->Keys("x");
    EXPECT_EQ(Asked, "BTUZBTUZ");  // the release too
    EXPECT_EQ(H->Text(), "xtext");
    for (char Name : {'B', 'T', 'Z'}) {
        Taker = Name;
        Asked.clear();
        INPUT_RECORD R = host::KeyPress("y");
        Ectl(ECTL_PROCESSINPUT, &R);  // the plug-ins' own key goes the same way
        EXPECT_EQ(Asked, std::string("BTUZ").substr(0, std::string("BTUZ").find(Name) + 1));
    }
    EXPECT_EQ(H->Text(), "xtext");
}

TEST_F(HostModelTest, AltGrTypesItsCharacterAsText) {
    H->OpenWindow("a.txt", "ab");
    H->SetCursor(0, 1);
    H->Keys("AltGr+Q");  // '@' on a German layout
    EXPECT_EQ(H->Text(), "a@b");
    H->Keys("AltGr+B Ctrl+Q RAlt+Q");  // no character, or no AltGr: nothing typed
    EXPECT_EQ(H->Text(), "a@b");
    EXPECT_EQ(H->Win().CurPos, 2);
}

// ---- Faults and counting --------------------------------------------------------

TEST_F(HostModelTest, FaultsAreCountedAndScoped) {
    H->OpenWindow("a.txt", "abc");
    EditorInfo Ei;
    H->ResetCounters();
    H->FailNth(2);
    EXPECT_EQ(Ectl(ECTL_GETINFO, &Ei), 1);
    EXPECT_EQ(Ectl(ECTL_GETINFO, &Ei), 0);
    EXPECT_EQ(Ectl(ECTL_GETINFO, &Ei), 1);
    H->FailCommand(ECTL_GETSTRING);
    EditorGetString Egs{0, nullptr, nullptr, 0, 0, 0};
    EXPECT_EQ(Ectl(ECTL_GETSTRING, &Egs), 0);
    EXPECT_EQ(Ectl(ECTL_GETINFO, &Ei), 1);
    H->FailFrom(1);
    EXPECT_EQ(H->StartupInfo().SaveScreen(0, 0, -1, -1), nullptr);
    EXPECT_EQ(H->StartupInfo().CharTable(0, nullptr, 0), -1);
    H->ClearFaults();
    EXPECT_EQ(Ectl(ECTL_GETSTRING, &Egs), 1);
    EXPECT_EQ(H->EctlCalls(ECTL_GETINFO), 4);
    EXPECT_EQ(H->EctlCalls(ECTL_GETSTRING), 2);
    EXPECT_EQ(H->Calls(host::Service::EditorControl), 6);
    EXPECT_EQ(H->TotalCalls(), 8);
    H->FailService(host::Service::Text);
    H->StartupInfo().Text(0, 0, 0x07, "hidden");
    EXPECT_EQ(H->ScreenLine(0).substr(0, 6), "      ");
}

// ---- Screen, messages, language -------------------------------------------------

TEST_F(HostModelTest, ScreenTextSaveAndRestore) {
    H->StartPlugin();  // draws the key bar
    const int Bottom = H->ScreenHeight() - 1;
    EXPECT_EQ(H->ScreenLine(Bottom).substr(0, 16), "1Help   2Save   ");
    EXPECT_EQ(H->ScreenAttr(0, Bottom), 0x07);
    EXPECT_EQ(H->ScreenAttr(1, Bottom), 0x30);

    const PluginStartupInfo& S = H->StartupInfo();
    HANDLE Saved = S.SaveScreen(0, Bottom, -1, -1);
    ASSERT_NE(Saved, nullptr);
    EXPECT_EQ(H->SavedScreens(), 1);
    S.Text(75, Bottom, 0x1E, "clipped here");
    S.Text(0, 0, 0x07, nullptr);
    EXPECT_EQ(H->Flushes, 1);
    EXPECT_EQ(H->ScreenLine(Bottom).substr(75), "clipp");
    EXPECT_EQ(H->ScreenAttr(79, Bottom), 0x1E);
    S.RestoreScreen(Saved);
    EXPECT_EQ(H->SavedScreens(), 0);
    EXPECT_EQ(H->ScreenAttr(79, Bottom), 0x30);
    EXPECT_EQ(H->ScreenLine(Bottom).substr(0, 16), "1Help   2Save   ");

    // A box without buttons stays; one with buttons is answered at once.
    const char* Items[] = {"Title", "Line", "OK"};
    EXPECT_EQ(S.Message(S.ModuleNumber, FMSG_WARNING, nullptr, Items, 3, 1), 0);
    ASSERT_EQ(H->Messages.size(), 1u);
    EXPECT_EQ(H->Messages[0].ButtonsNumber, 1);
    EXPECT_EQ(H->Messages[0].Items[1], "Line");
    EXPECT_EQ(H->ScreenLine(12).find("Line"), std::string::npos);
    S.Message(S.ModuleNumber, 0, nullptr, Items, 2, 0);
    EXPECT_NE(H->ScreenLine(11).find("Title") + H->ScreenLine(12).find("Title"),
              2 * std::string::npos);
    EXPECT_TRUE(H->Misuses.empty());
}

TEST_F(HostModelTest, MessagesComeFromTheLanguageFile) {
    const PluginStartupInfo& S = H->StartupInfo();
    EXPECT_STREQ(S.GetMsg(S.ModuleNumber, tarvik::MSearchTitle), "Search");
    H->OverrideMsg(tarvik::MOk, "Fine");
    EXPECT_STREQ(S.GetMsg(S.ModuleNumber, tarvik::MOk), "Fine");
    ASSERT_TRUE(H->SetLanguage("Rus"));
    EXPECT_NE(std::string(S.GetMsg(S.ModuleNumber, tarvik::MSearchTitle)), "Search");
    EXPECT_FALSE(H->SetLanguage("Xyz"));
    EXPECT_TRUE(H->Misuses.empty());
    EXPECT_EQ(S.GetMsg(S.ModuleNumber + 1, 0), nullptr);
    EXPECT_EQ(H->Misuses.size(), 1u);
}

TEST_F(HostModelTest, CharTableOffersKoi8) {
    CharTableSet Set;
    const PluginStartupInfo& S = H->StartupInfo();
    ASSERT_EQ(S.CharTable(0, reinterpret_cast<char*>(&Set), sizeof Set), 0);
    EXPECT_STREQ(Set.TableName, "KOI8-R");
    EXPECT_EQ(Set.DecodeTable[0xC1], 0xA0);  // KOI8-R a -> 866 a
    EXPECT_EQ(Set.EncodeTable[0xA0], 0xC1);
    EXPECT_EQ(Set.UpperTable[0xC1], 0xE1);
    EXPECT_EQ(Set.LowerTable[0xB3], 0xA3);  // Yo
    EXPECT_EQ(Set.UpperTable['q'], 'Q');
    EXPECT_EQ(S.CharTable(1, reinterpret_cast<char*>(&Set), sizeof Set), -1);
}

TEST_F(HostModelTest, RegistryRootIsPrivateAndRemoved) {
    std::string Root = H->RootKey();
    EXPECT_TRUE(H->RegKeyExists(Root));
    ASSERT_TRUE(H->RegWriteDword(H->SettingsKey(), "SaveFileType", 7));
    DWORD Type = 0;
    std::vector<BYTE> Data;
    ASSERT_TRUE(H->RegRead(H->SettingsKey(), "SaveFileType", Type, Data));
    EXPECT_EQ(Type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Data, (std::vector<BYTE>{7, 0, 0, 0}));
    H.reset();
    host::Host Other;
    EXPECT_NE(Other.RootKey(), Root);
    EXPECT_FALSE(Other.RegKeyExists(Root));
}

// ---- The module -----------------------------------------------------------------

TEST_F(HostModelTest, UnloadReallyUnloads) {
    ASSERT_TRUE(H->LoadPlugin());
    H->StartPlugin();
    EXPECT_GE(H->StartupInfo().StructSize, kMinStartupInfoSize);
    EXPECT_EQ(std::string(H->StartupInfo().ModuleName), host::Host::DefaultPluginPath());
    int Id = H->OpenWindow("a.txt", "text");
    EXPECT_EQ(H->MenuItems().size(), 1u);
    H->CloseWindow(Id);  // records still listed at unload are not freed
    H->UnloadPlugin();
    EXPECT_FALSE(H->PluginLoaded());
#ifndef _WIN32
    void* Still = dlopen(host::Host::DefaultPluginPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(Still, nullptr) << "the module stayed loaded";
    if (Still) dlclose(Still);
#else
    EXPECT_EQ(GetModuleHandleA(host::Host::DefaultPluginPath().c_str()), nullptr);
#endif
    // A fresh load knows no window until the host tells it of one.
    ASSERT_TRUE(H->LoadPlugin());
    H->StartPlugin();
    EXPECT_TRUE(H->MenuItems().empty());
}

}  // namespace

// ---- The fixture ----------------------------------------------------------------

class FixtureTest : public PluginTest {};

TEST_F(FixtureTest, MarkupRoundTrips) {
    OpenMarked(
        "ab|c\xC2\xAB"
        "de\nfg\xC2\xBBh\n");
    EXPECT_EQ(H().Win().Lines[0].SelStart, 3);
    EXPECT_EQ(H().Win().Lines[0].SelEnd, -1);
    EXPECT_EQ(H().Win().Lines[1].SelEnd, 2);
    EXPECT_EQ(Cursor(), P(0, 2));
    ExpectMarked(
        "ab|c\xC2\xAB"
        "de\nfg\xC2\xBBh\n");

    OpenMarked(
        "\xC2\xAB"
        "x\xC2\xB6\xC2\xBB\ny|");
    EXPECT_EQ(H().Win().Lines[0].SelEnd, -1);
    EXPECT_EQ(H().Win().Lines[1].SelStart, -1);
    ExpectMarked(
        "\xC2\xAB"
        "x\xC2\xB6\xC2\xBB\ny|");

    H().SetCursor(1, 3);  // past the end: padded in the rendering only
    ExpectMarked(
        "\xC2\xAB"
        "x\xC2\xB6\xC2\xBB\ny\xC2\xB7\xC2\xB7|");
    EXPECT_EQ(H().Text(), "x\ny");
}

TEST_F(FixtureTest, OpenOnSwitchesTheBindingsOn) {
    OpenOn("\tleft off for its tab\n");
    EXPECT_TRUE(BindingsOn());
    OpenPlain("\tleft off for its tab\n", "b.txt");
    EXPECT_FALSE(BindingsOn());
}
