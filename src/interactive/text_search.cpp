#include "interactive/text_search.h"

#include <windows.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "commands/primitives.h"
#include "interactive/line_scan.h"
#include "interactive/status_line.h"
#include "plugin/memory.h"
#include "plugin/system_calls.h"

namespace tarvik {

namespace {

// Copies Text (as typed, OEM code page) into a fresh pattern buffer, brings it into the
// editor's code page and encodes it; Table receives the case table. Null when memory ran
// out.
unsigned char* BuildPattern(const EditorInfo& Ei, const char* Text, int N, CharTableSet& Set,
                            const unsigned char*& Table) {
    unsigned char* buffer = static_cast<unsigned char*>(AllocBytes(2 * static_cast<size_t>(N) + 1));
    if (!buffer) return nullptr;
    memcpy(buffer, Text, static_cast<size_t>(N));
    buffer[N] = 0;
    if (Ei.TableNum != -1) {
        // Identity tables, so that a host that cannot fill the set gives a plain exact search.
        for (int c = 0; c < 256; ++c) {
            Set.DecodeTable[c] = Set.EncodeTable[c] = Set.UpperTable[c] = Set.LowerTable[c] =
                static_cast<unsigned char>(c);
        }
        Set.TableName[0] = 0;
        if (CharTable) CharTable(Ei.TableNum, reinterpret_cast<char*>(&Set), sizeof Set);
        Table = Set.UpperTable;
        // Translate by count, not by strlen: a character may map to 0.
        for (int k = 0; k < N; ++k) buffer[k] = Set.EncodeTable[buffer[k]];
    } else if (Ei.AnsiMode) {
        Table = AnsiUpperTable;
        if (N > 0) OemToCharA(reinterpret_cast<char*>(buffer), reinterpret_cast<char*>(buffer));
    } else {
        Table = OemUpperTable;
    }
    EncodeSearchPattern(buffer, Table, N);
    return buffer;
}

// A poll is a console call, far dearer than scanning a line (under Wine a round trip to
// the server, about a thousand times the cost of a line): after the first line the
// keyboard is polled once per this many lines or bytes scanned, which still answers
// Esc within a few milliseconds.
constexpr int kLinesPerPoll = 2048;
constexpr int64_t kBytesPerPoll = 1 << 20;

// The line loop: the first hit at or after Start, up to the last line of the file.
bool ScanLines(const TGlobalVars* State, const EditorInfo& Ei, const TScanPattern& Sp,
               TCursorPos Start, TCursorPos& Hit) {
    int line = Start.Line < 0 ? 0 : Start.Line;
    int64_t first = Start.Pos < 0 ? 0 : Start.Pos;
    if (line >= Ei.TotalLines) return false;
    EditorSetPosition esp;
    esp.CurLine = line;
    esp.CurPos = 0;
    esp.CurTabPos = -1;
    esp.TopScreenLine = -1;
    esp.LeftPos = -1;
    esp.Overtype = -1;
    // The poll reads and drops waiting events: never while a replay is still arriving.
    const bool mayPoll = !(State && State->PlaybackPending);
    // The first poll comes after the first line: keys typed ahead of a scan that
    // leaves its line are taken at once, an Esc among them ends it at once.
    int linesSincePoll = kLinesPerPoll;
    int64_t bytesSincePoll = 0;
    // Lines passed since the last poll: an Esc typed meanwhile must still win over a hit.
    bool pollOwed = false;
    for (;;) {
        esp.CurLine = line;
        if (!EditorControl(ECTL_SETPOSITION, &esp)) return false;
        EditorGetString egs;
        memset(&egs, 0, sizeof egs);
        egs.StringNumber = -1;
        if (!EditorControl(ECTL_GETSTRING, &egs) || !egs.StringText) return false;
        int64_t length = egs.StringLength < 0 ? 0 : egs.StringLength;
        int64_t column =
            FindInLine(Sp, reinterpret_cast<const unsigned char*>(egs.StringText), length, first);
        if (column >= 0) {
            if (pollOwed && mayPoll && EscapePressed()) return false;
            Hit.Pos = static_cast<int>(column);
            Hit.Line = line;
            return true;
        }
        ++line;
        first = 0;
        if (line >= Ei.TotalLines) return false;
        bytesSincePoll += length;
        if (++linesSincePoll < kLinesPerPoll && bytesSincePoll < kBytesPerPoll) {
            pollOwed = true;
            continue;
        }
        linesSincePoll = 0;
        bytesSincePoll = 0;
        pollOwed = false;
        if (mayPoll && EscapePressed()) return false;
    }
}

// Whether the processor (and, on 32-bit Windows, the system, which must save the vector
// registers) runs the vector scan. Every x86-64 processor does. A system without the call
// (Windows 95) gets the plain scan: it cannot say, and Windows 95 saves no vector registers.
bool VectorScanUsable() {
#if defined(__i386__) && defined(_WIN32)
    using TFeaturePresent = BOOL(WINAPI*)(DWORD);
    const auto Present = Kernel32Function<TFeaturePresent>("IsProcessorFeaturePresent");
    return Present && Present(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0;
#elif defined(__i386__)
    return __builtin_cpu_supports("sse2");
#else
    return true;
#endif
}

}  // namespace

// ---- Search ------------------------------------------------------------------

bool ShowsAnsiText(const EditorInfo& Ei) {
    return Ei.TableNum == -1 && Ei.AnsiMode != 0;
}

// Reads every waiting console event up to the first Esc press; true when there was one.
bool EscapePressed() {
    DWORD count = 0;
    if (!GetNumberOfConsoleInputEvents(ConsoleInput, &count)) return false;
    for (DWORD i = 0; i < count; ++i) {
        INPUT_RECORD ir;
        DWORD read = 0;
        if (!ReadConsoleInputA(ConsoleInput, &ir, 1, &read) || read == 0) return false;
        if (ir.EventType == KEY_EVENT && ir.Event.KeyEvent.bKeyDown &&
            ir.Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE) {
            return true;
        }
    }
    return false;
}

// The first occurrence of Text at or after Start, up to the end of the file; the cursor,
// the view and the screen are as before. Hit is written only when found.
bool FindText(TGlobalVars* State, const char* Text, TCursorPos Start, TCursorPos& Hit) {
    if (!EditorControl) return false;
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei)) return false;
    HANDLE screen = SaveScreen ? SaveScreen(0, 0, -1, -1) : nullptr;
    if (!Text) Text = "";
    ShowSearchingMessage(Text, ShowsAnsiText(ei));

    bool found = false;
    TCursorPos hit = {0, 0};
    size_t length = strlen(Text);
    if (length <= INT_MAX / 2) {
        CharTableSet set;
        const unsigned char* table = OemUpperTable;
        int n = static_cast<int>(length);
        unsigned char* pattern = BuildPattern(ei, Text, n, set, table);
        if (pattern) {
            TScanPattern sp;
            PrepareScan(sp, pattern, n, table, VectorScanUsable());
            found = ScanLines(State, ei, sp, Start, hit);
            FreeBytes(pattern);
        }
    }

    EditorSetPosition esp;
    esp.CurLine = ei.CurLine;
    esp.CurPos = ei.CurPos;
    esp.CurTabPos = -1;
    esp.TopScreenLine = ei.TopScreenLine;
    esp.LeftPos = ei.LeftPos;
    esp.Overtype = -1;
    EditorControl(ECTL_SETPOSITION, &esp);
    if (RestoreScreen) RestoreScreen(screen);
    if (found) Hit = hit;
    return found;
}

// FindText, then the cursor on the first character of the hit (nothing selected).
bool FindNext(TGlobalVars* State, const char* Text, TCursorPos Start) {
    TCursorPos hit;
    if (!FindText(State, Text, Start, hit)) return false;
    SetCursorPos(hit.Pos, hit.Line);
    return true;
}

}  // namespace tarvik
