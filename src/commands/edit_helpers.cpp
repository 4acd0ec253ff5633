#include "commands/edit_helpers.h"

#include <climits>
#include <cstring>

#include "commands/primitives.h"

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

void SelectedBytes(const EditorGetString& egs, int& From, int& To) {
    const int Len = egs.StringLength < 0 ? 0 : egs.StringLength;
    From = egs.SelStart < 0 ? 0 : (egs.SelStart > Len ? Len : egs.SelStart);
    To = egs.SelEnd == -1 || egs.SelEnd > Len ? Len : egs.SelEnd;
    if (To < From) To = From;
}

bool GetEditorInfo(EditorInfo& ei) {
    memset(&ei, 0, sizeof ei);
    return EditorControl && EditorControl(ECTL_GETINFO, &ei) != 0;
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
