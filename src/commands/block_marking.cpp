#include "commands/block_marking.h"

#include "commands/edit_helpers.h"
#include "commands/primitives.h"
#include "editors/editor_state.h"

namespace tarvik {

namespace {

// Selects a stream block of Height lines from (StartPos, StartLine), ending at
// column StartPos + Width of its last line.
void SelectStream(int StartLine, int StartPos, int Width, int Height) {
    if (!EditorControl) return;
    EditorSelect es;
    es.BlockType = BTYPE_STREAM;
    es.BlockStartLine = StartLine;
    es.BlockStartPos = StartPos;
    es.BlockWidth = Width;
    es.BlockHeight = Height;
    EditorControl(ECTL_SELECT, &es);
}

bool Precedes(TCursorPos A, TCursorPos B) {
    return A.Line < B.Line || (A.Line == B.Line && A.Pos < B.Pos);
}

}  // namespace

// Word characters: ASCII letters, digits, '_' and every byte of the upper half.
bool IsWordChar(unsigned char Ch) {
    return (Ch >= '0' && Ch <= '9') || (Ch >= 'A' && Ch <= 'Z') || (Ch >= 'a' && Ch <= 'z') ||
           Ch == '_' || Ch >= 128;
}

// Removes the host's selection; the marks stay for the next Ctrl+K B or K.
void HideBlock() {
    if (!EditorControl) return;
    EditorSelect es;
    es.BlockType = BTYPE_NONE;
    es.BlockStartLine = 0;
    es.BlockStartPos = 0;
    es.BlockWidth = 0;
    es.BlockHeight = 0;
    EditorControl(ECTL_SELECT, &es);
}

// Sets the begin mark and selects between the marks when they are in order.
void MarkBlockBegin(TGlobalVars* Rec, TCursorPos Pos) {
    if (!Rec) return;
    Rec->BlockBegin = Pos;
    SelectMarkedBlock();
}

// Sets the end mark (first position after the block) and selects between the marks.
void MarkBlockEnd(TGlobalVars* Rec, TCursorPos Pos) {
    if (!Rec) return;
    Rec->BlockEnd = Pos;
    SelectMarkedBlock();
}

// Selects from BlockBegin up to BlockEnd of the current window; marks out of order
// leave the host's selection as it is.
void SelectMarkedBlock() {
    TGlobalVars* Rec = FindCurrentEditor();
    if (!Rec || !Precedes(Rec->BlockBegin, Rec->BlockEnd)) return;
    const TCursorPos Begin = Rec->BlockBegin;
    const TCursorPos End = Rec->BlockEnd;
    SelectStream(Begin.Line, Begin.Pos, ClampToInt(static_cast<long long>(End.Pos) - Begin.Pos),
                 ClampToInt(static_cast<long long>(End.Line) - Begin.Line + 1));
}

// Selects the whole line at Pos with its line break.
void MarkLine(TCursorPos Pos) {
    SelectStream(Pos.Line, 0, 0, 2);
}

// Selects the run of word characters under the cursor; elsewhere nothing changes.
void MarkWord(TCursorPos Pos) {
    int Len;
    const char* Text = GetLineText(Pos.Line, Len);
    RefreshCursorColumn(Pos);
    if (!Text || Pos.Pos < 0 || Pos.Pos >= Len ||
        !IsWordChar(static_cast<unsigned char>(Text[Pos.Pos])))
        return;
    int Start = Pos.Pos;
    while (Start > 0 && IsWordChar(static_cast<unsigned char>(Text[Start - 1]))) --Start;
    int Last = Pos.Pos;
    while (Last < Len - 1 && IsWordChar(static_cast<unsigned char>(Text[Last + 1]))) ++Last;
    SelectStream(Pos.Line, Start, Last - Start + 1, 1);
}

}  // namespace tarvik
