#include "interactive/text_search.h"

#include <windows.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "access/editor_access.h"
#include "access/host_ui.h"
#include "ground/console.h"
#include "ground/key_event.h"
#include "ground/memory.h"
#include "interactive/search_scan.h"
#include "interactive/status_line.h"

namespace tarvik {

namespace {

// A poll is a console call, far dearer than scanning a line (under Wine a round trip to
// the server, about a thousand times the cost of a line): after the first line the
// keyboard is polled once per this many lines or bytes scanned, which still answers
// Esc within a few milliseconds.
constexpr int kLinesPerPoll = 2048;
constexpr int64_t kBytesPerPoll = 1 << 20;

// The line loop: the first hit at or after Start, up to the last line of the file.
bool ScanLines(const TGlobalVars* State, const TEditorView& View, const TSearchScan* Scan,
               TCursorPos Start, TCursorPos& Hit) {
    int line = Start.Line < 0 ? 0 : Start.Line;
    int64_t first = Start.Pos < 0 ? 0 : Start.Pos;
    if (line >= View.TotalLines) return false;
    // The poll reads and drops waiting events: never while a replay is still arriving.
    const bool mayPoll = !(State && State->PlaybackPending);
    // The first poll comes after the first line: keys typed ahead of a scan that
    // leaves its line are taken at once, an Esc among them ends it at once.
    int linesSincePoll = kLinesPerPoll;
    int64_t bytesSincePoll = 0;
    // Lines passed since the last poll: an Esc typed meanwhile must still win over a hit.
    bool pollOwed = false;
    for (;;) {
        // The host reads the cursor's line most cheaply: the scan walks the cursor along.
        TLine L;
        if (!SetCursor(0, line) || !ReadLine(-1, L)) return false;
        const int64_t length = L.Length;
        const int64_t column = ScanLine(Scan, L.Text, length, first);
        if (column >= 0) {
            if (pollOwed && mayPoll && EscapePressed()) return false;
            Hit.Pos = static_cast<int>(column);
            Hit.Line = line;
            return true;
        }
        ++line;
        first = 0;
        if (line >= View.TotalLines) return false;
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

}  // namespace

// ---- Search ------------------------------------------------------------------

bool EscapePressed() {
    DWORD count = 0;
    if (!CountWaitingEvents(ConsoleInput, count)) return false;
    for (DWORD i = 0; i < count; ++i) {
        INPUT_RECORD event;
        if (!ReadWaitingEvent(ConsoleInput, event)) return false;
        if (IsKeyPress(event) && event.Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE) return true;
    }
    return false;
}

bool FindText(TGlobalVars* State, const TChar* Text, TCursorPos Start, TCursorPos& Hit) {
    TEditorView view;
    if (!GetEditorView(view)) return false;
    HANDLE screen = SaveScreenArea(0, 0, -1, -1);
    if (!Text) Text = TARVIK_TEXT("");
    ShowSearchingMessage(Text, view.Code == ViewAnsi);

    bool found = false;
    TCursorPos hit = {0, 0};
    const int length = TextLength(Text);
    if (length <= INT_MAX / 2) {
        TSearchScan* scan = MakeSearchScan(view, Text, length);
        if (scan) {
            found = ScanLines(State, view, scan, Start, hit);
            FreeSearchScan(scan);
        }
    }

    SetView(view.Cursor.Line, view.Cursor.Pos, view.TopLine, view.LeftPos);
    RestoreScreenArea(screen);
    if (found) Hit = hit;
    return found;
}

bool FindNext(TGlobalVars* State, const TChar* Text, TCursorPos Start) {
    TCursorPos hit;
    if (!FindText(State, Text, Start, hit)) return false;
    SetCursor(hit.Pos, hit.Line);
    return true;
}

}  // namespace tarvik
