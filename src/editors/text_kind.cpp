#include "editors/text_kind.h"

#include <cstring>

#include "plugin/globals.h"
#include "plugin/settings.h"

namespace tarvik {

namespace {

enum TByteKind { PlainByte, TabByte, ControlByte };

// Form feeds and end-of-file marks are common in plain text; other control
// bytes betray a binary or a terminal capture.
TByteKind ClassifyByte(unsigned char Ch) {
    if (Ch >= 32 || Ch == 12 || Ch == 26) return PlainByte;
    return Ch == 9 ? TabByte : ControlByte;
}

}  // namespace

unsigned char DetectTextKind() {
    unsigned char remembered = ModeUndecided;
    LoadSaveFileTypeMode(true, remembered);
    if (remembered != ModeUndecided) return remembered;
    if (!EditorControl) return ModeUndecided;
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei)) return ModeUndecided;
    int lines = ei.TotalLines < MaxDetectSearchLines ? ei.TotalLines : MaxDetectSearchLines;
    bool hasTabs = false;
    // Lines are read as stored: expanding tabs here would change the user's text.
    for (int line = 0; line < lines; ++line) {
        EditorGetString egs;
        memset(&egs, 0, sizeof egs);
        egs.StringNumber = line;
        if (!EditorControl(ECTL_GETSTRING, &egs) || !egs.StringText) continue;
        for (int i = 0; i < egs.StringLength; ++i) {
            TByteKind kind = ClassifyByte(static_cast<unsigned char>(egs.StringText[i]));
            if (kind == ControlByte) return ModeOff;
            if (kind == TabByte) hasTabs = true;
        }
    }
    return hasTabs && !OnForTextWithTabs ? ModeOff : ModeOn;
}

}  // namespace tarvik
