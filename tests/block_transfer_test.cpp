// Copying, moving and deleting the block, and cutting a line at the cursor.
#include <cstdio>
#include <string>

#include "command_scenarios.h"

using namespace std::string_literals;

namespace {

using scenarios::Scenario;

class BlockCopyTest : public CommandTest {};
class BlockMoveTest : public CommandTest {};
class BlockDeleteTest : public CommandTest {};
class DeleteToLineEndTest : public CommandTest {};

TEST_F(BlockCopyTest, InsertsThePiecesAndSelectsThem) {
    const Scenario List[] = {
        {"pieces with separators", "0123456789\nab«cdef\nghij\nkl»mn\nxy|z\n", "^K C",
         "0123456789\nabcdef\nghij\nklmn\nxy«cdef\nghij\nkl»|z\n"},
        {"block ending at column 0", "«ab\ncd\n»ef\n|gh\n", "^K C", "ab\ncd\nef\n«ab\ncd\n»|gh\n"},
        {"one line to column 20", "«hello»\n01234567890123456789|xyz", "^K C",
         "hello\n01234567890123456789«hello»|xyz"},
        {"empty selection", "ab«»cd\nx|y", "^K C", "ab«»cd\nx|y"},
        {"tabs become blanks in the source", "«\tab»\n|x", "^K C", "        ab\n«        ab»|x"},
        // Reading the block expands the line after it, the cursor's line here.
        {"cursor behind a tab on the line after the block", "«ab»\n\tx|y", "^K C",
         "ab\n        x«ab»|y"},
    };
    RunAll(List);
}

// Copies and moves arrive byte for byte whatever the editor's modes, bytes the host
// would take as keys (backspace, line feed, carriage return), bytes a code table
// would convert and NULs included. Persistent blocks are off: typed text would replace the block.
TEST_F(BlockCopyTest, BlocksArriveByteForByteInEveryMode) {
    const std::string Bytes = "a\bb\nc\rd\xE1\0e"s;
    const char* const Modes[] = {"plain", "overtype", "code table"};
    for (const char* Mode : Modes) {
        for (const char* Command : {"^K C", "^K V"}) {
            SCOPED_TRACE(std::string(Mode) + ", " + Command);
            const int Id = OpenOn("first\nsecond\n");
            H().Win().Lines[0].Text = Bytes;
            if (std::string(Mode) == "overtype") H().Win().Overtype = 1;
            if (std::string(Mode) == "code table") H().Win().TableNum = 0;
            Keys("^K L");
            H().SetCursor(1, 3);
            Keys(Command);
            const std::string Moved = "sec" + Bytes + "\nond\n";
            ExpectText(std::string(Command) == "^K C" ? Bytes + "\n" + Moved : Moved);
            H().CloseWindow(Id);
        }
    }
}

TEST_F(BlockCopyTest, ColumnBlockIsIgnored) {
    OpenMarked("abc\nde|f\n");
    H().SelectColumn(0, 0, 2, 2);
    const std::string Before = H().Text();
    Keys("^K C ^K V ^K Y");
    EXPECT_EQ(H().Text(), Before);
}

// NUL bytes are text like any other: every byte of the block is copied and moved.
TEST_F(BlockCopyTest, BlockHoldingNulIsCopiedAndMovedWhole) {
    const Scenario List[] = {
        {"copy lines", "«ab\0cd\n\0\0z\n»|end"s, "^K C", "ab\0cd\n\0\0z\n«ab\0cd\n\0\0z\n»|end"s},
        {"copy within a line", "a«b\0c»d\ne|nd"s, "^K C", "ab\0cd\ne«b\0c»|nd"s},
        {"move", "«ab\0cd\n»x\n|end"s, "^K V", "x\n«ab\0cd\n»|end"s},
    };
    RunAll(List);
}

// A line feed ending a copied line stays a byte of the line, also where the copy lands
// on the text's last line, which has no line end for the host to take it as.
TEST_F(BlockCopyTest, LineFeedEndingALineCopiedToTheLastLineStaysText) {
    OpenOn("ab\nxy");
    H().Win().Lines[0].Text = "ab\n";
    H().SetCursor(0, 0);
    Keys("^K L");
    H().SetCursor(1, 2);
    Keys("^K C");
    ExpectText("ab\n\nxyab\n\n");
    EXPECT_EQ(H().Win().Lines[1].Text, "xyab\n");
    EXPECT_EQ(H().Win().Lines[1].Eol, "\n");
    EXPECT_EQ(Cursor(), std::make_pair(2, 0));
}

TEST_F(BlockCopyTest, ThousandLineBlockCostsOneCallPerPieceAndPerBreak) {
    std::string Text;
    for (int I = 0; I < 1000; ++I) Text += "line " + std::to_string(I) + "\n";
    OpenOn(Text + "end");
    H().SelectStream(0, 0, 0, 1001);  // 1000 whole lines, ending at column 0 of "end"
    H().SetCursor(1000, 3);
    H().ResetCounters();
    Keys("^K C");
    // Each piece is written whole, never typed: the host would read its bytes as keys.
    EXPECT_EQ(H().EctlCalls(ECTL_INSERTTEXT), 0);
    EXPECT_EQ(H().EctlCalls(ECTL_SETSTRING), 1000);
    EXPECT_EQ(H().EctlCalls(ECTL_INSERTSTRING), 1000);
    EXPECT_EQ(H().Win().Lines.size(), 2001u);
    EXPECT_EQ(H().Win().Lines[1999].Text, "line 999");
    EXPECT_EQ(H().Win().Lines[2000].Text, "");
    std::printf("Ctrl+K C of a 1000-line block: %d host calls (expand %d, read %d, info %d)\n",
                H().TotalCalls(), H().EctlCalls(ECTL_EXPANDTABS), H().EctlCalls(ECTL_GETSTRING),
                H().EctlCalls(ECTL_GETINFO));
}

TEST_F(BlockMoveTest, TextGoesWhereTheCursorsTextStandsAfterTheDeletion) {
    const Scenario List[] = {
        {"later line", "xx«AB»xx\nyyyy\nzz|zz", "^K V", "xxxx\nyyyy\nzz«AB»|zz"},
        {"cursor inside goes back in place", "a«bc\nd|e»f\n", "^K V", "a«bc\nde»|f\n"},
        {"behind the block on its last line", "a«bc\nde»f|g\n", "^K V", "af«bc\nde»|g\n"},
        {"whole line further down", "«ab\n»cd\nef|gh\n", "^K V", "cd\nef«ab\n»|gh\n"},
        {"last line through its end", "|x\n«ab¶»", "^K V", "«ab\n»|x\n"},
        {"no block", "ab|c", "^K V", "ab|c"},
    };
    RunAll(List);
}

TEST_F(BlockMoveTest, FailingMemoryEndsBeforeAnythingIsDeleted) {
#ifdef _WIN32
    GTEST_SKIP() << "heap faults are injected by the native stand-in only";
#else
    std::string Text;
    for (int I = 0; I < 100; ++I) Text += "a line of thirty bytes or so.\n";
    for (long Nth : {1L, 2L}) {  // the first buffer, then its enlargement
        SCOPED_TRACE(Nth);
        const int Id = OpenOn(Text + "tail");
        H().SelectStream(0, 0, 0, 101);
        H().SetCursor(100, 2);
        const long Live = compat::LiveHeapBlocks();
        Keys("^K");
        compat::FailHeapAllocation(Nth);
        Keys("V");
        compat::FailHeapAllocation(0);
        EXPECT_EQ(H().Text(), Text + "tail");
        EXPECT_EQ(compat::LiveHeapBlocks(), Live);
        H().CloseWindow(Id);
    }
#endif
}

TEST_F(BlockDeleteTest, CursorStaysOnItsText) {
    const Scenario List[] = {
        {"after the block on its last line",
         "0123456789\nabc«defghij\nABCDEFGHIJ\nklmno»pqr|st\nuvwxyz", "^K Y",
         "0123456789\nabcpqr|st\nuvwxyz"},
        {"inside the block", "0123456789\nabc«defghij\nABCD|EFGHIJ\nklmno»pqrst\nuvwxyz", "^K Y",
         "0123456789\nabc|pqrst\nuvwxyz"},
        {"later line", "0123456789\nabc«defghij\nABCDEFGHIJ\nklmno»pqrst\nuv|wxyz", "^K Y",
         "0123456789\nabcpqrst\nuv|wxyz"},
        {"before the block", "0123456789\na|bc«defghij\nABCDEFGHIJ\nklmno»pqrst\nuvwxyz", "^K Y",
         "0123456789\na|bcpqrst\nuvwxyz"},
        {"Ctrl+Del", "a«b»c|", "Ctrl+Del", "ac|"},
        {"whole line", "aa\n«bb\n»c|c", "^K Y", "aa\nc|c"},
        {"through one line break", "ab«c\nde»f|", "^K Y", "abf|"},
        // Tabs the command expands move the text under the cursor; the cursor goes with it.
        {"behind a tab on the block's line", "«ab»\tc|def", "^K Y", "      c|def"},
        {"Ctrl+Del behind a tab", "«ab»\tc|def", "Ctrl+Del", "      c|def"},
        {"behind a tab on the line after", "«ab\n»\tc|def", "^K Y", "        c|def"},
    };
    RunAll(List);
}

// Nothing stays selected that holds nothing; deleting every line leaves one empty line.
TEST_F(BlockDeleteTest, OnlyLineOfTheTextEnds) {
    const Scenario List[] = {
        {"one line", "«abc¶»", "^K Y", "|"},
        {"every line", "«ab\ncd\nef¶»", "^K Y", "|"},
    };
    RunAll(List);
}

TEST_F(BlockDeleteTest, SelectionPastTheLineEndDeletesOnlyWhatExists) {
    OpenMarked("abcdef\nxyz\n");
    H().Win().Lines[0].SelStart = 2;
    H().Win().Lines[0].SelEnd = 40;  // past the end of a 6-byte line
    H().Win().BlockStartLine = 0;
    H().SetCursor(1, 1);
    Keys("^K Y");
    ExpectText("ab\nxyz\n");
    EXPECT_EQ(Cursor(), std::make_pair(1, 1));
}

TEST_F(DeleteToLineEndTest, KeepsEveryByteBeforeTheCursor) {
    const Scenario List[] = {
        {"plain", "abc|def\nxyz", "^Q Y", "abc|\nxyz"},
        {"NUL before the cursor", "a\0b|cd"s, "^Q Y", "a\0b|"s},
        {"tab before the cursor", "\tab|cd", "^Q Y", "        ab|"},
        {"at the line end", "abc|", "^Q Y", "abc|"},
    };
    RunAll(List);
}

TEST_F(DeleteToLineEndTest, KeepsTheLineEndAndLinesAfter) {
    OpenOn("abcdef\r\nnext\r\n");
    H().SetCursor(0, 2);
    Keys("^Q Y");
    ExpectText("ab\r\nnext\r\n");
    H().SetCursor(1, 9);  // past the end: the line is written back as it was
    Keys("^Q Y");
    ExpectText("ab\r\nnext\r\n");
    EXPECT_EQ(Cursor(), std::make_pair(1, 9));
}

}  // namespace
