#include "commands/edit_helpers.h"

#include <climits>
#include <cstring>

#include "commands/primitives.h"
#include "plugin/memory.h"

namespace tarvik {

int ClampToInt(long long Value) {
    if (Value > INT_MAX) return INT_MAX;
    if (Value < INT_MIN) return INT_MIN;
    return static_cast<int>(Value);
}

bool ReadLine(int Line, EditorGetString& egs) {
    memset(&egs, 0, sizeof egs);
    if (!EditorControl) return false;
    ExpandTabs(Line);
    egs.StringNumber = Line;
    if (!EditorControl(ECTL_GETSTRING, &egs)) return false;
    if (egs.StringLength < 0 || !egs.StringText) egs.StringLength = 0;
    return true;
}

void SelectedSpan(const EditorGetString& egs, int& From, int& To, bool& ThroughEnd) {
    const int Len = egs.StringLength < 0 ? 0 : egs.StringLength;
    From = egs.SelStart < 0 ? 0 : (egs.SelStart > Len ? Len : egs.SelStart);
    // A block "through the end" of the line without a break (the text's last) takes
    // no break along: a copy would add one, a move would reorder the lines.
    ThroughEnd = egs.SelEnd == -1 && egs.StringEOL && egs.StringEOL[0];
    if (egs.SelEnd == -1) {
        To = Len;
    } else {
        To = egs.SelEnd > Len ? Len : egs.SelEnd;
        if (To < From) To = From;
    }
}

bool InsertBlanks(int Count) {
    if (!EditorControl) return false;
    if (Count < 0) Count = 0;
    char* Blanks = static_cast<char*>(AllocBytes(static_cast<size_t>(Count) + 1));
    if (!Blanks) return false;
    memset(Blanks, ' ', static_cast<size_t>(Count));
    Blanks[Count] = 0;
    const bool Done = EditorControl(ECTL_INSERTTEXT, Blanks) != 0;
    FreeBytes(Blanks);
    return Done;
}

bool RefreshCursorColumn(TCursorPos& Pos) {
    if (!EditorControl) return false;
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei)) return false;
    if (ei.CurLine == Pos.Line) Pos.Pos = ei.CurPos;
    return true;
}

}  // namespace tarvik
