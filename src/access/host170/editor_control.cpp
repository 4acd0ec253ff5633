// The editor access's calls of the host's 1.70 interface: EditorControl and its
// records.
#include "access/editor_access.h"

#include <cstring>

#include "access/host170/host_services.h"
#include "ground/fault_guard.h"
#include "ground/hand_over.h"
#include "ground/memory.h"
#include "ground/numbers.h"

namespace tarvik {

namespace {

// The host's ECTL_GETINFO into the EditorInfo at Info; nonzero on success.
int AskEditorInfo(void* Info) {
    return EditorControl(ECTL_GETINFO, Info);
}

// Fills ei (a whole record: the host writes all of it); false (all zero) when the host
// cannot tell.
bool GetEditorInfo(EditorInfo& ei) {
    memset(&ei, 0, sizeof ei);
    return EditorControl && EditorControl(ECTL_GETINFO, &ei) != 0;
}

}  // namespace

// ---- The editor window ---------------------------------------------------------

bool GetEditorView(TEditorView& View) {
    memset(&View, 0, sizeof View);
    EditorInfo ei;
    if (!GetEditorInfo(ei)) return false;
    View.Id = ei.EditorID;
    View.TotalLines = ei.TotalLines;
    View.Cursor.Pos = ei.CurPos;
    View.Cursor.Line = ei.CurLine;
    View.TopLine = ei.TopScreenLine;
    View.LeftPos = ei.LeftPos;
    View.Height = ei.WindowSizeY;
    View.TabSize = ei.TabSize;
    View.Overtype = ei.Overtype != 0;
    View.StreamBlock = ei.BlockType == BTYPE_STREAM;
    View.BlockStartLine = ei.BlockStartLine;
    View.Code = ei.TableNum != -1 ? ViewTable : ei.AnsiMode ? ViewAnsi : ViewOem;
    View.TableNum = ei.TableNum;
    return true;
}

bool GetCurrentEditorId(int& Id) {
    Id = 0;
    if (!EditorControl) return false;
    // Outside an editor the host may fail the call or fault instead; both only mean
    // that there is no current editor.
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!CallGuarded(AskEditorInfo, &ei, 0)) return false;
    Id = ei.EditorID;
    return true;
}

const TChar* EditorFileName() {
    EditorInfo ei;
    return GetEditorInfo(ei) ? ei.FileName : nullptr;
}

// ---- Lines -----------------------------------------------------------------------

bool ReadLine(int Line, TLine& L) {
    memset(&L, 0, sizeof L);
    L.Text = L.Eol = "";
    if (!EditorControl) return false;
    EditorGetString egs;
    memset(&egs, 0, sizeof egs);
    egs.StringNumber = Line;
    if (!EditorControl(ECTL_GETSTRING, &egs) || !egs.StringText) return false;
    L.Text = egs.StringText;
    L.Length = egs.StringLength < 0 ? 0 : egs.StringLength;
    L.Eol = egs.StringEOL ? egs.StringEOL : "";
    L.SelStart = egs.SelStart;
    L.SelEnd = egs.SelEnd;
    return true;
}

void ExpandTabs(int Line) {
    if (EditorControl) EditorControl(ECTL_EXPANDTABS, &Line);
}

bool WriteLine(int Line, const TChar* Text, int Length, const TChar* Eol) {
    if (!EditorControl) return false;
    // A null line end would get the file's default one: the text's last line would
    // gain a line break. The host may free its own copy while it takes the new one.
    char Own[8] = "";
    char* Long = nullptr;
    if (Eol && strlen(Eol) < sizeof Own) {
        memcpy(Own, Eol, strlen(Eol) + 1);
    } else if (Eol) {
        Long = CopyText(Eol);
        if (!Long) return false;
    }
    EditorSetString ess;
    ess.StringNumber = Line;
    ess.StringText = Text;
    ess.StringEOL = Long ? Long : Own;
    ess.StringLength = Length < 0 ? 0 : Length;
    const bool Done = EditorControl(ECTL_SETSTRING, &ess) != 0;
    FreeBytes(Long);
    return Done;
}

bool BreakLine() {
    return EditorControl && EditorControl(ECTL_INSERTSTRING, nullptr) != 0;
}

bool DeleteChar() {
    return EditorControl && EditorControl(ECTL_DELETECHAR, nullptr) != 0;
}

bool DeleteLine() {
    return EditorControl && EditorControl(ECTL_DELETESTRING, nullptr) != 0;
}

// ---- Cursor and view -------------------------------------------------------------

// ---- Cursor and view -------------------------------------------------------------

bool SetView(int Line, int Pos, int TopLine, int LeftPos) {
    if (!EditorControl) return false;
    EditorSetPosition esp;
    esp.CurLine = Line;
    esp.CurPos = Pos;
    esp.CurTabPos = -1;
    esp.TopScreenLine = TopLine;
    esp.LeftPos = LeftPos;
    esp.Overtype = -1;
    return EditorControl(ECTL_SETPOSITION, &esp) != 0;
}

// ---- Selection -------------------------------------------------------------------

void SelectBlock(const TBlockExtent& Block) {
    if (!EditorControl) return;
    EditorSelect es;
    es.BlockType = BTYPE_STREAM;
    es.BlockStartLine = Block.StartLine;
    es.BlockStartPos = Block.StartPos;
    es.BlockWidth = ClampToInt(static_cast<long long>(Block.EndPos) - Block.StartPos);
    es.BlockHeight = ClampToInt(static_cast<long long>(Block.EndLine) - Block.StartLine + 1);
    EditorControl(ECTL_SELECT, &es);
}

void ClearSelection() {
    if (!EditorControl) return;
    EditorSelect es;
    memset(&es, 0, sizeof es);
    es.BlockType = BTYPE_NONE;
    EditorControl(ECTL_SELECT, &es);
}

// ---- Search support ----------------------------------------------------------------

bool GetHostTable(int TableNum, unsigned char Encode[256], unsigned char Upper[256]) {
    CharTableSet set;
    // Identity tables, so that a host that cannot fill the set gives a plain exact search.
    for (int c = 0; c < 256; ++c) {
        set.DecodeTable[c] = set.EncodeTable[c] = set.UpperTable[c] = set.LowerTable[c] =
            static_cast<unsigned char>(c);
    }
    set.TableName[0] = 0;
    const bool Filled =
        CharTable && CharTable(TableNum, reinterpret_cast<char*>(&set), sizeof set) != 0;
    memcpy(Encode, set.EncodeTable, sizeof set.EncodeTable);
    memcpy(Upper, set.UpperTable, sizeof set.UpperTable);
    return Filled;
}

// ---- Screen and input --------------------------------------------------------------

void Redraw() {
    if (EditorControl) EditorControl(ECTL_REDRAW, nullptr);
}

bool ReadInput(INPUT_RECORD& Event) {
    return EditorControl && EditorControl(ECTL_READINPUT, &Event) != 0;
}

int HandToHost(INPUT_RECORD* Event) {
    if (!EditorControl || !Event || !EnterHandOver()) return 0;
    const int Result = EditorControl(ECTL_PROCESSINPUT, Event);
    LeaveHandOver();
    return Result;
}

}  // namespace tarvik
