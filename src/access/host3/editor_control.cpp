// The editor access's calls of the host's generation-3 interface: EditorControl with
// its records, always on the editor nearest the top of the host's windows (-1).
#include <cstring>

#include "access/editor_access.h"
#include "access/host3/host_services.h"
#include "ground/fault_guard.h"
#include "ground/hand_over.h"
#include "ground/memory.h"
#include "ground/numbers.h"

namespace tarvik {

namespace {

constexpr intptr_t kCurrentEditor = -1;

intptr_t Control(uint32_t Command, void* Param2, intptr_t Param1 = 0) {
    if (!HostInfo.EditorControl) return 0;
    return HostInfo.EditorControl(kCurrentEditor, Command, Param1, Param2);
}

// The host's ECTL_GETINFO into the EditorInfo at Info; nonzero on success.
int AskEditorInfo(void* Info) {
    return Control(api3::ECTL_GETINFO, Info) != 0;
}

// Fills ei, sized for the host; false (all zero) when the host cannot tell.
bool GetEditorInfo(api3::EditorInfo& ei) {
    memset(&ei, 0, sizeof ei);
    ei.StructSize = sizeof ei;
    return Control(api3::ECTL_GETINFO, &ei) != 0;
}

int Narrow(intptr_t Value) {
    return ClampToInt(static_cast<long long>(Value));
}

// The name of the current editor's file, kept until the next one is asked for.
TChar* FileName = nullptr;

}  // namespace

// ---- The editor window ---------------------------------------------------------

bool GetEditorView(TEditorView& View) {
    memset(&View, 0, sizeof View);
    View.TableNum = -1;
    api3::EditorInfo ei;
    if (!GetEditorInfo(ei)) return false;
    View.Id = Narrow(ei.EditorID);
    View.TotalLines = Narrow(ei.TotalLines);
    View.Cursor.Pos = Narrow(ei.CurPos);
    View.Cursor.Line = Narrow(ei.CurLine);
    View.TopLine = Narrow(ei.TopScreenLine);
    View.LeftPos = Narrow(ei.LeftPos);
    View.Height = Narrow(ei.WindowSizeY);
    View.TabSize = Narrow(ei.TabSize);
    View.Overtype = ei.Overtype != 0;
    View.StreamBlock = ei.BlockType == api3::BTYPE_STREAM;
    View.BlockStartLine = Narrow(ei.BlockStartLine);
    // The text is UTF-16 whatever the file's code page: shown as typed.
    View.Code = ViewOem;
    return true;
}

bool GetCurrentEditorId(int& Id) {
    Id = 0;
    if (!HostInfo.EditorControl) return false;
    api3::EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    ei.StructSize = sizeof ei;
    if (!CallGuarded(AskEditorInfo, &ei, 0)) return false;
    Id = Narrow(ei.EditorID);
    return true;
}

const TChar* EditorFileName() {
    const intptr_t Size = Control(api3::ECTL_GETFILENAME, nullptr, 0);
    if (Size <= 0 || Size > 0x7FFFFFF) return nullptr;
    TChar* Name = static_cast<TChar*>(AllocBytes(sizeof(TChar) * static_cast<size_t>(Size)));
    if (!Name) return nullptr;
    if (Control(api3::ECTL_GETFILENAME, Name, Size) <= 0) {
        FreeBytes(Name);
        return nullptr;
    }
    Name[Size - 1] = 0;
    FreeBytes(FileName);
    FileName = Name;
    return FileName;
}

// ---- Lines -----------------------------------------------------------------------

bool ReadLine(int Line, TLine& L) {
    memset(&L, 0, sizeof L);
    L.Text = L.Eol = TARVIK_TEXT("");
    api3::EditorGetString egs;
    memset(&egs, 0, sizeof egs);
    egs.StructSize = sizeof egs;
    egs.StringNumber = Line;
    if (!Control(api3::ECTL_GETSTRING, &egs) || !egs.StringText) return false;
    L.Text = egs.StringText;
    L.Length = egs.StringLength < 0 ? 0 : Narrow(egs.StringLength);
    L.Eol = egs.StringEOL ? egs.StringEOL : TARVIK_TEXT("");
    L.SelStart = Narrow(egs.SelStart);
    L.SelEnd = Narrow(egs.SelEnd);
    return true;
}

void ExpandTabs(int Line) {
    intptr_t Number = Line;
    Control(api3::ECTL_EXPANDTABS, &Number);
}

bool WriteLine(int Line, const TChar* Text, int Length, const TChar* Eol) {
    // The line's own end, copied: the host may free its copy while it takes the new
    // one. A null end would give the file's default one.
    TChar Own[8] = {};
    TChar* Long = nullptr;
    const int EolLength = TextLength(Eol);
    if (EolLength < 8) {
        for (int I = 0; I < EolLength; ++I) Own[I] = Eol[I];
    } else {
        Long = CopyText(Eol);
        if (!Long) return false;
    }
    api3::EditorSetString ess;
    ess.StructSize = sizeof ess;
    ess.StringNumber = Line;
    ess.StringLength = Length < 0 ? 0 : Length;
    ess.StringText = Text;
    ess.StringEOL = Long ? Long : Own;
    const bool Done = Control(api3::ECTL_SETSTRING, &ess) != 0;
    FreeBytes(Long);
    return Done;
}

// The host trims the blanks before the cursor when its auto-indent option is on and
// only blanks follow: the line breaks at its start instead, where there is nothing to
// trim, and both parts are written back unit for unit.
bool BreakLine() {
    api3::EditorInfo ei;
    TLine L;
    if (!GetEditorInfo(ei) || !ReadLine(-1, L)) return false;
    const int Line = Narrow(ei.CurLine);
    const int Column = ei.CurPos < 0 ? 0 : ei.CurPos > L.Length ? L.Length : Narrow(ei.CurPos);
    TChar* Text = CopyUnits(L.Text, L.Length);
    TChar* Eol = CopyText(L.Eol);
    bool Done =
        Text && Eol && SetView(Line, 0, -1, -1) && Control(api3::ECTL_INSERTSTRING, nullptr) != 0;
    // The first part has the line end the host gave it (the file's default one where
    // the text's last line broke); the second keeps the line's own.
    TLine First;
    TChar* FirstEol = Done && ReadLine(Line, First) ? CopyText(First.Eol) : nullptr;
    Done = FirstEol && WriteLine(Line, Text, Column, FirstEol) &&
           WriteLine(Line + 1, Text + Column, L.Length - Column, Eol);
    FreeBytes(FirstEol);
    FreeBytes(Eol);
    FreeBytes(Text);
    return Done;
}

bool DeleteChar() {
    return Control(api3::ECTL_DELETECHAR, nullptr) != 0;
}

bool DeleteLine() {
    return Control(api3::ECTL_DELETESTRING, nullptr) != 0;
}

// ---- Cursor and view -------------------------------------------------------------

bool SetView(int Line, int Pos, int TopLine, int LeftPos) {
    api3::EditorSetPosition esp;
    esp.StructSize = sizeof esp;
    esp.CurLine = Line;
    esp.CurPos = Pos;
    esp.CurTabPos = -1;
    esp.TopScreenLine = TopLine;
    esp.LeftPos = LeftPos;
    esp.Overtype = -1;
    return Control(api3::ECTL_SETPOSITION, &esp) != 0;
}

// ---- Selection -------------------------------------------------------------------

void SelectBlock(const TBlockExtent& Block) {
    api3::EditorSelect es;
    es.StructSize = sizeof es;
    es.BlockType = api3::BTYPE_STREAM;
    es.BlockStartLine = Block.StartLine;
    es.BlockStartPos = Block.StartPos;
    es.BlockWidth = static_cast<intptr_t>(Block.EndPos) - Block.StartPos;
    es.BlockHeight = static_cast<intptr_t>(Block.EndLine) - Block.StartLine + 1;
    Control(api3::ECTL_SELECT, &es);
}

void ClearSelection() {
    api3::EditorSelect es;
    memset(&es, 0, sizeof es);
    es.StructSize = sizeof es;
    es.BlockType = api3::BTYPE_NONE;
    Control(api3::ECTL_SELECT, &es);
}

// ---- Screen and input --------------------------------------------------------------

void Redraw() {
    Control(api3::ECTL_REDRAW, nullptr);
}

bool ReadInput(INPUT_RECORD& Event) {
    return Control(api3::ECTL_READINPUT, &Event) != 0;
}

int HandToHost(INPUT_RECORD* Event) {
    if (!HostInfo.EditorControl || !Event || !EnterHandOver()) return 0;
    const int Result = Control(api3::ECTL_PROCESSINPUT, Event) != 0;
    LeaveHandOver();
    return Result;
}

}  // namespace tarvik
