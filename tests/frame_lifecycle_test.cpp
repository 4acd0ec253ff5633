// The entry points: the menu entry per window, window events in any order, and
// the host's failures that must leave the plug-in quiet and its records intact.
#include <algorithm>
#include <string>
#include <vector>

#include "fixture.h"

namespace {

class LifecycleTest : public PluginTest {
protected:
    // The window's Mode as the menu shows it: "on", or "off" for off and undecided,
    // or "none" when no entry is offered.
    std::string MenuState() {
        std::vector<std::string> items = H().MenuItems();
        if (items.empty()) return "none";
        EXPECT_EQ(items.size(), 1u);
        if (items[0] == H().Msg(tarvik::MTurnOff)) return "on";
        EXPECT_EQ(items[0], H().Msg(tarvik::MTurnOn));
        return "off";
    }

    // Opens a window whose Mode stays undecided: detection cannot ask the host.
    int OpenUndecided(const std::string& Text) {
        int id = H().OpenWindow("u.txt", Text, false);
        H().ResetCounters();
        // FindCurrentEditor and CreateEditorState ask first; detection's question fails.
        H().FailNth(3);
        H().EditorEvent(EE_READ, nullptr);
        H().ClearFaults();
        return id;
    }
};

TEST_F(LifecycleTest, NoWindowGivesNoMenuEntryWithoutAskingTheHost) {
    H().ResetCounters();
    PluginInfo info = H().GetPluginInfo();
    EXPECT_EQ(info.StructSize, kPluginInfoWrittenSize);
    EXPECT_EQ(info.Flags, 6u);
    EXPECT_EQ(info.PluginMenuStringsNumber, 0);
    EXPECT_EQ(info.PluginMenuStrings, nullptr);
    EXPECT_EQ(info.DiskMenuStringsNumber, 0);
    EXPECT_EQ(info.PluginConfigStringsNumber, 0);
    EXPECT_EQ(H().EctlCalls(ECTL_GETINFO), 0);
}

TEST_F(LifecycleTest, MenuEntryCyclesUndecidedOnOffOn) {
    OpenUndecided("plain text\n");
    EXPECT_EQ(MenuState(), "off");
    Keys("^Q R");  // undecided acts as off: the host gets the keys
    EXPECT_FALSE(H().HostKeys.empty());
    for (const char* expected : {"on", "off", "on"}) {
        H().PickMenu();
        EXPECT_EQ(MenuState(), expected);
    }
}

TEST_F(LifecycleTest, OnlyTheEditorMenuSwitches) {
    OpenPlain("text\n");
    ASSERT_EQ(MenuState(), "on");
    for (int from : {0, 1, 4, 6, -1, 1000})
        EXPECT_EQ(H().OpenPlugin(from, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(MenuState(), "on");
    EXPECT_EQ(H().OpenPlugin(OPEN_EDITOR, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(MenuState(), "off");
}

TEST_F(LifecycleTest, LaterEventsKeepTheRecordAndItsMode) {
    OpenPlain("text\n");
    H().PickMenu();
    H().ResetCounters();
    int id = H().Win().EditorID;
    EXPECT_EQ(H().EditorEvent(EE_READ, nullptr), 0);
    EXPECT_EQ(H().EditorEvent(EE_REDRAW, nullptr), 0);
    EXPECT_EQ(H().EditorEvent(EE_SAVE, &id), 0);
    EXPECT_EQ(H().EditorEvent(99, &id), 0);
    int unknown = id + 1000;
    EXPECT_EQ(H().EditorEvent(EE_CLOSE, &unknown), 0);
    EXPECT_EQ(H().EditorEvent(EE_CLOSE, nullptr), 0);
    EXPECT_EQ(H().EctlCalls(ECTL_GETSTRING), 0);  // not examined again
    EXPECT_EQ(MenuState(), "off");
}

TEST_F(LifecycleTest, WindowWithoutReadGetsItsRecordAtRedraw) {
    H().OpenWindow("late.txt", "text\n", false);
    EXPECT_EQ(MenuState(), "none");
    H().FailCommand(ECTL_GETINFO);
    H().EditorEvent(EE_READ, nullptr);
    H().ClearFaults();
    EXPECT_EQ(MenuState(), "none");
    H().EditorEvent(EE_REDRAW, nullptr);
    EXPECT_EQ(MenuState(), "on");
}

// Three windows with distinct state, closed in every order: the survivors keep
// their Mode and their bookmarks; the last close leaves no menu entry.
TEST_F(LifecycleTest, WindowsClosedInAnyOrderKeepTheOthersIntact) {
    std::vector<int> order = {0, 1, 2};
    do {
        Restart();
        std::vector<int> ids;
        for (int i = 0; i < 3; ++i) {
            ids.push_back(OpenOn("line zero\nline one\nline two\n", "f" + std::to_string(i)));
            H().SetCursor(i, i + 2);
            Keys("^K 1");
            H().SetCursor(0, 0);
        }
        H().SwitchTo(ids[1]);
        H().PickMenu();  // the middle window is off
        std::vector<bool> open = {true, true, true};
        for (int victim : order) {
            H().CloseWindow(ids[victim]);
            open[victim] = false;
            for (int i = 0; i < 3; ++i) {
                if (!open[i]) continue;
                H().SwitchTo(ids[i]);
                EXPECT_EQ(MenuState(), i == 1 ? "off" : "on");
                if (i == 1) continue;
                H().SetCursor(0, 0);
                Keys("^Q 1");
                EXPECT_EQ(Cursor(), std::make_pair(i, i + 2)) << "window " << i;
            }
        }
        EXPECT_EQ(H().GetPluginInfo().PluginMenuStringsNumber, 0);
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(LifecycleTest, HostWithoutCurrentEditorLosesNothing) {
    OpenPlain("text\n");
    H().PickMenu();
    H().SetNoCurrentEditor(true);
    EXPECT_EQ(MenuState(), "none");
    H().PickMenu();
    H().EditorEvent(EE_READ, nullptr);
    H().EditorEvent(EE_REDRAW, nullptr);
    H().SetNoCurrentEditor(false);
    EXPECT_EQ(MenuState(), "off");
    H().PickMenu();
    EXPECT_EQ(MenuState(), "on");
}

#ifdef _WIN32
// A host whose ECTL_GETINFO raises an access violation: each entry point takes it
// for a failed call, the handler record the host linked in is unlinked again, and
// once the host answers again nothing of the fault is left behind (and the next
// fault is caught as well). Windows only: natively there is no such fault to catch.
TEST_F(LifecycleTest, HostFaultingOnEditorInfoCountsAsFailedCall) {
    OpenOn("text\n");
    auto Chain = [] { return host::ThreadInfoBlock()->ExceptionList; };
    const auto Before = Chain();
    for (int Round = 0; Round < 2; ++Round) {
        const int Asked = H().EctlCalls(ECTL_GETINFO);
        H().FaultCommand(ECTL_GETINFO);
        EXPECT_EQ(MenuState(), "none");
        H().PickMenu();
        INPUT_RECORD Key = host::KeyPress("^Q");
        EXPECT_EQ(H().ProcessEditorInput(Key), 0);
        EXPECT_EQ(H().EctlCalls(ECTL_GETINFO) - Asked, 3);
        EXPECT_EQ(Chain(), Before);
        H().FaultCommand(ECTL_GETINFO, false);
        EXPECT_EQ(MenuState(), "on");
        Keys(Round == 0 ? "^Q D" : "^Q S");
        EXPECT_EQ(Cursor(), std::make_pair(0, Round == 0 ? 4 : 0));
    }
}
#endif

TEST_F(LifecycleTest, MenuFollowsTheHostsTextAndKeepsItsPointerOtherwise) {
    OpenPlain("text\n");
    const char* const* first = H().GetPluginInfo().PluginMenuStrings;
    ASSERT_NE(first, nullptr);
    const char* text = first[0];
    EXPECT_EQ(H().GetPluginInfo().PluginMenuStrings[0], text);
    H().OverrideMsg(tarvik::MTurnOff, "Keys off, please");
    EXPECT_EQ(H().MenuItems(), std::vector<std::string>{"Keys off, please"});
    H().PickMenu();
    H().OverrideMsg(tarvik::MTurnOn, "");
    EXPECT_EQ(H().MenuItems(), std::vector<std::string>{""});
}

class StartupTest : public PluginTest {
protected:
    StartupTest() { AutoStart = false; }
};

TEST_F(StartupTest, StartupRecordShorterThanTheServicesLeavesThePluginInert) {
    Restart({}, kMinStartupInfoSize - 1);
    int id = H().OpenWindow("a.txt", "text\n");
    PluginInfo info = H().GetPluginInfo();
    EXPECT_EQ(info.Flags, 6u);
    EXPECT_EQ(info.PluginMenuStringsNumber, 0);
    EXPECT_EQ(H().OpenPlugin(OPEN_EDITOR, 0), INVALID_HANDLE_VALUE);
    Keys("^Q R Tab");
    EXPECT_EQ(H().HostKeys.size(), 6u);  // presses and releases, all the host's
    H().CloseWindow(id);
    EXPECT_FALSE(H().RegKeyExists(H().SettingsKey()));
    EXPECT_EQ(H().Calls(host::Service::GetMsg), 0);
    Restart({}, kMinStartupInfoSize);
    H().OpenWindow("a.txt", "text\n");
    EXPECT_EQ(H().MenuItems().size(), 1u);
}

// Unloading releases every string the plug-in owns: the heap is back where it
// was before the load once the windows are closed.
TEST_F(StartupTest, UnloadReleasesOwnedStrings) {
#ifdef _WIN32
    GTEST_SKIP() << "heap blocks are counted by the native stand-in only";
#else
    long before = 0;
    Restart([&](host::Host&) { before = compat::LiveHeapBlocks(); });
    int id = H().OpenWindow("a.txt", "text\n");
    H().MenuItems();
    H().PickMenu();
    H().MenuItems();
    H().CloseWindow(id);
    H().UnloadPlugin();
    EXPECT_EQ(compat::LiveHeapBlocks(), before);
#endif
}

}  // namespace
