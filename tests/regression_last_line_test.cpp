// The text's last line has no line end: a block that runs "through its end" there
// takes no line break along, so moving it keeps the text's lines, and copying it
// adds exactly the block's bytes.
#include <string>
#include <vector>

#include "fixture.h"

namespace {

class LastLineBlockTest : public PluginTest {};

TEST_F(LastLineBlockTest, MovingALineOntoItselfChangesNothing) {
    const char* const Texts[] = {"abc", "a\nb", "a\r\nb\r\nlast"};
    for (const char* Text : Texts) {
        Restart();
        OpenOn(Text);
        const int Last = static_cast<int>(H().Win().Lines.size()) - 1;
        H().SetCursor(Last, 0);
        Keys("^K L ^K V");
        ExpectText(Text);
    }
}

TEST_F(LastLineBlockTest, MovingTheLastLineUpKeepsTheLineCount) {
    OpenOn("a\nb");
    H().SetCursor(1, 0);
    Keys("^K L");
    H().SetCursor(0, 0);
    Keys("^K V");
    ExpectText("ba\n");
}

TEST_F(LastLineBlockTest, CopyingTheLastLineAddsOnlyItsBytes) {
    OpenOn("a\nb");
    H().SetCursor(1, 0);
    Keys("^K L");
    H().SetCursor(0, 0);
    Keys("^K C");
    ExpectText("ba\nb");
}

// The moved lines take the host's line ends; their text and number stay.
TEST_F(LastLineBlockTest, WholeTextMovesOntoItself) {
    OpenMarked("«a\nb¶»");
    H().SetCursor(0, 0);
    Keys("^K V");
    EXPECT_EQ(H().LineTexts(), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
