// The bottom-line prompt and the search message boxes, seen on the stand-in
// host's screen and in its message log.
#include <string>

#include "fixture.h"

namespace {

class StatusLineTest : public PluginTest {
protected:
    // Shows the recording prompt and keeps it on the screen: the restore fails.
    void ShowRecordingPrompt() {
        H().FailService(host::Service::RestoreScreen);
        H().WriteInput({host::KeyPress("Ctrl+Shift+R")});
        H().Pump();
        H().ClearFaults();
    }

    void SetCellAttr(int X, int Y, WORD Attr) {
        DWORD Written = 0;
        WriteConsoleOutputAttribute(GetStdHandle(STD_OUTPUT_HANDLE), &Attr, 1,
                                    COORD{static_cast<SHORT>(X), static_cast<SHORT>(Y)}, &Written);
    }

    void ExpectLineAttr(int Y, int Width, WORD Attr) {
        for (int X = 0; X < Width; ++X) ASSERT_EQ(H().ScreenAttr(X, Y), Attr) << "column " << X;
    }
};

TEST_F(StatusLineTest, PromptFillsTheWholeBottomLineInTheKeyBarTitleColour) {
    OpenOn("\n");
    const std::string Prompt = H().Msg(tarvik::MRecordingPrompt);
    ASSERT_FALSE(Prompt.empty());
    ShowRecordingPrompt();
    EXPECT_EQ(H().ScreenLine(24), Prompt + std::string(80 - Prompt.size(), ' '));
    ExpectLineAttr(24, 80, 0x30);
}

TEST_F(StatusLineTest, PrefixIsCutToTheScreenWidth) {
    const std::string Exact(80, 'p');
    const std::string Long = std::string(80, 'q') + "tail";
    struct Case {
        std::string Prefix, Line;
    };
    for (const Case& C :
         {Case{"", std::string(80, ' ')}, Case{Exact, Exact}, Case{Long, Long.substr(0, 80)}}) {
        SCOPED_TRACE(C.Prefix.size());
        Restart();
        OpenOn("\n");
        H().OverrideMsg(tarvik::MRecordingPrompt, C.Prefix);
        ShowRecordingPrompt();
        EXPECT_EQ(H().ScreenLine(24), C.Line);
    }
}

TEST_F(StatusLineTest, ColourAndSizeComeFromTheScreenBuffer) {
    OpenOn("\n");
    SetCellAttr(0, 24, 0x4F);
    SetCellAttr(1, 24, 0x1E);
    ShowRecordingPrompt();
    ExpectLineAttr(24, 80, 0x1E);

    Restart();
    OpenOn("\n");
    ASSERT_TRUE(SetConsoleScreenBufferSize(GetStdHandle(STD_OUTPUT_HANDLE), COORD{100, 30}));
    H().OverrideMsg(tarvik::MRecordingPrompt, "REC");
    ShowRecordingPrompt();
    EXPECT_EQ(H().ScreenLine(29), "REC" + std::string(97, ' '));
}

#ifndef _WIN32  // fault injection of the Linux stand-in
TEST_F(StatusLineTest, UnreadableColourIs0x30AndUnreadableSizeIs80By25) {
    OpenOn("\n");
    SetCellAttr(1, 24, 0x1E);
    compat::FailConsoleCall(compat::ConsoleCall::ReadAttribute, true);
    ShowRecordingPrompt();
    compat::FailConsoleCall(compat::ConsoleCall::ReadAttribute, false);
    ExpectLineAttr(24, 80, 0x30);

    Restart();
    OpenOn("\n");
    ASSERT_TRUE(SetConsoleScreenBufferSize(GetStdHandle(STD_OUTPUT_HANDLE), COORD{100, 30}));
    H().OverrideMsg(tarvik::MRecordingPrompt, "REC");
    compat::FailConsoleCall(compat::ConsoleCall::ScreenBufferInfo, true);
    ShowRecordingPrompt();
    compat::FailConsoleCall(compat::ConsoleCall::ScreenBufferInfo, false);
    EXPECT_EQ(H().ScreenLine(24).substr(0, 80), "REC" + std::string(77, ' '));
}
#endif

TEST_F(StatusLineTest, LongSearchTextKeepsItsEndVisible) {
    OpenOn("abcdefgh\n");
    H().OverrideMsg(tarvik::MSearchPrompt, std::string(75, '>'));
    H().FailService(host::Service::RestoreScreen);
    Keys("Ctrl+Shift+S a b c d e f");  // six characters, room for five
    H().ClearFaults();
    EXPECT_EQ(H().ScreenLine(24), std::string(75, '>') + "bcdef");
}

TEST_F(StatusLineTest, NotFoundBoxQuotesTheTextAndDropsTypedAheadKeys) {
    OpenOn("abc\nxyz\n");
    Keys("Ctrl+Shift+S a b c Enter");
    H().Messages.clear();
    H().WriteInput(host::ParseKeys("q w"));
    H().SetCursor(1, 0);
    EXPECT_EQ(H().Feed(host::KeyPress("^L")), 1);
    ASSERT_FALSE(H().Messages.empty());
    const host::MessageBox& Box = H().Messages.back();
    EXPECT_EQ(Box.Flags, static_cast<unsigned>(FMSG_WARNING));
    EXPECT_EQ(Box.ButtonsNumber, 1);
    EXPECT_EQ(Box.Items,
              (std::vector<std::string>{H().Msg(tarvik::MSearchTitle), H().Msg(tarvik::MNotFound),
                                        "\"abc\"", H().Msg(tarvik::MOk)}));
    EXPECT_EQ(H().PendingInput(), 0u);
    ExpectText("abc\nxyz\n");
}

TEST_F(StatusLineTest, SearchingBoxShowsTheTextWithoutButtons) {
    OpenOn("abc\nxyz abc\n");
    Keys("Ctrl+Shift+S a b c Enter");
    H().Messages.clear();
    EXPECT_EQ(H().Feed(host::KeyPress("^L")), 1);
    ASSERT_FALSE(H().Messages.empty());
    const host::MessageBox& Box = H().Messages.front();
    EXPECT_EQ(Box.Flags, 0u);
    EXPECT_EQ(Box.ButtonsNumber, 0);
    EXPECT_EQ(Box.Items, (std::vector<std::string>{H().Msg(tarvik::MSearchTitle),
                                                   H().Msg(tarvik::MSearching), "\"abc\""}));
}

}  // namespace
