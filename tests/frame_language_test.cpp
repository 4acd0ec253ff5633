// The language files that ship with the plug-in: one string per message number,
// the Russian one in code page 866.
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

// The quoted strings of a language file, in order.
std::vector<std::string> Messages(const std::vector<std::string>& Lines) {
    std::vector<std::string> out;
    for (const std::string& line : Lines)
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
            out.push_back(line.substr(1, line.size() - 2));
    return out;
}

TEST(LanguageTest, BothFilesHoldOneStringPerMessage) {
    // ".Language=Russian,Russian (Русский)" in code page 866.
    const std::string russianHeader = ".Language=Russian,Russian (\x90\xe3\xe1\xe1\xaa\xa8\xa9)";
    std::vector<std::string> eng = FileLines("TarvikEng.lng");
    std::vector<std::string> rus = FileLines("TarvikRus.lng");
    ASSERT_FALSE(eng.empty());
    ASSERT_FALSE(rus.empty());
    EXPECT_EQ(eng[0], ".Language=English,English");
    EXPECT_EQ(rus[0], russianHeader);
    EXPECT_EQ(Messages(eng).size(), static_cast<size_t>(tarvik::MessageCount));
    EXPECT_EQ(Messages(rus).size(), static_cast<size_t>(tarvik::MessageCount));
    for (const std::string& text : Messages(eng)) EXPECT_FALSE(text.empty());
    for (const std::string& text : Messages(rus)) EXPECT_FALSE(text.empty());
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
