// The language files that ship with the plug-in: one string per message number,
// for the 1.70 host in its code pages (the Russian one in 866), for today's host in
// UTF-8 with a byte-order mark (in host3/, where the generation-3 module lies).
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fixture.h"

namespace {

std::string PluginFolder() {
    std::string path = host::Host::DefaultPluginPath();
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::vector<std::string> FileLines(const std::string& Name) {
    std::ifstream in(PluginFolder() + "/" + Name, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(all.substr(start, end - start));
    if (start < all.size()) lines.push_back(all.substr(start));
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    return lines;
}

// The quoted strings of a 1.70 language file, in order, as written.
std::vector<std::string> Messages(const std::vector<std::string>& Lines) {
    std::vector<std::string> out;
    for (const std::string& line : Lines)
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
            out.push_back(line.substr(1, line.size() - 2));
    return out;
}

// The character that a backslash and Letter stand for in today's host, or 0.
char Unescaped(char Letter) {
    const char pairs[] = "\\\\\"\"n\nr\rt\tb\b";
    for (size_t i = 0; i + 1 < sizeof pairs; i += 2)
        if (pairs[i] == Letter) return pairs[i + 1];
    return 0;
}

// The messages of a language file as today's host reads them: each line trimmed of
// blanks, a quoted line's text running to its last quote mark, backslash escapes
// and doubled quote marks turned into the characters they stand for.
std::vector<std::string> Host3Messages(const std::vector<std::string>& Lines) {
    std::vector<std::string> out;
    for (const std::string& line : Lines) {
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] != '"') continue;
        std::string text = line.substr(first + 1, line.find_last_not_of(" \t") - first);
        if (!text.empty() && text.back() == '"') text.pop_back();
        std::string message;
        for (size_t i = 0; i < text.size(); ++i) {
            const char next = i + 1 < text.size() ? text[i + 1] : '\0';
            if ((text[i] == '\\' && Unescaped(next)) || (text[i] == '"' && next == '"')) {
                message += text[i] == '"' ? '"' : Unescaped(next);
                ++i;
            } else {
                message += text[i];
            }
        }
        out.push_back(message);
    }
    return out;
}

TEST(LanguageTest, EveryFileHoldsOneStringPerMessage) {
    const std::string bom = "\xef\xbb\xbf";
    struct TFile {
        const char* Path;  // below the plug-in's folder
        std::string Header;
        bool Host3;
    };
    const TFile files[] = {
        {"TarvikEng.lng", ".Language=English,English", false},
        // ".Language=Russian,Russian (Русский)" in code page 866.
        {"TarvikRus.lng", ".Language=Russian,Russian (\x90\xe3\xe1\xe1\xaa\xa8\xa9)", false},
        {"host3/TarvikEng.lng", bom + ".Language=English,English", true},
        // The same in UTF-8.
        {"host3/TarvikRus.lng",
         bom +
             ".Language=Russian,Russian (\xd0\xa0\xd1\x83\xd1\x81\xd1\x81\xd0\xba\xd0\xb8\xd0\xb9)",
         true},
    };
    for (const TFile& file : files) {
        SCOPED_TRACE(file.Path);
        std::vector<std::string> lines = FileLines(file.Path);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], file.Header);
        std::vector<std::string> messages = file.Host3 ? Host3Messages(lines) : Messages(lines);
        EXPECT_EQ(messages.size(), static_cast<size_t>(tarvik::MessageCount));
        for (const std::string& text : messages) EXPECT_FALSE(text.empty());
    }
    // The English texts are ASCII: today's host must read the very same messages.
    EXPECT_EQ(Host3Messages(FileLines("host3/TarvikEng.lng")),
              Messages(FileLines("TarvikEng.lng")));
}

class RussianMenuTest : public PluginTest {};

TEST_F(RussianMenuTest, MenuShowsTheRussianTextsInCodePage866) {
    ASSERT_TRUE(H().SetLanguage("Rus"));
    OpenPlain("text\n");
    // "Выключить клавиши Tarvik" in code page 866.
    EXPECT_EQ(H().MenuItems(), std::vector<std::string>{"\x82\xeb\xaa\xab\xee\xe7\xa8\xe2\xec "
                                                        "\xaa\xab\xa0\xa2\xa8\xe8\xa8 Tarvik"});
    H().PickMenu();
    EXPECT_EQ(H().MenuItems(), std::vector<std::string>{H().Msg(tarvik::MTurnOn)});
}

}  // namespace
