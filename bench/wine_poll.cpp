// Times the Esc poll of the search against the DLL under Wine, where each poll is a
// console call into the Wine server: the raw cost of one poll, a search with no hit
// (Ctrl+L) per line, and the host's own walk over the same lines, which together
// give the poll's share of a long scan, and how long a scan goes on after an Esc.
// Prints "key value unit" lines. Arguments: lines (20000), runs (2), DLL path.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "host.h"
#include "host_impl.h"
#include "plugin/globals.h"
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

BOOL WINAPI WatchedNumberOfEvents(HANDLE Input, LPDWORD Count) {
    PollTimes.push_back(Now());
    return RealNumberOfEvents(Input, Count);
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

}  // namespace

int main(int argc, char** argv) {
    const int Lines = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int Runs = argc > 2 ? std::atoi(argv[2]) : 2;
    const std::string Pattern = "then_missing";
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
    H.OpenWindow("long.txt", bench::MakeText(Lines, 60, 3));
    if (!BindingsOn(H)) H.PickMenu();

    // The search text, found on a line that holds it for the moment.
    host::Line& First = H.Win().Lines[0];
    const std::string Saved = First.Text;
    First.Text = Pattern + " " + Saved;
    H.SetCursor(0, 0);
    std::vector<INPUT_RECORD> Events;
    for (unsigned char C : Pattern) Events.push_back(host::CharPress(C));
    Events.push_back(host::KeyPress("Enter"));
    H.WriteInput(Events);
    H.Feed(host::KeyPress("Ctrl+Shift+S"));
    First.Text = Saved;
    H.impl()->RetireLineCopies();
    H.ClearSelection();
    FlushConsoleInputBuffer(In);

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
    if (HookImport(GetModuleHandleA(Dll.substr(Dll.find_last_of("\\/") + 1).c_str()),
                   "GetNumberOfConsoleInputEvents", reinterpret_cast<void*>(WatchedNumberOfEvents),
                   reinterpret_cast<void**>(&RealNumberOfEvents))) {
        PollTimes.clear();
        PollTimes.reserve(static_cast<size_t>(Lines) + 16);
        H.SetCursor(0, 0);
        const double Start = Now();
        H.Feed(host::KeyPress("^L"));
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
    return 0;
}
