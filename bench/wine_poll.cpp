// Times the search of the DLL under Wine, where each Esc poll is a console call into
// the Wine server: the raw cost of one poll, a search with no hit (Ctrl+L) per line,
// and the host's own walk over the same lines, which together give the poll's share of
// a long scan, and how long a scan goes on after an Esc. Then, for every pattern of the
// native benchmarks, the DLL's own part of a search per line (the search less the time
// spent in the host's services and the console calls it makes), and the line scan, built
// into this program from the DLL's source with the same compiler, on lines in the cache.
// Last, the shipped DLL's scan against a build of the same sources at -O2 (ShippedScanRows).
// Prints "key value unit" lines, then that table. Arguments: lines (20000), runs (2), DLL
// path (Tarvik.dll beside the program), path of the -O2 build (o2\Tarvik.dll beside the DLL).
#include <windows.h>
#include <x86intrin.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host.h"
#include "host_impl.h"
#include "interactive/host170/line_scan.h"
#include "ground/globals.h"
#include "text_gen.h"

namespace {

// Set by the Esc thread: when it wrote the Esc.
volatile double EscWrittenAt = 0;
double Now();

// Writes an Esc into the console input after the delay given in milliseconds.
DWORD WINAPI WriteEscLater(LPVOID Delay) {
    Sleep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(Delay)));
    INPUT_RECORD Esc = host::KeyPress("Esc");
    DWORD Written = 0;
    EscWrittenAt = Now();
    WriteConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &Esc, 1, &Written);
    return 0;
}

double Now() {
    static LARGE_INTEGER Frequency = [] {
        LARGE_INTEGER F;
        QueryPerformanceFrequency(&F);
        return F;
    }();
    LARGE_INTEGER T;
    QueryPerformanceCounter(&T);
    return static_cast<double>(T.QuadPart) / static_cast<double>(Frequency.QuadPart);
}

void Report(const char* Key, double Value, const char* Unit) {
    std::printf("%s %.4g %s\n", Key, Value, Unit);
    std::fflush(stdout);
}

// The best of Runs timings of Body, in seconds.
template <typename BodyT>
double Best(int Runs, BodyT Body) {
    double Min = 1e30;
    for (int R = 0; R < Runs; ++R) {
        const double Start = Now();
        Body();
        Min = std::min(Min, Now() - Start);
    }
    return Min;
}

// ---- The poll, watched: the DLL's import of the console call is pointed at a
// wrapper that notes the time of every call.

using TNumberOfEvents = BOOL(WINAPI*)(HANDLE, LPDWORD);
TNumberOfEvents RealNumberOfEvents = nullptr;
std::vector<double> PollTimes;
bool NotingPolls = false;

// Time-stamp counter ticks spent outside the DLL's own code during a search, in the
// host's services and in the console calls the DLL makes, and the number of those calls.
unsigned long long OutsideTicks = 0;
unsigned long long OutsideCalls = 0;

struct OutsideTimer {
    unsigned long long Start = __rdtsc();
    ~OutsideTimer() {
        OutsideTicks += __rdtsc() - Start;
        ++OutsideCalls;
    }
};

BOOL WINAPI WatchedNumberOfEvents(HANDLE Input, LPDWORD Count) {
    OutsideTimer T;
    if (NotingPolls) PollTimes.push_back(Now());
    return RealNumberOfEvents(Input, Count);
}

using TConsoleInput = BOOL(WINAPI*)(HANDLE, PINPUT_RECORD, DWORD, LPDWORD);
TConsoleInput RealPeekInput = nullptr;
TConsoleInput RealReadInput = nullptr;

BOOL WINAPI TimedPeekInput(HANDLE Input, PINPUT_RECORD Buffer, DWORD Length, LPDWORD Read) {
    OutsideTimer T;
    return RealPeekInput(Input, Buffer, Length, Read);
}

BOOL WINAPI TimedReadInput(HANDLE Input, PINPUT_RECORD Buffer, DWORD Length, LPDWORD Read) {
    OutsideTimer T;
    return RealReadInput(Input, Buffer, Length, Read);
}

// The host's services as the DLL reaches them, timed.
PluginStartupInfo HostServices;

int WINAPI TimedEditorControl(int Command, void* Param) {
    OutsideTimer T;
    return HostServices.EditorControl(Command, Param);
}

HANDLE WINAPI TimedSaveScreen(int X1, int Y1, int X2, int Y2) {
    OutsideTimer T;
    return HostServices.SaveScreen(X1, Y1, X2, Y2);
}

void WINAPI TimedRestoreScreen(HANDLE Screen) {
    OutsideTimer T;
    HostServices.RestoreScreen(Screen);
}

int WINAPI TimedMessage(int PluginNumber, unsigned Flags, const char* HelpTopic,
                        const char* const* Items, int ItemsNumber, int ButtonsNumber) {
    OutsideTimer T;
    return HostServices.Message(PluginNumber, Flags, HelpTopic, Items, ItemsNumber, ButtonsNumber);
}

const char* WINAPI TimedGetMsg(int PluginNumber, int MsgId) {
    OutsideTimer T;
    return HostServices.GetMsg(PluginNumber, MsgId);
}

void WINAPI TimedText(int X, int Y, int Color, const char* Str) {
    OutsideTimer T;
    HostServices.Text(X, Y, Color, Str);
}

// A timed call that does nothing: what the timing adds to a call outside its own window.
__attribute__((noinline)) int WINAPI TimedNothing(int Command, void* Param) {
    OutsideTimer T;
    return Command + (Param != nullptr);
}

// Replaces the module's import of KERNEL32!Name by Hook; false when it has none.
bool HookImport(HMODULE Module, const char* Name, void* Hook, void** Real) {
    auto* Base = reinterpret_cast<BYTE*>(Module);
    auto* Dos = reinterpret_cast<IMAGE_DOS_HEADER*>(Base);
    auto* Nt = reinterpret_cast<IMAGE_NT_HEADERS*>(Base + Dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& Dir =
        Nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!Dir.VirtualAddress) return false;
    for (auto* Imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(Base + Dir.VirtualAddress);
         Imp->Name; ++Imp) {
        if (lstrcmpiA(reinterpret_cast<const char*>(Base + Imp->Name), "KERNEL32.dll") != 0)
            continue;
        auto* Names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            Base + (Imp->OriginalFirstThunk ? Imp->OriginalFirstThunk : Imp->FirstThunk));
        auto* Slots = reinterpret_cast<IMAGE_THUNK_DATA*>(Base + Imp->FirstThunk);
        for (; Names->u1.AddressOfData; ++Names, ++Slots) {
            if (IMAGE_SNAP_BY_ORDINAL(Names->u1.Ordinal)) continue;
            auto* ByName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(Base + Names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(ByName->Name), Name) != 0) continue;
            DWORD Old = 0;
            VirtualProtect(&Slots->u1.Function, sizeof Slots->u1.Function, PAGE_READWRITE, &Old);
            *Real = reinterpret_cast<void*>(Slots->u1.Function);
            Slots->u1.Function = reinterpret_cast<uintptr_t>(Hook);
            VirtualProtect(&Slots->u1.Function, sizeof Slots->u1.Function, Old, &Old);
            return true;
        }
    }
    return false;
}

bool BindingsOn(host::Host& H) {
    std::vector<std::string> Items = H.MenuItems();
    return Items.size() == 1 && Items[0] == H.Msg(tarvik::MTurnOff);
}

// Makes Oem (OEM characters) the window's search text: an incremental search that
// finds it on a line made to hold it for the moment, ended with Enter.
void SetSearchText(host::Host& H, const std::string& Oem) {
    host::Line& First = H.Win().Lines[0];
    const std::string Saved = First.Text;
    std::string Line = Oem;
    if (H.Win().AnsiMode) OemToCharBuffA(Line.data(), Line.data(), static_cast<DWORD>(Line.size()));
    First.Text = Line + " " + Saved;
    H.impl()->RetireLineCopies();
    H.SetCursor(0, 0);
    std::vector<INPUT_RECORD> Events;
    for (unsigned char C : Oem) Events.push_back(host::CharPress(C));
    Events.push_back(host::KeyPress("Enter"));
    H.WriteInput(Events);
    H.Feed(host::KeyPress("Ctrl+Shift+S"));
    First.Text = Saved;
    H.impl()->RetireLineCopies();
    H.ClearSelection();
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
}

// Ctrl+L from the top of the file until the not-found box; the hits found on the way.
// Ticks receives the time-stamp counter ticks spent in the searches alone (the host's
// freeing of its line copies after each is left out).
int SearchToTheEnd(host::Host& H, unsigned long long& Ticks) {
    H.SetCursor(0, 0);
    int Hits = 0;
    Ticks = 0;
    for (;;) {
        const size_t Boxes = H.Messages.size();
        const unsigned long long Start = __rdtsc();
        H.Feed(host::KeyPress("^L"));
        Ticks += __rdtsc() - Start;
        H.impl()->RetireLineCopies();
        bool Warned = false;
        for (size_t I = Boxes; I < H.Messages.size(); ++I)
            Warned = Warned || (H.Messages[I].Flags & FMSG_WARNING) != 0;
        H.Messages.clear();
        if (Warned) return Hits;
        ++Hits;
    }
}

// Time-stamp counter ticks per second, against the performance counter.
double TicksPerSecond() {
    const double T0 = Now();
    const unsigned long long C0 = __rdtsc();
    while (Now() - T0 < 0.05) {
    }
    return static_cast<double>(__rdtsc() - C0) / (Now() - T0);
}

// Ticks a timed call adds outside its window, to take off the DLL's own part.
double TimedCallOverhead() {
    static const double Overhead = [] {
        double Min = 1e30;
        for (int R = 0; R < 5; ++R) {
            OutsideTicks = 0;
            const unsigned long long Start = __rdtsc();
            int Sum = 0;
            for (int I = 0; I < 100000; ++I) Sum += TimedNothing(I, nullptr);
            Min = std::min(Min, static_cast<double>(__rdtsc() - Start - OutsideTicks) / 1e5);
            if (Sum == 42) std::printf(" ");
        }
        return Min;
    }();
    return Overhead;
}

// From here on the plug-in reaches the host through the timed services.
void UseTimedServices(host::Host& H) {
    HostServices = H.StartupInfo();
    static PluginStartupInfo Timed;
    Timed = HostServices;
    Timed.EditorControl = TimedEditorControl;
    Timed.SaveScreen = TimedSaveScreen;
    Timed.RestoreScreen = TimedRestoreScreen;
    Timed.Message = TimedMessage;
    Timed.GetMsg = TimedGetMsg;
    Timed.Text = TimedText;
    H.impl()->SetStartupInfo(&Timed);
}

// Points the console imports of the loaded DLL Dll (a path) at the timed wrappers, the
// poll at the one that also notes the time of each call; false when one is missing.
bool HookConsoleImports(const std::string& Dll) {
    const HMODULE Module = GetModuleHandleA(Dll.substr(Dll.find_last_of("\\/") + 1).c_str());
    return Module &&
           HookImport(Module, "GetNumberOfConsoleInputEvents",
                      reinterpret_cast<void*>(WatchedNumberOfEvents),
                      reinterpret_cast<void**>(&RealNumberOfEvents)) &&
           HookImport(Module, "PeekConsoleInputA", reinterpret_cast<void*>(TimedPeekInput),
                      reinterpret_cast<void**>(&RealPeekInput)) &&
           HookImport(Module, "ReadConsoleInputA", reinterpret_cast<void*>(TimedReadInput),
                      reinterpret_cast<void**>(&RealReadInput));
}

// Makes sure the bindings of the current window are on.
void BindingsOnHere(host::Host& H) {
    if (!BindingsOn(H)) H.PickMenu();
}

// The DLL's own part of the searches to the end of the current window's text, from its
// top (what they cost less the host's services and the console calls), in seconds; the
// hits on the way in Hits.
double OwnPartOfSearch(host::Host& H, double TickRate, int& Hits) {
    OutsideTicks = 0;
    OutsideCalls = 0;
    unsigned long long Ticks = 0;
    Hits = SearchToTheEnd(H, Ticks);
    const double Inside = static_cast<double>(Ticks - OutsideTicks) -
                          static_cast<double>(OutsideCalls) * TimedCallOverhead();
    return Inside / TickRate;
}

// The per-pattern figures: the DLL's own part of a search per line, and the line scan
// built into this program (vector filter and plain scan) per line in the cache.
void PatternFigures(host::Host& H, int Lines, int Runs) {
    const double TickRate = TicksPerSecond();
    Report("timed_call_overhead", TimedCallOverhead() / TickRate * 1e9, "ns");
    UseTimedServices(H);

    const bool Russian = GetOEMCP() == 866 && GetACP() == 1251;
    int Ids[3] = {0, 0, 0};
    for (const bench::SearchPattern& P : bench::SearchPatterns()) {
        const std::string Tag = P.Tag;
        if (P.Text != bench::Corpus::Latin && !Russian) {
            Report(("skipped_" + Tag).c_str(), 0, "(Cyrillic needs code pages 1251/866)");
            continue;
        }
        int& Id = Ids[static_cast<int>(P.Text)];
        if (!Id) {
            const bool Ansi = P.Text == bench::Corpus::CyrillicAnsi;
            Id = H.OpenWindow(P.Tag + ".txt", P.Text == bench::Corpus::Latin
                                                  ? bench::MakeText(Lines, 60, 3)
                                                  : bench::MakeCyrillicText(Lines, 60, 5, Ansi));
            H.Win().AnsiMode = Ansi;
            BindingsOnHere(H);
        }
        H.SwitchTo(Id);
        SetSearchText(H, P.Oem);

        double Own = 1e30;
        int Hits = 0;
        for (int R = 0; R < Runs; ++R) Own = std::min(Own, OwnPartOfSearch(H, TickRate, Hits));
        Report(("dll_own_per_line_" + Tag).c_str(), Own / Lines * 1e9, "ns");
        if (P.Hits) Report(("hits_" + Tag).c_str(), Hits, "");

        // The first lines of the text, each in a block of its own size as the host hands
        // them over, scanned from the start to the first hit.
        const int InCache = std::min(Lines, 4096);
        std::vector<std::string> Copies;
        for (int L = 0; L < InCache; ++L) Copies.push_back(H.Win().Lines[L].Text);
        std::string Exact = P.Oem;
        if (H.Win().AnsiMode)
            OemToCharBuffA(Exact.data(), Exact.data(), static_cast<DWORD>(Exact.size()));
        const unsigned char* Table =
            H.Win().AnsiMode ? tarvik::AnsiUpperTable : tarvik::OemUpperTable;
        const int N = static_cast<int>(Exact.size());
        std::vector<unsigned char> Pairs(2 * Exact.size() + 1);
        std::memcpy(Pairs.data(), Exact.data(), Exact.size());
        tarvik::EncodeSearchPattern(Pairs.data(), Table, N);
        auto Vector = std::make_unique<tarvik::TScanPattern>();
        auto Plain = std::make_unique<tarvik::TScanPattern>();
        // As the DLL decides: the vector filter where the processor has SSE2.
        tarvik::PrepareScan(*Vector, Pairs.data(), N, Table,
                            IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0);
        tarvik::PrepareScan(*Plain, Pairs.data(), N, Table, false);
        long long Found = 0;
        auto Pass = [&](const tarvik::TScanPattern& Sp) {
            return Best(Runs + 3,
                        [&] {
                            for (int I = 0; I < 20; ++I) {
                                for (const std::string& C : Copies) {
                                    Found +=
                                        tarvik::FindInLine(
                                            Sp, reinterpret_cast<const unsigned char*>(C.c_str()),
                                            static_cast<int64_t>(C.size()), 0) >= 0;
                                }
                            }
                        }) /
                   (20.0 * InCache);
        };
        Report(("scan_vector_per_line_" + Tag).c_str(), Pass(*Vector) * 1e9, "ns");
        Report(("scan_plain_per_line_" + Tag).c_str(), Pass(*Plain) * 1e9, "ns");
        if (Found < 0) std::printf("unreachable\n");
    }
    H.impl()->SetStartupInfo(&HostServices);
}

// The shipped DLL's line scan against the same sources at -O2: the rows "3. Shipped DLL
// scan" of the ratio table. A fair pair is the same search driven the same way through
// two builds that differ only in their flags: the shipped DLL (Release flags) and a DLL
// built from the same sources at -O2 (o2\Tarvik.dll). Each searches by Ctrl+L from the
// top to the end of texts of lines about 4,000 bytes long, and only its own part counts
// (the searches less the host's services and the console calls, as dll_own_per_line).
// On lines that long that part is the line scan: the few host calls per line and the
// bookkeeping around them cost nanoseconds, the scan of a line microseconds. The two
// builds take turns search by search on the same windows (the plug-in is swapped and
// told of each window again), two searches a turn, and the best search of each counts.
void ShippedScanRows(host::Host& H, const std::string& Shipped, const std::string& AtO2, int Lines,
                     int Rounds) {
    const double TickRate = TicksPerSecond();
    const int Width = 4000;
    const int LongLines = std::max(16, Lines / 64);
    const bool Russian = GetOEMCP() == 866 && GetACP() == 1251;
    int Ids[3] = {0, 0, 0};
    for (int C = 0; C < (Russian ? 3 : 1); ++C) {
        Ids[C] = H.OpenWindow("long" + std::to_string(C) + ".txt",
                              C == 0 ? bench::MakeText(LongLines, Width, 3)
                                     : bench::MakeCyrillicText(LongLines, Width, 5, C == 2));
        H.Win().AnsiMode = C == 2;
    }
    // Makes build B the plug-in, with the timed services, and tells it of the windows.
    int Loaded = -1;
    auto Use = [&](int B) {
        if (Loaded == B) return true;
        const std::string& Dll = B == 0 ? Shipped : AtO2;
        Loaded = -1;
        if (!H.LoadPlugin(Dll)) {
            std::printf("error: cannot load %s\n", Dll.c_str());
            return false;
        }
        H.StartPlugin();
        if (!HookConsoleImports(Dll)) {
            std::printf("error: no console imports to time in %s\n", Dll.c_str());
            return false;
        }
        UseTimedServices(H);
        for (int Id : Ids) {
            if (!Id) continue;
            H.SwitchTo(Id);
            H.EditorEvent(EE_READ, nullptr);
            BindingsOnHere(H);
        }
        Loaded = B;
        return true;
    };
    const std::vector<bench::SearchPattern>& Patterns = bench::SearchPatterns();
    std::vector<double> Own[2] = {std::vector<double>(Patterns.size(), 1e30),
                                  std::vector<double>(Patterns.size(), 1e30)};
    std::vector<long long> Bytes(Patterns.size(), 0);
    std::vector<int> Hits(Patterns.size(), 0);
    for (int R = 0; R < Rounds; ++R) {
        for (size_t I = 0; I < Patterns.size(); ++I) {
            const bench::SearchPattern& P = Patterns[I];
            const int Id = Ids[static_cast<int>(P.Text)];
            if (!Id) continue;
            // Each pattern starts with the build the last one ended with.
            for (int Turn = 0; Turn < 2; ++Turn) {
                const int B = Loaded < 0 ? Turn : Turn == 0 ? Loaded : 1 - Loaded;
                if (!Use(B)) return;
                H.SwitchTo(Id);
                SetSearchText(H, P.Oem);
                // The first search after the swap runs on cold caches: two per turn.
                for (int Twice = 0; Twice < 2; ++Twice)
                    Own[B][I] = std::min(Own[B][I], OwnPartOfSearch(H, TickRate, Hits[I]));
            }
            Bytes[I] = 0;
            for (const host::Line& L : H.Win().Lines)
                Bytes[I] += static_cast<long long>(L.Text.size());
        }
    }
    for (int Id : Ids) {
        if (Id) H.CloseWindow(Id);
    }
    std::printf("\n## Shipped DLL scan (each against the same sources at -O2, this run)\n\n");
    std::printf("| Measure | Tarvik | Baseline | Ratio | Host calls |\n");
    std::printf("|---|---|---|---|---|\n");
    for (size_t I = 0; I < Patterns.size(); ++I) {
        const bench::SearchPattern& P = Patterns[I];
        if (!Bytes[I]) continue;
        const double Ours = static_cast<double>(Bytes[I]) / Own[0][I] / 1e6;
        const double Base = static_cast<double>(Bytes[I]) / Own[1][I] / 1e6;
        std::string Note = std::to_string(LongLines) + " lines of about " + std::to_string(Width) +
                           " bytes, the DLL's own part";
        if (P.Hits) Note += ", " + std::to_string(Hits[I]) + " hits";
        std::printf(
            "| 3. Shipped DLL scan '%s' (vs the same sources at -O2) | %.0f MB/s | "
            "%.0f MB/s | %.2f | %s |\n",
            P.Shown.c_str(), Ours, Base, Ours / Base, Note.c_str());
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int Lines = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int Runs = argc > 2 ? std::atoi(argv[2]) : 2;
    const std::string Pattern = "then_missing";
    Report("bits", static_cast<double>(8 * sizeof(void*)), "");
    Report("ansi_code_page", GetACP(), "");
    Report("oem_code_page", GetOEMCP(), "");
    HANDLE In = GetStdHandle(STD_INPUT_HANDLE);
    DWORD Waiting = 0;
    if (!GetNumberOfConsoleInputEvents(In, &Waiting)) {
        std::printf("error: no console input (run inside a pseudo-terminal)\n");
        return 1;
    }
    FlushConsoleInputBuffer(In);

    // The poll when nothing waits, which is what a scan meets line after line.
    const int Polls = 2000;
    const double PollTime = Best(Runs, [&] {
        for (int I = 0; I < Polls; ++I) GetNumberOfConsoleInputEvents(In, &Waiting);
    });
    Report("poll_call", PollTime / Polls * 1e6, "us");

    const std::string Dll = argc > 3 ? argv[3] : host::Host::DefaultPluginPath();
    host::Host H;
    if (!H.LoadPlugin(Dll)) {
        std::printf("error: cannot load %s\n", Dll.c_str());
        return 1;
    }
    H.StartPlugin();
    const size_t Slash = Dll.find_last_of("\\/") + 1;
    const std::string AtO2 = argc > 4 ? argv[4] : Dll.substr(0, Slash) + "o2\\" + Dll.substr(Slash);
    // WINE_POLL_PART=shipped: only the shipped DLL's scan (a slow machine, an emulated one).
    char Part[16] = "";
    GetEnvironmentVariableA("WINE_POLL_PART", Part, sizeof Part);
    if (std::strcmp(Part, "shipped") == 0) {
        ShippedScanRows(H, Dll, AtO2, Lines, std::max(5, 2 * Runs + 1));
        return 0;
    }
    H.OpenWindow("long.txt", bench::MakeText(Lines, 60, 3));
    if (!BindingsOn(H)) H.PickMenu();

    SetSearchText(H, Pattern);

    long long Bytes = 0;
    for (const host::Line& L : H.Win().Lines) Bytes += static_cast<long long>(L.Text.size());

    const double Search = Best(Runs, [&] {
        H.SetCursor(0, 0);
        H.Feed(host::KeyPress("^L"));
        H.impl()->RetireLineCopies();
    });
    Report("lines", Lines, "");
    Report("findtext_total", Search * 1e3, "ms");
    Report("findtext_per_line", Search / Lines * 1e6, "us");
    Report("findtext_speed", static_cast<double>(Bytes) / Search / 1e6, "MB/s");

    const double Walk = Best(Runs, [&] {
        EditorSetPosition Esp;
        Esp.CurPos = 0;
        Esp.CurTabPos = Esp.TopScreenLine = Esp.LeftPos = Esp.Overtype = -1;
        for (int L = 0; L < Lines; ++L) {
            Esp.CurLine = L;
            H.StartupInfo().EditorControl(ECTL_SETPOSITION, &Esp);
            EditorGetString Egs{};
            Egs.StringNumber = -1;
            H.StartupInfo().EditorControl(ECTL_GETSTRING, &Egs);
        }
        H.impl()->RetireLineCopies();
    });
    Report("hostwalk_per_line", Walk / Lines * 1e6, "us");

    // An Esc waiting from the start ends the scan at the first poll, after one line:
    // what remains is the fixed cost of a search (screen saved and restored, boxes).
    const double Fixed = Best(Runs, [&] {
        H.SetCursor(0, 0);
        H.WriteInput({host::KeyPress("Esc")});
        H.Feed(host::KeyPress("^L"));
        H.impl()->RetireLineCopies();
        FlushConsoleInputBuffer(In);
    });
    Report("fixed_cost", Fixed * 1e3, "ms");
    const double PerLine = (Search - Fixed) / Lines;
    Report("scan_per_line", PerLine * 1e6, "us");
    Report("scan_speed", static_cast<double>(Bytes) / (Search - Fixed) / 1e6, "MB/s");
    Report("poll_per_line_would_add", PollTime / Polls / PerLine * 100, "% of scan_per_line");

    // The longest stretch of a scan without a poll, which bounds how long an Esc
    // waits: the times of the DLL's polls during one search.
    const bool Hooked = HookConsoleImports(Dll);
    if (Hooked) {
        PollTimes.clear();
        PollTimes.reserve(static_cast<size_t>(Lines) + 16);
        H.SetCursor(0, 0);
        NotingPolls = true;
        const double Start = Now();
        H.Feed(host::KeyPress("^L"));
        NotingPolls = false;
        H.impl()->RetireLineCopies();
        double Gap = 0;
        for (size_t I = 1; I < PollTimes.size(); ++I)
            Gap = std::max(Gap, PollTimes[I] - PollTimes[I - 1]);
        Report("polls_per_search", static_cast<double>(PollTimes.size()), "");
        Report("first_poll_after", PollTimes.empty() ? 0 : (PollTimes[0] - Start) * 1e3, "ms");
        Report("poll_gap_max", Gap * 1e3, "ms");
    } else {
        Report("poll_gap_max", -1, "(no import to watch)");
    }

    // Esc pressed in the middle of a scan: how long the search goes on after it, and
    // that less the fixed cost, which is how long the scan itself went on.
    double Latency = 0;
    for (int R = 0; R < Runs + 1; ++R) {
        H.SetCursor(0, 0);
        EscWrittenAt = 0;
        const uintptr_t DelayMs = static_cast<uintptr_t>(Search * 1e3 / 3) + 1;
        HANDLE Thread =
            CreateThread(nullptr, 0, WriteEscLater, reinterpret_cast<LPVOID>(DelayMs), 0, nullptr);
        H.Feed(host::KeyPress("^L"));
        const double End = Now();
        WaitForSingleObject(Thread, INFINITE);
        CloseHandle(Thread);
        H.impl()->RetireLineCopies();
        FlushConsoleInputBuffer(In);
        if (EscWrittenAt > 0 && End > EscWrittenAt) Latency = std::max(Latency, End - EscWrittenAt);
    }
    Report("esc_latency_max", Latency * 1e3, "ms");
    Report("esc_latency_scan", std::max(0.0, Latency - Fixed) * 1e3, "ms");

    if (Hooked) PatternFigures(H, Lines, Runs);

    // Recording 100,000 keys: the recording grows by one record per key, each time
    // through the Windows heap; against the same keys typed without recording.
    const int Keys = 100000;
    H.OpenWindow("typing.txt", bench::MakeText(2000, 60, 9));
    if (!BindingsOn(H)) H.PickMenu();
    const std::vector<host::Line> Fresh = H.Win().Lines;
    auto TypeAll = [&] {
        const INPUT_RECORD Down = host::KeyPress("Down"), Home = host::KeyPress("Home");
        for (int I = 0; I < Keys; ++I) {
            const int K = I % 54;
            INPUT_RECORD R = K < 52    ? host::CharPress(static_cast<unsigned char>('a' + K % 26))
                             : K == 52 ? Down
                                       : Home;
            H.Feed(R);
            R.Event.KeyEvent.bKeyDown = FALSE;
            H.Feed(R);
        }
    };
    auto Reset = [&] {
        H.Win().Lines = Fresh;
        H.impl()->RetireLineCopies();
        H.SetCursor(0, 0);
        H.HostKeys.clear();
    };
    const double Typing = Best(Runs, [&] {
        Reset();
        TypeAll();
    });
    const double Recording = Best(Runs, [&] {
        Reset();
        H.Feed(host::KeyPress("Ctrl+Shift+R"));
        TypeAll();
        H.Feed(host::KeyPress("Ctrl+Shift+R"));
    });
    Report("typing_per_key", Typing / Keys * 1e6, "us");
    Report("recording_per_key", Recording / Keys * 1e6, "us");
    Report("recording_extra_per_key", (Recording - Typing) / Keys * 1e6, "us");

    // A replay goes through the console input, where each key is read with console
    // calls, and the plug-in asks once per key how many still wait. Against the same
    // keys written into the input by the host and read back.
    const int ReplayKeys = 2000;
    std::vector<INPUT_RECORD> Presses;
    for (int I = 0; I < ReplayKeys; ++I)
        Presses.push_back(host::CharPress(static_cast<unsigned char>('a' + I % 26)));
    Reset();
    H.Feed(host::KeyPress("Ctrl+Shift+R"));
    for (const INPUT_RECORD& P : Presses) H.Feed(P);
    H.Feed(host::KeyPress("Ctrl+Shift+R"));
    const double Typed = Best(Runs, [&] {
        Reset();
        H.WriteInput(Presses);
        H.Pump();
    });
    const double Replay = Best(Runs, [&] {
        Reset();
        H.Feed(host::KeyPress("Ctrl+Shift+P"));
        H.Pump();
    });
    Report("typed_from_input_per_key", Typed / ReplayKeys * 1e6, "us");
    Report("replay_per_key", Replay / ReplayKeys * 1e6, "us");

    if (Hooked) ShippedScanRows(H, Dll, AtO2, Lines, std::max(5, 2 * Runs + 1));
    return 0;
}
