#include "editors/text_kind.h"

#include "access/editor_access.h"
#include "ground/globals.h"

namespace tarvik {

namespace {

enum TUnitKind { PlainUnit, TabUnit, ControlUnit };

// Form feeds and end-of-file marks are common in plain text; other control units
// betray a binary or a terminal capture.
TUnitKind ClassifyUnit(TChar Ch) {
    const TUnit U = UnitOf(Ch);
    if (U >= 32 || U == 12 || U == 26) return PlainUnit;
    return U == 9 ? TabUnit : ControlUnit;
}

}  // namespace

unsigned char DetectTextKind() {
    TEditorView View;
    if (!GetEditorView(View)) return ModeUndecided;
    const int Lines =
        View.TotalLines < MaxDetectSearchLines ? View.TotalLines : MaxDetectSearchLines;
    bool HasTabs = false;
    for (int Line = 0; Line < Lines; ++Line) {
        TLine L;
        if (!ReadLine(Line, L)) continue;
        for (int I = 0; I < L.Length; ++I) {
            const TUnitKind Kind = ClassifyUnit(L.Text[I]);
            if (Kind == ControlUnit) return ModeOff;
            if (Kind == TabUnit) HasTabs = true;
        }
    }
    return HasTabs && !OnForTextWithTabs ? ModeOff : ModeOn;
}

}  // namespace tarvik
