// The editor's text model that both stand-in hosts share: lines with their own line
// ends and selection ranges, the cursor, the block's start, and the text operations
// that keep them in step with the text. The 1.70 host keeps bytes (char), the
// generation-3 host UTF-16 units (char16_t). Where the two real hosts differ, an
// operation follows the generation its unit type stands for (kUnicode below).
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <type_traits>
#include <vector>

namespace host {

// True for the generation-3 host's text, whose rules differ in a few points.
template <class Char>
inline constexpr bool kUnicode = std::is_same_v<Char, char16_t>;

template <class Char>
struct BasicLine {
    std::basic_string<Char> Text;  // units, NUL allowed
    std::basic_string<Char> Eol;   // "\r\n", "\n", "\r", "\r\r\n" (generation 3) or "" (none)
    int SelStart = -1;             // -1: not selected
    int SelEnd = -1;               // -1: through the line end
};

// An editor window. Only the last line may lack a line end.
template <class Char>
struct BasicWindow {
    using String = std::basic_string<Char>;
    int EditorID = 0;
    String FileName;
    std::vector<BasicLine<Char>> Lines;  // never empty once settled
    int CurLine = 0;
    int CurPos = 0;  // unit index, may lie past the line end
    int TopScreenLine = 0;
    int LeftPos = 0;
    int WindowSizeX = 80;
    int WindowSizeY = 23;
    // Option: 1 types over the text (a character replaces the one under the cursor,
    // Tab only moves the cursor). ECTL_SETPOSITION changes it too.
    int Overtype = 0;
    int TabSize = 8;
    bool ColumnBlock = false;  // the block is reported as BTYPE_COLUMN
    // The line where the block starts, -1 for no block: the host's own state beside the
    // lines' ranges, as in the real hosts. ECTL_SELECT sets it, BTYPE_NONE clears it;
    // deleting its line moves it (see RemoveLine). ECTL_GETINFO's BlockType and
    // BlockStartLine come from it alone. A test that sets ranges by hand sets it too.
    int BlockStartLine = -1;
    // The file's default line end, given by ECTL_SETSTRING with a null StringEOL and to
    // the first part of a split last line: the first line end of the text opened.
    String DefaultEol;
    bool Modified = false;  // edited since opened or saved; ECTL_EXPANDTABS does not count
    int Saves = 0;          // F2 presses handled by the host
};

// The editor setting "expand tabs": NewTabs makes a typed tab blanks up to the next tab
// stop; AllTabs besides keeps every line free of tabs.
enum class ExpandMode { None, NewTabs, AllTabs };

// Padding beyond this is taken for a runaway cursor rather than an edit.
inline constexpr int kMaxPad = 1 << 20;

template <class Char>
int Len(const BasicLine<Char>& L) {
    return static_cast<int>(L.Text.size());
}

template <class Char>
int LastLine(const BasicWindow<Char>& W) {
    return static_cast<int>(W.Lines.size()) - 1;
}

template <class Char>
int TabSizeOf(const BasicWindow<Char>& W) {
    return W.TabSize > 0 ? W.TabSize : 8;
}

template <class Char>
bool ValidLine(const BasicWindow<Char>& W, int Line) {
    return Line >= 0 && Line <= LastLine(W);
}

// Splits text at "\r\n", "\n" and a lone "\r" (and, for generation 3, "\r\r\n"), as
// the host reads a file; each line keeps its own end, the last may have none. A text
// ending in a line end still has a last, empty line, as in an editor.
template <class Char>
std::vector<BasicLine<Char>> SplitText(const std::basic_string<Char>& Text) {
    std::vector<BasicLine<Char>> Lines;
    BasicLine<Char> Cur;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\n') {
            Cur.Eol.assign(1, '\n');
        } else if (Text[I] == '\r') {
            size_t End = I + 1;
            if (kUnicode<Char> && End + 1 < Text.size() && Text[End] == '\r' &&
                Text[End + 1] == '\n')
                End += 2;
            else if (End < Text.size() && Text[End] == '\n')
                ++End;
            Cur.Eol = Text.substr(I, End - I);
            I = End - 1;
        } else {
            Cur.Text += Text[I];
            continue;
        }
        Lines.push_back(Cur);
        Cur = BasicLine<Char>();
    }
    Lines.push_back(Cur);
    return Lines;
}

// ---- Text operations; each keeps the selection and the block's start in step --------

// Brings a window that a test changed directly back into shape (a line, a cursor on
// it) before the host works on it.
template <class Char>
void Settle(BasicWindow<Char>& W) {
    if (W.Lines.empty()) W.Lines.emplace_back();
    W.CurLine = std::clamp(W.CurLine, 0, LastLine(W));
    if (W.CurPos < 0) W.CurPos = 0;
    if (W.BlockStartLine > LastLine(W) || W.BlockStartLine < -1) W.BlockStartLine = -1;
}

// Moves the view just enough to show the cursor line.
template <class Char>
void KeepCursorVisible(BasicWindow<Char>& W) {
    if (W.CurLine < W.TopScreenLine) W.TopScreenLine = W.CurLine;
    if (W.WindowSizeY > 0 && W.CurLine >= W.TopScreenLine + W.WindowSizeY)
        W.TopScreenLine = W.CurLine - W.WindowSizeY + 1;
    if (W.TopScreenLine < 0) W.TopScreenLine = 0;
}

// No line selected and no block start: BTYPE_NONE.
template <class Char>
void RemoveBlock(BasicWindow<Char>& W) {
    for (BasicLine<Char>& L : W.Lines) L.SelStart = L.SelEnd = -1;
    W.ColumnBlock = false;
    W.BlockStartLine = -1;
}

template <class Char>
void InsertUnits(BasicWindow<Char>& W, int LineNo, int Pos, const std::basic_string<Char>& Units) {
    BasicLine<Char>& L = W.Lines[LineNo];
    const int N = static_cast<int>(Units.size());
    if (N == 0) return;
    L.Text.insert(static_cast<size_t>(Pos), Units);
    W.Modified = true;
    if (L.SelStart != -1) {
        if (Pos < L.SelStart) L.SelStart += N;
        if (L.SelEnd != -1 && Pos < L.SelEnd) L.SelEnd += N;
    }
}

template <class Char>
void PadTo(BasicWindow<Char>& W, int LineNo, int Pos) {
    const int N = Len(W.Lines[LineNo]);
    if (Pos > N)
        InsertUnits(W, LineNo, N, std::basic_string<Char>(static_cast<size_t>(Pos - N), ' '));
}

template <class Char>
void DeleteUnit(BasicWindow<Char>& W, int LineNo, int Pos) {
    BasicLine<Char>& L = W.Lines[LineNo];
    if (Pos < 0 || Pos >= Len(L)) return;
    L.Text.erase(static_cast<size_t>(Pos), 1);
    W.Modified = true;
    if (L.SelStart != -1) {
        if (Pos < L.SelStart) --L.SelStart;
        if (L.SelEnd != -1 && Pos < L.SelEnd) --L.SelEnd;
    }
}

// True when the units at Pos and Pos + 1 of the line form a surrogate pair.
template <class Char>
bool PairAt(const BasicLine<Char>& L, int Pos) {
    if constexpr (kUnicode<Char>) {
        return Pos >= 0 && Pos + 1 < Len(L) && L.Text[Pos] >= 0xD800 && L.Text[Pos] <= 0xDBFF &&
               L.Text[Pos + 1] >= 0xDC00 && L.Text[Pos + 1] <= 0xDFFF;
    } else {
        return false;
    }
}

// Joins the next line onto Line; its range moves right by Shift (the line's length
// before any padding, as in the real hosts), and the two ranges merge into one from
// the first start to the second end. The 1.70 host keeps the line's own line end
// (none when the next line had none); generation 3 gives it the next line's end, reads
// each range as its host does (a start past the line as the line's length, an end past
// it as "through the end"), and moves a block start on the next line to this one.
template <class Char>
void JoinNext(BasicWindow<Char>& W, int LineNo, int Shift) {
    if (!ValidLine(W, LineNo + 1)) return;
    BasicLine<Char>& A = W.Lines[LineNo];
    BasicLine<Char> B = W.Lines[LineNo + 1];
    if constexpr (kUnicode<Char>) {
        for (BasicLine<Char>* L : {&A, &B}) {
            if (L->SelStart == -1) continue;
            L->SelStart = std::min(L->SelStart, Len(*L));
            if (L->SelEnd > Len(*L)) L->SelEnd = -1;
        }
    }
    const int BStart = B.SelStart == -1 ? -1 : B.SelStart + Shift;
    const int BEnd = B.SelEnd == -1 ? -1 : B.SelEnd + Shift;
    if (A.SelStart == -1) {
        A.SelStart = BStart;
        A.SelEnd = BStart == -1 ? -1 : BEnd;
    } else if (B.SelStart == -1) {
        if (A.SelEnd == -1) A.SelEnd = Len(A);
    } else {
        A.SelEnd = BEnd;
    }
    A.Text += B.Text;
    if constexpr (kUnicode<Char>) {
        A.Eol = B.Eol;
        if (W.BlockStartLine > LineNo) --W.BlockStartLine;
    } else {
        if (B.Eol.empty()) A.Eol.clear();
        if (W.BlockStartLine > LineNo + 1) --W.BlockStartLine;
        if (W.BlockStartLine == LineNo + 1 && LineNo + 1 == LastLine(W)) W.BlockStartLine = -1;
    }
    W.Modified = true;
    W.Lines.erase(W.Lines.begin() + LineNo + 1);
    if (W.CurLine > LineNo) --W.CurLine;
}

// Splits Line at Pos; each part keeps its share of the range. Both parts keep the line
// end, except that a split last line gives its first part the file's default end.
template <class Char>
void SplitLine(BasicWindow<Char>& W, int LineNo, int Pos) {
    BasicLine<Char>& A = W.Lines[LineNo];
    const int C = std::min(Pos, Len(A));
    BasicLine<Char> B;
    B.Text = A.Text.substr(static_cast<size_t>(C));
    A.Text.erase(static_cast<size_t>(C));
    if (LineNo == LastLine(W))
        A.Eol = W.DefaultEol;
    else
        B.Eol = A.Eol;
    bool StartMoves = false;
    if (A.SelStart != -1) {
        const int S = A.SelStart, E = A.SelEnd;
        if (E != -1 && E <= C) {
            // The whole range stays in the first part.
        } else if (S >= C) {
            B.SelStart = S - C;
            B.SelEnd = E == -1 ? -1 : E - C;
            A.SelStart = A.SelEnd = -1;
            StartMoves = true;
        } else {
            A.SelEnd = -1;
            B.SelStart = 0;
            B.SelEnd = E == -1 ? -1 : E - C;
        }
    }
    W.Lines.insert(W.Lines.begin() + LineNo + 1, B);
    W.Modified = true;
    if (W.BlockStartLine > LineNo || (W.BlockStartLine == LineNo && StartMoves)) ++W.BlockStartLine;
    if (W.CurLine > LineNo) ++W.CurLine;
}

// ECTL_DELETESTRING: removes the line, or empties the text's last line (its range goes,
// the block's start stays). When the block starts on the removed line, the 1.70 host
// moves the start to the next line, selected or not; generation 3 drops the block
// unless that next line is selected.
template <class Char>
void RemoveLine(BasicWindow<Char>& W, int LineNo) {
    W.Modified = true;
    if (LineNo == LastLine(W)) {
        BasicLine<Char>& L = W.Lines[LineNo];
        L.Text.clear();
        L.SelStart = L.SelEnd = -1;
        return;
    }
    const bool StartGoes = W.BlockStartLine == LineNo;
    if (W.BlockStartLine > LineNo) --W.BlockStartLine;
    W.Lines.erase(W.Lines.begin() + LineNo);
    if (W.CurLine > LineNo) --W.CurLine;
    if (kUnicode<Char> && StartGoes && W.Lines[LineNo].SelStart == -1) RemoveBlock(W);
}

// The Delete key and ECTL_DELETECHAR: the unit at the cursor goes (generation 3: a
// surrogate pair as a whole), or at or past the line end the line is padded to the
// cursor and the next line joined.
template <class Char>
void DeleteAtCursor(BasicWindow<Char>& W) {
    BasicLine<Char>& L = W.Lines[W.CurLine];
    const int Length = Len(L);
    if (W.CurPos < Length) {
        if (PairAt(L, W.CurPos)) DeleteUnit(W, W.CurLine, W.CurPos);
        DeleteUnit(W, W.CurLine, W.CurPos);
        return;
    }
    if (W.CurLine == LastLine(W) || W.CurPos > kMaxPad) return;
    PadTo(W, W.CurLine, W.CurPos);
    JoinNext(W, W.CurLine, Length);
}

// The Backspace key and unit: the unit left of the cursor goes (generation 3: a
// surrogate pair as a whole); at column 0 the line joins the one above; past the line
// end the cursor only moves left.
template <class Char>
void Backspace(BasicWindow<Char>& W) {
    if (W.CurPos > Len(W.Lines[W.CurLine])) {
        --W.CurPos;
    } else if (W.CurPos > 0) {
        if (PairAt(W.Lines[W.CurLine], W.CurPos - 2)) DeleteUnit(W, W.CurLine, --W.CurPos);
        DeleteUnit(W, W.CurLine, --W.CurPos);
    } else if (W.CurLine > 0) {
        --W.CurLine;
        W.CurPos = Len(W.Lines[W.CurLine]);
        JoinNext(W, W.CurLine, W.CurPos);
    }
}

// The leading blanks and tabs of the line.
template <class Char>
std::basic_string<Char> Indentation(const BasicLine<Char>& L) {
    size_t N = 0;
    while (N < L.Text.size() && (L.Text[N] == ' ' || L.Text[N] == '\t')) ++N;
    return L.Text.substr(0, N);
}

// The Enter key and a carriage return typed: the line breaks at the cursor, which goes
// to the start of the new line; with Indent, the new line starts with the broken line's
// indentation (the editor's auto-indent).
template <class Char>
void BreakLine(BasicWindow<Char>& W, bool Indent = false) {
    const std::basic_string<Char> Lead =
        Indent ? Indentation(W.Lines[W.CurLine]) : std::basic_string<Char>();
    SplitLine(W, W.CurLine, W.CurPos);
    ++W.CurLine;
    W.CurPos = 0;
    if (!Lead.empty() && Len(W.Lines[W.CurLine]) + static_cast<int>(Lead.size()) <= kMaxPad) {
        InsertUnits(W, W.CurLine, 0, Lead);
        W.CurPos = static_cast<int>(Lead.size());
    }
    KeepCursorVisible(W);
}

// The screen column of Pos on the line, tabs expanded.
template <class Char>
int TabColumn(const BasicWindow<Char>& W, int LineNo, int Pos) {
    const BasicLine<Char>& L = W.Lines[LineNo];
    const int Tab = TabSizeOf(W);
    const int Within = std::min(std::max(Pos, 0), Len(L));
    long long Col = 0;
    for (int I = 0; I < Within; ++I) Col += L.Text[I] == '\t' ? Tab - Col % Tab : 1;
    if (Pos > Within) Col += Pos - Within;
    return Col > INT_MAX ? INT_MAX : static_cast<int>(Col);
}

// The unit index of screen column Col on the line (the inverse of TabColumn; a column
// inside a tab gives the tab).
template <class Char>
int PosOfColumn(const BasicWindow<Char>& W, int LineNo, int Col) {
    const BasicLine<Char>& L = W.Lines[LineNo];
    const int Tab = TabSizeOf(W);
    long long C = 0;
    for (int I = 0; I < Len(L); ++I) {
        C += L.Text[I] == '\t' ? Tab - C % Tab : 1;
        if (C > Col) return I;
    }
    const long long P = static_cast<long long>(Len(L)) + (Col - C);
    return P > INT_MAX ? INT_MAX : static_cast<int>(std::max(P, 0LL));
}

// Text with its tabs replaced by blanks up to the next tab stop.
template <class Char>
std::basic_string<Char> ExpandedTabs(const std::basic_string<Char>& Text, int Tab) {
    std::basic_string<Char> Out;
    for (Char C : Text) {
        if (C == '\t')
            Out.append(static_cast<size_t>(Tab - static_cast<int>(Out.size() % Tab)), ' ');
        else
            Out += C;
    }
    return Out;
}

// Tabs of the line become blanks; the range and, on the cursor's line, the cursor are
// mapped with them (a range starting on a tab starts after its blanks). False when the
// line had none.
template <class Char>
bool ExpandLineTabs(BasicWindow<Char>& W, int LineNo) {
    BasicLine<Char>& L = W.Lines[LineNo];
    if (L.Text.find('\t') == std::basic_string<Char>::npos) return false;
    auto Map = [&](int Pos) {
        if (Pos <= Len(L)) return TabColumn(W, LineNo, Pos);
        const long long M = static_cast<long long>(TabColumn(W, LineNo, Len(L))) + (Pos - Len(L));
        return M > INT_MAX ? INT_MAX : static_cast<int>(M);
    };
    const bool StartOnTab = L.SelStart >= 0 && L.SelStart < Len(L) && L.Text[L.SelStart] == '\t';
    const int NewStart = L.SelStart == -1 ? -1 : Map(StartOnTab ? L.SelStart + 1 : L.SelStart);
    const int NewEnd = L.SelEnd == -1 ? -1 : Map(L.SelEnd);
    const int NewCur = W.CurLine == LineNo ? Map(W.CurPos) : W.CurPos;
    L.Text = ExpandedTabs(L.Text, TabSizeOf(W));
    L.SelStart = NewStart;
    L.SelEnd = NewEnd;
    W.CurPos = NewCur;
    return true;
}

// Every line's tabs become blanks (the "expand all tabs" option); false when none had any.
template <class Char>
bool ExpandAllTabs(BasicWindow<Char>& W) {
    bool Any = false;
    for (int LineNo = 0; LineNo <= LastLine(W); ++LineNo) Any = ExpandLineTabs(W, LineNo) || Any;
    return Any;
}

// ---- Typing ---------------------------------------------------------------------

// Deletes the selected units of the line and clears its range (persistent blocks off).
template <class Char>
void DeleteLineSelection(BasicWindow<Char>& W, int LineNo) {
    BasicLine<Char>& L = W.Lines[LineNo];
    if (L.SelStart == -1) return;
    const int From = std::min(L.SelStart, Len(L));
    const int To = std::max(From, L.SelEnd == -1 ? Len(L) : std::min(L.SelEnd, Len(L)));
    L.SelStart = L.SelEnd = -1;
    if (To == From) return;
    L.Text.erase(static_cast<size_t>(From), static_cast<size_t>(To - From));
    W.Modified = true;
    if (W.CurLine == LineNo && W.CurPos > From)
        W.CurPos = W.CurPos < To ? From : W.CurPos - (To - From);
}

// Fills the line up to the cursor before a unit goes in past its end. An empty line
// takes the leading white space of the line above first (generation 3: of the nearest
// non-empty line above), as far as it stays left of the cursor's column.
template <class Char>
void PadForTyping(BasicWindow<Char>& W) {
    const int Length = Len(W.Lines[W.CurLine]);
    if (W.CurPos <= Length) return;
    int Above = W.CurLine - 1;
    if constexpr (kUnicode<Char>)
        while (Above > 0 && W.Lines[Above].Text.empty()) --Above;
    if (Length > 0 || Above < 0) {
        PadTo(W, W.CurLine, W.CurPos);
        return;
    }
    const int Tab = TabSizeOf(W);
    std::basic_string<Char> Indent;
    int Col = 0;
    for (Char C : W.Lines[Above].Text) {
        if (C != ' ' && C != '\t') break;
        const int Next = C == '\t' ? Col + Tab - Col % Tab : Col + 1;
        if (Next > W.CurPos) break;
        Indent += C;
        Col = Next;
    }
    Indent.append(static_cast<size_t>(W.CurPos - Col), ' ');
    InsertUnits(W, W.CurLine, 0, Indent);
    W.CurPos = static_cast<int>(Indent.size());
}

// How the host's typing treats the editor's options.
struct TypingModes {
    bool ExpandTabs = false;  // a tab goes in as blanks up to the next tab stop
    bool AutoIndent = false;  // generation 3: a line feed breaks the line with indentation
};

// One unit typed at the cursor, as the host's key handling takes it: a carriage return
// breaks the line, a backspace deletes left, Esc does nothing, a tab in overtype mode
// only moves the cursor, anything else goes in (over the text in overtype mode). A line
// feed is a character to the 1.70 host and a line break to generation 3.
template <class Char>
void TypeUnit(BasicWindow<Char>& W, Char U, const TypingModes& Modes) {
    if (U == '\r' || (kUnicode<Char> && U == '\n')) {
        BreakLine(W, U == '\n' && Modes.AutoIndent);
        return;
    }
    if (U == '\b') {
        Backspace(W);
        return;
    }
    if (U == 27) return;
    const int Tab = TabSizeOf(W);
    if (U == '\t' && W.Overtype) {
        const int Col = TabColumn(W, W.CurLine, W.CurPos);
        W.CurPos = PosOfColumn(W, W.CurLine, Col + Tab - Col % Tab);
        return;
    }
    PadForTyping(W);
    BasicLine<Char>& L = W.Lines[W.CurLine];
    if (U == '\t' && Modes.ExpandTabs) {
        const int Col = TabColumn(W, W.CurLine, W.CurPos);
        const int N = Tab - Col % Tab;
        InsertUnits(W, W.CurLine, W.CurPos, std::basic_string<Char>(static_cast<size_t>(N), ' '));
        W.CurPos += N;
        return;
    }
    if (W.Overtype && W.CurPos < Len(L)) {
        L.Text[static_cast<size_t>(W.CurPos)] = U;
        W.Modified = true;
    } else {
        InsertUnits(W, W.CurLine, W.CurPos, std::basic_string<Char>(1, U));
    }
    ++W.CurPos;
}

// ---- Selection --------------------------------------------------------------------

// Lays a block's ranges as ECTL_SELECT does and makes StartLine the block's start:
// a column block gives every line (StartPos, End); a stream block gives its first line
// (StartPos, -1), middle lines (0, -1) and its last line (0, End), or one line
// (StartPos, End). Lines past the text are skipped.
template <class Char>
void LayBlock(BasicWindow<Char>& W, bool Column, int StartLine, int StartPos, int End, int Height) {
    for (BasicLine<Char>& L : W.Lines) L.SelStart = L.SelEnd = -1;
    W.ColumnBlock = Column;
    W.BlockStartLine = StartLine;
    for (long long N = 0; N < Height; ++N) {
        const long long LineNo = StartLine + N;
        if (LineNo > LastLine(W)) break;
        BasicLine<Char>& L = W.Lines[static_cast<size_t>(LineNo)];
        if (Column || Height == 1) {
            L.SelStart = StartPos;
            L.SelEnd = End;
        } else if (N == 0) {
            L.SelStart = StartPos;
            L.SelEnd = -1;
        } else if (N + 1 < Height) {
            L.SelStart = 0;
            L.SelEnd = -1;
        } else {
            L.SelStart = 0;
            L.SelEnd = End;
        }
    }
}

// "[line:pos-line:pos)" from the first selected column to the last, or "none".
template <class Char>
std::string SelectionSummary(const BasicWindow<Char>& W) {
    int First = -1, Last = -1;
    for (int L = 0; L <= LastLine(W); ++L)
        if (W.Lines[L].SelStart != -1) {
            if (First < 0) First = L;
            Last = L;
        }
    if (First < 0) return "none";
    int EndLine = Last, EndPos = W.Lines[Last].SelEnd;
    if (EndPos == -1) {
        EndLine = Last + 1;
        EndPos = 0;
    }
    return "[" + std::to_string(First) + ":" + std::to_string(W.Lines[First].SelStart) + "-" +
           std::to_string(EndLine) + ":" + std::to_string(EndPos) + ")";
}

// ---- The frame's cursor keys --------------------------------------------------------

inline bool IsCursorKey(WORD Vk) {
    switch (Vk) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
            return true;
        default:
            return false;
    }
}

// The cursor key Vk, with or without Ctrl. Ctrl+Left and Ctrl+Right go to the start of
// the previous or next word of the line (words end at blanks and tabs); Ctrl+Up and
// Ctrl+Down scroll the view by a line, the cursor moving only to stay in it; Ctrl+Home
// and Ctrl+PgUp go to the start of the text, Ctrl+End and Ctrl+PgDn to the end of its
// last line.
template <class Char>
void MoveCursor(BasicWindow<Char>& W, WORD Vk, bool Ctrl) {
    const int Last = LastLine(W);
    const std::basic_string<Char>& T = W.Lines[W.CurLine].Text;
    const int Length = static_cast<int>(T.size());
    auto Blank = [&](int I) { return T[I] == ' ' || T[I] == '\t'; };
    int& Pos = W.CurPos;
    switch (Vk) {
        case VK_LEFT:
            if (!Ctrl) {
                if (Pos > 0) --Pos;
                break;
            }
            Pos = std::min(Pos, Length);
            while (Pos > 0 && Blank(Pos - 1)) --Pos;
            while (Pos > 0 && !Blank(Pos - 1)) --Pos;
            break;
        case VK_RIGHT:
            if (!Ctrl) {
                if (Pos < INT_MAX) ++Pos;
                break;
            }
            while (Pos < Length && !Blank(Pos)) ++Pos;
            while (Pos < Length && Blank(Pos)) ++Pos;
            break;
        case VK_UP:
            if (Ctrl && W.TopScreenLine > 0) {
                --W.TopScreenLine;
                W.CurLine = std::min(W.CurLine, W.TopScreenLine + std::max(W.WindowSizeY, 1) - 1);
            } else if (!Ctrl && W.CurLine > 0) {
                --W.CurLine;
            }
            break;
        case VK_DOWN:
            if (Ctrl && W.TopScreenLine < Last) {
                ++W.TopScreenLine;
                W.CurLine = std::max(W.CurLine, W.TopScreenLine);
            } else if (!Ctrl && W.CurLine < Last) {
                ++W.CurLine;
            }
            break;
        case VK_PRIOR:
            W.CurLine = Ctrl ? 0 : std::max(W.CurLine - W.WindowSizeY, 0);
            if (Ctrl) Pos = 0;
            break;
        case VK_NEXT:
            W.CurLine = Ctrl ? Last : std::min(W.CurLine + W.WindowSizeY, Last);
            if (Ctrl) Pos = Len(W.Lines[Last]);
            break;
        case VK_HOME:
            if (Ctrl) W.CurLine = 0;
            Pos = 0;
            break;
        default:  // VK_END
            if (Ctrl) W.CurLine = Last;
            Pos = Len(W.Lines[W.CurLine]);
            break;
    }
}

}  // namespace host
