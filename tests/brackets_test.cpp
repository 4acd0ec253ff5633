// Jumping between matching brackets and equal delimiters.
#include "command_scenarios.h"

namespace {

using scenarios::Scenario;

class BracketsTest : public CommandTest {};

TEST_F(BracketsTest, BracketsMatchTheirOwnKindAcrossLines) {
    const Scenario List[] = {
        {"forward", "f|(a(b)d)", "^Q [", "f(a(b)d|)"},
        {"backward", "f(a(b)d|)", "^Q ]", "f|(a(b)d)"},
        {"other kinds do not count", "|( [ ) ]", "^Q [", "( [ |) ]"},
        {"backward across lines, past an empty one", "{\n{\n}\n\n|}", "^Q ]", "|{\n{\n}\n\n}"},
        {"forward from a tab-expanded column", "\t|(x)", "^Q [", "        (x|)"},
        {"angle brackets", "|<a<b>>", "^Q [", "<a<b>|>"},
    };
    RunAll(List);
}

TEST_F(BracketsTest, OtherBytesMatchThemselves) {
    const Scenario List[] = {
        {"double quote on a later line", "say |\"hi\nthere\" now", "^Q [",
         "say \"hi\nthere|\" now"},
        {"blank", "a| b c", "^Q [", "a b| c"},
        {"backward quote", "'a' |'", "^Q ]", "'a|' '"},
    };
    RunAll(List);
}

TEST_F(BracketsTest, NothingToMatchLeavesTheCursor) {
    const Scenario List[] = {
        {"closing bracket forward", "f(a(b)d|)", "^Q [", "f(a(b)d|)"},
        {"opening bracket backward", "f|(a(b)d)", "^Q ]", "f|(a(b)d)"},
        {"letter", "|a)", "^Q [", "|a)"},
        {"digit", "|1)", "^Q [", "|1)"},
        {"underscore", "|_)", "^Q [", "|_)"},
        {"high byte", "|\xE9)", "^Q [", "|\xE9)"},
        {"line end", "(a)|", "^Q ]", "(a)|"},
        {"no partner: the lines scanned lose their tabs", "|(\n\tx\n\ty", "^Q [",
         "|(\n        x\n        y"},
        {"no partner backward on line 0", "ab|)", "^Q ]", "ab|)"},
    };
    RunAll(List);
}

}  // namespace
