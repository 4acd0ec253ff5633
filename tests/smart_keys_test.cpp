// Tab, Backspace and Enter that follow the indentation of the lines above.
#include <string>

#include "command_scenarios.h"

namespace {

using scenarios::Scenario;

class SmartKeysTest : public CommandTest {
protected:
    // Restarts the plug-in with one setting written first.
    void StartWith(const char* Name, DWORD Value) {
        Restart([&](host::Host& Host) { Host.RegWriteDword(Host.SettingsKey(), Name, Value); });
    }
};

TEST_F(SmartKeysTest, BackspaceStepsBackThroughTheIndentationLadder) {
    OpenMarked("if x then\n  begin\n    foo;\n        |bar");
    Keys("BS");
    ExpectMarked("if x then\n  begin\n    foo;\n    |bar");
    Keys("BS");
    ExpectMarked("if x then\n  begin\n    foo;\n  |bar");
    Keys("BS");
    ExpectMarked("if x then\n  begin\n    foo;\n|bar");
}

TEST_F(SmartKeysTest, BackspaceActsOnlyAtTheEndOfTheIndentation) {
    const Scenario List[] = {
        {"column 1 goes to the host", "  a\n |x", "BS", "  a\n|x"},
        {"inside the text goes to the host", "a\n    ab|c", "BS", "a\n    a|c"},
        {"line 0 loses all its blanks", "      |x", "BS", "|x"},
        {"Shift+Backspace too", "a\n    |x", "Shift+BS", "a\n|x"},
        {"tab before the text", "\t|x", "BS", "|x"},
        // The cursor's line is expanded even when the host's Backspace then runs.
        {"declined key still expands the line", "a\n\tb|c", "BS", "a\n        |c"},
        {"all-blank line, cursor inside", "  a\n   |   ", "BS", "  a\n  |   "},
    };
    RunAll(List);
}

TEST_F(SmartKeysTest, BackspacePastTheEndOfAnEmptyLinePadsToTheTarget) {
    OpenOn("        foo\n");
    H().SetCursor(1, 12);
    Keys("BS");
    ExpectMarked("        foo\n        |");
}

TEST_F(SmartKeysTest, TabGoesToTheNextWordStartOfTheLineAbove) {
    OpenMarked("foo bar  baz\n|");
    Keys("Tab");
    ExpectMarked("foo bar  baz\n    |");
    Keys("Shift+Tab");
    ExpectMarked("foo bar  baz\n         |");
    Keys("Tab");
    ExpectMarked("foo bar  baz\n            |");
    Keys("Tab");  // no line above reaches past the cursor: the host's own Tab
    ExpectMarked("foo bar  baz\n            \t|");
}

TEST_F(SmartKeysTest, TabLeavesTheCursorsLineAsItIs) {
    const Scenario List[] = {
        {"tab on the cursor's line stays", "abcdefghijkl\n\t|x", "Tab",
         "abcdefghijkl\n\t           |x"},
        {"lines above lose their tabs", "\tab cd\n\n|", "Tab", "        ab cd\n\n        |"},
    };
    RunAll(List);
}

TEST_F(SmartKeysTest, TabSearchReachFollowsTheSetting) {
    const char* const Text = "long line here\n\n|";
    StartWith("MaxTabSearchLines", 0);  // only the line directly above, empty here
    OpenMarked(Text);
    Keys("Tab");
    ExpectMarked("long line here\n\n\t|");

    StartWith("MaxTabSearchLines", 1);
    OpenMarked(Text);
    Keys("Tab");
    ExpectMarked("long line here\n\n     |");

    StartWith("MaxTabSearchLines", static_cast<DWORD>(-1));  // no line at all
    OpenMarked("long line here\n|");
    Keys("Tab");
    ExpectMarked("long line here\n\t|");
}

TEST_F(SmartKeysTest, ExtremeSearchSettingsNeitherOverflowNorReachTooFar) {
    for (DWORD Value : {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(Value);
        Restart([&](host::Host& Host) {
            Host.RegWriteDword(Host.SettingsKey(), "MaxTabSearchLines", Value);
            Host.RegWriteDword(Host.SettingsKey(), "MaxBackspaceSearchLines", Value);
        });
        OpenMarked("ab cd\n  x\n    |y");
        Keys("BS Tab");
        if (Value == 0x7FFFFFFFu)
            ExpectMarked("ab cd\n  x\n   |y");  // back to 2, then to the end of "  x"
        else
            ExpectMarked("ab cd\n  x\n\t|y");  // no line searched: column 0, host's Tab
    }
}

TEST_F(SmartKeysTest, EnterIndentsTheNewLineLikeTheCurrentOne) {
    const Scenario List[] = {
        {"inside the indentation", "      foo\n  |      x\n", "Enter",
         "      foo\n  \n  |      x\n"},
        {"at the end", "    x|\n", "Enter", "    x\n    |\n"},
        {"empty line", "|\n", "Enter", "\n|\n"},
        {"Shift+Enter", "  a|b\n", "Shift+Enter", "  a\n  |b\n"},
        {"tabs become blanks", "\tab|c\n", "Enter", "        ab\n        |c\n"},
    };
    RunAll(List);
}

}  // namespace

// In overtype mode the blanks still go in, never over the text: Tab only moves the
// cursor, as the host's own Tab does there, and Enter's indentation comes in front
// of the moved text. A block over the line stays selected.
TEST_F(SmartKeysTest, OvertypeModeOverwritesNothing) {
    const Scenario List[] = {
        {"Tab moves only", "foo bar\nx|yzw", "Tab", "foo bar\nxyzw|"},
        {"Enter indents", "    ab|cd", "Enter", "    ab\n    |cd"},
        {"Enter in a block", "«    ab|cd»", "Enter", "«    ab\n    |cd»"},
    };
    for (const Scenario& S : List) {
        SCOPED_TRACE(S.Name);
        const int Id = OpenMarked(S.Before);
        H().Win().Overtype = 1;
        Keys(S.Keys);
        ExpectMarked(S.After);
        H().CloseWindow(Id);
    }
}
