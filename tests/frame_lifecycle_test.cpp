// The entry points: the menu entry per window, window events in any order, and
// the host's failures that must leave the plug-in quiet and its records intact.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fixture.h"
#include "host_impl.h"

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
// ---- The fault guard around ECTL_GETINFO (Windows only: natively there is no such
// fault to catch). The plug-in's EditorControl goes through GuardedHostControl, which
// makes its ECTL_GETINFO misbehave as set in Inside before the host gets it.

enum class Trouble { None, DivideByZero, CallBackFaulting, OtherThreadFaulting };

FARAPIEDITORCONTROL HostControl = nullptr;
Trouble Inside = Trouble::None;
int InfoCalls = 0;          // ECTL_GETINFO calls that reached GuardedHostControl
int MenuSeenInside = -1;    // menu entries the plug-in offered when called back inside
DWORD OtherThread = 0;      // the thread that faults while the plug-in's guard is held
int OtherThreadFaults = 0;  // its faults, as its own handler saw them
DWORD OtherThreadResult = 0;

// The other thread's own handler, behind the plug-in's: steps over the faulting read.
LONG CALLBACK StepOverOtherThreadsFault(EXCEPTION_POINTERS* Info) {
    if (GetCurrentThreadId() != OtherThread ||
        Info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION)
        return EXCEPTION_CONTINUE_SEARCH;
    ++OtherThreadFaults;
#if defined(__x86_64__)
    Info->ContextRecord->Rip += 2;
#else
    Info->ContextRecord->Eip += 2;
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

// Reads address 0 by an instruction of two bytes (mov eax, [ecx], or [rcx] on x86_64);
// returns what eax holds after it: the marker, once the read is stepped over.
DWORD WINAPI ReadNowhere(LPVOID /*Unused*/) {
    DWORD Value = 0x600D;
    asm volatile(".byte 0x8b, 0x01" : "+a"(Value) : "c"(nullptr) : "memory");
    return Value;
}

int WINAPI GuardedHostControl(int Command, void* Param) {
    if (Command != ECTL_GETINFO) return HostControl(Command, Param);
    ++InfoCalls;
    switch (Inside) {
        case Trouble::DivideByZero: {
            // Both read at run time: with a known dividend GCC may divide without idiv.
            static volatile int Dividend = 7, Zero = 0;
            [[maybe_unused]] static volatile int Quotient = 0;
            Quotient = Dividend / Zero;
            break;
        }
        case Trouble::CallBackFaulting: {
            // Into the plug-in again, whose own guarded ECTL_GETINFO faults in the host.
            host::Host& H = *host::Host::Current();
            Inside = Trouble::None;
            H.FaultCommand(ECTL_GETINFO);
            MenuSeenInside = H.GetPluginInfo().PluginMenuStringsNumber;
            H.FaultCommand(ECTL_GETINFO, false);
            Inside = Trouble::CallBackFaulting;
            break;
        }
        case Trouble::OtherThreadFaulting: {
            HANDLE Thread =
                CreateThread(nullptr, 0, ReadNowhere, nullptr, CREATE_SUSPENDED, &OtherThread);
            ResumeThread(Thread);
            WaitForSingleObject(Thread, 10000);
            GetExitCodeThread(Thread, &OtherThreadResult);
            CloseHandle(Thread);
            break;
        }
        case Trouble::None:
            break;
    }
    return HostControl(Command, Param);
}

class FaultGuardTest : public LifecycleTest {
protected:
    void SetUp() override {
        LifecycleTest::SetUp();
        Inside = Trouble::None;
        InfoCalls = 0;
        PluginStartupInfo Info = H().StartupInfo();
        HostControl = Info.EditorControl;
        Info.EditorControl = GuardedHostControl;
        H().impl()->SetStartupInfo(&Info);
    }
    void TearDown() override {
        Inside = Trouble::None;
        LifecycleTest::TearDown();
    }
    static EXCEPTION_REGISTRATION_RECORD* Chain() { return host::ThreadInfoBlock()->ExceptionList; }
};

// A host whose ECTL_GETINFO faults, by an access violation inside the host (with a
// handler record of its own linked in) or by an integer division by zero: each entry
// point takes it for a failed call, the handler record is unlinked again, and once
// the host answers again nothing of the fault is left behind (and the next fault is
// caught as well).
TEST_F(FaultGuardTest, HostFaultingOnEditorInfoCountsAsFailedCall) {
    OpenOn("text\n");
    const auto Before = Chain();
    const struct {
        const char* What;
        std::function<void(bool)> Fault;
    } kFaults[] = {
        {"access violation", [this](bool On) { H().FaultCommand(ECTL_GETINFO, On); }},
        {"division by zero", [](bool On) { Inside = On ? Trouble::DivideByZero : Trouble::None; }},
    };
    for (const auto& F : kFaults) {
        for (int Round = 0; Round < 2; ++Round) {
            SCOPED_TRACE(std::string(F.What) + ", round " + std::to_string(Round));
            const int Asked = InfoCalls;
            F.Fault(true);
            EXPECT_EQ(MenuState(), "none");
            H().PickMenu();
            INPUT_RECORD Key = host::KeyPress("^Q");
            EXPECT_EQ(H().ProcessEditorInput(Key), 0);
            EXPECT_EQ(InfoCalls - Asked, 3);
            EXPECT_EQ(Chain(), Before);
            F.Fault(false);
            EXPECT_EQ(MenuState(), "on");
            Keys(Round == 0 ? "^Q D" : "^Q S");
            EXPECT_EQ(Cursor(), std::make_pair(0, Round == 0 ? 4 : 0));
        }
    }
}

// Faults that are not the guarded call's own leave its answer alone: one inside a
// nested guard (the host calls the plug-in back inside ECTL_GETINFO, and there the
// plug-in's own ECTL_GETINFO faults), and one on another thread while the guard is
// held, which reaches that thread's own handler.
TEST_F(FaultGuardTest, FaultsBesideTheGuardedCallLeaveItsAnswer) {
    OpenOn("text\n");
    const auto Before = Chain();
    Inside = Trouble::CallBackFaulting;
    MenuSeenInside = -1;
    EXPECT_EQ(MenuState(), "on");
    EXPECT_EQ(MenuSeenInside, 0) << "the nested call failed";
    EXPECT_EQ(Chain(), Before);

    PVOID Own = AddVectoredExceptionHandler(0, StepOverOtherThreadsFault);
    ASSERT_NE(Own, nullptr);
    Inside = Trouble::OtherThreadFaulting;
    OtherThreadFaults = 0;
    OtherThreadResult = 0;
    EXPECT_EQ(MenuState(), "on");
    Inside = Trouble::None;
    RemoveVectoredExceptionHandler(Own);
    EXPECT_EQ(OtherThreadFaults, 1);
    EXPECT_EQ(OtherThreadResult, 0x600Du) << "the other thread went on behind its read";
    EXPECT_EQ(Chain(), Before);
    Keys("^Q D");
    EXPECT_EQ(Cursor(), std::make_pair(0, 4));
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
