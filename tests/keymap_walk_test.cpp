// Walks the whole key map through the stand-in host: every binding of the five
// tables is pressed once and must reach its own command or host path, every
// other key of each table must go to the host, and the rows walked here must be
// exactly the bindings listed in docs/keymap.md (which a ctest keeps in step
// with the tables).
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"

namespace {

class KeymapWalkTest : public PluginTest {
public:
    using PluginTest::Cursor;
    using PluginTest::ExpectMarked;
    using PluginTest::ExpectText;
    using PluginTest::H;
    using PluginTest::Keys;

    // One key press handled as the host's main loop does; the plug-in's answer.
    int Press(const std::string& Token) { return H().Feed(host::KeyPress(Token)); }

    // Presses the blank-separated tokens one by one; the answer to the last one.
    int PressAll(const std::string& Tokens) {
        std::istringstream In(Tokens);
        std::string Token;
        int Result = -1;
        while (In >> Token) Result = Press(Token);
        return Result;
    }

    std::vector<host::HostAction> Actions() { return H().HostActions; }
};

using Check = std::function<void(KeymapWalkTest&)>;

struct WalkRow {
    std::string Key;     // as docs/keymap.md writes it; empty for a pass-on example
    std::string Tokens;  // the keys pressed, for host::KeyPress
    std::string Start;   // the window, in fixture markup
    std::string Setup;   // keys typed (through the console input) before Tokens
    int Result;          // the plug-in's answer to the last token
    Check Reaches;       // what proves the command or host path was reached
    std::function<void(host::Host&)> Prepare = {};  // view changes before Setup
};

std::string Numbered(int Count, int CursorLine) {
    std::string T;
    for (int I = 0; I < Count; ++I) {
        T += "l" + std::to_string(I);
        if (I == CursorLine) T += "|";
        T += "\n";
    }
    return T;
}

Check Text(const std::string& Expected) {
    return [Expected](KeymapWalkTest& T) { T.ExpectText(Expected); };
}
Check Marked(const std::string& Expected) {
    return [Expected](KeymapWalkTest& T) { T.ExpectMarked(Expected); };
}
Check CursorAt(int Line, int Pos) {
    return [Line, Pos](KeymapWalkTest& T) { EXPECT_EQ(T.Cursor(), std::make_pair(Line, Pos)); };
}
Check HostDid(host::HostAction Action) {
    return [Action](KeymapWalkTest& T) {
        EXPECT_EQ(T.Actions(), std::vector<host::HostAction>{Action});
    };
}
Check TopLine(int Top) {
    return [Top](KeymapWalkTest& T) { EXPECT_EQ(T.H().Win().TopScreenLine, Top); };
}

const std::string kSel = "\xC2\xAB";  // «
const std::string kEnd = "\xC2\xBB";  // »

std::vector<WalkRow> Rows() {
    using host::HostAction;
    std::vector<WalkRow> R = {
        // ---- No prefix, neither Alt nor Ctrl
        {"Backspace", "BS", "  a\n    |b", "", 1, Marked("  a\n  |b")},
        {"Tab", "Tab", "ab cd\n|x", "", 1, Marked("ab cd\n   |x")},
        {"Enter", "Enter", "  ab|cd", "", 1, Marked("  ab\n  |cd")},
        {"F7", "F7", "abc", "", 0, HostDid(HostAction::Search)},
        {"Shift+F7", "Shift+F7", "abc", "", 0, HostDid(HostAction::RepeatSearch)},
        {"Shift+F7", "Shift+F7", "a a a", "Ctrl+Shift+S a Enter", 1, CursorAt(0, 2)},
        {"", "x", "|", "", 0, Text("x")},
        // ---- Alt
        {"", "Alt+B", "abc", "", 0, Text("abc")},
        {"", "^K Alt+B 5", "|", "", 0, Text("5")},
        // ---- No prefix, Ctrl down
        {"Ctrl+Del", "Ctrl+Del", "a" + kSel + "bc" + kEnd + "d|", "", 1, Text("ad")},
        {"Ctrl+K", "^K", "abc", "", 1,
         [](KeymapWalkTest& T) { EXPECT_EQ(T.Press("5"), 1) << "5 must be a bookmark"; }},
        {"Ctrl+L", "^L", "abc", "", 1, HostDid(HostAction::RepeatSearch)},
        {"Ctrl+L", "^L", "a a a", "Ctrl+Shift+S a Enter", 1, CursorAt(0, 2)},
        {"Ctrl+Shift+P", "Ctrl+Shift+P", "|", "Ctrl+Shift+R x Ctrl+Shift+R", 1,
         [](KeymapWalkTest& T) {
             T.H().Pump();
             T.ExpectText("xx");
         }},
        {"", "^P", "abc", "", 0, Text("abc")},
        {"Ctrl+Q", "^Q", "|abc", "", 1,
         [](KeymapWalkTest& T) {
             EXPECT_EQ(T.Press("D"), 1);
             EXPECT_EQ(T.Cursor(), std::make_pair(0, 3));
         }},
        {"Ctrl+Shift+R", "Ctrl+Shift+R", "|", "", 0,
         [](KeymapWalkTest& T) {
             T.Keys("y Ctrl+Shift+R Ctrl+Shift+P");
             T.ExpectText("yy");
         }},
        {"Ctrl+Shift+S", "Ctrl+Shift+S", "abc", "", 1,
         [](KeymapWalkTest& T) {
             // The search took over the repeat keys: Ctrl+L no longer goes to the host.
             EXPECT_EQ(T.Press("^L"), 1);
             EXPECT_TRUE(T.Actions().empty());
         }},
        {"", "^S", "abc", "", 0, Text("abc")},
        {"Ctrl+F7", "Ctrl+F7", "abc", "", 0, HostDid(HostAction::Replace)},
        {"", "^Z", "abc", "", 0, Text("abc")},
        // ---- After Ctrl+K
        {"Ctrl+K B", "^K B", "a|bcd", "", 1,
         [](KeymapWalkTest& T) {
             T.H().SetCursor(0, 3);
             T.PressAll("^K K");
             T.ExpectMarked("a" + kSel + "bc" + kEnd + "|d");
         }},
        {"Ctrl+K C", "^K C", "a" + kSel + "bc" + kEnd + "d|", "", 1, Text("abcdbc")},
        {"Ctrl+K E", "^K E", "AB|C", "", 1, Text("abc")},
        {"Ctrl+K F", "^K F", "ab|c", "", 1, Text("ABC")},
        {"Ctrl+K H", "^K H", kSel + "ab" + kEnd + "|c", "", 1, Marked("ab|c")},
        {"Ctrl+K I", "^K I", kSel + "ab" + kEnd + "\ncd", "", 1, Text(" ab\ncd")},
        {"Ctrl+K K", "^K K", "a|bcd", "^K B Right Right", 1,
         Marked("a" + kSel + "bc" + kEnd + "|d")},
        {"Ctrl+K L", "^K L", "ab|c\nd", "", 1, Marked(kSel + "ab|c\n" + kEnd + "d")},
        {"Ctrl+K N", "^K N", kSel + "ab" + kEnd + "c", "", 1, Text("ABc")},
        {"Ctrl+K O", "^K O", kSel + "AB" + kEnd + "C", "", 1, Text("abC")},
        {"Ctrl+K P", "^K P", kSel + "aB" + kEnd + "c", "", 1, Text("Abc")},
        {"Ctrl+K S", "^K S", "abc", "", 1,
         [](KeymapWalkTest& T) {
             T.H().Pump();
             EXPECT_EQ(T.H().Win().Saves, 1);
         }},
        {"Ctrl+K T", "^K T", "ab|c de", "", 1,
         [](KeymapWalkTest& T) {
             EXPECT_EQ(T.H().Win().Lines[0].SelStart, 0);
             EXPECT_EQ(T.H().Win().Lines[0].SelEnd, 3);
         }},
        {"Ctrl+K U", "^K U", kSel + " ab" + kEnd + "\n cd", "", 1, Text("ab\n cd")},
        {"Ctrl+K V", "^K V", kSel + "ab" + kEnd + "cd|", "", 1, Text("cdab")},
        {"Ctrl+K Y", "^K Y", "a" + kSel + "bc" + kEnd + "d", "", 1, Text("ad")},
        {"", "^K a", "|", "", 0, Text("a")},
        // ---- After Ctrl+Q
        {"Ctrl+Q A", "^Q A", "abc", "", 1, HostDid(HostAction::Replace)},
        {"Ctrl+Q B", "^Q B", "ab" + kSel + "cd" + kEnd + "ef|", "", 1, CursorAt(0, 2)},
        {"Ctrl+Q C", "^Q C", "|ab\ncde", "", 1, CursorAt(1, 3)},
        {"Ctrl+Q D", "^Q D", "|abc", "", 1, CursorAt(0, 3)},
        {"Ctrl+Q E", "^Q E", Numbered(40, 30), "", 1, CursorAt(20, 3),
         [](host::Host& H) { H.Win().TopScreenLine = 20; }},
        {"Ctrl+Q F", "^Q F", "abc", "", 1, HostDid(HostAction::Search)},
        {"Ctrl+Q K", "^Q K", "|ab" + kSel + "cd" + kEnd + "ef", "", 1, CursorAt(0, 4)},
        {"Ctrl+Q R", "^Q R", "ab\ncd|", "", 1, CursorAt(0, 0)},
        {"Ctrl+Q S", "^Q S", "abc|", "", 1, CursorAt(0, 0)},
        {"Ctrl+Q T", "^Q T", Numbered(40, 30), "", 1, TopLine(30)},
        {"Ctrl+Q U", "^Q U", Numbered(40, 30), "", 1, TopLine(30 - 23 + 1)},
        {"Ctrl+Q X", "^Q X", Numbered(40, 10), "", 1, CursorAt(27, 3),
         [](host::Host& H) { H.Win().TopScreenLine = 5; }},
        {"Ctrl+Q Y", "^Q Y", "ab|cd", "", 1, Text("ab")},
        {"Ctrl+Q [", "^Q [", "|(ab)", "", 1, CursorAt(0, 3)},
        {"Ctrl+Q ]", "^Q ]", "(ab|)", "", 1, CursorAt(0, 0)},
        {"", "^Q g", "|", "", 0, Text("g")},
    };
    for (char D = '0'; D <= '9'; ++D) {
        const std::string Digit(1, D);
        R.push_back(
            {"Ctrl+K " + Digit, "^K " + Digit, "ab\ncd|e", "", 1, [Digit](KeymapWalkTest& T) {
                 T.H().SetCursor(0, 0);
                 EXPECT_EQ(T.PressAll("^Q " + Digit), 1);
                 EXPECT_EQ(T.Cursor(), std::make_pair(1, 2));
             }});
        R.push_back({"Ctrl+Q " + Digit, "^Q " + Digit, "ab\ncd|e", "", 1, CursorAt(1, 2)});
    }
    return R;
}

TEST_F(KeymapWalkTest, EveryBindingReachesItsCommandOrHostPath) {
    for (const WalkRow& Row : Rows()) {
        SCOPED_TRACE("keys \"" + Row.Tokens + "\"" + (Row.Key.empty() ? "" : " (" + Row.Key + ")"));
        Restart();
        OpenMarked(Row.Start);
        if (Row.Prepare) Row.Prepare(H());
        if (!Row.Setup.empty()) Keys(Row.Setup);
        H().HostActions.clear();
        EXPECT_EQ(PressAll(Row.Tokens), Row.Result);
        Row.Reaches(*this);
        EXPECT_TRUE(H().Misuses.empty());
    }
}

// Virtual-key codes a table binds without Shift, from the key map's rows.
std::set<int> BoundCodes(char Table) {
    std::set<int> Codes;
    auto Add = [&Codes](const std::string& Keys) {
        for (char C : Keys) Codes.insert(static_cast<unsigned char>(C));
    };
    switch (Table) {
        case 'p':
            Codes = {VK_BACK, VK_TAB, VK_RETURN, VK_F7};
            break;
        case 'c':
            Codes = {VK_DELETE, 'K', 'L', 'Q', VK_F7};
            break;
        case 'k':
            Add("0123456789BCEFHIKLNOPSTUVY");
            break;
        case 'q':
            Add("0123456789ABCDEFKRSTUXY");
            Codes.insert(VK_OEM_4);
            Codes.insert(VK_OEM_6);
            break;
    }
    return Codes;
}

INPUT_RECORD KeyCode(int Vk, DWORD Modifiers) {
    INPUT_RECORD Rec = host::KeyPress("F1");
    Rec.Event.KeyEvent.wVirtualKeyCode = static_cast<WORD>(Vk);
    Rec.Event.KeyEvent.uChar.AsciiChar = 0;
    Rec.Event.KeyEvent.dwControlKeyState = Modifiers;
    return Rec;
}

TEST_F(KeymapWalkTest, EveryOtherKeyOfEachTableGoesToTheHost) {
    OpenOn("text\n");
    const std::vector<WORD> Close = H().CloseKeys;
    auto Closes = [&Close](int Vk) {
        for (WORD C : Close) {
            if (C == Vk) return true;
        }
        return false;
    };
    // The host's window manager takes these before the editor: the plug-in never sees them.
    auto Withheld = [](int Vk, DWORD Modifiers) {
        if (Modifiers == 0) return Vk == VK_F11 || Vk == VK_F12;
        return Modifiers == LEFT_CTRL_PRESSED && (Vk == VK_TAB || Vk == 'W');
    };
    struct Sweep {
        char Table;
        const char* Prefix;  // pressed before each code
        DWORD Modifiers;     // of the code itself
    };
    const Sweep Sweeps[] = {
        {'p', "", 0}, {'c', "", LEFT_CTRL_PRESSED}, {'k', "^K", 0}, {'q', "^Q", 0}};
    for (const Sweep& S : Sweeps) {
        const std::set<int> Bound = BoundCodes(S.Table);
        for (int Vk = 1; Vk < 255; ++Vk) {
            if (Bound.count(Vk) || Closes(Vk) || Withheld(Vk, S.Modifiers)) continue;
            if (*S.Prefix) {
                ASSERT_EQ(Press(S.Prefix), 1);
            }
            H().HostKeys.clear();
            EXPECT_EQ(H().Feed(KeyCode(Vk, S.Modifiers)), 0) << S.Table << " code " << Vk;
            ASSERT_FALSE(H().HostKeys.empty()) << S.Table << " code " << Vk;
            EXPECT_EQ(H().HostKeys.back().Event.KeyEvent.wVirtualKeyCode, Vk);
        }
        // No prefix is left behind: a digit is typed, not taken as a bookmark.
        EXPECT_EQ(Press("5"), 0) << S.Table;
    }
    // With Alt every key goes on, bound codes included, whatever the prefix.
    for (int Vk = 1; Vk < 255; ++Vk) {
        EXPECT_EQ(H().Feed(KeyCode(Vk, LEFT_ALT_PRESSED)), 0) << "Alt code " << Vk;
        EXPECT_EQ(H().Feed(KeyCode(Vk, RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED)), 0) << Vk;
    }
    EXPECT_EQ(H().SavedScreens(), 0);
}

// The key map's rows, read from docs/keymap.md next to the sources.
bool ReadKeymapKeys(std::set<std::string>& Keys) {
    std::string Path = __FILE__;
    const size_t At = Path.rfind("tests");
    if (At == std::string::npos) return false;
    Path = Path.substr(0, At) + "docs/keymap.md";
    std::ifstream In(Path);
    if (!In) return false;
    std::string Line;
    while (std::getline(In, Line)) {
        if (Line.rfind("| ", 0) != 0 || Line.rfind("| Key |", 0) == 0) continue;
        const size_t End = Line.find(" |", 2);
        if (End != std::string::npos) Keys.insert(Line.substr(2, End - 2));
    }
    return true;
}

TEST_F(KeymapWalkTest, WalkedRowsAreExactlyTheKeyMapsBindings) {
    std::set<std::string> Documented;
    if (!ReadKeymapKeys(Documented)) GTEST_SKIP() << "docs/keymap.md not reachable from here";
    std::set<std::string> Walked;
    for (const WalkRow& Row : Rows()) {
        if (!Row.Key.empty()) Walked.insert(Row.Key);
    }
    for (const std::string& Key : Documented)
        EXPECT_TRUE(Walked.count(Key)) << "not walked: " << Key;
    for (const std::string& Key : Walked)
        EXPECT_TRUE(Documented.count(Key)) << "not bound: " << Key;
    EXPECT_GE(Documented.size(), 60u);
}

}  // namespace
