// Making the block: the two marks, a line, a word, hiding.
#include "command_scenarios.h"

namespace {

using scenarios::Scenario;

class BlockMarkingTest : public CommandTest {};

TEST_F(BlockMarkingTest, MarksSelectOnlyWhenBeginPrecedesEnd) {
    const Scenario List[] = {
        {"begin then end", "ab|cdef\nghij", "^K B Down ^K K", "ab«cdef\ngh»|ij"},
        {"prefix letter with Ctrl or Shift", "ab|cdef\nghij", "^K ^B Down ^K Shift+K",
         "ab«cdef\ngh»|ij"},
        {"end before begin keeps the host's selection", "«ab»c|def", "^K B ^Q S ^K K", "«|ab»cdef"},
        {"begin at end selects nothing", "ab|cd", "^K K ^K B", "ab|cd"},
        {"hide keeps the marks", "ab|cdef\nghij", "^K B Down ^K K ^K H Up ^K B", "ab«|cdef\ngh»ij"},
        {"hide alone", "a«bc»|d", "^K H", "abc|d"},
    };
    RunAll(List);
}

TEST_F(BlockMarkingTest, MarkLineTakesTheLineBreak) {
    const Scenario List[] = {
        {"middle line", "aa\nb|b\ncc", "^K L", "aa\n«b|b\n»cc"},
        {"last line", "aa\nb|b", "^K L", "aa\n«b|b¶»"},
    };
    RunAll(List);
}

TEST_F(BlockMarkingTest, MarkWordSelectsTheRunOfWordCharacters) {
    const Scenario List[] = {
        {"inside", "x foo_b|ar1+y", "^K T", "x «foo_b|ar1»+y"},
        {"at column 0", "|abc def", "^K T", "«|abc» def"},
        {"to the line end", "abc d|ef", "^K T", "abc «d|ef»"},
        {"high bytes are letters, '-' and '.' end", "a-\xE9t|\xE9.b", "^K T", "a-«\xE9t|\xE9».b"},
        {"on a blank", "ab| cd", "^K T", "ab| cd"},
        {"at the line end", "abc|", "^K T", "abc|"},
        // The cursor stands after a tab: the word is the one under the cursor on screen.
        {"after a tab", "\tfo|o bar", "^K T", "        «fo|o» bar"},
    };
    RunAll(List);
}

}  // namespace
