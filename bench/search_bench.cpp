// 3. Text search over 1,000,000 lines (about 60 MB) with no hit: FindText driven by
// Ctrl+L, against the same case rule applied directly to the host's lines, against
// memmem on the same bytes, and against the host's own walk over the lines.
#include <cstring>
#include <ctime>

#include "compat_control.h"
#include "support.h"

namespace bench {

int SearchWindow();

namespace {

// The upper-casing of code page 866, which the search uses in an OEM window.
struct OemUpper {
    unsigned char T[256];
    OemUpper() {
        for (int C = 0; C < 256; ++C) T[C] = static_cast<unsigned char>(C);
        for (int C = 0x61; C <= 0x7A; ++C) T[C] = static_cast<unsigned char>(C - 0x20);
        for (int C = 0xA0; C <= 0xAF; ++C) T[C] = static_cast<unsigned char>(C - 0x20);
        for (int C = 0xE0; C <= 0xEF; ++C) T[C] = static_cast<unsigned char>(C - 0x50);
        for (int C = 0xF1; C <= 0xF7; C += 2) T[C] = static_cast<unsigned char>(C - 1);
    }
};
const OemUpper kOem;

// The case rule as written: pairs (upper, difference), a text byte folded only
// where the pattern's difference is nonzero, one position after another.
bool MatchesAt(const unsigned char* Pairs, const unsigned char* Text) {
    for (int K = 0;; ++K) {
        const unsigned char U = Pairs[2 * K];
        if (!U) return true;
        unsigned char T = Text[K];
        if (Pairs[2 * K + 1]) T = kOem.T[T];
        if (T != U) return false;
    }
}

// Makes Pattern the window's search text: an incremental search that finds it on a
// line made to hold it for the moment, ended with Enter.
bool SetSearchText(const std::string& Pattern) {
    host::Host& H = TheHost();
    host::Line& First = H.Win().Lines[0];
    const std::string Saved = First.Text;
    First.Text = Pattern + " " + Saved;
    DropLineCopies();
    H.SetCursor(0, 0);
    std::vector<INPUT_RECORD> Events;
    for (unsigned char C : Pattern) Events.push_back(host::CharPress(C));
    Events.push_back(host::KeyPress("Enter"));
    H.WriteInput(Events);
    H.Feed(host::KeyPress("Ctrl+Shift+S"));
    const bool Found = H.Win().CurLine == 0 && H.Win().CurPos == static_cast<int>(Pattern.size());
    First.Text = Saved;
    DropLineCopies();
    H.DiscardInput();
    H.ClearSelection();
    H.SetCursor(0, 0);
    return Found;
}

// What the host itself costs a scan: one ECTL_SETPOSITION and one ECTL_GETSTRING
// per line, as FindText makes them, and nothing compared.
long long WalkLines() {
    const int Total = static_cast<int>(TheHost().Win().Lines.size());
    long long Sum = 0;
    EditorSetPosition Esp;
    Esp.CurPos = 0;
    Esp.CurTabPos = Esp.TopScreenLine = Esp.LeftPos = Esp.Overtype = -1;
    for (int L = 0; L < Total; ++L) {
        Esp.CurLine = L;
        Ectl(ECTL_SETPOSITION, &Esp);
        EditorGetString Egs{};
        Egs.StringNumber = -1;
        Ectl(ECTL_GETSTRING, &Egs);
        Sum += Egs.StringLength;
    }
    return Sum;
}

void HostWalk(benchmark::State& State) {
    host::Host& H = TheHost();
    SearchWindow();
    long long Sum = 0;
    for (auto _ : State) {
        Sum += WalkLines();
        State.PauseTiming();
        DropLineCopies();
        H.SetCursor(0, 0);
        State.ResumeTiming();
    }
    benchmark::DoNotOptimize(Sum);
    State.counters["bytes"] = static_cast<double>(TextBytes());
    State.SetBytesProcessed(static_cast<int64_t>(TextBytes()) * State.iterations());
}

double CpuSeconds() {
    timespec T;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
    return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) * 1e-9;
}

void FindText(benchmark::State& State, const std::string& Pattern) {
    host::Host& H = TheHost();
    SearchWindow();
    if (!SetSearchText(Pattern)) {
        State.SkipWithError("the incremental search did not take the search text");
        return;
    }
    const long long Bytes = TextBytes();
    const double Lines = static_cast<double>(H.Win().Lines.size());
    const size_t Boxes = H.Messages.size();
    H.ResetCounters();
    compat::ResetConsole();
    // The host's walk over the same lines, timed between the searches so that both
    // meet the same state of the heap: FindText less this is the plug-in's own part.
    double WalkSeconds = 0;
    long long Sum = 0;
    long long SearchCalls = 0;
    for (auto _ : State) {
        H.Feed(host::KeyPress("^L"));
        State.PauseTiming();
        DropLineCopies();
        SearchCalls += H.TotalCalls();
        const double T0 = CpuSeconds();
        Sum += WalkLines();
        WalkSeconds += CpuSeconds() - T0;
        DropLineCopies();
        H.SetCursor(0, 0);
        // The walk's calls are not the search's.
        H.ResetCounters();
        State.ResumeTiming();
    }
    benchmark::DoNotOptimize(Sum);
    const double N = static_cast<double>(State.iterations());
    // Each Ctrl+L shows the searching box and ends with the not-found box, the warning:
    // a hit or a lost box means a wrong scan.
    size_t Warnings = 0;
    for (size_t I = Boxes; I < H.Messages.size(); ++I)
        Warnings += (H.Messages[I].Flags & FMSG_WARNING) != 0;
    if (Warnings != static_cast<size_t>(State.iterations()) || H.Win().CurLine != 0 ||
        H.Win().CurPos != 0)
        State.SkipWithError(("Ctrl+L did not end with the not-found box: boxes " +
                             std::to_string(Warnings) + ", cursor " +
                             std::to_string(H.Win().CurLine) + ":" + std::to_string(H.Win().CurPos))
                                .c_str());
    State.counters["bytes"] = static_cast<double>(Bytes);
    State.counters["calls_per_line"] = static_cast<double>(SearchCalls) / N / Lines;
    State.counters["walk_seconds"] = WalkSeconds / N;
    State.counters["polls_per_line"] =
        compat::ConsoleCallCount(compat::ConsoleCall::NumberOfEvents) / N / Lines;
    State.SetBytesProcessed(static_cast<int64_t>(Bytes) * State.iterations());
}

void DirectCaseRule(benchmark::State& State, const std::string& Pattern) {
    SearchWindow();
    const size_t N = Pattern.size();
    std::vector<unsigned char> Pairs(2 * N + 1, 0);
    for (size_t K = 0; K < N; ++K) {
        const unsigned char C = static_cast<unsigned char>(Pattern[K]);
        Pairs[2 * K] = kOem.T[C];
        Pairs[2 * K + 1] = static_cast<unsigned char>(kOem.T[C] - C);
    }
    const std::vector<host::Line>& Lines = TheHost().Win().Lines;
    long long Hits = 0;
    for (auto _ : State) {
        for (const host::Line& L : Lines) {
            const unsigned char* T = reinterpret_cast<const unsigned char*>(L.Text.c_str());
            const long long Last =
                static_cast<long long>(L.Text.size()) - static_cast<long long>(N);
            for (long long C = 0; C <= Last; ++C) {
                if (MatchesAt(Pairs.data(), T + C)) {
                    ++Hits;
                    break;
                }
            }
        }
    }
    benchmark::DoNotOptimize(Hits);
    if (Hits) State.SkipWithError("the pattern occurs in the text");
    State.counters["bytes"] = static_cast<double>(TextBytes());
    State.SetBytesProcessed(static_cast<int64_t>(TextBytes()) * State.iterations());
}

void Memmem(benchmark::State& State, const std::string& Pattern) {
    SearchWindow();
    const std::vector<host::Line>& Lines = TheHost().Win().Lines;
    long long Hits = 0;
    for (auto _ : State) {
        for (const host::Line& L : Lines)
            if (memmem(L.Text.data(), L.Text.size(), Pattern.data(), Pattern.size())) ++Hits;
    }
    benchmark::DoNotOptimize(Hits);
    if (Hits) State.SkipWithError("the pattern occurs in the text");
    State.counters["bytes"] = static_cast<double>(TextBytes());
    State.SetBytesProcessed(static_cast<int64_t>(TextBytes()) * State.iterations());
}

// Not one of the searches, but the other scan without a bound: a bracket with no
// match reads every line to the end of the file (Ctrl+Q [), against the host's
// own cost of reading them the same way (tabs expanded, then read).
void BracketUnmatched(benchmark::State& State) {
    host::Host& H = TheHost();
    SearchWindow();
    host::Line& First = H.Win().Lines[0];
    const std::string Saved = First.Text;
    First.Text = "{" + Saved;  // no brace anywhere else
    DropLineCopies();
    H.ResetCounters();
    for (auto _ : State) {
        H.SetCursor(0, 0);
        H.Feed(host::KeyPress("^Q"));
        H.Feed(host::KeyPress("["));
        State.PauseTiming();
        DropLineCopies();
        State.ResumeTiming();
    }
    if (H.Win().CurLine != 0 || H.Win().CurPos != 0) State.SkipWithError("the cursor moved");
    State.counters["calls_per_line"] = H.TotalCalls() / static_cast<double>(State.iterations()) /
                                       static_cast<double>(H.Win().Lines.size());
    First.Text = Saved;
    DropLineCopies();
}

void BracketHostReads(benchmark::State& State) {
    host::Host& H = TheHost();
    SearchWindow();
    const int Total = static_cast<int>(H.Win().Lines.size());
    long long Sum = 0;
    for (auto _ : State) {
        for (int L = 0; L < Total; ++L) {
            int N = L;
            Ectl(ECTL_EXPANDTABS, &N);
            EditorGetString Egs{};
            Egs.StringNumber = L;
            Ectl(ECTL_GETSTRING, &Egs);
            Sum += Egs.StringLength;
        }
        State.PauseTiming();
        DropLineCopies();
        State.ResumeTiming();
    }
    benchmark::DoNotOptimize(Sum);
}

BENCHMARK(BracketHostReads)->Name("Brackets/HostReads1M")->Unit(benchmark::kMillisecond);
BENCHMARK(BracketUnmatched)->Name("Brackets/Unmatched1M")->Unit(benchmark::kMillisecond);

BENCHMARK(HostWalk)->Name("Search/HostWalk")->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(FindText, a, std::string("then_missing"))
    ->Name("Search/FindText/then_missing")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK_CAPTURE(DirectCaseRule, a, std::string("then_missing"))
    ->Name("Search/DirectCaseRule/then_missing")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK_CAPTURE(Memmem, a, std::string("then_missing"))
    ->Name("Search/Memmem/then_missing")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK_CAPTURE(FindText, b, std::string("Then_Missing"))
    ->Name("Search/FindText/Then_Missing")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK_CAPTURE(DirectCaseRule, b, std::string("Then_Missing"))
    ->Name("Search/DirectCaseRule/Then_Missing")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK_CAPTURE(Memmem, b, std::string("Then_Missing"))
    ->Name("Search/Memmem/Then_Missing")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

}  // namespace

}  // namespace bench
