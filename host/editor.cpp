// The host's editor: EditorControl over the in-memory windows, the text
// operations that keep each line's selection and the block's start in step with
// the text, and the typing that ECTL_INSERTTEXT and the host's character keys share.
//
// Choices where the real host's behaviour is not pinned down (input: input.cpp):
// - ECTL_SETSTRING and ECTL_EXPANDTABS take -1 for the cursor line and fail for any
//   other negative number; only ECTL_GETSTRING takes every negative one.
// - ECTL_SETSTRING appends the line end to the text and reads the line's end back
//   from its end, as the real host does: a null StringEOL gives the default end, an
//   empty one takes a trailing "\r", "\n" or "\r\n" of the text, and a text ending
//   in '\r' given "\n" ends in "\r\n". It leaves the block's start alone, also when
//   it clears the range of the line where the block starts.
// - The default line end is fixed when the window opens; a text without any line
//   end keeps "none", so splitting its last line leaves a middle line without one
//   (the real host adds one only when it saves).
// - ECTL_SETPOSITION ignores a TopScreenLine it does not use; a cursor line moved to
//   the top of the window stays there near the end of the text.
// - ECTL_SELECT fails (and changes nothing) for a negative start line or column, a
//   height below 1, and an end left of the start on one line; a column block also
//   returns 0 when it reaches the last line.
// - ECTL_REDRAW retires the line copies and sends no EE_REDRAW of its own.
// - ECTL_DELETESTRING on the last line keeps its line end and the cursor's column.
// - Joining: a line selected through its end whose next line is not selected keeps
//   its range up to its old (padded) end; two ranges merge into one from the first
//   start to the second end. The joined line keeps its own line end, or none when
//   the next line had none (it was the last line, empty or not).
// - Deleting the line where the block starts with no line after it (a join onto the
//   line before) leaves no block start, so BlockType becomes 0.
// - Splitting the line where the block starts moves the start to the new line when
//   the first part keeps nothing of the range.
// - Typing: with persistent blocks off the cursor line's selected bytes go and its
//   range is cleared; other lines and the block's start stay. A byte 27 (Esc) does
//   nothing. On an empty line the previous line's leading blanks and tabs are copied
//   while they stay left of the cursor's column; blanks fill the rest. The table
//   conversion is applied for TableNum only, not for AnsiMode.
// - "Expand all tabs" expanding a text as it opens, or every line as the option is
//   switched on, does not mark the window as changed (ECTL_EXPANDTABS does not either);
//   the selection and the cursor are mapped as ECTL_EXPANDTABS maps them.
#include <algorithm>
#include <climits>
#include <cstring>

#include "host_impl.h"

namespace host {

namespace {

int Len(const Line& L) {
    return static_cast<int>(L.Text.size());
}

int LastLine(const Window& W) {
    return static_cast<int>(W.Lines.size()) - 1;
}

int TabSizeOf(const Window& W) {
    return W.TabSize > 0 ? W.TabSize : 8;
}

// Padding beyond this is taken for a runaway cursor rather than an edit.
constexpr int kMaxPad = 1 << 20;

bool Valid(const Window& W, int Line) {
    return Line >= 0 && Line <= LastLine(W);
}

// Keeps the block's start on its text when line LineNo goes: a later start moves up,
// a start on the line goes to the next line (which takes its number), or to none.
void BlockStartLineRemoved(Window& W, int LineNo) {
    if (W.BlockStartLine > LineNo) --W.BlockStartLine;
    if (W.BlockStartLine == LineNo && LineNo == LastLine(W)) W.BlockStartLine = -1;
}

}  // namespace

// ---- Text operations ----------------------------------------------------------

void Settle(Window& W) {
    if (W.Lines.empty()) W.Lines.push_back(Line());
    W.CurLine = std::clamp(W.CurLine, 0, LastLine(W));
    if (W.CurPos < 0) W.CurPos = 0;
    if (W.BlockStartLine > LastLine(W) || W.BlockStartLine < -1) W.BlockStartLine = -1;
}

void KeepCursorVisible(Window& W) {
    if (W.CurLine < W.TopScreenLine) W.TopScreenLine = W.CurLine;
    if (W.WindowSizeY > 0 && W.CurLine >= W.TopScreenLine + W.WindowSizeY)
        W.TopScreenLine = W.CurLine - W.WindowSizeY + 1;
    if (W.TopScreenLine < 0) W.TopScreenLine = 0;
}

void InsertBytes(Window& W, int LineNo, int Pos, const std::string& Bytes) {
    Line& L = W.Lines[LineNo];
    const int N = static_cast<int>(Bytes.size());
    if (N == 0) return;
    L.Text.insert(static_cast<size_t>(Pos), Bytes);
    W.Modified = true;
    if (L.SelStart != -1) {
        if (Pos < L.SelStart) L.SelStart += N;
        if (L.SelEnd != -1 && Pos < L.SelEnd) L.SelEnd += N;
    }
}

void PadTo(Window& W, int LineNo, int Pos) {
    const int N = Len(W.Lines[LineNo]);
    if (Pos > N) InsertBytes(W, LineNo, N, std::string(static_cast<size_t>(Pos - N), ' '));
}

void DeleteByte(Window& W, int LineNo, int Pos) {
    Line& L = W.Lines[LineNo];
    if (Pos < 0 || Pos >= Len(L)) return;
    L.Text.erase(static_cast<size_t>(Pos), 1);
    W.Modified = true;
    if (L.SelStart != -1) {
        if (Pos < L.SelStart) --L.SelStart;
        if (L.SelEnd != -1 && Pos < L.SelEnd) --L.SelEnd;
    }
}

void JoinNext(Window& W, int LineNo, int Shift) {
    if (!Valid(W, LineNo + 1)) return;
    Line& A = W.Lines[LineNo];
    const Line B = W.Lines[LineNo + 1];
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
    if (B.Eol.empty()) A.Eol.clear();
    W.Modified = true;
    BlockStartLineRemoved(W, LineNo + 1);
    W.Lines.erase(W.Lines.begin() + LineNo + 1);
    if (W.CurLine > LineNo) --W.CurLine;
}

void SplitLine(Window& W, int LineNo, int Pos) {
    Line& A = W.Lines[LineNo];
    const int C = std::min(Pos, Len(A));
    Line B;
    B.Text = A.Text.substr(static_cast<size_t>(C));
    A.Text.erase(static_cast<size_t>(C));
    if (LineNo == LastLine(W)) {
        A.Eol = W.DefaultEol;
    } else {
        B.Eol = A.Eol;
    }
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

void RemoveLine(Window& W, int LineNo) {
    W.Modified = true;
    if (LineNo == LastLine(W)) {
        Line& L = W.Lines[LineNo];
        L.Text.clear();
        L.SelStart = L.SelEnd = -1;
        return;
    }
    BlockStartLineRemoved(W, LineNo);
    W.Lines.erase(W.Lines.begin() + LineNo);
    if (W.CurLine > LineNo) --W.CurLine;
}

void DeleteAtCursor(Window& W) {
    const int Length = Len(W.Lines[W.CurLine]);
    if (W.CurPos < Length) {
        DeleteByte(W, W.CurLine, W.CurPos);
        return;
    }
    if (W.CurLine == LastLine(W) || W.CurPos > kMaxPad) return;
    PadTo(W, W.CurLine, W.CurPos);
    JoinNext(W, W.CurLine, Length);
}

void Backspace(Window& W) {
    if (W.CurPos > Len(W.Lines[W.CurLine])) {
        --W.CurPos;
    } else if (W.CurPos > 0) {
        DeleteByte(W, W.CurLine, --W.CurPos);
    } else if (W.CurLine > 0) {
        --W.CurLine;
        W.CurPos = Len(W.Lines[W.CurLine]);
        JoinNext(W, W.CurLine, W.CurPos);
    }
}

void BreakLine(Window& W) {
    SplitLine(W, W.CurLine, W.CurPos);
    ++W.CurLine;
    W.CurPos = 0;
    KeepCursorVisible(W);
}

int TabColumn(const Window& W, int LineNo, int Pos) {
    const Line& L = W.Lines[LineNo];
    const int Tab = TabSizeOf(W);
    const int Within = std::min(std::max(Pos, 0), Len(L));
    long long Col = 0;
    for (int I = 0; I < Within; ++I) Col += L.Text[I] == '\t' ? Tab - Col % Tab : 1;
    if (Pos > Within) Col += Pos - Within;
    return Col > INT_MAX ? INT_MAX : static_cast<int>(Col);
}

namespace {

// Text with its tabs replaced by blanks up to the next tab stop.
std::string ExpandedTabs(const std::string& Text, int Tab) {
    std::string Out;
    for (char C : Text) {
        if (C == '\t')
            Out.append(static_cast<size_t>(Tab - static_cast<int>(Out.size() % Tab)), ' ');
        else
            Out += C;
    }
    return Out;
}

}  // namespace

bool ExpandLineTabs(Window& W, int LineNo) {
    Line& L = W.Lines[LineNo];
    if (L.Text.find('\t') == std::string::npos) return false;
    auto Map = [&](int Pos) {
        if (Pos <= Len(L)) return TabColumn(W, LineNo, Pos);
        const long long M = static_cast<long long>(TabColumn(W, LineNo, Len(L))) + (Pos - Len(L));
        return M > INT_MAX ? INT_MAX : static_cast<int>(M);
    };
    // A range starting on a tab starts after the blanks that replace it.
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

bool ExpandAllTabs(Window& W) {
    bool Any = false;
    for (int LineNo = 0; LineNo <= LastLine(W); ++LineNo) Any = ExpandLineTabs(W, LineNo) || Any;
    return Any;
}

namespace {

// Byte index of screen column Col on the line (the inverse of TabColumn; a column
// inside a tab gives the tab).
int PosOfColumn(const Window& W, int LineNo, int Col) {
    const Line& L = W.Lines[LineNo];
    const int Tab = TabSizeOf(W);
    long long C = 0;
    for (int I = 0; I < Len(L); ++I) {
        C += L.Text[I] == '\t' ? Tab - C % Tab : 1;
        if (C > Col) return I;
    }
    const long long P = static_cast<long long>(Len(L)) + (Col - C);
    return P > INT_MAX ? INT_MAX : static_cast<int>(P);
}

// ---- Typing ---------------------------------------------------------------------

// Deletes the selected bytes of the line and clears its range (persistent blocks off).
void DeleteLineSelection(Window& W, int LineNo) {
    Line& L = W.Lines[LineNo];
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

// Fills the line up to the cursor before a byte goes in past its end. An empty line
// takes the previous line's leading white space first, as far as it stays left of
// the cursor's column.
void PadForTyping(Window& W) {
    const int Length = Len(W.Lines[W.CurLine]);
    if (W.CurPos <= Length) return;
    if (Length > 0 || W.CurLine == 0) {
        PadTo(W, W.CurLine, W.CurPos);
        return;
    }
    const int Tab = TabSizeOf(W);
    std::string Indent;
    int Col = 0;
    for (char C : W.Lines[W.CurLine - 1].Text) {
        if (C != ' ' && C != '\t') break;
        const int Next = C == '\t' ? Col + Tab - Col % Tab : Col + 1;
        if (Next > W.CurPos) break;
        Indent += C;
        Col = Next;
    }
    Indent.append(static_cast<size_t>(W.CurPos - Col), ' ');
    InsertBytes(W, W.CurLine, 0, Indent);
    W.CurPos = static_cast<int>(Indent.size());
}

// One byte typed at the cursor, as the host's key handling takes it.
void TypeByte(Window& W, unsigned char B, bool ExpandTabs) {
    if (B == '\r') {
        BreakLine(W);
        return;
    }
    if (B == '\b') {
        Backspace(W);
        return;
    }
    if (B == 27) return;
    const int Tab = TabSizeOf(W);
    if (B == '\t' && W.Overtype) {
        const int Col = TabColumn(W, W.CurLine, W.CurPos);
        W.CurPos = PosOfColumn(W, W.CurLine, Col + Tab - Col % Tab);
        return;
    }
    PadForTyping(W);
    Line& L = W.Lines[W.CurLine];
    if (B == '\t' && ExpandTabs) {
        const int Col = TabColumn(W, W.CurLine, W.CurPos);
        const int N = Tab - Col % Tab;
        InsertBytes(W, W.CurLine, W.CurPos, std::string(static_cast<size_t>(N), ' '));
        W.CurPos += N;
        return;
    }
    if (W.Overtype && W.CurPos < Len(L)) {
        L.Text[static_cast<size_t>(W.CurPos)] = static_cast<char>(B);
        W.Modified = true;
    } else {
        InsertBytes(W, W.CurLine, W.CurPos, std::string(1, static_cast<char>(B)));
    }
    ++W.CurPos;
}

}  // namespace

bool Host::Impl::Type(Window& W, const std::string& Bytes) {
    if (W.CurPos > kMaxPad) return false;
    if (Bytes.empty()) return true;
    RetireLineCopies();
    if (!Self->PersistentBlocks) DeleteLineSelection(W, W.CurLine);
    for (unsigned char B : Bytes) {
        if (W.CurPos > kMaxPad) return false;
        TypeByte(W, TypedByte(W.TableNum, B), ExpandTabs != Host::Expand::None);
    }
    KeepCursorVisible(W);
    return true;
}

void RemoveBlock(Window& W) {
    for (Line& L : W.Lines) L.SelStart = L.SelEnd = -1;
    W.ColumnBlock = false;
    W.BlockStartLine = -1;
}

// ---- EditorControl ------------------------------------------------------------

namespace {

const char* EolName(const std::string& Eol) {
    if (Eol == "\r\n") return "\r\n";
    if (Eol == "\n") return "\n";
    if (Eol == "\r") return "\r";
    return "";
}

int GetString(Host::Impl& I, Window& W, EditorGetString* Egs) {
    const int LineNo = Egs->StringNumber < 0 ? W.CurLine : Egs->StringNumber;
    if (!Valid(W, LineNo)) return 0;
    const Line& L = W.Lines[LineNo];
    // One copy per line until the next change or redraw: earlier pointers stay valid,
    // and a stale one is freed memory that the sanitizers report.
    // Tests may change a window's lines directly, past the host: a copy that no
    // longer matches is retired (kept valid) and replaced.
    LineCopy& Copy = I.LineCopies[{W.EditorID, LineNo}];
    if (!Copy.Bytes || Copy.Size != L.Text.size() ||
        std::memcmp(Copy.Bytes.get(), L.Text.data(), Copy.Size) != 0) {
        if (Copy.Bytes) I.RetiredCopies.push_back(std::move(Copy.Bytes));
        Copy.Bytes = std::make_unique<char[]>(L.Text.size() + 1);
        if (!L.Text.empty()) std::memcpy(Copy.Bytes.get(), L.Text.data(), L.Text.size());
        Copy.Bytes[L.Text.size()] = 0;
        Copy.Size = L.Text.size();
    }
    Egs->StringText = Copy.Bytes.get();
    Egs->StringEOL = EolName(L.Eol);
    Egs->StringLength = Len(L);
    Egs->SelStart = L.SelStart;
    Egs->SelEnd = L.SelEnd;
    return 1;
}

// Takes a trailing "\r", "\n" or "\r\n" off Text and returns it.
std::string TakeTrailingEol(std::string& Text) {
    std::string Eol;
    if (!Text.empty() && Text.back() == '\r') {
        Eol = "\r";
    } else if (!Text.empty() && Text.back() == '\n') {
        Eol = Text.size() > 1 && Text[Text.size() - 2] == '\r' ? "\r\n" : "\n";
    }
    Text.erase(Text.size() - Eol.size());
    return Eol;
}

int SetString(Host::Impl& I, Window& W, const EditorSetString* Ess) {
    const int LineNo = Ess->StringNumber == -1 ? W.CurLine : Ess->StringNumber;
    if (!Valid(W, LineNo) || Ess->StringLength < 0 || (!Ess->StringText && Ess->StringLength > 0))
        return 0;
    // The new text may be one of the host's own line copies: read it before they go.
    std::string Text(Ess->StringText ? Ess->StringText : "",
                     static_cast<size_t>(Ess->StringLength));
    Text += Ess->StringEOL ? std::string(Ess->StringEOL) : W.DefaultEol;
    Line& L = W.Lines[LineNo];
    L.Eol = TakeTrailingEol(Text);
    L.Text = I.ExpandTabs == Host::Expand::AllTabs ? ExpandedTabs(Text, TabSizeOf(W)) : Text;
    // The range goes; the block's start stays where it was, as in the real host.
    L.SelStart = L.SelEnd = -1;
    W.Modified = true;
    I.RetireLineCopies();
    return 1;
}

void GetInfo(const Window& W, EditorInfo* Ei) {
    std::memset(Ei, 0, sizeof *Ei);
    Ei->EditorID = W.EditorID;
    Ei->FileName = W.FileName.c_str();
    Ei->WindowSizeX = W.WindowSizeX;
    Ei->WindowSizeY = W.WindowSizeY;
    Ei->TotalLines = static_cast<int>(W.Lines.size());
    Ei->CurLine = W.CurLine;
    Ei->CurPos = W.CurPos;
    Ei->CurTabPos = TabColumn(W, W.CurLine, W.CurPos);
    Ei->TopScreenLine = W.TopScreenLine;
    Ei->LeftPos = W.LeftPos;
    Ei->Overtype = W.Overtype;
    Ei->BlockType = BTYPE_NONE;
    if (W.BlockStartLine >= 0) {
        Ei->BlockType = W.ColumnBlock ? BTYPE_COLUMN : BTYPE_STREAM;
        Ei->BlockStartLine = W.BlockStartLine;
    }
    Ei->AnsiMode = W.AnsiMode;
    Ei->TableNum = W.TableNum;
    Ei->Options = 0;
    Ei->TabSize = W.TabSize;
}

bool OnScreen(const Window& W, int LineNo) {
    return LineNo >= W.TopScreenLine && LineNo - W.TopScreenLine < std::max(W.WindowSizeY, 1);
}

int SetPosition(Window& W, const EditorSetPosition* Esp) {
    if (Esp->CurLine >= 0) {
        W.CurLine = std::min(Esp->CurLine, LastLine(W));
        if (!OnScreen(W, W.CurLine)) W.TopScreenLine = W.CurLine;
    }
    const int Top = Esp->TopScreenLine;
    if (Top >= 0 && Top <= W.CurLine && W.CurLine - Top < std::max(W.WindowSizeY, 1))
        W.TopScreenLine = Top;
    if (Esp->CurPos >= 0) W.CurPos = Esp->CurPos;
    if (Esp->CurTabPos >= 0) W.CurPos = PosOfColumn(W, W.CurLine, Esp->CurTabPos);
    if (Esp->LeftPos >= 0) W.LeftPos = Esp->LeftPos;
    if (Esp->Overtype >= 0) W.Overtype = Esp->Overtype ? 1 : 0;
    return 1;
}

void ClearRanges(Window& W) {
    for (Line& L : W.Lines) L.SelStart = L.SelEnd = -1;
}

int Select(Window& W, const EditorSelect* Es) {
    const int Total = static_cast<int>(W.Lines.size());
    if (Es->BlockType == BTYPE_NONE) {
        RemoveBlock(W);
        return 1;
    }
    if (Es->BlockType != BTYPE_STREAM && Es->BlockType != BTYPE_COLUMN) return 0;
    const long long End = static_cast<long long>(Es->BlockStartPos) + Es->BlockWidth;
    if (Es->BlockStartLine < 0 || Es->BlockStartLine >= Total || Es->BlockStartPos < 0 ||
        Es->BlockHeight < 1 || End < 0 || End > INT_MAX)
        return 0;
    if (Es->BlockHeight == 1 && End < Es->BlockStartPos) return 0;
    if (Es->BlockType == BTYPE_COLUMN && End < Es->BlockStartPos) return 0;
    ClearRanges(W);
    W.ColumnBlock = Es->BlockType == BTYPE_COLUMN;
    W.BlockStartLine = Es->BlockStartLine;
    for (long long N = 0; N < Es->BlockHeight; ++N) {
        const long long LineNo = Es->BlockStartLine + N;
        if (LineNo >= Total) break;
        Line& L = W.Lines[static_cast<size_t>(LineNo)];
        if (W.ColumnBlock || Es->BlockHeight == 1) {
            L.SelStart = Es->BlockStartPos;
            L.SelEnd = static_cast<int>(End);
        } else if (N == 0) {
            L.SelStart = Es->BlockStartPos;
            L.SelEnd = -1;
        } else if (N + 1 < Es->BlockHeight) {
            L.SelStart = 0;
            L.SelEnd = -1;
        } else {
            L.SelStart = 0;
            L.SelEnd = static_cast<int>(End);
        }
    }
    // The real host walks past the text's last line and reports that as a failure.
    const long long LastSelected = static_cast<long long>(Es->BlockStartLine) + Es->BlockHeight - 1;
    return LastSelected >= Total - 1 ? 0 : 1;
}

int ExpandTabsCall(Host::Impl& I, Window& W, int N) {
    const int LineNo = N == -1 ? W.CurLine : N;
    if (!Valid(W, LineNo)) return 0;
    // The buffer changes, the file does not count as changed.
    if (ExpandLineTabs(W, LineNo)) I.RetireLineCopies();
    return 1;
}

}  // namespace

int Host::Impl::EditorControl(int Command, void* Param) {
    if (Command == ECTL_READINPUT) return Param ? ReadInput(*static_cast<INPUT_RECORD*>(Param)) : 0;
    Window* W = Cur();
    if (!W) return 0;
    Settle(*W);
    switch (Command) {
        case ECTL_GETSTRING:
            return Param ? GetString(*this, *W, static_cast<EditorGetString*>(Param)) : 0;
        case ECTL_SETSTRING:
            return Param ? SetString(*this, *W, static_cast<const EditorSetString*>(Param)) : 0;
        case ECTL_INSERTSTRING:
            RetireLineCopies();
            BreakLine(*W);
            return 1;
        case ECTL_DELETESTRING:
            RetireLineCopies();
            RemoveLine(*W, W->CurLine);
            return 1;
        case ECTL_DELETECHAR:
            if (W->CurPos > kMaxPad) return 0;
            RetireLineCopies();
            DeleteAtCursor(*W);
            return 1;
        case ECTL_INSERTTEXT:
            return Param && Type(*W, static_cast<const char*>(Param)) ? 1 : 0;
        case ECTL_GETINFO:
            if (!Param) return 0;
            GetInfo(*W, static_cast<EditorInfo*>(Param));
            return 1;
        case ECTL_SETPOSITION:
            return Param ? SetPosition(*W, static_cast<const EditorSetPosition*>(Param)) : 0;
        case ECTL_SELECT:
            if (!Param) return 0;
            // Selecting redraws, and the real host may move a line's buffer then.
            RetireLineCopies();
            return Select(*W, static_cast<const EditorSelect*>(Param));
        case ECTL_REDRAW:
            RetireLineCopies();
            return 1;
        case ECTL_EXPANDTABS:
            return Param ? ExpandTabsCall(*this, *W, *static_cast<const int*>(Param)) : 0;
        case ECTL_PROCESSINPUT:
            return Param ? ProcessInput(static_cast<INPUT_RECORD*>(Param)) : 0;
        default:
            return 0;
    }
}

int WINAPI SvcEditorControl(int Command, void* Param) {
    Host* H = Host::Current();
    if (!H || H->impl()->Enter(Service::EditorControl, Command)) return 0;
    return H->impl()->EditorControl(Command, Param);
}

}  // namespace host
