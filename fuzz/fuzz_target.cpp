// Coverage-guided fuzz target: one input is one whole editing session in the
// stand-in host. The input decodes into a registry (settings of any value and
// type), texts of any bytes and line ends, and a series of events: keys with any
// modifiers and repeat counts, releases, mouse events, windows opened, closed and
// switched, menu toggles, windows closed from inside a nested host call, and host
// or heap failures.
//
// The first decoded byte also draws the host's modes: overtype and a window shown in
// the host's other code table (each window), "persistent blocks" on (the real host's
// default is off), "expand tabs" for new tabs or all tabs, and the second input call
// of the 2003-2004 builds.
//
// Beyond "no crash, no leak, no open registry key, no call the host's interface does
// not allow", three kinds of input check a property of the text (the first decoded
// byte chooses the kind):
//   Keep  - on a text without tabs, navigation, marking, hiding, searching and
//           recording keys leave every byte of the text as it was;
//   Move  - Ctrl+K V keeps the multiset of the text's bytes, and the line count but
//           for the break a block through the last line's end takes along;
//   Copy  - Ctrl+K C adds exactly the bytes (and line breaks) of the block.
// Every input also checks the search's line scan: the same bytes, read as a table, a
// pattern and a line, must give the same hits with the vector filter as without it.
#include <dlfcn.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "compat_control.h"
#include "host.h"
#include "interactive/host170/line_scan.h"
#include "ground/globals.h"

namespace {

// Inputs stay small so that each runs in milliseconds.
constexpr size_t kMaxTextBytes = 600;
constexpr int kMaxEvents = 48;

enum class Kind { General, Keep, Move, Copy, Count };

const char* const kSettingNames[] = {"MaxDetectSearchLines", "MaxTabSearchLines",
                                     "MaxBackspaceSearchLines", "OnForTextWithTabs",
                                     "SaveFileType"};
const char* const kFileNames[] = {"a.txt", "b.pas", "", "C:\\dir\\a.txt"};

// Virtual keys worth hitting often: everything the key map binds, the keys the
// modal modes look at, modifiers on their own and a few the host handles.
constexpr WORD kInterestingKeys[] = {VK_BACK,    VK_TAB,
                                     VK_RETURN,  VK_SHIFT,
                                     VK_CONTROL, VK_MENU,
                                     VK_CAPITAL, VK_ESCAPE,
                                     VK_SPACE,   VK_PRIOR,
                                     VK_NEXT,    VK_END,
                                     VK_HOME,    VK_LEFT,
                                     VK_UP,      VK_RIGHT,
                                     VK_DOWN,    VK_INSERT,
                                     VK_DELETE,  VK_F1,
                                     VK_F2,      VK_F7,
                                     VK_F10,     VK_F12,
                                     VK_NUMLOCK, VK_NUMPAD0 + 5,
                                     VK_OEM_4,   VK_OEM_6,
                                     '0',        '5',
                                     '9',        'A',
                                     'B',        'C',
                                     'D',        'E',
                                     'F',        'H',
                                     'I',        'K',
                                     'L',        'N',
                                     'O',        'P',
                                     'Q',        'R',
                                     'S',        'T',
                                     'U',        'V',
                                     'X',        'Y',
                                     'Z'};

// Second keys after Ctrl+K / Ctrl+Q that change no byte of a text without tabs.
constexpr WORD kKeepAfterCtrlK[] = {'B', 'K', 'L', 'T', 'H', '0', '3', '9'};
constexpr WORD kKeepAfterCtrlQ[] = {'B', 'C', 'D', 'E', 'K', 'R', 'S',      'T',     'U',
                                    'X', 'F', 'A', '0', '3', '9', VK_OEM_4, VK_OEM_6};
constexpr WORD kHostMoves[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END};

// The character a console gives for a key, roughly as the host's key parser does.
char CharFor(WORD Vk, DWORD State) {
    const bool Ctrl = (State & 0x0C) != 0;
    const bool Shift = (State & 0x10) != 0;
    if (Vk >= 'A' && Vk <= 'Z') {
        if (Ctrl) return static_cast<char>(Vk - 'A' + 1);
        return static_cast<char>(Shift ? Vk : Vk + 32);
    }
    if (Vk >= '0' && Vk <= '9') return Ctrl ? 0 : static_cast<char>(Vk);
    switch (Vk) {
        case VK_BACK:
            return 8;
        case VK_TAB:
            return 9;
        case VK_RETURN:
            return 13;
        case VK_ESCAPE:
            return 27;
        case VK_SPACE:
            return ' ';
        case VK_OEM_4:
            return Ctrl ? 27 : '[';
        case VK_OEM_6:
            return Ctrl ? 29 : ']';
        default:
            return 0;
    }
}

INPUT_RECORD Key(WORD Vk, DWORD State, WORD Repeat = 1, bool Down = true) {
    INPUT_RECORD R{};
    R.EventType = KEY_EVENT;
    R.Event.KeyEvent.bKeyDown = Down ? TRUE : FALSE;
    R.Event.KeyEvent.wRepeatCount = Repeat;
    R.Event.KeyEvent.wVirtualKeyCode = Vk;
    R.Event.KeyEvent.uChar.AsciiChar = CharFor(Vk, State);
    R.Event.KeyEvent.dwControlKeyState = State;
    return R;
}

INPUT_RECORD Char(unsigned char Ch, DWORD State = 0) {
    INPUT_RECORD R = host::CharPress(Ch);
    R.Event.KeyEvent.dwControlKeyState |= State;
    return R;
}

// Bytes made readable: printable ASCII as is, others as \xNN.
std::string Visible(const std::string& S) {
    std::string Out;
    for (unsigned char C : S) {
        if (C >= 32 && C < 127 && C != '\\') {
            Out += static_cast<char>(C);
        } else {
            char Buf[8];
            std::snprintf(Buf, sizeof Buf, "\\x%02X", C);
            Out += Buf;
        }
    }
    return Out;
}

// The host's modes of one input, drawn from six bits.
struct Modes {
    bool Overtype = false;
    bool Table = false;
    bool PersistentBlocks = false;
    bool SecondInputCall = false;
    host::Host::Expand ExpandTabs = host::Host::Expand::None;

    explicit Modes(unsigned Bits)
        : Overtype(Bits & 1),
          Table(Bits & 2),
          PersistentBlocks(Bits & 4),
          SecondInputCall(Bits & 8) {
        const unsigned Expand = Bits >> 4 & 3;
        if (Expand == 1) ExpandTabs = host::Host::Expand::NewTabs;
        if (Expand == 2) ExpandTabs = host::Host::Expand::AllTabs;
    }
    // The host's options, before any window opens.
    void ApplyToHost(host::Host& H) const {
        H.PersistentBlocks = PersistentBlocks;
        H.SecondInputCall = SecondInputCall;
        H.SetExpandTabs(ExpandTabs);
    }
    // A window's own modes, as the user sets them once it is open.
    void ApplyToWindow(host::Window& W) const {
        W.Overtype = Overtype ? 1 : 0;
        W.TableNum = Table ? 0 : -1;
    }
    std::string Name() const {
        std::string N;
        if (Overtype) N += " overtype";
        if (Table) N += " table";
        if (PersistentBlocks) N += " persistent-blocks";
        if (SecondInputCall) N += " second-input-call";
        if (ExpandTabs == host::Host::Expand::NewTabs) N += " expand-new-tabs";
        if (ExpandTabs == host::Host::Expand::AllTabs) N += " expand-all-tabs";
        return N.empty() ? " defaults" : N;
    }
};

// The modes of the input running now, for the reports.
std::string CurrentModes;

[[noreturn]] void Fail(const char* What, const std::string& Before, const std::string& After) {
    std::fprintf(stderr, "PROPERTY VIOLATED: %s\nmodes:%s\nbefore: %s\nafter:  %s\n", What,
                 CurrentModes.c_str(), Visible(Before).c_str(), Visible(After).c_str());
    std::abort();
}

// Byte counts of the line contents (line ends left out) and the number of lines.
struct Census {
    std::array<long, 256> Bytes{};
    long Lines = 0;
};

Census Count(const host::Window& W) {
    Census C;
    for (const host::Line& L : W.Lines) {
        for (unsigned char B : L.Text) ++C.Bytes[B];
        ++C.Lines;
    }
    return C;
}

// The block as the block commands read it: from the host's block start, each
// selected line's piece, cut at the line's length, and a line break after every
// line selected through its end, the text's last line included (a copy adds the
// break it lacks). ThroughLast tells that the block runs through the last line's end.
Census BlockCensus(const host::Window& W, bool& ColumnOrNone, bool& ThroughLast) {
    Census C;
    const int First = W.BlockStartLine;
    ThroughLast = false;
    ColumnOrNone = First < 0 || First >= static_cast<int>(W.Lines.size()) ||
                   W.Lines[static_cast<size_t>(First)].SelStart < 0 || W.ColumnBlock;
    if (ColumnOrNone) return C;
    for (size_t I = static_cast<size_t>(First); I < W.Lines.size(); ++I) {
        const host::Line& L = W.Lines[I];
        if (L.SelStart < 0) break;
        const long Len = static_cast<long>(L.Text.size());
        const long Start = std::min<long>(L.SelStart, Len);
        const long End = L.SelEnd < 0 ? Len : std::min<long>(std::max<long>(L.SelEnd, Start), Len);
        for (long K = Start; K < End; ++K) ++C.Bytes[static_cast<unsigned char>(L.Text[K])];
        if (L.SelEnd < 0) ++C.Lines;
        if (L.SelEnd < 0 && I + 1 == W.Lines.size()) ThroughLast = true;
    }
    return C;
}

std::string Consume(FuzzedDataProvider& In, size_t Max) {
    std::string S = In.ConsumeRandomLengthString(Max);
    return S;
}

// The text of a checked session: no tabs (reading a line expands them) and no NULs
// where the block's own bytes are counted. Its carriage returns all end lines, as the
// host reads a lone one as a line end too, so no line holds one: one that a move or
// copy brought to the end of a line would go into the line's end when the line is
// written back, a change of no byte of the file that the census here, which counts
// the lines' own bytes, would take for a lost byte.
std::string NoTabs(std::string S, bool AlsoNul) {
    for (char& C : S) {
        if (C == '\t') C = ' ';
        if (AlsoNul && C == '\0') C = '.';
    }
    return S;
}

// Writes the settings of this input: each one missing, a DWORD of any value, or
// a value of another type with up to eight bytes; sometimes a remembered mode.
void WriteRegistry(host::Host& H, FuzzedDataProvider& In, bool Defaults) {
    static const DWORD kDefaults[] = {1024, 64, 128, 0, 0};
    for (int I = 0; I < 5; ++I) {
        if (Defaults) {
            H.RegWriteDword(H.SettingsKey(), kSettingNames[I], kDefaults[I]);
            continue;
        }
        switch (In.ConsumeIntegralInRange<int>(0, 4)) {
            case 0:  // missing: the plug-in writes its current value back
                H.RegWriteDword(H.SettingsKey(), kSettingNames[I], kDefaults[I]);
                break;
            case 1:
            case 2:
                H.RegWriteDword(H.SettingsKey(), kSettingNames[I], In.ConsumeIntegral<uint32_t>());
                break;
            case 3:
                H.RegWriteDword(H.SettingsKey(), kSettingNames[I],
                                static_cast<DWORD>(In.ConsumeIntegralInRange<int>(-3, 70)));
                break;
            default: {
                DWORD Type = In.ConsumeIntegralInRange<DWORD>(0, 11);
                std::vector<BYTE> Data =
                    In.ConsumeBytes<BYTE>(In.ConsumeIntegralInRange<size_t>(0, 8));
                H.RegWrite(H.SettingsKey(), kSettingNames[I], Type, Data);
            }
        }
    }
    if (!Defaults && In.ConsumeBool()) {
        const char* Name = kFileNames[In.ConsumeIntegralInRange<int>(0, 3)];
        H.RegWriteDword(H.FileTypesKey(), Name, In.ConsumeIntegral<uint32_t>());
    }
}

// Switches the current window's bindings on through the menu when they are off.
void EnsureOn(host::Host& H) {
    std::vector<std::string> Items = H.MenuItems();
    if (Items.size() == 1 && Items[0] == H.Msg(tarvik::MTurnOn)) H.PickMenu();
}

bool BindingsOn(host::Host& H) {
    std::vector<std::string> Items = H.MenuItems();
    return Items.size() == 1 && Items[0] == H.Msg(tarvik::MTurnOff);
}

// TARVIK_FUZZ_TRACE=1 prints each batch of events and the text after it, for triage.
bool Tracing() {
    static const bool On = std::getenv("TARVIK_FUZZ_TRACE") != nullptr;
    return On;
}

void Send(host::Host& H, const std::vector<INPUT_RECORD>& Events) {
    if (Tracing()) {
        std::fprintf(stderr, "events:");
        for (const INPUT_RECORD& E : Events)
            std::fprintf(stderr, " [%s rep %d]", host::EventName(E).c_str(),
                         E.EventType == KEY_EVENT ? E.Event.KeyEvent.wRepeatCount : 0);
        std::fprintf(stderr, "\n");
    }
    const size_t Seen = H.HostKeys.size();
    H.WriteInput(Events);
    if (Tracing()) {
        // The host's main loop, one event at a time, naming what it reads.
        INPUT_RECORD R;
        DWORD Read = 0;
        while (ReadConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &R, 1, &Read) && Read == 1) {
            const int Answer = H.Feed(R);
            std::fprintf(stderr, "  read: %s -> %d\n", host::EventName(R).c_str(), Answer);
        }
    }
    H.Pump();
    if (Tracing()) {
        std::fprintf(stderr, "host got:");
        for (size_t I = Seen; I < H.HostKeys.size(); ++I)
            std::fprintf(stderr, " [%s]", host::EventName(H.HostKeys[I]).c_str());
        std::fprintf(stderr, "\n");
        if (H.WindowCount() > 0) std::fprintf(stderr, "text: %s\n", Visible(H.Text()).c_str());
    }
}

// Places the cursor and a selection from the input; both may lie past the line end.
void PlaceCursorAndBlock(host::Host& H, FuzzedDataProvider& In, bool InsideLines) {
    host::Window& W = H.Win();
    const int Lines = static_cast<int>(W.Lines.size());
    int Line = In.ConsumeIntegralInRange<int>(0, Lines - 1);
    int Len = static_cast<int>(W.Lines[Line].Text.size());
    int Pos = In.ConsumeIntegralInRange<int>(0, InsideLines ? Len : Len + 12);
    switch (In.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            H.ClearSelection();
            break;
        case 3:
            H.SelectColumn(
                In.ConsumeIntegralInRange<int>(0, Lines - 1), In.ConsumeIntegralInRange<int>(0, 20),
                In.ConsumeIntegralInRange<int>(0, 20), In.ConsumeIntegralInRange<int>(1, 4));
            break;
        default: {
            int SL = In.ConsumeIntegralInRange<int>(0, Lines - 1);
            int SLen = static_cast<int>(W.Lines[SL].Text.size());
            int SP = In.ConsumeIntegralInRange<int>(0, InsideLines ? SLen : SLen + 12);
            int Height = In.ConsumeIntegralInRange<int>(1, std::min(Lines - SL, 8));
            int EndLen = static_cast<int>(W.Lines[SL + Height - 1].Text.size());
            int EndCol = In.ConsumeIntegralInRange<int>(0, InsideLines ? EndLen : EndLen + 12);
            if (Height == 1 && EndCol < SP) std::swap(EndCol, SP);
            H.SelectStream(SL, SP, EndCol - SP, Height);
        }
    }
    H.SetCursor(Line, Pos);
}

// ---- General sessions ------------------------------------------------------------

INPUT_RECORD AnyKey(FuzzedDataProvider& In) {
    WORD Vk = In.ConsumeBool() ? kInterestingKeys[In.ConsumeIntegralInRange<size_t>(
                                     0, sizeof kInterestingKeys / sizeof kInterestingKeys[0] - 1)]
                               : In.ConsumeIntegral<uint8_t>();
    DWORD State = In.ConsumeIntegral<uint8_t>() & 0x1F;
    if (In.ConsumeIntegralInRange<int>(0, 7) == 0) State |= In.ConsumeIntegral<uint32_t>();
    WORD Repeat = static_cast<WORD>(In.ConsumeIntegralInRange<int>(0, 3));
    if (In.ConsumeIntegralInRange<int>(0, 15) == 0)
        Repeat = static_cast<WORD>(In.ConsumeIntegralInRange<int>(0, 40));
    INPUT_RECORD R = Key(Vk, State, Repeat, true);
    if (In.ConsumeIntegralInRange<int>(0, 7) == 0)
        R.Event.KeyEvent.uChar.AsciiChar = In.ConsumeIntegral<char>();
    if (In.ConsumeIntegralInRange<int>(0, 15) == 0)
        R.Event.KeyEvent.bKeyDown = In.ConsumeIntegral<int>();
    return R;
}

void GeneralSession(host::Host& H, FuzzedDataProvider& In, const std::vector<std::string>& Texts,
                    const Modes& M) {
    std::vector<int> Ids;
    auto Open = [&] {
        const std::string& T = Texts[In.ConsumeIntegralInRange<size_t>(0, Texts.size() - 1)];
        Ids.push_back(H.OpenWindow(kFileNames[In.ConsumeIntegralInRange<int>(0, 3)], T,
                                   In.ConsumeIntegralInRange<int>(0, 7) != 0));
        M.ApplyToWindow(H.Win());
    };
    Open();
    int CloseAtNested = 0;  // close the current window at this nested ECTL_PROCESSINPUT
    H.OnProcessInput = [&](host::Host& Hh, const INPUT_RECORD&) {
        if (CloseAtNested > 0 && --CloseAtNested == 0 && Hh.WindowCount() > 0)
            Hh.CloseWindow(Hh.Win().EditorID);
    };
    std::vector<INPUT_RECORD> Pending;
    for (int E = 0; E < kMaxEvents && In.remaining_bytes() > 0; ++E) {
        const int Op = In.ConsumeIntegralInRange<int>(0, 31);
        if (Tracing()) std::fprintf(stderr, "op %d (%d windows)\n", Op, H.WindowCount());
        if (H.WindowCount() == 0 && Op < 24) {
            Open();
            continue;
        }
        switch (Op) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
            case 5:
            case 6:
            case 7:
            case 8:
            case 9:
                Pending.push_back(AnyKey(In));
                break;
            case 10:
            case 11: {  // a bound two-key command
                DWORD S1 = 0x08 | (In.ConsumeBool() ? 0x10 : 0);
                Pending.push_back(Key(In.ConsumeBool() ? 'K' : 'Q', S1));
                Pending.push_back(Key('K', S1, 1, false));
                INPUT_RECORD R = AnyKey(In);
                Pending.push_back(R);
                break;
            }
            case 12: {  // typed text
                std::string T = In.ConsumeRandomLengthString(6);
                for (unsigned char C : T) Pending.push_back(Char(C));
                break;
            }
            case 13: {  // release of a key
                INPUT_RECORD R = AnyKey(In);
                R.Event.KeyEvent.bKeyDown = FALSE;
                Pending.push_back(R);
                break;
            }
            case 14:
                Pending.push_back(host::MouseEvent(
                    In.ConsumeIntegralInRange<int>(-2, 90), In.ConsumeIntegralInRange<int>(-2, 30),
                    In.ConsumeIntegral<uint8_t>() & 3, In.ConsumeIntegral<uint8_t>() & 7));
                break;
            case 15: {  // a raw event of any type
                INPUT_RECORD R{};
                std::vector<uint8_t> Raw = In.ConsumeBytes<uint8_t>(sizeof R);
                if (!Raw.empty()) std::memcpy(&R, Raw.data(), Raw.size());
                R.EventType = static_cast<WORD>(R.EventType % 20);
                if (R.EventType == KEY_EVENT && R.Event.KeyEvent.wRepeatCount > 40)
                    R.Event.KeyEvent.wRepeatCount = 40;
                Pending.push_back(R);
                break;
            }
            case 16:
                Send(H, Pending);
                Pending.clear();
                break;
            case 17:
                PlaceCursorAndBlock(H, In, false);
                break;
            case 18:
                H.PickMenu();
                break;
            case 19:
                H.MenuItems();
                break;
            case 20: {
                int Event = In.ConsumeIntegralInRange<int>(0, 4);
                int Id = H.Win().EditorID;
                H.EditorEvent(Event, Event == 3 ? static_cast<void*>(&Id) : nullptr);
                break;
            }
            case 21:
                H.SwitchTo(Ids[In.ConsumeIntegralInRange<size_t>(0, Ids.size() - 1)]);
                break;
            case 22:
                CloseAtNested = In.ConsumeIntegralInRange<int>(1, 4);
                break;
            case 23:
                H.SetNoCurrentEditor(In.ConsumeBool());
                break;
            case 24:
                Open();
                break;
            case 25: {
                int Id = Ids[In.ConsumeIntegralInRange<size_t>(0, Ids.size() - 1)];
                if (H.HasWindow(Id)) H.CloseWindow(Id);
                break;
            }
            case 26:
                H.FailNth(In.ConsumeIntegralInRange<int>(1, 60));
                break;
            case 27:
                H.FailCommand(In.ConsumeIntegralInRange<int>(0, 17), In.ConsumeBool());
                break;
            case 28:
                H.ClearFaults();
                compat::FailHeapAllocation(0);
                break;
            case 29:
                compat::FailHeapAllocation(In.ConsumeIntegralInRange<long>(1, 8),
                                           In.ConsumeIntegralInRange<long>(0, 2));
                break;
            case 30:
                compat::FailConsoleCall(
                    static_cast<compat::ConsoleCall>(In.ConsumeIntegralInRange<int>(
                        0, static_cast<int>(compat::ConsoleCall::Count) - 1)),
                    In.ConsumeBool());
                break;
            default: {
                COORD Size{static_cast<SHORT>(In.ConsumeIntegralInRange<int>(-1, 200)),
                           static_cast<SHORT>(In.ConsumeIntegralInRange<int>(-1, 60))};
                SetConsoleScreenBufferSize(GetStdHandle(STD_OUTPUT_HANDLE), Size);
            }
        }
    }
    Send(H, Pending);
    H.OnProcessInput = nullptr;
    H.ClearFaults();
    H.SetNoCurrentEditor(false);
    compat::FailHeapAllocation(0);
    // The host's own promise, whatever the plug-in did through it.
    if (M.ExpandTabs == host::Host::Expand::AllTabs)
        for (int Id : Ids)
            if (H.HasWindow(Id))
                for (const host::Line& L : H.Win(Id).Lines)
                    if (L.Text.find('\t') != std::string::npos)
                        Fail("a tab with \"expand all tabs\" on", "", L.Text);
}

// ---- Property sessions ------------------------------------------------------------

// Keys that must leave a text without tabs as it was. Every key of a two-key
// command carries Ctrl, so that nothing types a character should a prefix be lost,
// and comes once: a repeated prefix key is recorded as copies that a replay pairs
// differently, leaving a prefix pending that turns the next key into another command.
void KeepSession(host::Host& H, FuzzedDataProvider& In) {
    // Searches and recordings do not mix here: a search the test host ends for want
    // of input (its Esc poll or not-found box drained the rest) leaves a recording
    // without the search's ending key, and a replay then ends the search with the
    // next recorded key and runs the one after it, as a waiting host would have.
    const bool Searching = In.ConsumeBool();
    for (int E = 0; E < kMaxEvents && In.remaining_bytes() > 0; ++E) {
        const WORD Repeat = static_cast<WORD>(In.ConsumeIntegralInRange<int>(1, 3));
        const DWORD Shift = In.ConsumeBool() ? 0x10 : 0;
        const DWORD Ctrl = In.ConsumeBool() ? 0x08 : 0x04;
        std::vector<INPUT_RECORD> Ev;
        switch (In.ConsumeIntegralInRange<int>(0, 11)) {
            case 0:
            case 1:
                Ev.push_back(Key('K', Ctrl | Shift, 1));
                Ev.push_back(Key(kKeepAfterCtrlK[In.ConsumeIntegralInRange<size_t>(
                                     0, sizeof kKeepAfterCtrlK / sizeof kKeepAfterCtrlK[0] - 1)],
                                 Ctrl, 1));
                break;
            case 2:
            case 3:
                Ev.push_back(Key('Q', Ctrl | Shift, 1));
                Ev.push_back(Key(kKeepAfterCtrlQ[In.ConsumeIntegralInRange<size_t>(
                                     0, sizeof kKeepAfterCtrlQ / sizeof kKeepAfterCtrlQ[0] - 1)],
                                 Ctrl, 1));
                break;
            case 4:
                Ev.push_back(
                    Key(kHostMoves[In.ConsumeIntegralInRange<size_t>(0, 5)], Shift, Repeat));
                break;
            case 5:
                switch (In.ConsumeIntegralInRange<int>(0, 3)) {
                    case 0:
                        Ev.push_back(Key('L', Ctrl | Shift, Repeat));
                        break;
                    case 1:
                        Ev.push_back(Key(VK_F7, 0x10, Repeat));
                        break;
                    case 2:
                        Ev.push_back(Key(VK_F7, 0, 1));
                        break;
                    default:
                        Ev.push_back(Key(VK_F7, Ctrl, 1));
                        break;
                }
                break;
            case 6: {  // an incremental search, typed within its own session
                if (!Searching || !BindingsOn(H)) break;
                Ev.push_back(Key('S', Ctrl | 0x10, 1));
                const int N = In.ConsumeIntegralInRange<int>(0, 6);
                for (int I = 0; I < N; ++I) {
                    switch (In.ConsumeIntegralInRange<int>(0, 5)) {
                        case 0:
                            Ev.push_back(Key(VK_BACK, 0, 1));
                            break;
                        case 1:
                            Ev.push_back(Key('L', Ctrl, In.ConsumeIntegralInRange<WORD>(1, 2)));
                            break;
                        case 2:
                            Ev.push_back(Key(VK_SHIFT, 0x10, 1));
                            break;
                        default:
                            Ev.push_back(Char(In.ConsumeIntegralInRange<unsigned char>(32, 255),
                                              In.ConsumeBool() ? 0x10 : 0));
                    }
                }
                const WORD Enders[] = {VK_ESCAPE, VK_RETURN, VK_LEFT, VK_END, VK_HOME};
                Ev.push_back(Key(Enders[In.ConsumeIntegralInRange<int>(0, 4)], 0, 1));
                break;
            }
            case 7:  // start or stop a recording (its prompt reads the next session)
                if (Searching) break;
                Ev.push_back(Key('R', Ctrl | 0x10, 1));
                break;
            case 8:
                if (Searching) break;
                Ev.push_back(Key('P', Ctrl | 0x10, 1));
                break;
            case 9:
                Ev.push_back(host::MouseEvent(In.ConsumeIntegralInRange<int>(0, 79),
                                              In.ConsumeIntegralInRange<int>(0, 24),
                                              In.ConsumeIntegral<uint8_t>() & 1, 0));
                break;
            case 10:
                H.PickMenu();
                break;
            default:
                PlaceCursorAndBlock(H, In, false);
                break;
        }
        // Any key in the middle of a two-key command may come released first.
        if (Ev.size() == 2 && In.ConsumeBool())
            Ev.insert(Ev.begin() + 1, Key(Ev[0].Event.KeyEvent.wVirtualKeyCode, Ctrl, 1, false));
        Send(H, Ev);
    }
}

// Sometimes makes the block with the plug-in's own marking keys instead (a line,
// a word, or the two marks), at other places than the cursor, which then returns.
void MarkWithKeys(host::Host& H, FuzzedDataProvider& In) {
    const int How = In.ConsumeIntegralInRange<int>(0, 3);
    if (How == 0) return;
    const int CurLine = H.Win().CurLine, CurPos = H.Win().CurPos;
    auto Somewhere = [&] {
        const int Lines = static_cast<int>(H.Win().Lines.size());
        const int Line = In.ConsumeIntegralInRange<int>(0, Lines - 1);
        const int Len = static_cast<int>(H.Win().Lines[Line].Text.size());
        H.SetCursor(Line, In.ConsumeIntegralInRange<int>(0, Len));
    };
    Somewhere();
    if (How == 1) Send(H, {Key('K', 0x08), Key('L', 0x08)});
    if (How == 2) Send(H, {Key('K', 0x08), Key('T', 0x08)});
    if (How == 3) {
        Send(H, {Key('K', 0x08), Key('B', 0x08)});
        Somewhere();
        Send(H, {Key('K', 0x08), Key('K', 0x08)});
    }
    H.SetCursor(CurLine, CurPos);
}

void CheckedTextSession(host::Host& H, FuzzedDataProvider& In, Kind K, const std::string& Text,
                        const Modes& M) {
    H.OpenWindow("a.txt", Text);
    M.ApplyToWindow(H.Win());
    EnsureOn(H);
    if (!BindingsOn(H)) return;
    const std::string Before = H.Text();
    if (K == Kind::Keep) {
        if (Tracing())
            H.OnProcessInput = [](host::Host&, const INPUT_RECORD& E) {
                std::fprintf(stderr, "  nested: %s\n", host::EventName(E).c_str());
            };
        KeepSession(H, In);
        if (H.WindowCount() != 1) Fail("the window went away", Before, "");
        if (H.Text() != Before) Fail("keys that change nothing changed the text", Before, H.Text());
        return;
    }
    PlaceCursorAndBlock(H, In, true);
    MarkWithKeys(H, In);
    const host::Window& W = H.Win();
    bool NoBlock = false, ThroughLast = false;
    const Census Old = Count(W);
    const std::string Marked = H.Text();
    const Census Block = BlockCensus(W, NoBlock, ThroughLast);
    Send(H, {Key('K', 0x08), Key('K', 0x08, 1, false), Key(K == Kind::Move ? 'V' : 'C', 0x08)});
    const Census New = Count(H.Win());
    if (K == Kind::Move || NoBlock) {
        // A move that changes the text takes the last line's missing break along
        // (the emptied last line stays); one onto itself changes no byte.
        const int Added = H.Text() != Marked && ThroughLast ? 1 : 0;
        if (New.Lines != Old.Lines + Added) Fail("the line count changed", Before, H.Text());
        if (New.Bytes != Old.Bytes) Fail("the bytes changed", Before, H.Text());
        return;
    }
    if (New.Lines != Old.Lines + Block.Lines)
        Fail("the copy added another number of lines than the block holds", Before, H.Text());
    for (int B = 0; B < 256; ++B)
        if (New.Bytes[B] != Old.Bytes[B] + Block.Bytes[B])
            Fail("the copy added other bytes than the block's", Before, H.Text());
}

// ---- The line scan ------------------------------------------------------------------

// The input read as a case table (the OEM one, the ANSI one, or one of the host's, which
// may map many bytes, or any byte to 0, to one upper case), a pattern (mostly cut from the
// line, its Latin letters' case flipped at random) and a line in a block of exactly its
// size. Every hit of the vector scan, and every hit of the plain scan, must be the other's.
void CheckLineScan(const uint8_t* Data, size_t Size) {
    FuzzedDataProvider In(Data, Size);
    std::array<unsigned char, 256> Custom;
    for (int C = 0; C < 256; ++C) Custom[C] = static_cast<unsigned char>(C);
    const unsigned char* Table = Custom.data();
    switch (In.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            Table = tarvik::OemUpperTable;
            break;
        case 1:
            Table = tarvik::AnsiUpperTable;
            break;
        case 2:
            for (int C = 'a'; C <= 'z'; ++C) Custom[C] = static_cast<unsigned char>(C - 32);
            for (int I = In.ConsumeIntegralInRange<int>(0, 6); I > 0; --I)
                Custom[In.ConsumeIntegral<uint8_t>()] = In.ConsumeIntegral<uint8_t>();
            break;
        default:
            break;
    }
    const size_t N = In.ConsumeIntegralInRange<size_t>(0, 9);
    const bool Cut = In.ConsumeIntegralInRange<int>(0, 3) != 0;
    const uint32_t Flips = In.ConsumeIntegral<uint16_t>();
    size_t CutAt = In.ConsumeIntegral<uint16_t>();
    std::vector<unsigned char> Pattern = In.ConsumeBytes<unsigned char>(Cut ? 0 : N);
    const std::vector<unsigned char> Bytes = In.ConsumeRemainingBytes<unsigned char>();
    if (Cut) {
        Pattern.clear();
        if (Bytes.size() >= N) {
            CutAt %= Bytes.size() - N + 1;
            Pattern.assign(Bytes.begin() + static_cast<ptrdiff_t>(CutAt),
                           Bytes.begin() + static_cast<ptrdiff_t>(CutAt + N));
        }
    }
    for (size_t K = 0; K < Pattern.size(); ++K)
        if ((Flips >> (K % 16) & 1) && std::isalpha(Pattern[K])) Pattern[K] ^= 0x20;

    const int Pairs = static_cast<int>(Pattern.size());
    std::vector<unsigned char> Encoded(2 * Pattern.size() + 1);
    std::copy(Pattern.begin(), Pattern.end(), Encoded.begin());
    tarvik::EncodeSearchPattern(Encoded.data(), Table, Pairs);
    tarvik::TScanPattern Vector, Plain;
    tarvik::PrepareScan(Vector, Encoded.data(), Pairs, Table, true);
    tarvik::PrepareScan(Plain, Encoded.data(), Pairs, Table, false);
    // Not even the host's closing NUL behind the line: any read past it is a heap overflow.
    const int64_t Length = static_cast<int64_t>(Bytes.size());
    std::unique_ptr<unsigned char[]> Line(new unsigned char[Bytes.size()]);
    std::copy(Bytes.begin(), Bytes.end(), Line.get());
    for (int64_t First = 0; First <= Length + 1;) {
        const int64_t A = tarvik::FindInLine(Vector, Line.get(), Length, First);
        const int64_t B = tarvik::FindInLinePlain(Plain, Line.get(), Length, First);
        if (A != B) {
            std::fprintf(stderr,
                         "PROPERTY VIOLATED: line scan from %lld: vector %lld, plain %lld\n",
                         static_cast<long long>(First), static_cast<long long>(A),
                         static_cast<long long>(B));
            std::abort();
        }
        // Every hit in turn; past the last, starts at other offsets within a block.
        First = A < 0 ? 2 * First + 1 : A + 1;
    }
}

// Keeps the plug-in module mapped for the whole run: libFuzzer's coverage tables
// point into it, so the host's unload at the end of each input must not unmap it.
void PinModule() {
    static void* Handle = [] {
        void* Hd = dlopen(host::Host::DefaultPluginPath().c_str(), RTLD_NOW | RTLD_NODELETE);
        if (!Hd) {
            std::fprintf(stderr, "cannot load %s: %s\n", host::Host::DefaultPluginPath().c_str(),
                         dlerror());
            std::abort();
        }
        return Hd;
    }();
    (void)Handle;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    PinModule();
    CheckLineScan(Data, Size);
    FuzzedDataProvider In(Data, Size);
    // The kind in the byte's low two bits, the host's modes in the other six.
    const unsigned Head = In.ConsumeIntegral<uint8_t>();
    const Kind K = static_cast<Kind>(Head % static_cast<unsigned>(Kind::Count));
    const Modes M(Head / static_cast<unsigned>(Kind::Count));
    CurrentModes = M.Name();
    if (Tracing())
        std::fprintf(stderr, "kind %d, modes:%s\n", static_cast<int>(K), CurrentModes.c_str());
    compat::ResetConsole();
    compat::ResetRegistry();
    const long HeapBefore = compat::LiveHeapBlocks();
    {
        host::Host H;
        if (!H.LoadPlugin()) std::abort();
        WriteRegistry(H, In, K != Kind::General);
        // Start-up itself may run out of memory (the registry path's copy).
        if (K == Kind::General && In.ConsumeIntegralInRange<int>(0, 15) == 0)
            compat::FailHeapAllocation(In.ConsumeIntegralInRange<long>(1, 3), 1);
        H.StartPlugin();
        compat::FailHeapAllocation(0);
        M.ApplyToHost(H);
        if (K == Kind::General) {
            std::vector<std::string> Texts;
            const int N = In.ConsumeIntegralInRange<int>(1, 3);
            for (int I = 0; I < N; ++I) Texts.push_back(Consume(In, kMaxTextBytes));
            GeneralSession(H, In, Texts, M);
        } else {
            CheckedTextSession(H, In, K, NoTabs(Consume(In, kMaxTextBytes), K != Kind::Keep), M);
        }
        if (!H.Misuses.empty()) {
            std::fprintf(stderr,
                         "PROPERTY VIOLATED: a call the host does not allow: %s\nmodes:%s\n",
                         H.Misuses[0].c_str(), CurrentModes.c_str());
            std::abort();
        }
    }
    if (compat::OpenRegistryKeys() != 0) {
        std::fprintf(stderr, "registry keys left open: %d\n", compat::OpenRegistryKeys());
        std::abort();
    }
    // With every window closed the plug-in holds its registry path and two menu texts at most.
    if (compat::LiveHeapBlocks() > 3) {
        std::fprintf(stderr, "heap blocks: %ld before this input, %ld after\n", HeapBefore,
                     compat::LiveHeapBlocks());
        std::abort();
    }
    return 0;
}
