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

// ---- Typing ---------------------------------------------------------------------

bool Host::Impl::Type(Window& W, const std::string& Bytes) {
    if (W.CurPos > kMaxPad) return false;
    if (Bytes.empty()) return true;
    RetireLineCopies();
    if (!Self->PersistentBlocks) DeleteLineSelection(W, W.CurLine);
    const TypingModes Modes{ExpandTabs != Host::Expand::None};
    for (unsigned char B : Bytes) {
        if (W.CurPos > kMaxPad) return false;
        TypeUnit<char>(W, static_cast<char>(TypedByte(W.TableNum, B)), Modes);
    }
    KeepCursorVisible(W);
    return true;
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
    if (!ValidLine(W, LineNo)) return 0;
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
    if (!ValidLine(W, LineNo) || Ess->StringLength < 0 ||
        (!Ess->StringText && Ess->StringLength > 0))
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
    LayBlock(W, Es->BlockType == BTYPE_COLUMN, Es->BlockStartLine, Es->BlockStartPos,
             static_cast<int>(End), Es->BlockHeight);
    // The real host walks past the text's last line and reports that as a failure.
    const long long LastSelected = static_cast<long long>(Es->BlockStartLine) + Es->BlockHeight - 1;
    return LastSelected >= Total - 1 ? 0 : 1;
}

int ExpandTabsCall(Host::Impl& I, Window& W, int N) {
    const int LineNo = N == -1 ? W.CurLine : N;
    if (!ValidLine(W, LineNo)) return 0;
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
