// Whether a new window starts with the bindings on, judged from its first lines.
#include <string>
#include <vector>

#include "fixture.h"

namespace {

class DetectionTest : public PluginTest {
protected:
    // Opens Text in a new window; true when its bindings start on.
    bool StartsOn(const std::string& Text) {
        H().OpenWindow("d" + std::to_string(++Opened) + ".txt", Text);
        return BindingsOn();
    }
    // The same for a window whose first line holds Line as it is: a carriage return
    // in it, which a file cannot give (the host reads a lone one as a line end), comes
    // from a line set by another plug-in.
    bool StartsOnLine(const std::string& Line) {
        H().OpenWindow("d" + std::to_string(++Opened) + ".txt", "", false);
        H().Win().Lines[0].Text = Line;
        H().EditorEvent(EE_READ, nullptr);
        return BindingsOn();
    }
    int Opened = 0;
};

std::string Lines(int Count, const std::string& Line = "plain") {
    std::string text;
    for (int i = 0; i < Count; ++i) text += Line + "\n";
    return text;
}

TEST_F(DetectionTest, ByteClasses) {
    struct Case {
        std::string Text;
        bool On;
    };
    const Case cases[] = {
        {"", true},
        {"hello world\r\nsecond line\r\n", true},
        {std::string("form\x0c feed and eof\x1a"), true},
        {"high bytes \x7f\x80\xa0\xff\n", true},
        {std::string("nul\0inside\n", 11), false},
        {"escape \x1b[0m\n", false},
        {"lone\rreturn\n", true},  // two lines: a lone carriage return ends the first
        {"tab\there\n", false},
        {Lines(1023) + "\tlate tab\n", false},
        {Lines(1024) + "\x1b late escape\n", true},
        {Lines(1024) + "\tlate tab\n", true},
    };
    for (const Case& c : cases) EXPECT_EQ(StartsOn(c.Text), c.On) << fixture::Visible(c.Text);
    for (int ch = 0; ch < 32; ++ch) {
        bool plain = ch == 9 || ch == 10 || ch == 12 || ch == 26;
        if (ch == 9 || ch == 10) continue;
        std::string text = "a" + std::string(1, static_cast<char>(ch)) + "b";
        EXPECT_EQ(StartsOnLine(text), plain) << "byte " << ch;
    }
}

class DetectionWithTabsTest : public DetectionTest {
protected:
    DetectionWithTabsTest() { AutoStart = false; }
    void SetUp() override {
        Restart([](host::Host& h) { h.RegWriteDword(h.SettingsKey(), "OnForTextWithTabs", 7); });
    }
};

TEST_F(DetectionWithTabsTest, TabsAllowedControlBytesStillSwitchOff) {
    EXPECT_TRUE(StartsOn("\tindented\n\t\tmore\n"));
    EXPECT_FALSE(StartsOn("\tindented\x1b\n"));
    EXPECT_FALSE(StartsOn(std::string("\t\0\n", 3)));
    EXPECT_FALSE(StartsOnLine("\tcarriage\rreturn"));
}

TEST_F(DetectionTest, ReadsAtMostTheLimitStopsEarlyAndLeavesTabsAlone) {
    H().ResetCounters();
    EXPECT_TRUE(StartsOn(Lines(5000)));
    EXPECT_EQ(H().EctlCalls(ECTL_GETSTRING), 1024);
    H().ResetCounters();
    EXPECT_FALSE(StartsOn(Lines(3) + "\x01" + Lines(5000)));
    EXPECT_EQ(H().EctlCalls(ECTL_GETSTRING), 4);
    H().ResetCounters();
    EXPECT_FALSE(StartsOn("a\tb\n\tc\n"));
    EXPECT_EQ(H().EctlCalls(ECTL_EXPANDTABS), 0);
    EXPECT_EQ(H().Text(), "a\tb\n\tc\n");
}

// Lines the host cannot hand over are skipped, not taken as evidence.
TEST_F(DetectionTest, UnreadableLinesAreSkipped) {
    H().FailCommand(ECTL_GETSTRING);
    EXPECT_TRUE(StartsOn("\x1b\x1b\x1b\n"));
}

}  // namespace
