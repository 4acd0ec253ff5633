// The edges of a block: the text's last line, which has no line break, a cursor
// beyond a line's end, and a block that starts beyond one. The last line's block
// text carries its break like any other line's; a move onto itself, a deletion of
// every line and a block past a line's end must still lose or add nothing.
#include <string>
#include <utility>

#include "command_scenarios.h"

namespace {

using scenarios::Scenario;

class LastLineBlockTest : public CommandTest {};

TEST_F(LastLineBlockTest, CopyMoveAndDeleteOfTheLastLine) {
    // Ctrl+K L on the last line, then the cursor to the text's start.
    const std::pair<const char*, const char*> Cases[] = {
        {"^K C", "«b\n»|a\nb"},
        {"^K V", "«b\n»|a\n"},
        {"^K Y", "|a\n"},
    };
    for (const auto& [Command, After] : Cases) {
        SCOPED_TRACE(Command);
        const int Id = OpenOn("a\nb");
        H().SetCursor(1, 0);
        Keys("^K L");
        H().SetCursor(0, 0);
        Keys(Command);
        ExpectMarked(After);
        H().CloseWindow(Id);
    }
}

TEST_F(LastLineBlockTest, MovingABlockOntoItselfChangesNoByte) {
    for (const char* Text : {"abc", "a\nb", "a\r\nb\r\nlast", "x\n\tab"}) {
        SCOPED_TRACE(Text);
        const int Id = OpenOn(Text);
        H().SetCursor(static_cast<int>(H().Win().Lines.size()) - 1, 0);
        Keys("^K L ^K V");
        ExpectText(std::string(Text) == "x\n\tab" ? "x\n        ab" : Text);
        H().CloseWindow(Id);
    }
    const Scenario List[] = {
        {"whole text, cursor at its start", "|«a\nb¶»", "^K V", "«a\nb|¶»"},
        {"cursor behind the block", "a«bc\nde»|f\n", "^K V", "a«bc\nde»|f\n"},
    };
    RunAll(List);
}

// Cursor beyond the end of the last line, the block through that end: a deletion
// puts the cursor where the block began; a move is one onto itself.
TEST_F(LastLineBlockTest, CursorBeyondTheLastLinesEnd) {
    const std::pair<const char*, const char*> Cases[] = {
        {"^K Y", "x\nab|"},
        {"^K V", "x\nab«cd|¶»"},
    };
    for (const auto& [Command, After] : Cases) {
        SCOPED_TRACE(Command);
        const int Id = OpenMarked("x\nab«cd¶»");
        H().SetCursor(1, 6);
        Keys(Command);
        ExpectMarked(After);
        H().CloseWindow(Id);
    }
}

// Begin mark beyond the end of "abc", end mark at 1:1: the block is the break after
// "abc" and the x. It goes whole, nothing selected survives, a move never doubles.
TEST_F(LastLineBlockTest, BlockStartingBeyondALinesEndGoesWhole) {
    for (const char* Key : {"Y", "V"}) {
        SCOPED_TRACE(Key);
        const int Id = OpenOn("abc\nxyz\nq");
        H().SetCursor(0, 6);
        Keys("^K B");
        H().SetCursor(1, 1);
        Keys("^K K");
        H().SetCursor(2, 1);
        Keys(std::string("^K ") + Key);
        if (std::string(Key) == "Y") ExpectMarked("abcyz\nq|");
        if (std::string(Key) == "V") ExpectMarked("abcyz\nq«\nx»|");
        H().CloseWindow(Id);
    }
}

}  // namespace
