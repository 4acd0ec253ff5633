#include "commands/smart_keys.h"

#include "access/editor_access.h"
#include "commands/line_edits.h"
#include "ground/globals.h"

namespace tarvik {

namespace {

// The lowest line a search from Line may read, MaxLines back; never below 0.
// Computed in 64 bits: the setting comes from the host's store unchecked.
long long SearchFloor(int Line, int MaxLines) {
    const long long Low = static_cast<long long>(Line) - MaxLines;
    return Low < 0 ? 0 : Low;
}

// The line above the cursor's, or -1 (which no search reads) on line 0.
int LineAbove(int Line) {
    return Line > 0 ? Line - 1 : -1;
}

}  // namespace

int BackspaceTarget(int Line, int Col) {
    const long long Low = SearchFloor(Line, MaxBackspaceSearchLines);
    for (long long Ln = Line; Ln >= Low; --Ln) {
        TLine L;
        if (!ReadExpandedLine(static_cast<int>(Ln), L)) continue;
        if (Col < L.Length) {
            const int N = SkipSpaces(L.Text, Col);
            if (N < Col) return N;
        } else {
            const int N = SkipSpaces(L.Text, L.Length);
            if (N < L.Length) return N;
        }
    }
    return 0;
}

int TabTarget(int Line, int Col) {
    if (Col < 0) return Col;
    const long long Low = SearchFloor(Line, MaxTabSearchLines);
    for (long long Ln = Line; Ln >= Low; --Ln) {
        TLine L;
        if (!ReadExpandedLine(static_cast<int>(Ln), L) || Col >= L.Length) continue;
        int K = Col;
        while (K < L.Length && L.Text[K] != ' ') ++K;
        while (K < L.Length && L.Text[K] == ' ') ++K;
        return K;
    }
    return Col;
}

bool SmartBackspace() {
    // The line first: its expansion can move the cursor's position in the text.
    TLine L;
    ReadExpandedLine(-1, L);
    TCursorPos Pos;
    GetCursor(Pos);
    const int Len = L.Length;
    const int Indent = SkipSpaces(L.Text, Len);
    if (Pos.Pos < 2) return false;
    if (Indent != Pos.Pos && Indent != Len) return false;
    const int Target = BackspaceTarget(LineAbove(Pos.Line), Pos.Pos);
    if (Target > Len) {
        if (InsertBlanksAt(Pos.Line, Len, Target - Len)) SetCursor(Target, Pos.Line);
    } else if (SetCursor(Target, Pos.Line)) {
        const int Count = (Pos.Pos < Len ? Pos.Pos : Len) - Target;
        for (int I = 0; I < Count; ++I)
            if (!DeleteChar()) break;
    }
    Redraw();
    return true;
}

bool SmartTab() {
    TEditorView View;
    if (!GetEditorView(View)) return false;
    const TCursorPos Pos = View.Cursor;
    const int Target = TabTarget(LineAbove(Pos.Line), Pos.Pos);
    if (Target == Pos.Pos) return false;
    if (View.Overtype || InsertBlanksAt(Pos.Line, Pos.Pos, Target - Pos.Pos))
        SetCursor(Target, Pos.Line);
    Redraw();
    return true;
}

bool SmartEnter() {
    TLine L;
    ReadExpandedLine(-1, L);
    TCursorPos Pos;
    GetCursor(Pos);
    int Indent = SkipSpaces(L.Text, L.Length);
    if (Indent > Pos.Pos) Indent = Pos.Pos < 0 ? 0 : Pos.Pos;
    // The host puts the cursor at the start of the new line; the blanks go there.
    TCursorPos NewLine;
    if (BreakLine() && Indent > 0 && GetCursor(NewLine) && InsertBlanksAt(NewLine.Line, 0, Indent))
        SetCursor(Indent, NewLine.Line);
    Redraw();
    return true;
}

}  // namespace tarvik
