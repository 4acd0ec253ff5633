// Fault sweep: every scenario below runs once cleanly, to count the host service
// calls and heap allocations it makes, and then again in a fresh host for every
// fault point: the n-th service call failing (for every n), every call from the
// n-th on failing, each EditorControl command failing throughout, each heap
// allocation failing in turn, each console call but the host's own read failing
// throughout, and, where the scenario hands keys back to the host, the window
// closing inside each nested ECTL_PROCESSINPUT.
//
// Every run must finish, leave no registry key open and give back every heap
// block once its windows are closed and the module unloaded, report no misuse of
// the host's interface, and leave a text that is the clean result, the original,
// or one the scenario's rule allows: a failing host call ends a command quietly,
// keeping what was already done, so the rule says which bytes a half-done command
// may have added or removed.
#ifndef _WIN32

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include <unistd.h>

#include "command_scenarios.h"
#include "fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

// ---- Watchdog: a run that does not finish is a hang, reported by name -------------

std::atomic<long long> WatchdogDeadline{0};  // steady-clock ticks; 0 = idle
std::string WatchdogWhat;
std::mutex WatchdogLock;

void ArmWatchdog(const std::string& What) {
    {
        std::lock_guard<std::mutex> G(WatchdogLock);
        WatchdogWhat = What;
    }
    WatchdogDeadline = (Clock::now() + std::chrono::seconds(30)).time_since_epoch().count();
    static std::once_flag Started;
    std::call_once(Started, [] {
        std::thread([] {
            for (;;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                long long D = WatchdogDeadline;
                if (D != 0 && Clock::now().time_since_epoch().count() > D) {
                    std::lock_guard<std::mutex> G(WatchdogLock);
                    std::fprintf(stderr, "fault sweep: HANG in %s\n", WatchdogWhat.c_str());
                    std::abort();
                }
            }
        }).detach();
    });
}

void DisarmWatchdog() {
    WatchdogDeadline = 0;
}

// ---- Scenarios -----------------------------------------------------------------------

// What a failure may leave beside the clean result and the original text: bytes
// of Add may appear, bytes of Remove (and AnyRemove bytes of any kind) may go,
// blanks may come and go when Blanks is set, and the line count may grow by up
// to AddLines or shrink by up to RemoveLines. Line ends are not counted as bytes.
struct Rule {
    const char* Add = "";
    const char* Remove = "";
    int AnyRemove = 0;
    bool Blanks = false;
    int AddLines = 0;
    int RemoveLines = 0;
};

enum class Act {
    Keys,     // the keys, in the window opened on the markup
    Menu,     // the plug-in menu picked twice (remembered per file), then the keys
    Windows,  // a second window opened, the keys there, back to the first, the second closed
    Startup,  // faults armed before the plug-in starts and its window opens
};

struct Scenario {
    const char* Name;
    const char* Markup;  // fixture markup: text, '|' cursor, « » selection
    const char* Keys;
    Rule Allow;
    Act Action = Act::Keys;
    bool CloseInside = false;  // also close the window at each nested ECTL_PROCESSINPUT
};

const char* const kCode =
    "program demo;\n"
    "  begin\n"
    "    foo(a[1], {b});\n"
    "    bar_baz := \"x y\";\n"
    "  end;\n";

// Every binding of the key map, the modal modes, menu, windows and start-up. The
// second key of a two-key command carries Ctrl where that means the same, so that
// a key the plug-in never sees (its record not found) types nothing.
const Scenario kScenarios[] = {
    // Marking, hiding, bookmarks: never a byte changed.
    {"MarkBeginEnd", "ab|c def\nghi jkl\nmno\n", "^k ^b Down Right ^k ^k ^k ^h ^k ^k", {}},
    {"MarkLineWordHide", "«ab»c def\nghi j|kl\nmno\n", "^k ^l ^k ^t ^k ^h ^k ^t", {}},
    {"Bookmarks", "abc\nde|f\nghi\n", "^k ^3 Down Down ^q ^3 ^q ^7 ^k ^0 ^q ^0", {}},
    // Navigation: never a byte changed.
    {"BlockNavigation", "abc\nd«ef\ngh»i\njkl\n", "^q ^b ^q ^k ^q ^b", {}},
    {"FileAndLineNavigation", "abc\ndef|g\nhij\n", "^q ^c ^q ^r ^q ^d ^q ^s ^q ^e ^q ^x", {}},
    {"Scrolling",
     "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\nn\no\np\nq\nr\ns\nt\nu\nv\nw\nx\ny\nz\n1\n2|\n3\n",
     "^q ^t ^q ^u ^q ^e ^q ^x PgUp ^q ^u",
     {}},
    {"Brackets", "f(a(b)d) \"q\"\n[x\n]\n", "^q ^[ ^q ^] Right ^q ^] ^q ^[ End ^q ^[", {}},
    {"BracketsAcrossLines", "(\n(\n)\n|)\n", "^q ^] ^q ^[", {}},
    // Host keys and searches: never a byte changed, unless keys reach the host as typed.
    {"HostSearchKeys", "abc abc\nabc\n", "^q ^f ^q ^a F7 ^F7 Shift+F7 ^l ^k ^s", {}},
    {"IncrementalSearch",
     "xaxab\nab ab\nAB\n",
     "Ctrl+Shift+S a b BS ^l ^l Enter ^l Shift+F7 ^l",
     {"ab", "", 1, true, 1}},
    {"SearchNotFound", "abc\nabc\n", "Ctrl+Shift+S c ^l ^l ^l Esc ^l ^l", {"c", "", 0, false}},
    {"SearchRepeatCount", "aaaa\naaaa\n", "Ctrl+Shift+S a*3 ^l*2 Esc", {"aaa", "", 0, false}},
    // Block copy, move, delete.
    {"CopyBlock", "ab«cd\nef»gh\nij|kl\n", "^k ^c", {"cdef", "", 0, false, 1}},
    {"CopyBlockThroughLineEnd", "«abc\n»def\n|ghi\n", "^k ^c ^k ^c", {"abcabc", "", 0, false, 2}},
    {"CopyBlockLong",
     "«aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\n"
     "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb\n"
     "cccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccc»\n|",
     "^k ^c",
     {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
      "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"
      "cccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccc",
      "", 0, false, 2}},
    {"MoveBlockDown", "ab«cd\nef»gh\nij|kl\n", "^k ^v", {"cdef", "cdef", 0, false, 1, 1}},
    {"MoveBlockUp", "ab|cd\nef«gh\nij»kl\n", "^k ^v", {"ghij", "ghij", 0, false, 1, 1}},
    {"MoveBlockCursorInside", "a«bc\nd|ef\ng»hi\n", "^k ^v", {"bcdefg", "bcdefg", 0, false, 2, 2}},
    {"MoveWholeLines", "«abc\ndef\n»ghi\njk|l\n", "^k ^v", {"abcdef", "abcdef", 0, false, 2, 2}},
    {"DeleteBlock", "ab«cd\nef\ngh»ij\nk|l\n", "^k ^y", {"", "cdefgh", 0, false, 0, 2}},
    {"DeleteBlockCtrlDel", "«abc\ndef\n»gh|i\n", "^Del", {"", "abcdef", 0, false, 0, 2}},
    {"DeleteOnlyLine", "«abc»", "^k ^y", {"", "abc", 0, false}},
    {"DeleteWholeText", "«abc\ndef»", "^k ^y", {"", "abcdef", 0, false, 0, 1}},
    {"DeleteToLineEnd", "abc|def\nghi\n", "^q ^y Down ^q ^y", {"", "def", 0, false}},
    // Indentation and case.
    {"IndentUnindent", "a«bc\n  def\n»ghi\n", "^k ^i ^k ^i ^k ^u", {"", "", 0, true}},
    {"UnindentBlanks", "«    abc\n  def\n x\n»y\n", "^k ^u ^k ^u ^k ^u", {"", "", 0, true}},
    {"BlockCase",
     "a«bc Def\n_x\xE0y\n»z\n",
     "^k ^n ^k ^o ^k ^p",
     {"BCDEFXYbcdefxy", "BCDEFXYbcdefxy", 0, false}},
    {"WordCase", "foo_b|ar1+x\n", "^k ^f ^k ^e", {"FOOBARfoobar", "FOOBARfoobar", 0, false}},
    {"CaseRepeat", "«Hello»\n", "^k ^p*2", {"HELLOhello", "HELLOhello", 0, false}},
    // Smart keys; the host's own Tab, Backspace and Enter where the plug-in cannot act.
    {"SmartBackspace",
     "if x then\n  begin\n    foo;\n        |bar\n",
     "BS BS BS",
     {"", "", 0, true, 0, 1}},
    {"SmartBackspaceEmptyLine", "        foo\n|\n", "End BS", {"", "", 0, true, 0, 1}},
    {"SmartTab", "foo bar  baz\n|\n", "Tab Tab Tab Tab", {"\t\t\t\t", "", 0, true}},
    {"SmartEnter", "    abc|def\n  x\n", "Enter Enter End Enter", {"", "", 0, true, 3}},
    {"SmartKeysRepeat", "    abcdef\n  |x\n", "Enter*2 Tab*2 BS*2", {"\t\t", "", 2, true, 2}},
    // Recorder.
    {"RecordAndReplay", "abc\n|\n", "Ctrl+Shift+R x y Esc Ctrl+Shift+P", {"xyxy", "", 0, false}},
    {"RecordCommands",
     "abc def\nghi\n",
     "Ctrl+Shift+R ^k ^b Down ^k ^k ^k ^c Ctrl+Shift+R Ctrl+Shift+P",
     {"abcdefghiabcdefghiabcdefghiabcdefghi", "", 0, true, 4}},
    {"RecordPromptKeys",
     "abc\n|\n",
     "Ctrl+Shift+R F1 x ^k ^p Ctrl+Shift+R ^k Ctrl+Shift+R",
     {"x", "", 0, false}},
    {"RecordSearchReplay",
     "abcabc\nabc\n",
     "Ctrl+Shift+R Ctrl+Shift+S b c BS Enter Esc Home Ctrl+Shift+P",
     {"bbcc", "", 2, true, 2}},
    // Menu, windows, start-up.
    {"MenuToggle", "ab|c\ndef\n", "^k ^l ^k ^c x", {"abcx", "", 0, false, 1}, Act::Menu},
    {"SecondWindow", "abc\n«def»\n", "^k ^b Down ^k ^k ^k ^c", {"def", "", 0, false}, Act::Windows},
    {"Startup",
     "abc\ndef\n",
     "^k ^l ^k ^c Ctrl+Shift+S e Esc",
     {"abce", "", 0, false, 1},
     Act::Startup},
    {"StartupTabs", "a\tb\n\tc\n", "^q ^d ^k ^l ^k ^u", {"", "\t\t", 0, true}, Act::Startup},
    // Windows closed inside nested host calls: only crashes, leaks and hangs count.
    {"CloseInRepeat", "«abc»\n", "^k ^p*4 x", {}, Act::Keys, true},
    {"CloseInPrompt", "abc\n", "Ctrl+Shift+R x ^k ^c y Esc", {}, Act::Keys, true},
    {"CloseInSearch", "abc abc\n", "Ctrl+Shift+S a*3 ^l*2 Enter", {}, Act::Keys, true},
    {"CloseInSendKey", "abc\n", "^q ^f ^q ^a ^l Down*3", {}, Act::Keys, true},
    {"CloseInReplay",
     "abc\n",
     "Ctrl+Shift+R x*2 Enter*2 Ctrl+Shift+R Ctrl+Shift+P*2",
     {},
     Act::Keys,
     true},
};

// ---- Running one scenario ------------------------------------------------------------

enum class FaultKind { None, Nth, From, Command, Heap, Close, Console };

struct Fault {
    FaultKind Kind = FaultKind::None;
    long N = 0;
};

struct RunResult {
    std::string Text;  // the first window's text at the end (empty when it is gone)
    bool HasText = false;
    int Calls = 0;          // service calls during the keys
    long Allocations = 0;   // heap allocations during the keys (or start-up, for Act::Startup)
    int ProcessInputs = 0;  // ECTL_PROCESSINPUT calls during the keys
    std::string Problems;   // leaks, open keys, misuses
};

std::string Describe(const Scenario& S, const Fault& F) {
    static const char* const Names[] = {"none",
                                        "FailNth",
                                        "FailFrom",
                                        "FailCommand",
                                        "FailHeapAllocation",
                                        "CloseAtProcessInput",
                                        "FailConsoleCall"};
    return std::string(S.Name) + " with " + Names[static_cast<int>(F.Kind)] + "(" +
           std::to_string(F.N) + ")";
}

void OpenOn(host::Host& H, const fixture::MarkedText& M, const char* Name) {
    H.OpenWindow(Name, M.Text);
    std::vector<std::string> Items = H.MenuItems();
    if (Items.size() == 1 && Items[0] == H.Msg(tarvik::MTurnOn)) H.PickMenu();
    H.ClearSelection();
    host::Window& W = H.Win();
    for (const auto& Sel : M.Selection)
        if (Sel.Line < static_cast<int>(W.Lines.size())) {
            W.Lines[Sel.Line].SelStart = Sel.Start;
            W.Lines[Sel.Line].SelEnd = Sel.End;
            if (W.BlockStartLine == -1) W.BlockStartLine = Sel.Line;
        }
    H.SetCursor(M.CursorLine, M.CursorPos);
}

void Arm(host::Host& H, const Fault& F) {
    switch (F.Kind) {
        case FaultKind::Nth:
            H.FailNth(static_cast<int>(F.N));
            break;
        case FaultKind::From:
            H.FailFrom(static_cast<int>(F.N));
            break;
        case FaultKind::Command:
            H.FailCommand(static_cast<int>(F.N));
            break;
        case FaultKind::Heap:
            compat::FailHeapAllocation(F.N, 1);
            break;
        default:
            break;
    }
}

RunResult RunScenario(const Scenario& S, const Fault& F) {
    ArmWatchdog(Describe(S, F));
    RunResult R;
    fixture::ResetStandIn();
    const long LiveBefore = compat::LiveHeapBlocks();
    const fixture::MarkedText M = fixture::ParseMarked(S.Markup);
    {
        host::Host H;
        // Keys reach the host's own typing when a fault turns a binding off; with
        // persistent blocks off it would replace the block, the host's doing and not
        // a text that the plug-in's failure rules have to explain.
        H.PersistentBlocks = true;
        if (!H.LoadPlugin()) {
            R.Problems = "cannot load the plug-in";
            return R;
        }
        long Allocs0 = compat::HeapAllocationCount();
        if (S.Action == Act::Startup) {
            // Tabs switch a text off unless this setting allows them.
            H.RegWriteDword(H.SettingsKey(), "OnForTextWithTabs", 1);
            H.ResetCounters();
            Arm(H, F);
            H.StartPlugin();
            H.OpenWindow("start.txt", M.Text);
            H.SetCursor(M.CursorLine, M.CursorPos);
        } else {
            // The menu stores each switch per file name, so its registry use is swept too.
            if (S.Action == Act::Menu) H.RegWriteDword(H.SettingsKey(), "SaveFileType", 1);
            H.StartPlugin();
            OpenOn(H, M, "first.txt");
        }
        const int FirstId = H.Win().EditorID;
        int CloseAt = F.Kind == FaultKind::Close ? static_cast<int>(F.N) : 0;
        int Nested = 0;
        H.OnProcessInput = [&](host::Host& Hh, const INPUT_RECORD&) {
            ++Nested;
            if (Nested == CloseAt && Hh.HasWindow(FirstId)) Hh.CloseWindow(FirstId);
        };
        if (S.CloseInside) {
            OpenOn(H, fixture::ParseMarked("other\n"), "other.txt");
            H.SwitchTo(FirstId);
        }
        if (S.Action != Act::Startup) {
            H.ResetCounters();
            Allocs0 = compat::HeapAllocationCount();
            Arm(H, F);
        }
        if (S.Action == Act::Windows) OpenOn(H, fixture::ParseMarked("one\n|two\n"), "second.txt");
        if (S.Action == Act::Menu) {
            H.PickMenu();
            H.PickMenu();
        }
        // Console faults start once the host has written the keys: its own reading
        // of them never fails, the plug-in's console calls do.
        H.WriteInput(host::ParseKeys(S.Keys));
        if (F.Kind == FaultKind::Console)
            compat::FailConsoleCall(static_cast<compat::ConsoleCall>(F.N), true);
        H.Pump();
        if (S.Action == Act::Windows) {
            const int Second = H.Win().EditorID;
            H.SwitchTo(FirstId);
            H.Keys("^k ^c");
            H.CloseWindow(Second);
        }
        R.Calls = H.TotalCalls();
        R.Allocations = compat::HeapAllocationCount() - Allocs0;
        R.ProcessInputs = Nested;
        H.ClearFaults();
        compat::FailHeapAllocation(0);
        if (F.Kind == FaultKind::Console)
            compat::FailConsoleCall(static_cast<compat::ConsoleCall>(F.N), false);
        H.OnProcessInput = nullptr;
        if (H.HasWindow(FirstId)) {
            H.SwitchTo(FirstId);
            R.Text = H.Text();
            R.HasText = true;
        }
        for (const std::string& Misuse : H.Misuses) R.Problems += "misuse: " + Misuse + "\n";
        while (H.WindowCount() > 0) H.CloseWindow(H.Win().EditorID);
        H.UnloadPlugin();
    }
    if (compat::OpenRegistryKeys() != 0)
        R.Problems += std::to_string(compat::OpenRegistryKeys()) + " registry keys left open\n";
    if (compat::LiveHeapBlocks() != LiveBefore)
        R.Problems += "heap blocks " + std::to_string(LiveBefore) + " before, " +
                      std::to_string(compat::LiveHeapBlocks()) + " after\n";
    DisarmWatchdog();
    return R;
}

// ---- Judging a text ----------------------------------------------------------------------

struct Tally {
    std::array<long, 256> Bytes{};
    long Lines = 0;
};

Tally Count(const std::string& Text) {
    Tally T;
    for (const host::Line& L : host::SplitLines(Text)) {
        for (unsigned char B : L.Text) ++T.Bytes[B];
        ++T.Lines;
    }
    return T;
}

// Empty when the text is one the rule allows, else why not.
std::string Judge(const Rule& Allow, const std::string& Original, const std::string& Text) {
    const Tally O = Count(Original), T = Count(Text);
    std::array<long, 256> Add{}, Remove{};
    for (const char* P = Allow.Add; *P; ++P) ++Add[static_cast<unsigned char>(*P)];
    for (const char* P = Allow.Remove; *P; ++P) ++Remove[static_cast<unsigned char>(*P)];
    long Missing = 0;
    for (int B = 0; B < 256; ++B) {
        if (Allow.Blanks && B == ' ') continue;
        if (T.Bytes[B] > O.Bytes[B] + Add[B])
            return "byte " + std::to_string(B) + " appears " +
                   std::to_string(T.Bytes[B] - O.Bytes[B]) + " more times";
        if (T.Bytes[B] < O.Bytes[B] - Remove[B]) Missing += O.Bytes[B] - Remove[B] - T.Bytes[B];
    }
    if (Missing > Allow.AnyRemove) return std::to_string(Missing) + " bytes lost";
    if (T.Lines > O.Lines + Allow.AddLines || T.Lines < O.Lines - Allow.RemoveLines)
        return "line count " + std::to_string(O.Lines) + " became " + std::to_string(T.Lines);
    return "";
}

long TotalFaultPoints = 0;

// Judges a text left by a fault: empty when allowed, else why not.
using TextJudge = std::function<std::string(const std::string& Text)>;

// Runs S cleanly, then under every fault point; reports up to five failures and
// returns how many fault points failed. Adds the points driven to the total.
int SweepScenario(const Scenario& S, const TextJudge& JudgeText) {
    const std::string Original = fixture::ParseMarked(S.Markup).Text;
    const RunResult Clean = RunScenario(S, {});
    if (!Clean.Problems.empty() || !Clean.HasText || Clean.Calls == 0) {
        ADD_FAILURE() << S.Name << " without faults: " << Clean.Problems
                      << (Clean.HasText ? "" : "no text ") << Clean.Calls << " calls";
        return 1;
    }
    // The rule must hold for the clean run too, or it says nothing.
    if (!S.CloseInside) {
        const std::string Why = JudgeText(Clean.Text);
        if (!Why.empty()) {
            ADD_FAILURE() << S.Name << " without faults: " << Why << "\n"
                          << fixture::SideBySide(Clean.Text, Original);
            return 1;
        }
    }

    std::vector<Fault> Faults;
    for (long N = 1; N <= Clean.Calls; ++N) Faults.push_back({FaultKind::Nth, N});
    for (long N = 1; N <= Clean.Calls; N += (N < 8 ? 1 : 3)) Faults.push_back({FaultKind::From, N});
    for (int C : {ECTL_GETSTRING, ECTL_SETSTRING, ECTL_INSERTSTRING, ECTL_DELETESTRING,
                  ECTL_DELETECHAR, ECTL_INSERTTEXT, ECTL_GETINFO, ECTL_SETPOSITION, ECTL_SELECT,
                  ECTL_REDRAW, ECTL_EXPANDTABS, ECTL_READINPUT, ECTL_PROCESSINPUT})
        Faults.push_back({FaultKind::Command, C});
    for (long K = 1; K <= Clean.Allocations; ++K) Faults.push_back({FaultKind::Heap, K});
    for (int C = 0; C < static_cast<int>(compat::ConsoleCall::Count); ++C)
        if (static_cast<compat::ConsoleCall>(C) != compat::ConsoleCall::ReadInput)
            Faults.push_back({FaultKind::Console, C});
    if (S.CloseInside)
        for (long N = 1; N <= Clean.ProcessInputs; ++N) Faults.push_back({FaultKind::Close, N});

    int Failures = 0;
    for (const Fault& F : Faults) {
        const RunResult R = RunScenario(S, F);
        std::string Why = R.Problems;
        if (Why.empty() && R.HasText && !S.CloseInside && R.Text != Clean.Text &&
            R.Text != Original)
            Why = JudgeText(R.Text);
        if (!Why.empty() && ++Failures <= 5)
            ADD_FAILURE() << Describe(S, F) << ": " << Why << "\n"
                          << fixture::SideBySide(R.Text, Original);
    }
    TotalFaultPoints += static_cast<long>(Faults.size());
    std::printf("fault sweep: %s: %zu fault points (%d service calls, %ld allocations)\n", S.Name,
                Faults.size(), Clean.Calls, Clean.Allocations);
    return Failures;
}

class FaultSweepTest : public ::testing::TestWithParam<size_t> {};

TEST_P(FaultSweepTest, EveryFaultPointEndsCleanly) {
    const Scenario& S = kScenarios[GetParam()];
    const std::string Original = fixture::ParseMarked(S.Markup).Text;
    EXPECT_EQ(
        SweepScenario(S, [&](const std::string& Text) { return Judge(S.Allow, Original, Text); }),
        0)
        << S.Name;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, FaultSweepTest,
                         ::testing::Range<size_t>(0, sizeof kScenarios / sizeof kScenarios[0]),
                         [](const ::testing::TestParamInfo<size_t>& Info) {
                             return std::string(kScenarios[Info.param].Name);
                         });

// ---- The editing commands' own scenarios, each run again under every fault --------
//
// A child run of this program runs the command tests with TARVIK_SWEEP_SCENARIOS
// set: each scenario they run is collected, and once they are done every one is
// swept. They carry no rule of their own, so a fault may leave each
// byte's count between the original's and the clean result's, less what the
// starting selection holds (a move or delete stopped half-way) or more by it (a
// copy), plus the characters of the keys (typed by the host when the plug-in
// cannot act); blanks and tabs may come and go.

struct Collected {
    std::string Name, Markup, Keys;
};
std::deque<Collected> CollectedScenarios;

std::array<long, 256> ByteCounts(const std::string& Text) {
    std::array<long, 256> C{};
    for (const host::Line& L : host::SplitLines(Text))
        for (unsigned char B : L.Text) ++C[B];
    return C;
}

std::string JudgeCommandScenario(const std::string& Original, const std::string& Clean,
                                 const fixture::MarkedText& Before, const std::string& Keys,
                                 const std::string& Text) {
    const std::array<long, 256> O = ByteCounts(Original), C = ByteCounts(Clean),
                                T = ByteCounts(Text);
    std::array<long, 256> Slack{};
    const std::vector<host::Line> Lines = host::SplitLines(Before.Text);
    for (const auto& Sel : Before.Selection) {
        if (Sel.Line >= static_cast<int>(Lines.size())) continue;
        const std::string& L = Lines[Sel.Line].Text;
        const size_t From = std::min<size_t>(static_cast<size_t>(std::max(Sel.Start, 0)), L.size());
        const size_t To =
            Sel.End < 0 ? L.size() : std::min<size_t>(static_cast<size_t>(Sel.End), L.size());
        for (size_t I = From; I < To; ++I) ++Slack[static_cast<unsigned char>(L[I])];
    }
    std::array<long, 256> Typed{};
    size_t At = 0;
    while (At < Keys.size()) {
        size_t End = Keys.find(' ', At);
        if (End == std::string::npos) End = Keys.size();
        std::string Token = Keys.substr(At, End - At);
        At = End + 1;
        long Times = 1;
        const size_t Star = Token.rfind('*');
        if (Star != std::string::npos && Star > 0) {
            Times = std::atol(Token.c_str() + Star + 1);
            Token.erase(Star);
        }
        if (Token.rfind("Shift+", 0) == 0) Token.erase(0, 6);
        if (Token.size() == 1) Typed[static_cast<unsigned char>(Token[0])] += Times;
        if (Token.size() == 1 && Token[0] >= 'A' && Token[0] <= 'Z')
            Typed[static_cast<unsigned char>(Token[0] + 32)] += Times;
    }
    for (int B = 0; B < 256; ++B) {
        if (B == ' ' || B == '\t') continue;
        const long Low = std::min(O[B], C[B]) - Slack[B];
        const long High = std::max(O[B], C[B]) + Slack[B] + Typed[B];
        if (T[B] < Low || T[B] > High)
            return "byte " + std::to_string(B) + " counted " + std::to_string(T[B]) + ", allowed " +
                   std::to_string(Low) + " to " + std::to_string(High);
    }
    return "";
}

class CommandScenarioSweep : public ::testing::Environment {
public:
    void SetUp() override {
        if (!std::getenv("TARVIK_SWEEP_SCENARIOS")) return;
        scenarios::Observer = [](const scenarios::Scenario& S) {
            CollectedScenarios.push_back({S.Name, S.Before, S.Keys});
        };
    }
    void TearDown() override {
        if (!std::getenv("TARVIK_SWEEP_SCENARIOS")) return;
        scenarios::Observer = nullptr;
        int Failures = 0;
        for (const Collected& C : CollectedScenarios) {
            const Scenario S{C.Name.c_str(), C.Markup.c_str(), C.Keys.c_str(), {}};
            const fixture::MarkedText Before = fixture::ParseMarked(C.Markup);
            const RunResult Clean = RunScenario(S, {});
            Failures += SweepScenario(S, [&](const std::string& Text) {
                return JudgeCommandScenario(Before.Text, Clean.Text, Before, C.Keys, Text);
            });
        }
        std::printf("command scenario sweep: %zu scenarios, %ld fault points, %d failures\n",
                    CollectedScenarios.size(), TotalFaultPoints, Failures);
    }
};
const auto* const kCommandScenarioSweep =
    ::testing::AddGlobalTestEnvironment(new CommandScenarioSweep);

TEST(CommandScenarioSweepTest, EveryCommandScenarioEndsCleanlyUnderFaults) {
    if (std::getenv("TARVIK_SWEEP_SCENARIOS")) GTEST_SKIP() << "this is the child run";
    const std::string Log = ::testing::TempDir() + "tarvik_command_sweep.log";
    char Self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", Self, sizeof Self - 1), 0);
    const std::string Command =
        std::string("TARVIK_SWEEP_SCENARIOS=1 '") + Self +
        "' "
        "'--gtest_filter=-Scenarios/FaultSweepTest.*:CommandScenarioSweepTest.*' >'" +
        Log + "' 2>&1";
    const int Status = std::system(Command.c_str());
    FILE* F = std::fopen(Log.c_str(), "r");
    ASSERT_NE(F, nullptr);
    std::string Output;
    char Buf[4096];
    size_t N;
    while ((N = std::fread(Buf, 1, sizeof Buf, F)) > 0) Output.append(Buf, N);
    std::fclose(F);
    const size_t At = Output.find("command scenario sweep: ");
    ASSERT_NE(At, std::string::npos)
        << "the child run ended early (status " << Status << ")\n"
        << Output.substr(Output.size() > 6000 ? Output.size() - 6000 : 0);
    const std::string Summary = Output.substr(At, Output.find('\n', At) - At);
    std::printf("%s\n", Summary.c_str());
    EXPECT_NE(Summary.find(", 0 failures"), std::string::npos)
        << Output.substr(Output.size() > 12000 ? Output.size() - 12000 : 0);
}

// Prints the total once the scenarios of this process have run.
class SweepTotal : public ::testing::Environment {
public:
    void TearDown() override {
        if (TotalFaultPoints > 0)
            std::printf("fault sweep: %ld fault points driven in total\n", TotalFaultPoints);
    }
};
const auto* const kSweepTotal = ::testing::AddGlobalTestEnvironment(new SweepTotal);

}  // namespace

#endif  // _WIN32
