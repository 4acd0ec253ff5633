// 1. The gate: what a key costs that the plug-in passes on, against the host's own
// cost of the one ECTL_GETINFO that every event needs.
// 2. Text kind detection on a 1,000,000-line file, against the host's cost of the
// line reads it is bounded to.
#include "support.h"

namespace bench {

namespace {

constexpr int kGateLines = 1000;
constexpr int kLongLines = 1000000;

int GateWindow(bool On) {
    static int OnId = 0, OffId = 0;
    int& Id = On ? OnId : OffId;
    if (!Id) {
        std::string Text = MakeText(kGateLines, 60, On ? 7 : 8);
        // A tab switches the bindings off by default; the menu forces the state anyway.
        if (!On) Text.insert(0, "\t");
        Id = OpenWindow(On ? "gate-on.txt" : "gate-off.txt", Text, On);
    }
    TheHost().SwitchTo(Id);
    return Id;
}

// Feeds one event per iteration to the plug-in alone and counts its host calls.
void FeedGate(benchmark::State& State, bool On, const INPUT_RECORD& Event) {
    host::Host& H = TheHost();
    GateWindow(On);
    H.ResetCounters();
    long long Handled = 0;
    for (auto _ : State) {
        INPUT_RECORD R = Event;
        Handled += H.ProcessEditorInput(R);
    }
    if (Handled) State.SkipWithError("the plug-in handled a key it should pass on");
    const double N = static_cast<double>(State.iterations());
    State.counters["calls_per_event"] = H.TotalCalls() / N;
    State.counters["getinfo_per_event"] = H.EctlCalls(ECTL_GETINFO) / N;
}

void GateHostGetInfo(benchmark::State& State) {
    host::Host& H = TheHost();
    GateWindow(true);
    H.ResetCounters();
    EditorInfo Ei;
    for (auto _ : State) {
        Ectl(ECTL_GETINFO, &Ei);
        benchmark::DoNotOptimize(Ei);
    }
    State.counters["calls_per_event"] = H.TotalCalls() / static_cast<double>(State.iterations());
}
BENCHMARK(GateHostGetInfo)->Name("Gate/HostGetInfo");

void GateOffKeyPress(benchmark::State& State) {
    FeedGate(State, false, host::KeyPress("x"));
}
BENCHMARK(GateOffKeyPress)->Name("Gate/BindingsOff/KeyPress");

void GateOnKeyRelease(benchmark::State& State) {
    INPUT_RECORD R = host::KeyPress("x");
    R.Event.KeyEvent.bKeyDown = FALSE;
    FeedGate(State, true, R);
}
BENCHMARK(GateOnKeyRelease)->Name("Gate/BindingsOn/KeyRelease");

void GateOnUnboundKey(benchmark::State& State) {
    FeedGate(State, true, host::KeyPress("x"));
}
BENCHMARK(GateOnUnboundKey)->Name("Gate/BindingsOn/UnboundKey");

// ---- Detection ----------------------------------------------------------------

// The 1,000,000-line window the search uses as well.
int LongWindow() {
    static int Id = 0;
    if (!Id) Id = OpenWindow("long.txt", MakeText(kLongLines, 60, 3), true);
    TheHost().SwitchTo(Id);
    return Id;
}

// Closes the window's record and lets the read event build it again, which detects.
void Redetect(benchmark::State& State, bool Control) {
    host::Host& H = TheHost();
    int Id = LongWindow();
    std::string Saved = H.Win().Lines[0].Text;
    if (Control) H.Win().Lines[0].Text[3] = '\x1B';
    H.ResetCounters();
    for (auto _ : State) {
        H.EditorEvent(EE_CLOSE, &Id);
        H.EditorEvent(EE_READ, nullptr);
        State.PauseTiming();
        DropLineCopies();
        State.ResumeTiming();
    }
    const double N = static_cast<double>(State.iterations());
    State.counters["calls"] = H.TotalCalls() / N;
    State.counters["getstring"] = H.EctlCalls(ECTL_GETSTRING) / N;
    State.counters["getinfo"] = H.EctlCalls(ECTL_GETINFO) / N;
    if (BindingsOn() == Control) State.SkipWithError("detection gave the wrong kind");
    H.Win().Lines[0].Text = Saved;
    DropLineCopies();
    // Leave the window switched on for the search.
    if (!BindingsOn()) H.PickMenu();
}

// The host's cost of exactly the calls a detection makes (counted in a dry run):
// its ECTL_GETINFO calls and its line reads.
void HostCalls(benchmark::State& State, bool Control) {
    host::Host& H = TheHost();
    int Id = LongWindow();
    std::string Saved = H.Win().Lines[0].Text;
    if (Control) H.Win().Lines[0].Text[3] = '\x1B';
    H.ResetCounters();
    H.EditorEvent(EE_CLOSE, &Id);
    H.EditorEvent(EE_READ, nullptr);
    const int Infos = H.EctlCalls(ECTL_GETINFO), Reads = H.EctlCalls(ECTL_GETSTRING);
    H.Win().Lines[0].Text = Saved;
    DropLineCopies();
    if (!BindingsOn()) H.PickMenu();
    for (auto _ : State) {
        EditorInfo Ei;
        for (int I = 0; I < Infos; ++I) Ectl(ECTL_GETINFO, &Ei);
        for (int L = 0; L < Reads; ++L) {
            EditorGetString Egs{};
            Egs.StringNumber = L;
            Ectl(ECTL_GETSTRING, &Egs);
            benchmark::DoNotOptimize(Egs);
        }
        State.PauseTiming();
        DropLineCopies();
        State.ResumeTiming();
    }
    State.counters["getinfo"] = Infos;
    State.counters["getstring"] = Reads;
}

void DetectHostPlain(benchmark::State& State) {
    HostCalls(State, false);
}
BENCHMARK(DetectHostPlain)->Name("Detect/HostCallsPlain1M");

void DetectHostControl(benchmark::State& State) {
    HostCalls(State, true);
}
BENCHMARK(DetectHostControl)->Name("Detect/HostCallsControl1M");

// One ECTL_GETINFO of the stand-in on 1,000,000 lines: it looks for the selection
// line by line, which the detection pays for each of its calls.
void DetectHostGetInfo(benchmark::State& State) {
    LongWindow();
    EditorInfo Ei;
    for (auto _ : State) {
        Ectl(ECTL_GETINFO, &Ei);
        benchmark::DoNotOptimize(Ei);
    }
}
BENCHMARK(DetectHostGetInfo)->Name("Detect/HostGetInfo1M");

void DetectPlain(benchmark::State& State) {
    Redetect(State, false);
}
BENCHMARK(DetectPlain)->Name("Detect/Plain1M");

void DetectControl(benchmark::State& State) {
    Redetect(State, true);
}
BENCHMARK(DetectControl)->Name("Detect/Control1M");

}  // namespace

int SearchWindow() {
    return LongWindow();
}

}  // namespace bench
