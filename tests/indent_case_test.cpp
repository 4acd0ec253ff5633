// Indenting the block by one blank, and the letter case of the block or a word.
#include <string>

#include "command_scenarios.h"

using namespace std::string_literals;

namespace {

using scenarios::Scenario;

class IndentTest : public CommandTest {};
class CaseTest : public CommandTest {};

TEST_F(IndentTest, IndentPutsOneBlankAtEachLinesSelectionStart) {
    const Scenario List[] = {
        {"block inside lines", "x\nx\nx\nabcd«efgh\ni|jkl\nmn»op\nz", "^K I",
         "x\nx\nx\nabcd« efgh\n |ijkl\n mn»op\nz"},
        {"last line at column 0 is left", "|a\nb\nc\n«d\ne\nf\n»g", "^K I",
         "|a\nb\nc\n« d\n e\n f\n»g"},
        {"empty selected line", "«a\n\n»b|", "^K I", "« a\n \n»b|"},
        {"no block", "a|b", "^K I", "a|b"},
    };
    RunAll(List);
    // A block that starts beyond its first line's end: that line is filled with blanks
    // up to the start, the blank going in there as on any other line.
    OpenOn("ab\ncd\n");
    H().SelectStream(0, 5, -4, 2);
    Keys("^K I");
    ExpectText("ab    \n cd\n");
}

TEST_F(IndentTest, UnindentTakesAtMostOneBlank) {
    const Scenario List[] = {
        {"blanks, letters, empty", "«    a\n    b\nc\n\n»x|", "^K U", "«   a\n   b\nc\n\n»x|"},
        {"block inside a line", "|ab«  c»d", "^K U", "|ab« c»d"},
        {"three times", "«|  a¶»", "^K U ^K U ^K U", "«|a¶»"},
    };
    RunAll(List);
}

TEST_F(IndentTest, TabsInTheBlockBecomeBlanks) {
    const Scenario List[] = {
        {"indent", "«\ta\n»b|", "^K I", "«         a\n»b|"},
        {"unindent", "«\ta\n»b|", "^K U", "«       a\n»b|"},
        // The cursor keeps its column, the one of its character once the tab is blanks.
        {"indent, cursor behind a tab", "«ab\n»\tc|def", "^K I", "« ab\n»        c|def"},
        {"unindent, cursor behind a tab", "« ab\n»\tc|def", "^K U", "«ab\n»        c|def"},
        {"indent, cursor on the block's line", "«ab»\tc|def", "^K I", "« ab»      |cdef"},
    };
    RunAll(List);
}

TEST_F(CaseTest, BlockCaseChangesOnlyAsciiLettersOfTheSelection) {
    const Scenario List[] = {
        {"upper", "«abc_xyz 123 \xE0\xFF»|", "^K N", "«ABC_XYZ 123 \xE0\xFF»|",
         "«ABC_XYZ 123 \xC0\\u{0178}»|", "UTF-16 text has no code page: every letter is cased"},
        {"lower across lines", "a«bC\nDe»F|", "^K O", "a«bc\nde»F|"},
        {"toggle", "«Hello» World|", "^K P", "«hELLO» World|"},
        {"tab becomes blanks", "«\tAb»|", "^K O", "«        ab»|"},
        {"no block", "ab|c", "^K N", "ab|c"},
        {"NUL byte kept", "«ab\0cd»|"s, "^K N", "«AB\0CD»|"s},
    };
    RunAll(List);
}

TEST_F(CaseTest, WordCaseChangesTheRunUnderTheCursor) {
    const Scenario List[] = {
        {"upper", "foo_b|ar1+x", "^K F", "FOO_B|AR1+x"},
        {"lower", "x+FO|O y", "^K E", "x+fo|o y"},
        {"on a blank", "AB| CD", "^K E", "AB| CD"},
        {"at the line end", "ab|", "^K F", "ab|"},
        {"NUL ends the word and stays", "ab\0c|d"s, "^K F", "ab\0C|D"s},
        {"behind a tab", "\tfo|o", "^K F", "        FO|O"},
    };
    RunAll(List);
}

TEST_F(CaseTest, LineEndsAreKept) {
    OpenOn("ab\r\ncd\n");
    H().SelectStream(0, 0, 1, 2);
    H().SetCursor(1, 1);
    Keys("^K N ^K F");
    ExpectText("AB\r\nCD\n");
}

// A repeat count of 2 after the prefix: the handed-back copy toggles in a
// nested dispatch, the outer call toggles again.
// Each run toggles the block, which stays selected for the next: twice gives it back.
TEST_F(CaseTest, ToggleWithRepeatCountTwoLeavesTheBlockAsItWas) {
    OpenMarked("«Hello»|\n");
    Keys("^K P");
    ExpectMarked("«hELLO»|\n");
    H().ResetCounters();
    Keys("^K P*2");
    EXPECT_EQ(H().EctlCalls(ECTL_SETSTRING), 2) << "the line is written once per toggle";
    ExpectMarked("«hELLO»|\n");
    H().PersistentBlocks = true;  // the host's typing keeps the block
    Type("x");                    // the prefix is gone: x is typed
    ExpectMarked("«hELLO»x|\n");
}

}  // namespace
