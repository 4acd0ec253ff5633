// The stand-in host's own rules: selection tracking, the editing calls, input,
// screen, language, faults and the module's load and unload. Most cases drive
// the host's services directly, as the plug-in calls them, with no plug-in loaded.
#include <cstring>

#include "fixture.h"

#ifndef _WIN32
#include <dlfcn.h>
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
    EditorInfo Info() {
        EditorInfo Ei;
        std::memset(&Ei, 0xCC, sizeof Ei);
        EXPECT_EQ(Ectl(ECTL_GETINFO, &Ei), 1);
        return Ei;
    }
    int SetPos(int Line, int Pos, int Top = -1) {
        EditorSetPosition Esp{Line, Pos, -1, Top, -1, -1};
        return Ectl(ECTL_SETPOSITION, &Esp);
    }
};

using P = std::pair<int, int>;

// ---- Selection ------------------------------------------------------------------

TEST_F(HostModelTest, StreamSelectStoresPerLineRanges) {
    H->OpenWindow("a.txt", "0123456\nabcdef\nxyz\nlast");
    ASSERT_EQ(Select(BTYPE_STREAM, 0, 2, 3, 3), 1);
    EXPECT_EQ(Sel(0), P(2, -1));
    EXPECT_EQ(Sel(1), P(0, -1));
    EXPECT_EQ(Sel(2), P(0, 5));  // the end column is BlockStartPos + BlockWidth
    EXPECT_EQ(Sel(3), P(-1, -1));
    EditorInfo Ei = Info();
    EXPECT_EQ(Ei.BlockType, BTYPE_STREAM);
    EXPECT_EQ(Ei.BlockStartLine, 0);

    ASSERT_EQ(Select(BTYPE_STREAM, 1, 4, 0, 1), 1);  // empty, still a block
    EXPECT_EQ(Sel(0), P(-1, -1));
    EXPECT_EQ(Sel(1), P(4, 4));
    EXPECT_EQ(Info().BlockStartLine, 1);

    ASSERT_EQ(Select(BTYPE_STREAM, 2, 1, 0, 10), 1);  // lines past the end are ignored
    EXPECT_EQ(Sel(2), P(1, -1));
    EXPECT_EQ(Sel(3), P(0, -1));

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
}

TEST_F(HostModelTest, CharEditsMoveTheRange) {
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
    Ectl(ECTL_INSERTTEXT, const_cast<char*>("ab"));  // at the start: the start stays
    EXPECT_EQ(Sel(0), P(2, 7));
    H->SetCursor(0, 0);
    Ectl(ECTL_INSERTTEXT, const_cast<char*>("x"));
    EXPECT_EQ(Sel(0), P(3, 8));
    EXPECT_EQ(H->Text(), "x02ab34689");

    Select(BTYPE_STREAM, 0, 2, 0, 2);  // (2, -1): only the start moves
    H->SetCursor(0, 0);
    Ectl(ECTL_INSERTTEXT, const_cast<char*>("yy"));
    EXPECT_EQ(Sel(0), P(4, -1));
}

TEST_F(HostModelTest, JoiningMergesTouchingRanges) {
    H->OpenWindow("a.txt", "abcd\nefgh\nijkl\nmnop");
    Select(BTYPE_STREAM, 0, 1, 2, 2);  // line 0 (1, -1), line 1 (0, 3)
    H->SetCursor(0, 4);
    Ectl(ECTL_DELETECHAR, nullptr);
    EXPECT_EQ(H->LineTexts()[0], "abcdefgh");
    EXPECT_EQ(Sel(0), P(1, 7));
    EXPECT_EQ(Sel(1), P(-1, -1));

    Select(BTYPE_STREAM, 1, 2, 0, 2);  // line 1 (2, -1), line 2 (0, 2), then through its end
    EXPECT_EQ(Sel(2), P(0, 2));
    H->Win().Lines[2].SelEnd = -1;
    H->SetCursor(1, 4);
    Ectl(ECTL_DELETECHAR, nullptr);
    EXPECT_EQ(Sel(1), P(2, -1));

    H->ClearSelection();
    H->Win().Lines[1].SelStart = 1;  // an unselected line takes the next one's range shifted
    H->Win().Lines[1].SelEnd = 3;
    H->SetCursor(0, 20);  // past the end: padded first
    Ectl(ECTL_DELETECHAR, nullptr);
    EXPECT_EQ(H->LineTexts()[0], "abcdefgh" + std::string(12, ' ') + "ijklmnop");
    EXPECT_EQ(Sel(0), P(21, 23));
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

    H->SetCursor(2, 2);  // a last line without an end: both parts get one, the last keeps none
    Ectl(ECTL_INSERTSTRING, nullptr);
    EXPECT_EQ(H->Text(), "abcd\r\nefgh\r\nne\r\nxt");

    Select(BTYPE_STREAM, 0, 0, 2, 1);
    H->SetCursor(0, 3);  // the range stays whole in the first part
    Ectl(ECTL_INSERTSTRING, nullptr);
    EXPECT_EQ(Sel(0), P(0, 2));
    EXPECT_EQ(Sel(1), P(-1, -1));
}

TEST_F(HostModelTest, DeletingLinesTakesTheirRanges) {
    H->OpenWindow("a.txt", "one\ntwo\nthree");
    Select(BTYPE_STREAM, 0, 1, 2, 3);
    H->SetCursor(1, 0);
    Ectl(ECTL_DELETESTRING, nullptr);
    EXPECT_EQ(H->Text(), "one\nthree");
    EXPECT_EQ(Sel(0), P(1, -1));
    EXPECT_EQ(Sel(1), P(0, 3));

    H->SetCursor(1, 0);
    Ectl(ECTL_DELETESTRING, nullptr);  // the last line goes with the line end before it
    EXPECT_EQ(H->Text(), "one");
    EXPECT_EQ(H->Win().CurLine, 0);

    // The only line cannot go: it is emptied, and a loop deleting selected lines
    // must rely on its own count to end.
    ASSERT_EQ(Ectl(ECTL_DELETESTRING, nullptr), 1);
    EXPECT_EQ(H->Win().Lines.size(), 1u);
    EXPECT_EQ(H->Text(), "");
    EXPECT_EQ(Sel(0), P(1, -1));
    EXPECT_EQ(Info().BlockType, BTYPE_STREAM);
}

TEST_F(HostModelTest, ExpandTabsMapsRangeAndCursor) {
    H->OpenWindow("a.txt", "a\tb\tc\nx\ty");
    H->Win().Lines[0].SelStart = 2;  // at 'b'
    H->Win().Lines[0].SelEnd = 4;    // at 'c'
    H->SetCursor(0, 3);              // at the second tab
    int Line = -1;
    ASSERT_EQ(Ectl(ECTL_EXPANDTABS, &Line), 1);
    EXPECT_EQ(H->LineTexts()[0], "a       b       c");
    EXPECT_EQ(Sel(0), P(8, 16));
    EXPECT_EQ(H->Win().CurPos, 9);
    EXPECT_EQ(H->LineTexts()[1], "x\ty");  // only the line asked for

    H->SetCursor(1, 5);  // past the end: the distance beyond the end is kept
    Line = 1;
    Ectl(ECTL_EXPANDTABS, &Line);
    EXPECT_EQ(H->Win().CurPos, 11);
    Line = 9;
    EXPECT_EQ(Ectl(ECTL_EXPANDTABS, &Line), 0);
}

// ---- Editing calls --------------------------------------------------------------

TEST_F(HostModelTest, EditingPastTheLineEndPads) {
    H->OpenWindow("a.txt", "ab\ncd");
    H->SetCursor(0, 4);
    Ectl(ECTL_INSERTTEXT, const_cast<char*>("X"));
    EXPECT_EQ(H->Text(), "ab  X\ncd");
    EXPECT_EQ(H->Win().CurPos, 5);
    H->SetCursor(1, 2);
    Ectl(ECTL_DELETECHAR, nullptr);  // end of the last line: nothing
    H->SetCursor(1, 6);
    Ectl(ECTL_DELETECHAR, nullptr);
    EXPECT_EQ(H->Text(), "ab  X\ncd");
}

TEST_F(HostModelTest, GetAndSetString) {
    H->OpenWindow("a.txt", std::string("a\0b\r\nlast", 9));
    EditorGetString Egs{-1, nullptr, nullptr, 0, 0, 0};
    ASSERT_EQ(Ectl(ECTL_GETSTRING, &Egs), 1);
    EXPECT_EQ(Egs.StringLength, 3);  // the NUL counts
    EXPECT_EQ(std::string(Egs.StringText, 4), std::string("a\0b\0", 4));
    EXPECT_STREQ(Egs.StringEOL, "\r\n");
    Egs.StringNumber = 1;
    ASSERT_EQ(Ectl(ECTL_GETSTRING, &Egs), 1);
    EXPECT_STREQ(Egs.StringEOL, "");
    Egs.StringNumber = 2;
    EXPECT_EQ(Ectl(ECTL_GETSTRING, &Egs), 0);
    Egs.StringNumber = -2;
    EXPECT_EQ(Ectl(ECTL_GETSTRING, &Egs), 0);

    Select(BTYPE_STREAM, 0, 1, 1, 1);
    EditorSetString Ess{0, "xyz", nullptr, 2};
    ASSERT_EQ(Ectl(ECTL_SETSTRING, &Ess), 1);
    EXPECT_EQ(H->Text(), "xylast");  // no line end any more
    EXPECT_EQ(Sel(0), P(1, 2));
    Ess = {1, "q", "\n", 1};
    Ectl(ECTL_SETSTRING, &Ess);
    EXPECT_EQ(H->Text(), "xyq\n");
    Ess = {0, nullptr, "\n", 3};
    EXPECT_EQ(Ectl(ECTL_SETSTRING, &Ess), 0);
    Ess = {5, "a", "\n", 1};
    EXPECT_EQ(Ectl(ECTL_SETSTRING, &Ess), 0);
}

TEST_F(HostModelTest, LineCopiesLiveUntilTheTextChanges) {
    H->OpenWindow("a.txt", "abc\ndef");
    EditorGetString First{0, nullptr, nullptr, 0, 0, 0}, Second{1, nullptr, nullptr, 0, 0, 0};
    ASSERT_EQ(Ectl(ECTL_GETSTRING, &First), 1);
    ASSERT_EQ(Ectl(ECTL_GETSTRING, &Second), 1);
    SetPos(1, 2);  // moving is no change
    EXPECT_STREQ(First.StringText, "abc");
    EXPECT_STREQ(Second.StringText, "def");
    // The host's own copy handed back as the new text (read before the copies go).
    EditorSetString Ess{1, First.StringText, "\n", First.StringLength};
    ASSERT_EQ(Ectl(ECTL_SETSTRING, &Ess), 1);
    ASSERT_EQ(Ectl(ECTL_GETSTRING, &First), 1);  // the old pointer is gone now
    H->SetCursor(1, 0);
    Ectl(ECTL_INSERTTEXT, const_cast<char*>(First.StringText));
    EXPECT_EQ(H->Text(), "abc\nabcabc\n");
}

TEST_F(HostModelTest, InfoAndPosition) {
    std::string Text;
    for (int L = 0; L < 100; ++L) Text += "line\n";
    H->OpenWindow("long.txt", Text);
    EditorInfo Ei = Info();
    EXPECT_EQ(Ei.TotalLines, 101);
    EXPECT_STREQ(Ei.FileName, "long.txt");
    EXPECT_EQ(Ei.WindowSizeY, 23);
    EXPECT_EQ(Ei.TableNum, -1);
    for (DWORD R : Ei.Reserved) EXPECT_EQ(R, 0u);

    EXPECT_EQ(SetPos(101, 0), 0);
    EXPECT_EQ(SetPos(-5, 0), 0);
    ASSERT_EQ(SetPos(50, 2), 1);  // scrolls just enough
    EXPECT_EQ(Info().TopScreenLine, 50 - 23 + 1);
    SetPos(40, -1);
    EXPECT_EQ(Info().TopScreenLine, 28);
    SetPos(10, -1);
    EXPECT_EQ(Info().TopScreenLine, 10);
    SetPos(90, 0, 5);  // a given top wins
    EXPECT_EQ(Info().TopScreenLine, 5);
    EXPECT_EQ(Info().CurLine, 90);
    EXPECT_EQ(Info().CurPos, 0);

    H->SetNoCurrentEditor(true);
    EditorInfo Out;
    EXPECT_EQ(Ectl(ECTL_GETINFO, &Out), 0);
    H->SetNoCurrentEditor(false);
    EXPECT_EQ(Ectl(99, nullptr), 0);
    H->CloseWindow(H->Win().EditorID);
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

    std::vector<INPUT_RECORD> Events = host::ParseKeys("^K b Shift+F7");
    ASSERT_EQ(Events.size(), 6u);
    std::vector<std::string> Names;
    for (const INPUT_RECORD& E : Events) Names.push_back(host::EventName(E));
    EXPECT_EQ(Names, (std::vector<std::string>{"Ctrl+K", "Ctrl+K up", "b", "b up", "Shift+F7",
                                               "Shift+F7 up"}));
    EXPECT_EQ(host::ParseKeys("x", false).size(), 1u);
}

TEST_F(HostModelTest, HostHandlesKeysItself) {
    H->OpenWindow("a.txt", "ab\ncd\n");
    H->SetCursor(1, 0);
    H->Keys("BS x Enter Tab F2 F7 Shift+F7 Ctrl+F7 Left*2 Del");
    EXPECT_EQ(H->Text(), "abx\ncd\n");
    EXPECT_EQ(H->Win().Saves, 1);
    using A = host::HostAction;
    EXPECT_EQ(H->HostActions, (std::vector<A>{A::Save, A::Search, A::RepeatSearch, A::Replace}));
    EXPECT_EQ(H->HostKeys.size(), 20u);  // releases too
    EXPECT_EQ(H->PendingInput(), 0u);

    H->Type("Q!");
    EXPECT_EQ(H->Text(), "abx\nQ!cd\n");
    H->Keys("^Q Alt+x AltGr+Q");  // no character is typed with Ctrl or Alt
    EXPECT_EQ(H->Text(), "abx\nQ!cd\n");
}

TEST_F(HostModelTest, ReadInputReturnsZeroWhenDry) {
    H->OpenWindow("a.txt", "x");
    INPUT_RECORD R;
    EXPECT_EQ(Ectl(ECTL_READINPUT, &R), 0);
    H->WriteInput(host::ParseKeys("z"));
    ASSERT_EQ(Ectl(ECTL_READINPUT, &R), 1);
    EXPECT_EQ(host::EventName(R), "z");
    EXPECT_EQ(H->PendingInput(), 1u);
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
    H->OnProcessInput = nullptr;
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
