// 3. Text search over 1,000,000 lines (about 60 MB): FindText driven by Ctrl+L against
// the host's own walk over the same lines, timed in the same benchmark; the scan of a
// line alone (the plug-in's own part) on in-cache lines against memmem and against the
// plain scan, in one benchmark as well; and the fixed cost of a search keystroke.
#include <cstring>
#include <ctime>
#include <memory>

#include "compat_control.h"
#include "interactive/host170/line_scan.h"
#include "support.h"

namespace bench {

int SearchWindow();

namespace {

constexpr int kCyrillicLines = 1000000;
// Lines of the in-cache measurement: about 250 KB, within the second-level cache.
constexpr int kOwnLines = 4096;

// The window of a pattern's text, current.
void TextWindow(Corpus Text) {
    if (Text == Corpus::Latin) {
        SearchWindow();
        return;
    }
    const bool Ansi = Text == Corpus::CyrillicAnsi;
    static int Ids[2] = {0, 0};
    int& Id = Ids[Ansi];
    if (!Id) {
        Id = OpenWindow(Ansi ? "cyrillic-ansi.txt" : "cyrillic-oem.txt",
                        MakeCyrillicText(kCyrillicLines, 60, 5, Ansi), true);
        TheHost().Win().AnsiMode = Ansi;
    }
    TheHost().SwitchTo(Id);
}

// Makes Pattern (OEM characters) the window's search text: an incremental search that
// finds it on a line made to hold it for the moment, ended with Enter.
bool SetSearchText(const std::string& Oem) {
    host::Host& H = TheHost();
    host::Line& First = H.Win().Lines[0];
    const std::string Saved = First.Text;
    std::string Line = Oem;
    if (H.Win().AnsiMode) OemToCharBuffA(Line.data(), Line.data(), static_cast<DWORD>(Line.size()));
    First.Text = Line + " " + Saved;
    DropLineCopies();
    H.SetCursor(0, 0);
    std::vector<INPUT_RECORD> Events;
    for (unsigned char C : Oem) Events.push_back(host::CharPress(C));
    Events.push_back(host::KeyPress("Enter"));
    H.WriteInput(Events);
    H.Feed(host::KeyPress("Ctrl+Shift+S"));
    const bool Found = H.Win().CurLine == 0 && H.Win().CurPos == static_cast<int>(Oem.size());
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

double CpuSeconds() {
    timespec T;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
    return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) * 1e-9;
}

size_t Warnings(const host::Host& H, size_t From) {
    size_t N = 0;
    for (size_t I = From; I < H.Messages.size(); ++I)
        N += (H.Messages[I].Flags & FMSG_WARNING) != 0;
    return N;
}

// Ctrl+L from the top of the file to its end: one search when the text is missing,
// one per hit and a last one otherwise. Between the iterations, the baseline: the host's
// walk over the same lines, under the same state of the heap, with the release of the
// copies of the lines it handed out (the search's redraw releases them), and apart
// from it the host's cost of the ECTL_GETINFO calls the searches made.
void FindText(benchmark::State& State, const SearchPattern& P) {
    host::Host& H = TheHost();
    TextWindow(P.Text);
    if (!SetSearchText(P.Oem)) {
        State.SkipWithError("the incremental search did not take the search text");
        return;
    }
    const long long Bytes = TextBytes();
    const double Lines = static_cast<double>(H.Win().Lines.size());
    H.ResetCounters();
    compat::ResetConsole();
    double WalkSeconds = 0, InfoSeconds = 0;
    long long Sum = 0;
    long long SearchCalls = 0, Infos = 0;
    long long Hits = 0;
    bool Wrong = false;
    for (auto _ : State) {
        for (;;) {
            const size_t Boxes = H.Messages.size();
            H.Feed(host::KeyPress("^L"));
            if (Warnings(H, Boxes) != 0) break;
            ++Hits;
        }
        State.PauseTiming();
        // Each search ends with the not-found box, the warning, with the cursor back
        // where the last hit left it.
        Wrong = Wrong || (P.Hits ? H.Win().CurLine == 0 : H.Win().CurLine != 0);
        H.Messages.clear();
        DropLineCopies();
        SearchCalls += H.TotalCalls();
        const int InfoCalls = H.EctlCalls(ECTL_GETINFO);
        Infos += InfoCalls;
        // The walk with the host's release of the line copies it handed out, which
        // the search pays at its redraw.
        double T0 = CpuSeconds();
        Sum += WalkLines();
        DropLineCopies();
        WalkSeconds += CpuSeconds() - T0;
        // The searches' ECTL_GETINFO calls, which the stand-in answers by a walk of its own.
        T0 = CpuSeconds();
        for (int I = 0; I < InfoCalls; ++I) {
            EditorInfo Ei;
            Ectl(ECTL_GETINFO, &Ei);
            benchmark::DoNotOptimize(Ei);
        }
        InfoSeconds += CpuSeconds() - T0;
        DropLineCopies();
        H.SetCursor(0, 0);
        // The walk's calls are not the search's.
        H.ResetCounters();
        State.ResumeTiming();
    }
    benchmark::DoNotOptimize(Sum);
    const double N = static_cast<double>(State.iterations());
    if (Wrong || (Hits != 0) != P.Hits)
        State.SkipWithError(("wrong hits: " + std::to_string(Hits / N) + " per search").c_str());
    State.counters["bytes"] = static_cast<double>(Bytes);
    State.counters["hits"] = static_cast<double>(Hits) / N;
    State.counters["calls_per_line"] = static_cast<double>(SearchCalls) / N / Lines;
    State.counters["walk_seconds"] = WalkSeconds / N;
    State.counters["getinfo_seconds"] = InfoSeconds / N;
    State.counters["getinfo_calls"] = static_cast<double>(Infos) / N;
    State.counters["polls_per_line"] =
        compat::ConsoleCallCount(compat::ConsoleCall::NumberOfEvents) / N / Lines;
    State.SetBytesProcessed(static_cast<int64_t>(Bytes) * State.iterations());
}

// The scan of a line alone, as FindText runs it on each line the host hands over, on the
// first lines of the pattern's text (copied, so that the stand-in's own copies stay out
// of the cache): each line from its start to its first hit. The baselines run on the
// same lines in the same iterations, timed by the same clock: memmem on the exact bytes
// of the pattern, and the plain scan, which is what FindText runs without the vector
// filter.
void OwnPart(benchmark::State& State, const SearchPattern& P) {
    TextWindow(P.Text);
    std::vector<std::string> Lines;
    long long Bytes = 0;
    for (const host::Line& L : TheHost().Win().Lines) {
        if (static_cast<int>(Lines.size()) == kOwnLines) break;
        Lines.push_back(L.Text);
        Bytes += static_cast<long long>(L.Text.size());
    }
    // The pattern as FindText builds it in this window's code page and table.
    const bool Ansi = P.Text == Corpus::CyrillicAnsi;
    std::string Exact = P.Oem;
    if (Ansi) OemToCharBuffA(Exact.data(), Exact.data(), static_cast<DWORD>(Exact.size()));
    const unsigned char* Table = Ansi ? tarvik::AnsiUpperTable : tarvik::OemUpperTable;
    const int N = static_cast<int>(Exact.size());
    std::vector<unsigned char> Pairs(2 * Exact.size() + 1);
    memcpy(Pairs.data(), Exact.data(), Exact.size());
    tarvik::EncodeSearchPattern(Pairs.data(), Table, N);
    auto Vector = std::make_unique<tarvik::TScanPattern>();
    auto Plain = std::make_unique<tarvik::TScanPattern>();
    tarvik::PrepareScan(*Vector, Pairs.data(), N, Table, true);
    tarvik::PrepareScan(*Plain, Pairs.data(), N, Table, false);

    long long Hits = 0, PlainHits = 0, MemmemHits = 0;
    double Seconds = 0, MemmemSeconds = 0, PlainSeconds = 0;
    auto Scan = [&](const tarvik::TScanPattern& Sp, long long& Found) {
        for (const std::string& L : Lines) {
            Found += tarvik::FindInLine(Sp, reinterpret_cast<const unsigned char*>(L.c_str()),
                                        static_cast<int64_t>(L.size()), 0) >= 0;
        }
    };
    // Each timed over several passes, the three by the same clock.
    constexpr int kPasses = 8;
    for (auto _ : State) {
        double T0 = CpuSeconds();
        for (int I = 0; I < kPasses; ++I) Scan(*Vector, Hits);
        double T1 = CpuSeconds();
        for (int I = 0; I < kPasses; ++I) {
            for (const std::string& L : Lines)
                MemmemHits += memmem(L.data(), L.size(), Exact.data(), Exact.size()) != nullptr;
        }
        double T2 = CpuSeconds();
        for (int I = 0; I < kPasses; ++I) {
            for (const std::string& L : Lines) {
                PlainHits += tarvik::FindInLinePlain(
                                 *Plain, reinterpret_cast<const unsigned char*>(L.c_str()),
                                 static_cast<int64_t>(L.size()), 0) >= 0;
            }
        }
        double T3 = CpuSeconds();
        Seconds += T1 - T0;
        MemmemSeconds += T2 - T1;
        PlainSeconds += T3 - T2;
    }
    const double Passes = static_cast<double>(State.iterations()) * kPasses;
    if (Hits != PlainHits) State.SkipWithError("the vector and the plain scan disagree");
    State.counters["bytes"] = static_cast<double>(Bytes);
    State.counters["lines"] = static_cast<double>(Lines.size());
    State.counters["hits"] = static_cast<double>(Hits) / Passes;
    State.counters["memmem_hits"] = static_cast<double>(MemmemHits) / Passes;
    State.counters["seconds"] = Seconds / Passes;
    State.counters["memmem_seconds"] = MemmemSeconds / Passes;
    State.counters["plain_seconds"] = PlainSeconds / Passes;
}

// What a typed character of the incremental search costs on a short text: FindText's
// screen save, searching box and restore around a scan of one line, then the selection,
// the prompt and a redraw. Against the host's own cost of the first three.
constexpr int kTypedPerSearch = 100;

void SearchKeystroke(benchmark::State& State) {
    host::Host& H = TheHost();
    static int Id = 0;
    if (!Id) Id = OpenWindow("short.txt", std::string(2 * kTypedPerSearch, 't') + "\nend\n", true);
    H.SwitchTo(Id);
    std::vector<INPUT_RECORD> Events(kTypedPerSearch, host::CharPress('t'));
    Events.push_back(host::KeyPress("Enter"));
    for (auto _ : State) {
        H.SetCursor(0, 0);
        H.WriteInput(Events);
        H.Feed(host::KeyPress("Ctrl+Shift+S"));
        State.PauseTiming();
        H.Messages.clear();
        DropLineCopies();
        State.ResumeTiming();
    }
    if (H.Win().CurPos != kTypedPerSearch) State.SkipWithError("the typed text was not found");
}

void HostScreenAndBox(benchmark::State& State) {
    host::Host& H = TheHost();
    const PluginStartupInfo& Psi = H.StartupInfo();
    const char* const Items[] = {"Search", "Searching for", "\"tttttttttt\""};
    for (auto _ : State) {
        HANDLE Screen = Psi.SaveScreen(0, 0, -1, -1);
        Psi.Message(Psi.ModuleNumber, 0, nullptr, Items, 3, 0);
        Psi.RestoreScreen(Screen);
        State.PauseTiming();
        H.Messages.clear();
        State.ResumeTiming();
    }
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

const bool Registered = [] {
    for (const SearchPattern& P : SearchPatterns()) {
        benchmark::RegisterBenchmark(("Search/FindText/" + P.Tag).c_str(), FindText, P)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(4);
        benchmark::RegisterBenchmark(("Search/OwnPart/" + P.Tag).c_str(), OwnPart, P)
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(1);
    }
    benchmark::RegisterBenchmark("Search/Keystroke", SearchKeystroke)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Search/HostScreenAndBox", HostScreenAndBox)
        ->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace

}  // namespace bench
