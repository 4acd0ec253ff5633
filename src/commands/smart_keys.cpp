#include "commands/smart_keys.h"

#include "commands/edit_helpers.h"
#include "commands/line_writes.h"
#include "commands/primitives.h"
#include "plugin/globals.h"

namespace tarvik {

namespace {

// The lowest line a search from Line may read, MaxLines back; never below 0.
// Computed in 64 bits: the setting comes from the registry unchecked.
long long SearchFloor(int Line, int MaxLines) {
    const long long Low = static_cast<long long>(Line) - MaxLines;
    return Low < 0 ? 0 : Low;
}

// The line above the cursor's, or -1 (which no search reads) on line 0.
int LineAbove(int Line) {
    return Line > 0 ? Line - 1 : -1;
}

}  // namespace

// Indentation of the nearest line from Line upwards whose first non-blank stands
// left of Col; 0 when none within MaxBackspaceSearchLines.
int BackspaceTarget(int Line, int Col) {
    const long long Low = SearchFloor(Line, MaxBackspaceSearchLines);
    for (long long L = Line; L >= Low; --L) {
        int Len;
        const char* Text = GetLineText(static_cast<int>(L), Len);
        if (!Text) continue;
        if (Col < Len) {
            const int N = SkipSpaces(Text, Col);
            if (N < Col) return N;
        } else {
            const int N = SkipSpaces(Text, Len);
            if (N < Len) return N;
        }
    }
    return 0;
}

// Start of the next word at or after Col on the nearest line from Line upwards
// that is longer than Col; Col itself when none within MaxTabSearchLines.
int TabTarget(int Line, int Col) {
    if (Col < 0) return Col;
    const long long Low = SearchFloor(Line, MaxTabSearchLines);
    for (long long L = Line; L >= Low; --L) {
        int Len;
        const char* Text = GetLineText(static_cast<int>(L), Len);
        if (!Text || Col >= Len) continue;
        int K = Col;
        while (K < Len && Text[K] != ' ') ++K;
        while (K < Len && Text[K] == ' ') ++K;
        return K;
    }
    return Col;
}

// At the end of a line's indentation, steps back to the indentation of the
// nearest earlier line indented less; declines anywhere else.
bool SmartBackspace() {
    if (!EditorControl) return false;
    int Len;
    const char* Text = GetLineText(-1, Len);
    TCursorPos Pos;
    GetCursorPos(Pos);
    const int Indent = Text ? SkipSpaces(Text, Len) : 0;
    if (Pos.Pos < 2) return false;
    if (Indent != Pos.Pos && Indent != Len) return false;
    const int Target = BackspaceTarget(LineAbove(Pos.Line), Pos.Pos);
    if (Target > Len) {
        if (InsertBlanksAt(Pos.Line, Len, Target - Len)) SetCursorPos(Target, Pos.Line);
    } else if (PlaceCursor(Target, Pos.Line)) {
        const int Count = (Pos.Pos < Len ? Pos.Pos : Len) - Target;
        for (int I = 0; I < Count; ++I)
            if (!EditorControl(ECTL_DELETECHAR, nullptr)) break;
    }
    EditorControl(ECTL_REDRAW, nullptr);
    return true;
}

// Fills blanks up to the next word start of the nearest longer line above;
// declines when no such line is within reach. In overtype mode it only moves the
// cursor there, as the host's own Tab does: nothing is overwritten.
bool SmartTab() {
    EditorInfo ei;
    if (!GetEditorInfo(ei)) return false;
    const TCursorPos Pos = {ei.CurPos, ei.CurLine};
    const int Target = TabTarget(LineAbove(Pos.Line), Pos.Pos);
    if (Target == Pos.Pos) return false;
    if (ei.Overtype || InsertBlanksAt(Pos.Line, Pos.Pos, Target - Pos.Pos))
        SetCursorPos(Target, Pos.Line);
    EditorControl(ECTL_REDRAW, nullptr);
    return true;
}

// Breaks the line at the cursor and indents the new line like the current one.
bool SmartEnter() {
    if (!EditorControl) return true;
    int Len;
    const char* Text = GetLineText(-1, Len);
    TCursorPos Pos;
    GetCursorPos(Pos);
    int Indent = Text ? SkipSpaces(Text, Len) : 0;
    if (Indent > Pos.Pos) Indent = Pos.Pos < 0 ? 0 : Pos.Pos;
    // The host puts the cursor at the start of the new line; the blanks go there.
    TCursorPos NewLine;
    if (EditorControl(ECTL_INSERTSTRING, nullptr) && Indent > 0 && GetCursorPos(NewLine) &&
        InsertBlanksAt(NewLine.Line, 0, Indent))
        SetCursorPos(Indent, NewLine.Line);
    EditorControl(ECTL_REDRAW, nullptr);
    return true;
}

}  // namespace tarvik
