// Tarvik3 in the generation-3 host on text of several scripts: Cyrillic, Greek, CJK and
// a character outside the basic plane (two UTF-16 units). Every command leaves each
// unit where it belongs, never splits a pair, and treats letters of any script alike.
// The markup is UTF-8 in the source and counts UTF-16 units once parsed.
#include <filesystem>

#include "fixture.h"

namespace {

using host3::FromUtf8;
using host3::ToUtf8;

struct UnicodeScenario {
    const char* Name;
    const char* Before;  // markup, UTF-8
    const char* Keys;    // host::ParseKeys tokens; a token of other characters is typed
    const char* After;   // markup, UTF-8
};

class UnicodeTextTest : public ::testing::Test {
protected:
    std::unique_ptr<host3::Host> H;

    void SetUp() override {
        const std::string Path = host3::Host::DefaultPluginPath();
        if (!std::filesystem::exists(Path)) GTEST_SKIP() << Path << " not built";
        fixture::ResetStandIn();
        H = std::make_unique<host3::Host>();
        H->DiscardInput();
        ASSERT_TRUE(H->LoadPlugin(Path)) << H->LoadError;
        H->StartPlugin();
    }

    // Blank-separated keys; a token holding a character beyond ASCII is typed unit by
    // unit (a pair as its two records, as the console gives it). All of them wait in
    // the console input before the host reads the first, as keys typed ahead.
    void Press(const std::string& Keys) {
        std::vector<INPUT_RECORD> Events;
        size_t B = 0;
        while (B < Keys.size()) {
            size_t E = Keys.find(' ', B);
            if (E == std::string::npos) E = Keys.size();
            const std::string Token = Keys.substr(B, E - B);
            B = E + 1;
            if (std::all_of(Token.begin(), Token.end(), [](char C) { return (C & 0x80) == 0; })) {
                for (const INPUT_RECORD& R : host::ParseKeys(Token)) Events.push_back(R);
                continue;
            }
            for (char16_t U : FromUtf8(Token)) {
                INPUT_RECORD R = host::UnitPress(U);
                Events.push_back(R);
                R.Event.KeyEvent.bKeyDown = FALSE;
                Events.push_back(R);
            }
        }
        H->WriteInput(Events);
        H->Pump();
    }

    void Run(const UnicodeScenario& S) {
        SCOPED_TRACE(S.Name);
        const auto M = fixture::ParseMarked(FromUtf8(S.Before));
        const int Id = fixture::OpenMarked3(*H, M.Text, M);
        Press(S.Keys);
        const std::u16string Actual = fixture::Marked<std::u16string>(*H);
        const std::u16string Expected = FromUtf8(S.After);
        // Compared unit for unit; shown as UTF-8.
        EXPECT_TRUE(Actual == Expected)
            << "marked text differs\n  actual:   " << ToUtf8(Actual) << "\n  expected: " << S.After;
        fixture::ExpectSoundHost3(*H);
        H->CloseWindow(Id);
    }
};

// 😀 is U+1F600, the pair D83D DE00; 𝐀 (U+1D400, a letter) is D835 DC00.
TEST_F(UnicodeTextTest, EveryCommandKeepsEveryUnit) {
    const UnicodeScenario List[] = {
        {"copy a block across scripts", "«Жук αβγ 漢字 😀»\nx|y", "^K C",
         "Жук αβγ 漢字 😀\nx«Жук αβγ 漢字 😀»|y"},
        {"move a block of lines", "«Ёж 😀\nλ 中»\n|end", "^K V", "\n«Ёж 😀\nλ 中»|end"},
        {"smart Enter keeps the indentation before a pair", "  Жук 漢|😀 end", "Enter",
         "  Жук 漢\n  |😀 end"},
        {"block to upper case", "«жук αβγ 漢字 😀 𝐀 ß»|", "^K N", "«ЖУК ΑΒΓ 漢字 😀 𝐀 ß»|"},
        {"block case toggled", "«ЖуК Αβ 😀x»|", "^K P", "«жУк αΒ 😀X»|"},
        {"word to upper case: a CJK letter is part of the word, a pair ends it", "a жу|к漢😀b",
         "^K F", "a ЖУ|К漢😀b"},
        {"the word at the cursor is marked up to the pair", "😀слово|λ2😀", "^K T", "😀«слово|λ2»😀"},
        {"incremental search: a small letter finds the capital", "|x Жук αΒγ",
         "Ctrl+Shift+S жук Space αβ Esc", "x Жук αΒ|γ"},
        {"incremental search: a capital finds only itself", "|жук Жук", "Ctrl+Shift+S Ж Enter",
         "жук Ж|ук"},
        {"incremental search for a CJK character and a pair", "|漢 字 😀 字😀",
         "Ctrl+Shift+S 字😀 Enter", "漢 字 😀 字😀|"},
        {"a recording of Greek, CJK and a pair, replayed", "|\n\n",
         "Ctrl+Shift+R Ω漢😀 Down Home Ctrl+Shift+R Ctrl+Shift+P", "Ω漢😀\nΩ漢😀\n|"},
        {"incremental search: Backspace takes back a pair whole", "|漢 字 😀 字😀",
         "Ctrl+Shift+S 字😀 BS Enter", "漢 字| 😀 字😀"},
        {"a block of pairs deleted within its line", "a«b😀c😀»d|", "^K Y", "ad|"},
    };
    for (const UnicodeScenario& S : List) Run(S);
}

}  // namespace
