#include "commands/primitives.h"

#include <cstring>

namespace tarvik {

void ExpandTabs(int Line) {
    if (EditorControl) EditorControl(ECTL_EXPANDTABS, &Line);
}

const char* GetLineText(int Line, int& Length) {
    ExpandTabs(Line);
    EditorGetString egs;
    memset(&egs, 0, sizeof egs);
    egs.StringNumber = Line;
    if (!EditorControl || !EditorControl(ECTL_GETSTRING, &egs) || !egs.StringText) {
        Length = 0;
        return nullptr;
    }
    Length = egs.StringLength < 0 ? 0 : egs.StringLength;
    return egs.StringText;
}

bool GetCursorPos(TCursorPos& Pos) {
    Pos.Pos = 0;
    Pos.Line = 0;
    if (!EditorControl) return false;
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei)) return false;
    Pos.Pos = ei.CurPos;
    Pos.Line = ei.CurLine;
    return true;
}

void SetCursorPos(int Pos, int Line) {
    PlaceCursor(Pos, Line);
}

bool PlaceCursor(int Pos, int Line) {
    if (!EditorControl) return false;
    EditorSetPosition esp;
    esp.CurLine = Line;
    esp.CurPos = Pos;
    esp.CurTabPos = -1;
    esp.TopScreenLine = -1;
    esp.LeftPos = -1;
    esp.Overtype = -1;
    return EditorControl(ECTL_SETPOSITION, &esp) != 0;
}

int GetBlockStartLine() {
    if (!EditorControl) return -1;
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei) || ei.BlockType != BTYPE_STREAM) return -1;
    return ei.BlockStartLine;
}

int SkipSpaces(const char* Buf, int Length) {
    int count = 0;
    while (count < Length && Buf[count] == ' ') ++count;
    return count;
}

}  // namespace tarvik
