// The benchmark program: the shared host, a reporter that keeps every figure, and
// the ratio table printed after the run (the table of docs/performance.md).
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "compat_control.h"
#include "ground/globals.h"
#include "support.h"
#include "text_gen.h"

namespace bench {

namespace {

std::unique_ptr<host::Host> Shared;

}  // namespace

host::Host& TheHost() {
    if (!Shared) {
        compat::ResetConsole();
        compat::ResetRegistry();
        Shared = std::make_unique<host::Host>();
        if (!Shared->LoadPlugin()) {
            std::fprintf(stderr, "cannot load %s\n", host::Host::DefaultPluginPath().c_str());
            std::exit(1);
        }
        Shared->StartPlugin();
    }
    return *Shared;
}

void CloseHost() {
    Shared.reset();
}

int Ectl(int Command, void* Param) {
    return TheHost().StartupInfo().EditorControl(Command, Param);
}

bool BindingsOn() {
    std::vector<std::string> Items = TheHost().MenuItems();
    return Items.size() == 1 && Items[0] == TheHost().Msg(tarvik::MTurnOff);
}

int OpenWindow(const std::string& Name, const std::string& Text, bool On) {
    host::Host& H = TheHost();
    const int Id = H.OpenWindow(Name, Text);
    if (BindingsOn() != On) H.PickMenu();
    if (BindingsOn() != On) {
        std::fprintf(stderr, "cannot switch the bindings of %s\n", Name.c_str());
        std::exit(1);
    }
    return Id;
}

long long TextBytes() {
    long long N = 0;
    for (const host::Line& L : TheHost().Win().Lines) N += static_cast<long long>(L.Text.size());
    return N;
}

std::map<std::string, Figures>& Results() {
    static std::map<std::string, Figures> R;
    return R;
}

}  // namespace bench

namespace {

// The console report, and every run's figures kept for the table.
class KeepingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override {
        for (const Run& R : Runs) {
            if (R.error_occurred || R.run_type != Run::RT_Iteration || R.iterations == 0) continue;
            const std::string Name =
                R.run_name.function_name + (R.run_name.args.empty() ? "" : "/" + R.run_name.args);
            bench::Figures& F = bench::Results()[Name];
            // CPU time: the machine is shared, and wall time counts the other processes.
            F.Seconds = R.cpu_accumulated_time / static_cast<double>(R.iterations);
            F.WallSeconds = R.real_accumulated_time / static_cast<double>(R.iterations);
            for (const auto& [Name, C] : R.counters) F.Values[Name] = C.value;
        }
        ConsoleReporter::ReportRuns(Runs);
    }
};

const bench::Figures* Find(const std::string& Name) {
    auto It = bench::Results().find(Name);
    return It == bench::Results().end() ? nullptr : &It->second;
}

std::string Time(double Seconds) {
    char Buf[64];
    if (Seconds < 1e-6)
        std::snprintf(Buf, sizeof Buf, "%.1f ns", Seconds * 1e9);
    else if (Seconds < 1e-3)
        std::snprintf(Buf, sizeof Buf, "%.2f us", Seconds * 1e6);
    else if (Seconds < 1)
        std::snprintf(Buf, sizeof Buf, "%.2f ms", Seconds * 1e3);
    else
        std::snprintf(Buf, sizeof Buf, "%.2f s", Seconds);
    return Buf;
}

std::string Num(double V, const char* Fmt = "%.3g") {
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, Fmt, V);
    return Buf;
}

double Value(const bench::Figures* F, const char* Name) {
    if (!F) return NAN;
    auto It = F->Values.find(Name);
    return It == F->Values.end() ? NAN : It->second;
}

// One row: what, the plug-in's figure, the baseline's figure, and their ratio.
void Row(const std::string& What, const std::string& Ours, const std::string& Base, double Ratio,
         const std::string& Extra = "") {
    std::printf("| %s | %s | %s | %s | %s |\n", What.c_str(), Ours.c_str(), Base.c_str(),
                std::isnan(Ratio) ? "n/a" : Num(Ratio, "%.2f").c_str(), Extra.c_str());
}

// Time per unit of a benchmark against a baseline's, with Units dividing both.
void TimeRow(const std::string& What, const std::string& Ours, const std::string& Base,
             double Units = 1, const std::string& Extra = "") {
    const bench::Figures* A = Find(Ours);
    const bench::Figures* B = Find(Base);
    if (!A || !B) {
        Row(What, A ? Time(A->Seconds / Units) : "missing",
            B ? Time(B->Seconds / Units) : "missing", NAN, Extra);
        return;
    }
    Row(What, Time(A->Seconds / Units), Time(B->Seconds / Units), A->Seconds / B->Seconds, Extra);
}

// The same with the two times given, both taken by one benchmark.
void SpeedRowOf(const std::string& What, double Ours, double Base, double Bytes,
                const std::string& Extra = "") {
    auto Speed = [&](double Seconds) { return Num(Bytes / Seconds / 1e6, "%.0f MB/s"); };
    if (std::isnan(Ours) || std::isnan(Base) || Ours <= 0 || Base <= 0)
        Row(What, "n/a", "n/a", NAN, Extra);
    else
        Row(What, Speed(Ours), Speed(Base), Base / Ours, Extra);
}

std::string Calls(const std::string& Name, const char* Counter, const char* Unit) {
    const bench::Figures* F = Find(Name);
    double V = Value(F, Counter);
    return std::isnan(V) ? std::string("missing") : Num(V, "%.4g") + " " + Unit;
}

void PrintTable() {
    std::printf("\n## Ratios (Tarvik against the baseline measured in this run)\n\n");
    std::printf("| Measure | Tarvik | Baseline | Ratio | Host calls |\n");
    std::printf("|---|---|---|---|---|\n");

    TimeRow("1. Gate: key press, bindings off (vs one ECTL_GETINFO)", "Gate/BindingsOff/KeyPress",
            "Gate/HostGetInfo", 1,
            Calls("Gate/BindingsOff/KeyPress", "calls_per_event", "per event"));
    TimeRow("1. Gate: key release, bindings on (vs one ECTL_GETINFO)", "Gate/BindingsOn/KeyRelease",
            "Gate/HostGetInfo", 1,
            Calls("Gate/BindingsOn/KeyRelease", "calls_per_event", "per event"));
    TimeRow("1. Gate: unbound key press, bindings on (vs one ECTL_GETINFO)",
            "Gate/BindingsOn/UnboundKey", "Gate/HostGetInfo", 1,
            Calls("Gate/BindingsOn/UnboundKey", "calls_per_event", "per event"));

    auto DetectCalls = [](const std::string& Name) {
        return Calls(Name, "getinfo", "ECTL_GETINFO + ") +
               Calls(Name, "getstring", "ECTL_GETSTRING");
    };
    TimeRow("2. Detection, 1,000,000 plain lines (vs the host's cost of the same calls)",
            "Detect/Plain1M", "Detect/HostCallsPlain1M", 1, DetectCalls("Detect/Plain1M"));
    TimeRow("2. Detection, 1,000,000 lines, control byte on line 0 (vs the same calls)",
            "Detect/Control1M", "Detect/HostCallsControl1M", 1, DetectCalls("Detect/Control1M"));
    TimeRow("2. One stand-in ECTL_GETINFO on 1,000,000 lines (vs detection)",
            "Detect/HostGetInfo1M", "Detect/Plain1M");

    for (const bench::SearchPattern& P : bench::SearchPatterns()) {
        const std::string Name = "3. FindText '" + P.Shown + "'";
        // The walk with the host's answers to the searches' ECTL_GETINFO calls; the
        // ratio against the walk alone is given beside it.
        const bench::Figures* Search = Find("Search/FindText/" + P.Tag);
        const double Seconds = Search ? Search->Seconds : NAN;
        const double Walk = Value(Search, "walk_seconds");
        const double Info = Value(Search, "getinfo_seconds");
        std::string Note = "walk alone " + Num(Walk / Seconds, "%.2f") + ", " +
                           Num(Value(Search, "getinfo_calls"), "%.0f") + " ECTL_GETINFO";
        if (P.Hits) Note += ", " + Num(Value(Search, "hits"), "%.0f") + " hits";
        SpeedRowOf(Name + " (vs the host's own line walk)", Seconds, Walk + Info,
                   Value(Search, "bytes"), Note);
        const bench::Figures* Own = Find("Search/OwnPart/" + P.Tag);
        const double OwnBytes = Value(Own, "bytes");
        const double OwnSeconds = Value(Own, "seconds");
        const std::string LineHits = Num(Value(Own, "hits"), "%.0f") + " of " +
                                     Num(Value(Own, "lines"), "%.0f") + " lines hit";
        SpeedRowOf(Name + ", its own part (vs memmem, exact bytes)", OwnSeconds,
                   Value(Own, "memmem_seconds"), OwnBytes,
                   LineHits + " (memmem " + Num(Value(Own, "memmem_hits"), "%.0f") + ")");
        SpeedRowOf(Name + ", its own part (vs the plain scan)", OwnSeconds,
                   Value(Own, "plain_seconds"), OwnBytes);
    }
    std::printf("| 3. FindText host calls and Esc polls | %s | %s | | |\n",
                Calls("Search/FindText/q", "calls_per_line", "calls/line").c_str(),
                Calls("Search/FindText/q", "polls_per_line", "polls/line").c_str());
    {
        const bench::Figures* Key = Find("Search/Keystroke");
        const bench::Figures* Box = Find("Search/HostScreenAndBox");
        if (Key && Box) {
            // A search of 100 typed characters and Enter.
            const double PerKey = Key->Seconds / 100;
            Row("3. Incremental search, one typed character on a short text (vs the host's "
                "screen save, box and restore)",
                Time(PerKey), Time(Box->Seconds), PerKey / Box->Seconds);
        }
    }

    TimeRow("3. (also) Bracket with no match, 1,000,000 lines (vs the host's reads of them)",
            "Brackets/Unmatched1M", "Brackets/HostReads1M", 1,
            Calls("Brackets/Unmatched1M", "calls_per_line", "per line"));

    const double BlockLines = 100000;
    TimeRow(
        "4. Block copy, per line (vs raw ECTL_SETSTRING + ECTL_SETPOSITION + ECTL_INSERTSTRING)",
        "Block/Copy", "Block/RawInsert", BlockLines,
        Calls("Block/Copy", "calls_per_line", "per line"));
    TimeRow("4. Block delete, per line (vs raw ECTL_SETPOSITION + ECTL_DELETESTRING)",
            "Block/Delete", "Block/RawDelete", BlockLines,
            Calls("Block/Delete", "calls_per_line", "per line"));
    TimeRow("4. Block move, per line (vs the raw insert at the cursor, then the raw delete)",
            "Block/Move", "Block/RawMove", BlockLines,
            Calls("Block/Move", "calls_per_line", "per line"));

    const double Keys = 100000;
    {
        const bench::Figures* Rec = Find("Recorder/Recording");
        const bench::Figures* Typ = Find("Recorder/Typing");
        const bench::Figures* Vec = Find("Recorder/Vector");
        if (Rec && Typ && Vec) {
            const double Extra = (Rec->Seconds - Typ->Seconds) / Keys;
            Row("5. Recording: cost per key above typing (vs std::vector push_back)", Time(Extra),
                Time(Vec->Seconds / Keys), Extra / (Vec->Seconds / Keys));
            Row("5. Recording: memory of 100,000 keys (vs std::vector capacity)",
                Num(Value(Rec, "heap_bytes"), "%.0f B"), Num(Value(Vec, "heap_bytes"), "%.0f B"),
                Value(Rec, "heap_bytes") / Value(Vec, "heap_bytes"));
        }
    }
    TimeRow("5. Typing while recording (vs typing)", "Recorder/Recording", "Recorder/Typing", Keys);
    TimeRow("5. Replay of 100,000 keys (vs the same keys typed)", "Recorder/Replay",
            "Recorder/Typed", Keys);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::TheHost();
    KeepingReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    PrintTable();
    bench::CloseHost();
    benchmark::Shutdown();
    return 0;
}
