// Cursor movement to the ends of the line, the window, the block and the file,
// and scrolling the window around the cursor's line.
#include <string>

#include "command_scenarios.h"

namespace {

using scenarios::Scenario;

class NavigationTest : public CommandTest {
protected:
    // Opens Count lines "l0", "l1", ... with the cursor at (Line, Pos) and the
    // window's top at Top.
    void OpenLines(int Count, int Line, int Pos, int Top) {
        std::string Text;
        for (int I = 0; I < Count; ++I) Text += (I ? "\nl" : "l") + std::to_string(I);
        OpenOn(Text);
        H().SetCursor(Line, Pos);
        H().Win().TopScreenLine = Top;
    }
    int Top() { return H().Win().TopScreenLine; }
};

TEST_F(NavigationTest, BlockEndsFollowTheHostsSelection) {
    const Scenario List[] = {
        {"end, then begin; the block's lines lose their tabs", "a\n0123«456789\n\tmid\nab»\tc|",
         "^Q K", "a\n0123«456789\n        mid\nab»|      c"},
        {"begin", "a\n0123«456789\n\tmid\nab»\tc|", "^Q K ^Q B",
         "a\n0123«|456789\n        mid\nab»      c"},
        {"no block", "ab|c", "^Q B ^Q K", "ab|c"},
        {"block ending with a line break", "a\n«b¶»\nc|", "^Q K", "a\n«b¶»\n|c"},
        {"block through the last line's end", "a\n«b|¶»", "^Q K", "a\n«b|¶»"},
        {"block ending at column 0", "a\n«b\n»c|", "^Q K", "a\n«b\n»|c"},
    };
    RunAll(List);
}

TEST_F(NavigationTest, ColumnBlockIsNoBlock) {
    OpenMarked("abc\nde|f\n");
    H().SelectColumn(0, 1, 1, 2);
    Keys("^Q B");
    EXPECT_EQ(Cursor(), std::make_pair(1, 2));
    Keys("^Q K");
    EXPECT_EQ(Cursor(), std::make_pair(1, 2));
}

TEST_F(NavigationTest, LineAndFileEnds) {
    const Scenario List[] = {
        {"file end, last line empty", "a|b\ncd\n", "^Q C", "ab\ncd\n|"},
        {"file end", "a|b\ncd", "^Q C", "ab\ncd|"},
        {"line end after tabs", "\ta|b\nx", "^Q D", "        ab|\nx"},
        {"file start", "ab\nc|d", "^Q R", "|ab\ncd"},
        {"line start", "ab\nc|d", "^Q S", "ab\n|cd"},
    };
    RunAll(List);
}

TEST_F(NavigationTest, WindowTopAndBottomKeepTheScreenColumn) {
    OpenLines(60, 15, 1, 10);
    Keys("^Q E");
    EXPECT_EQ(Cursor(), std::make_pair(10, 1));
    Keys("^Q X");
    EXPECT_EQ(Cursor(), std::make_pair(32, 1));  // 23 text lines from line 10

    OpenLines(5, 1, 1, 0);  // shorter than the window
    Keys("^Q X");
    EXPECT_EQ(Cursor(), std::make_pair(4, 1));

    OpenMarked("\tx\n\ta|b\n");
    Keys("^Q E");
    ExpectMarked("        x|\n        ab\n");
}

TEST_F(NavigationTest, ScrollingMovesTheWindowNotTheCursor) {
    OpenLines(60, 30, 1, 20);
    Keys("^Q T");
    EXPECT_EQ(Top(), 30);
    EXPECT_EQ(Cursor(), std::make_pair(30, 1));

    OpenLines(60, 10, 0, 0);
    H().Win().WindowSizeY = 25;
    Keys("^Q U");
    EXPECT_EQ(Top(), 0);  // line 10 cannot be the bottom of a 25-line window
    H().SetCursor(40, 0);
    H().Win().TopScreenLine = 30;
    Keys("^Q U");
    EXPECT_EQ(Top(), 16);
    EXPECT_EQ(Cursor(), std::make_pair(40, 0));
}

}  // namespace
