// The editor access over the host's 1.70 interface: EditorControl and its records.
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

bool SetPosition(int Line, int Pos, int TopLine, int LeftPos) {
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

// Column of unit Pos of a line (Length units of Text) once its tabs are blanks up to
// the next multiple of TabSize; a position beyond the line's end keeps its distance
// from it.
int ExpandedColumn(const TChar* Text, int Length, int Pos, int TabSize) {
    const int Tab = TabSize > 0 ? TabSize : 8;
    const int Within = Pos < Length ? Pos : Length;
    long long Col = 0;
    for (int I = 0; I < Within; ++I) Col += Text[I] == '\t' ? Tab - Col % Tab : 1;
    return ClampToInt(Col + (Pos > Within ? static_cast<long long>(Pos) - Within : 0));
}

// Reads a block line tab-expanded, its selection where it stood before the expansion
// (see TBlockWalk); Moved is set when the host's own selection no longer matches it.
// Follow, when given, goes through the expansion too.
bool ReadBlockLine(int Line, int TabSize, TLine& L, bool& Moved, int* Follow) {
    if (!ReadLine(Line, L)) return false;
    const int Len = L.Length;
    if (!Len || !memchr(L.Text, '\t', static_cast<size_t>(Len))) return true;
    const int Start =
        L.SelStart < 0 ? L.SelStart : ExpandedColumn(L.Text, Len, L.SelStart, TabSize);
    const int End = L.SelEnd < 0 ? L.SelEnd : ExpandedColumn(L.Text, Len, L.SelEnd, TabSize);
    if (Follow && *Follow >= 0) *Follow = ExpandedColumn(L.Text, Len, *Follow, TabSize);
    ExpandTabs(Line);
    if (!ReadLine(Line, L)) return false;
    if (L.SelStart != Start || L.SelEnd != End) Moved = true;
    L.SelStart = Start;
    L.SelEnd = End;
    return true;
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

bool ReadExpandedLine(int Line, TLine& L) {
    ExpandTabs(Line);
    return ReadLine(Line, L);
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

bool GetCursor(TCursorPos& Pos) {
    Pos.Pos = 0;
    Pos.Line = 0;
    EditorInfo ei;
    if (!GetEditorInfo(ei)) return false;
    Pos.Pos = ei.CurPos;
    Pos.Line = ei.CurLine;
    return true;
}

bool SetCursor(int Pos, int Line) {
    return SetPosition(Line, Pos, -1, -1);
}

bool SetView(int Line, int Pos, int TopLine, int LeftPos) {
    return SetPosition(Line, Pos, TopLine, LeftPos);
}

bool RefreshCursorColumn(TCursorPos& Pos) {
    EditorInfo ei;
    if (!GetEditorInfo(ei)) return false;
    if (ei.CurLine == Pos.Line) Pos.Pos = ei.CurPos;
    return true;
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

bool BeginBlockWalk(TBlockWalk& Walk, bool Expand, TCursorPos* Follow) {
    memset(&Walk, 0, sizeof Walk);
    TEditorView view;
    if (!GetEditorView(view) || !view.StreamBlock) return false;
    Walk.Line = view.BlockStartLine;
    Walk.TotalLines = view.TotalLines;
    Walk.TabSize = view.TabSize;
    Walk.Expand = Expand;
    Walk.Follow = Follow;
    Walk.Block = {Walk.Line, 0, Walk.Line, 0};
    return true;
}

bool NextBlockLine(TBlockWalk& Walk, TLine& L, int& Line) {
    if (Walk.Ended || Walk.Line < 0 || Walk.Line >= Walk.TotalLines) return false;
    Line = Walk.Line;
    int* Follow = Walk.Follow && Walk.Follow->Line == Line ? &Walk.Follow->Pos : nullptr;
    const bool Read =
        Walk.Expand ? ReadBlockLine(Line, Walk.TabSize, L, Walk.Moved, Follow) : ReadLine(Line, L);
    if (!Read) {
        Walk.Failed = true;
        return false;
    }
    if (L.SelStart < 0) {
        Walk.Ended = true;
        return false;
    }
    if (!Walk.Any) {
        Walk.Block.StartLine = Line;
        Walk.Block.StartPos = L.SelStart;
        Walk.Any = true;
    }
    // Line is below TotalLines, so Line + 1 is an int.
    Walk.Block.EndLine = L.SelEnd == -1 ? Line + 1 : Line;
    Walk.Block.EndPos = L.SelEnd == -1 ? 0 : L.SelEnd;
    if (Walk.StopAtEnd && L.SelEnd != -1) Walk.Ended = true;
    Walk.Line = Line + 1;
    return true;
}

void FinishBlockWalk(const TBlockWalk& Walk) {
    if (Walk.Any && Walk.Moved) SelectBlock(Walk.Block);
}

bool ReadBlockExtent(TBlockExtent& Block) {
    TBlockWalk walk;
    if (!BeginBlockWalk(walk, false)) return false;
    walk.StopAtEnd = true;
    TLine L;
    int Line;
    while (NextBlockLine(walk, L, Line)) {
    }
    if (!walk.Any) return false;
    Block = walk.Block;
    return true;
}

bool ExpandBlock(TBlockExtent& Block, TCursorPos* Cursor) {
    TBlockWalk walk;
    if (!BeginBlockWalk(walk, true, Cursor)) return false;
    TLine L;
    int Line;
    while (NextBlockLine(walk, L, Line)) {
    }
    if (walk.Failed || !walk.Any) return false;
    FinishBlockWalk(walk);
    Block = walk.Block;
    return true;
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
