// Registry settings read at start-up and the per-file memory of the menu choice.
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "fixture.h"

namespace {

const char* const kSettingNames[] = {"MaxDetectSearchLines", "MaxTabSearchLines",
                                     "MaxBackspaceSearchLines", "OnForTextWithTabs",
                                     "SaveFileType"};

std::vector<BYTE> Bytes(const void* Data, size_t Size) {
    const BYTE* p = static_cast<const BYTE*>(Data);
    return std::vector<BYTE>(p, p + Size);
}

std::vector<BYTE> Dword(DWORD Value) {
    return Bytes(&Value, sizeof Value);
}

// A text of Count plain lines with one escape byte on line Bad (none when -1).
std::string TextWithEscapeAt(int Count, int Bad) {
    std::string text;
    for (int i = 0; i < Count; ++i) text += i == Bad ? "x\x1b\n" : "x\n";
    return text;
}

class SettingsTest : public PluginTest {
protected:
    SettingsTest() { AutoStart = false; }

    // Starts the plug-in with these values written below its settings key first.
    void StartWith(const std::vector<std::pair<std::string, std::vector<BYTE>>>& Values,
                   DWORD Type = REG_DWORD) {
        Restart([&](host::Host& h) {
            for (const auto& [name, data] : Values)
                ASSERT_TRUE(h.RegWrite(h.SettingsKey(), name, Type, data));
        });
    }

    bool OnAfterOpening(const std::string& Text, const std::string& File = "t.txt") {
        H().OpenWindow(File, Text);
        return BindingsOn();
    }

    DWORD StoredDword(const std::string& Key, const std::string& Name) {
        DWORD type = 0;
        std::vector<BYTE> data;
        EXPECT_TRUE(H().RegRead(Key, Name, type, data)) << Name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << Name;
        DWORD value = 0;
        if (data.size() == sizeof value) memcpy(&value, data.data(), sizeof value);
        EXPECT_EQ(data.size(), sizeof value) << Name;
        return value;
    }
};

TEST_F(SettingsTest, FirstStartCreatesTheKeyWithBannerAndDefaults) {
    Restart();
    const DWORD defaults[] = {1024, 64, 128, 0, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(StoredDword(H().SettingsKey(), kSettingNames[i]), defaults[i]);
    DWORD type = 0;
    std::vector<BYTE> info;
    ASSERT_TRUE(H().RegRead(H().SettingsKey(), "Info", type, info));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ASSERT_GT(info.size(), 1u);
    EXPECT_EQ(info.back(), 0);
    EXPECT_EQ(strlen(reinterpret_cast<const char*>(info.data())) + 1, info.size());
    EXPECT_NE(std::string(reinterpret_cast<const char*>(info.data())).find("Tarvik"),
              std::string::npos);
    EXPECT_FALSE(H().RegKeyExists(H().FileTypesKey()));
}

// One byte of another type replaces the default's low byte: 5 over 1024 is 1029.
TEST_F(SettingsTest, ShortValueOfAnotherTypeIsUsedAndKept) {
    StartWith({{"MaxDetectSearchLines", {5}}}, REG_BINARY);
    EXPECT_FALSE(OnAfterOpening(TextWithEscapeAt(1100, 1028)));
    EXPECT_TRUE(OnAfterOpening(TextWithEscapeAt(1100, 1029)));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(H().RegRead(H().SettingsKey(), "MaxDetectSearchLines", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data, std::vector<BYTE>{5});
}

// Data that do not fit four bytes cannot be read: the default holds and is written back.
TEST_F(SettingsTest, OversizedValueKeepsTheDefaultAndIsRewritten) {
    unsigned long long wide = 7;
    StartWith({{"MaxDetectSearchLines", Bytes(&wide, sizeof wide)}}, REG_QWORD);
    EXPECT_EQ(StoredDword(H().SettingsKey(), "MaxDetectSearchLines"), 1024u);
    EXPECT_FALSE(OnAfterOpening(TextWithEscapeAt(1100, 1023)));
    EXPECT_TRUE(OnAfterOpening(TextWithEscapeAt(1100, 1024)));
}

TEST_F(SettingsTest, ZeroOrNegativeDetectionLimitSwitchesOn) {
    for (DWORD limit :
         {static_cast<DWORD>(0), static_cast<DWORD>(-1), static_cast<DWORD>(INT_MIN)}) {
        StartWith({{"MaxDetectSearchLines", Dword(limit)}});
        H().ResetCounters();
        EXPECT_TRUE(OnAfterOpening("\x1b\t\n")) << static_cast<int>(limit);
        EXPECT_EQ(H().EctlCalls(ECTL_GETSTRING), 0);
    }
}

TEST_F(SettingsTest, MissingRootKeyLeavesDefaultsAndWritesNothing) {
    Restart([](host::Host& h) { RegDeleteTreeA(HKEY_CURRENT_USER, h.RootKey().c_str()); });
    EXPECT_FALSE(H().RegKeyExists(H().SettingsKey()));
    EXPECT_FALSE(OnAfterOpening("a\tb\n"));  // OnForTextWithTabs still 0
    EXPECT_TRUE(OnAfterOpening(TextWithEscapeAt(1100, 1024)));
#ifndef _WIN32
    EXPECT_EQ(compat::OpenRegistryKeys(), 0);
#endif
}

// Extreme values in every setting: opening files and pressing the smart keys
// neither hangs nor trips the sanitizers.
TEST_F(SettingsTest, ExtremeValuesInEverySettingAreHarmless) {
    for (const char* name : kSettingNames) {
        for (DWORD value :
             {static_cast<DWORD>(INT_MIN), static_cast<DWORD>(INT_MAX), static_cast<DWORD>(-1)}) {
            StartWith({{name, Dword(value)}});
            OpenOn("    alpha beta\n\tgamma\n  delta\n\n", "x.txt");
            H().SetCursor(3, 0);
            Keys("Tab Tab BS BS Enter Tab BS");
            H().SetCursor(0, 4);
            Keys("BS Enter Tab");
            EXPECT_GE(H().Win().Lines.size(), 4u) << name << " " << static_cast<int>(value);
#ifndef _WIN32
            EXPECT_EQ(compat::OpenRegistryKeys(), 0);
#endif
        }
    }
}

class FileTypesTest : public SettingsTest {
protected:
    void StartRemembering(bool On) { StartWith({{"SaveFileType", Dword(On ? 1 : 0)}}); }
};

TEST_F(FileTypesTest, SwitchingIsNotRememberedWhileSaveFileTypeIsOff) {
    StartRemembering(false);
    int id = H().OpenWindow("a.txt", "plain\n");
    H().PickMenu();
    H().CloseWindow(id);
    EXPECT_FALSE(H().RegKeyExists(H().FileTypesKey()));
    EXPECT_TRUE(OnAfterOpening("plain\n", "a.txt"));
    EXPECT_FALSE(H().RegKeyExists(H().FileTypesKey()));
}

TEST_F(FileTypesTest, RememberedChoiceWinsWithoutExaminingTheText) {
    StartRemembering(true);
    int id = H().OpenWindow("C:\\src\\a.txt", "plain\n");
    H().PickMenu();
    EXPECT_EQ(StoredDword(H().FileTypesKey(), "C:\\src\\a.txt"), 2u);
    H().CloseWindow(id);
    H().ResetCounters();
    EXPECT_FALSE(OnAfterOpening("plain\n", "C:\\src\\a.txt"));
    EXPECT_EQ(H().EctlCalls(ECTL_GETSTRING), 0);
    H().PickMenu();
    EXPECT_EQ(StoredDword(H().FileTypesKey(), "C:\\src\\a.txt"), 1u);
    EXPECT_TRUE(OnAfterOpening("has\ta tab\n", "C:\\src\\a.txt"));
    EXPECT_TRUE(OnAfterOpening("plain\n", "never-switched.txt"));
    EXPECT_FALSE(OnAfterOpening("has\ta tab\n", "never-switched-either.txt"));
}

TEST_F(FileTypesTest, StoredValuesOutsideTheModesMeanNothingRemembered) {
    StartRemembering(true);
    const DWORD odd[] = {0, 3, static_cast<DWORD>(-1), static_cast<DWORD>(INT_MIN),
                         static_cast<DWORD>(INT_MAX)};
    for (DWORD value : odd) {
        std::string file = "odd" + std::to_string(value) + ".txt";
        ASSERT_TRUE(H().RegWrite(H().FileTypesKey(), file, REG_DWORD, Dword(value)));
        EXPECT_TRUE(OnAfterOpening("plain\n", file)) << value;
    }
    ASSERT_TRUE(
        H().RegWrite(H().FileTypesKey(), "long.txt", REG_BINARY, {2, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(OnAfterOpening("plain\n", "long.txt"));
    ASSERT_TRUE(H().RegWrite(H().FileTypesKey(), "short.txt", REG_SZ, {'2'}));
    EXPECT_TRUE(OnAfterOpening("plain\n", "short.txt"));  // '2' is 50: outside 0..2
    ASSERT_TRUE(H().RegWrite(H().FileTypesKey(), "byte.txt", REG_BINARY, {2}));
    EXPECT_FALSE(OnAfterOpening("plain\n", "byte.txt"));
}

}  // namespace
