// The generation-3 host's editor: EditorControl over the in-memory windows with the
// current interface's records and numbers, and the typing of ECTL_INSERTTEXT and the
// host's character keys. The text operations are the shared ones (text_model.h).
//
// Where the current real host differs from the 1.70 one, and is modelled here:
// - ECTL_SELECT returns 1 also for a block that reaches the last line.
// - ECTL_GETSTRING reports a line's own range only while a stream block exists, a
//   column block's columns as that line's positions, and (-1, 0) for a line outside
//   any block.
// - ECTL_SETSTRING: a trailing "\r", "\n", "\r\n" or "\r\r\n" of the text is always
//   the line's end (StringEOL is then ignored); a null StringEOL gives the file's
//   default end (never none: a file without any takes the host's end for new files);
//   an empty or unknown StringEOL gives none; the line's selection is kept.
// - ECTL_INSERTTEXT types unit by unit: a line feed breaks the line (indented when the
//   "auto indent" option is on), a carriage return breaks it without indentation, no
//   code-table conversion; with persistent blocks off, before each character goes in
//   the cursor line's range is deleted only when it ends inside the line.
// - ECTL_DELETECHAR (and Delete, Backspace) take a surrogate pair as a whole.
// - ECTL_DELETESTRING drops the block when its start line goes and the next line is not
//   selected; the cursor goes to the next line at the same screen column.
// - ECTL_EXPANDTABS takes a pointer to a pointer-sized line number.
// - Joining lines gives the joined line the next line's end (text_model.h).
// Choices where the real host is not pinned down:
// - Every negative line number means the cursor's line (GETSTRING, SETSTRING,
//   EXPANDTABS, TABTOREAL, REALTOTAB); positions and line numbers past 32 bits fail.
// - ECTL_SELECT with any negative BlockStartPos clears, as -1 does; a line whose range
//   would end before it starts is left unselected.
// - ECTL_SELECT, ECTL_REDRAW and ECTL_INSERTSTRING retire the line copies handed out, as
//   every change does: stricter than the real host, whose copies live until their own
//   line changes.
// - ECTL_REDRAW sends EE_REDRAW, except from inside an EE_REDRAW.
// - The host's own typed characters (not ECTL_INSERTTEXT) delete the cursor line's
//   selected part first when persistent blocks are off, whatever its end, as the 1.70
//   stand-in does.
// - ECTL_UNDOREDO counts EUR_BEGIN and EUR_END (an end without a begin, or a begin left
//   open when the plug-in returns to the main loop, is a misuse); undo and redo are not
//   modelled. Commands not modelled fail and are recorded as misuses.
#include <algorithm>
#include <climits>
#include <cstring>

#include "host3_impl.h"

namespace host3 {

using host::Len;
using host::ValidLine;

namespace {

int Clamped(intptr_t V) {
    return V > INT_MAX ? INT_MAX : V < INT_MIN ? INT_MIN : static_cast<int>(V);
}

// The line a call names: any negative number is the cursor's line; -1 when none.
int LineOf(const Window& W, intptr_t Number) {
    if (Number < 0) return W.CurLine;
    return Number <= INT_MAX && ValidLine(W, static_cast<int>(Number)) ? static_cast<int>(Number)
                                                                       : -1;
}

const char16_t* EolName(const std::u16string& Eol) {
    for (const char16_t* Known : {u"\r\n", u"\n", u"\r", u"\r\r\n"})
        if (Eol == Known) return Known;
    return u"";
}

bool IsBlank(char16_t C) {
    return C == ' ' || C == '\t';
}

intptr_t GetString(Host::Impl& I, Window& W, api3::EditorGetString* Egs) {
    if (!Egs || !I.SizeOk(Egs->StructSize, sizeof *Egs, "ECTL_GETSTRING")) return 0;
    const int LineNo = LineOf(W, Egs->StringNumber);
    if (LineNo < 0) return 0;
    const Line& L = W.Lines[LineNo];
    // One copy per line until the next change or redraw; a copy that no longer matches
    // (a test changed the line directly) is retired, kept valid, and replaced.
    LineCopy& Copy = I.LineCopies[{W.EditorID, LineNo}];
    if (!Copy.Units || std::u16string_view(Copy.Units.get(), Copy.Size) != L.Text) {
        if (Copy.Units) I.RetiredCopies.push_back(std::move(Copy.Units));
        Copy.Units = std::make_unique<char16_t[]>(L.Text.size() + 1);
        std::copy(L.Text.begin(), L.Text.end(), Copy.Units.get());
        Copy.Units[L.Text.size()] = 0;
        Copy.Size = L.Text.size();
    }
    Egs->StringText = Copy.Units.get();
    Egs->StringEOL = EolName(L.Eol);
    Egs->StringLength = Len(L);
    Egs->SelStart = -1;
    Egs->SelEnd = 0;
    if (W.BlockStartLine < 0 || L.SelStart == -1) return 1;
    if (W.ColumnBlock) {
        Egs->SelStart = host::PosOfColumn(W, LineNo, L.SelStart);
        Egs->SelEnd = L.SelEnd == -1 ? -1 : host::PosOfColumn(W, LineNo, L.SelEnd);
    } else {
        Egs->SelStart = L.SelStart;
        Egs->SelEnd = L.SelEnd;
    }
    return 1;
}

// Takes a trailing "\r\r\n", "\r\n", "\n" or "\r" off Text and returns it.
std::u16string TakeTrailingEol(std::u16string& Text) {
    for (const char16_t* Eol : {u"\r\r\n", u"\r\n", u"\n", u"\r"}) {
        const std::u16string_view E(Eol);
        if (Text.size() >= E.size() &&
            std::u16string_view(Text).substr(Text.size() - E.size()) == E) {
            Text.erase(Text.size() - E.size());
            return std::u16string(E);
        }
    }
    return std::u16string();
}

intptr_t SetString(Host::Impl& I, Window& W, const api3::EditorSetString* Ess) {
    if (!Ess || !I.SizeOk(Ess->StructSize, sizeof *Ess, "ECTL_SETSTRING")) return 0;
    const int LineNo = LineOf(W, Ess->StringNumber);
    if (LineNo < 0 || Ess->StringLength < 0 || Ess->StringLength > host::kMaxPad ||
        (!Ess->StringText && Ess->StringLength > 0))
        return 0;
    // The new text may be one of the host's own line copies: read it before they go.
    std::u16string Text(Ess->StringText ? Ess->StringText : u"",
                        static_cast<size_t>(Ess->StringLength));
    std::u16string Eol = TakeTrailingEol(Text);
    if (Eol.empty()) Eol = Ess->StringEOL ? EolName(Ess->StringEOL) : W.DefaultEol;
    Line& L = W.Lines[LineNo];
    L.Eol = Eol;
    L.Text = I.ExpandTabs == host::ExpandMode::AllTabs
                 ? host::ExpandedTabs(Text, host::TabSizeOf(W))
                 : Text;
    W.Modified = true;
    I.RetireLineCopies();
    return 1;
}

// ECTL_INSERTSTRING: splits at the cursor. With the "auto indent" option on and only
// blanks after the cursor, the first part loses its trailing blanks; with Indent asked
// for and the option on, the new line takes the first part's indentation.
intptr_t InsertString(Host::Impl& I, Window& W, const int* Indent) {
    I.RetireLineCopies();
    const Line& L = W.Lines[W.CurLine];
    const int At = std::min(W.CurPos, Len(L));
    const bool BlanksAfter = std::all_of(L.Text.begin() + At, L.Text.end(), IsBlank);
    host::BreakLine(W, I.Self->AutoIndent && Indent && *Indent);
    if (!I.Self->AutoIndent || !BlanksAfter) return 1;
    Line& First = W.Lines[W.CurLine - 1];
    while (!First.Text.empty() && IsBlank(First.Text.back()))
        host::DeleteUnit(W, W.CurLine - 1, Len(First) - 1);
    return 1;
}

intptr_t DeleteString(Host::Impl& I, Window& W) {
    I.RetireLineCopies();
    const bool Last = W.CurLine == host::LastLine(W);
    const int Column = host::TabColumn(W, W.CurLine, W.CurPos);
    host::RemoveLine(W, W.CurLine);
    if (!Last) W.CurPos = host::PosOfColumn(W, W.CurLine, Column);
    return 1;
}

intptr_t GetInfo(Host::Impl& I, const Window& W, api3::EditorInfo* Ei) {
    // A record that ends with CodePage (hosts before the two areas) is accepted.
    constexpr size_t Shortest = offsetof(api3::EditorInfo, CodePage) + sizeof(uintptr_t);
    if (!Ei || !I.SizeOk(Ei->StructSize, Shortest, "ECTL_GETINFO")) return 0;
    const Host& H = *I.Self;
    Ei->EditorID = W.EditorID;
    Ei->WindowSizeX = W.WindowSizeX;
    Ei->WindowSizeY = W.WindowSizeY;
    Ei->TotalLines = static_cast<intptr_t>(W.Lines.size());
    Ei->CurLine = W.CurLine;
    Ei->CurPos = W.CurPos;
    Ei->CurTabPos = host::TabColumn(W, W.CurLine, W.CurPos);
    Ei->TopScreenLine = W.TopScreenLine;
    Ei->LeftPos = W.LeftPos;
    Ei->Overtype = W.Overtype;
    Ei->BlockType = api3::BTYPE_NONE;
    Ei->BlockStartLine = 0;
    if (W.BlockStartLine >= 0) {
        Ei->BlockType = W.ColumnBlock ? api3::BTYPE_COLUMN : api3::BTYPE_STREAM;
        Ei->BlockStartLine = W.BlockStartLine;
    }
    uintptr_t Options = 0;
    if (I.ExpandTabs == host::ExpandMode::AllTabs) Options |= api3::EOPT_EXPANDALLTABS;
    if (I.ExpandTabs == host::ExpandMode::NewTabs) Options |= EOPT_EXPANDONLYNEWTABS;
    if (H.PersistentBlocks) Options |= api3::EOPT_PERSISTENTBLOCKS;
    if (H.AutoIndent) Options |= EOPT_AUTOINDENT;
    if (H.CursorBeyondEol) Options |= EOPT_CURSORBEYONDEOL;
    Ei->Options = Options;
    Ei->TabSize = W.TabSize;
    Ei->BookmarkCount = 0;
    Ei->SessionBookmarkCount = 0;
    uintptr_t State = 0;
    if (!W.Modified) State |= ECSTATE_SAVED;
    if (W.Locked) State |= ECSTATE_LOCKED;
    Ei->CurState = State;
    Ei->CodePage = W.CodePage;
    if (Ei->StructSize >= sizeof(api3::EditorInfo)) {
        // The whole screen is the window; the title bar and the key bar frame the text.
        Ei->WindowArea = {0, 0, W.WindowSizeX - 1, W.WindowSizeY + 1};
        Ei->ClientArea = {0, 1, W.WindowSizeX - 1, W.WindowSizeY};
    }
    return 1;
}

bool OnScreen(const Window& W, int LineNo) {
    return LineNo >= W.TopScreenLine && LineNo - W.TopScreenLine < std::max(W.WindowSizeY, 1);
}

// ECTL_SETPOSITION: a negative field leaves its value. A new cursor line off the screen
// becomes the top line, except after a move of one line, which scrolls by one; without
// CurPos the cursor keeps its screen column. A TopScreenLine not below the cursor line
// is taken, but never more than a screen height minus one above it. CurTabPos wins
// over CurPos; LeftPos, then Overtype come last.
intptr_t SetPosition(Host::Impl& I, Window& W, const api3::EditorSetPosition* Esp) {
    if (!Esp || !I.SizeOk(Esp->StructSize, sizeof *Esp, "ECTL_SETPOSITION")) return 0;
    const int Height = std::max(W.WindowSizeY, 1);
    if (Esp->CurLine >= 0) {
        const int From = W.CurLine;
        const int Column = host::TabColumn(W, From, W.CurPos);
        W.CurLine = std::min(Clamped(Esp->CurLine), host::LastLine(W));
        if (Esp->CurPos < 0) W.CurPos = host::PosOfColumn(W, W.CurLine, Column);
        if (!OnScreen(W, W.CurLine)) {
            if (W.CurLine == From + 1 || W.CurLine == From - 1)
                host::KeepCursorVisible(W);
            else
                W.TopScreenLine = W.CurLine;
        }
    }
    if (Esp->TopScreenLine >= 0 && Esp->TopScreenLine <= W.CurLine)
        W.TopScreenLine = std::max(Clamped(Esp->TopScreenLine), W.CurLine - (Height - 1));
    if (Esp->CurPos >= 0) W.CurPos = std::min(Clamped(Esp->CurPos), INT_MAX - 1);
    if (Esp->CurTabPos >= 0) W.CurPos = host::PosOfColumn(W, W.CurLine, Clamped(Esp->CurTabPos));
    if (Esp->LeftPos >= 0) W.LeftPos = Clamped(Esp->LeftPos);
    if (Esp->Overtype >= 0) W.Overtype = Esp->Overtype ? 1 : 0;
    return 1;
}

intptr_t Select(Host::Impl& I, Window& W, const api3::EditorSelect* Es) {
    if (!Es || !I.SizeOk(Es->StructSize, sizeof *Es, "ECTL_SELECT")) return 0;
    I.RetireLineCopies();
    if (Es->BlockType == api3::BTYPE_NONE || Es->BlockStartPos < 0) {
        host::RemoveBlock(W);
        return 1;
    }
    if (Es->BlockType != api3::BTYPE_STREAM && Es->BlockType != api3::BTYPE_COLUMN) return 0;
    if (Es->BlockHeight < 1 || Es->BlockStartLine < 0 || LineOf(W, Es->BlockStartLine) < 0)
        return 0;
    const long long End = static_cast<long long>(Es->BlockStartPos) + Es->BlockWidth;
    if (Es->BlockStartPos > INT_MAX || End > INT_MAX || Es->BlockHeight > INT_MAX) return 0;
    host::LayBlock(W, Es->BlockType == api3::BTYPE_COLUMN, static_cast<int>(Es->BlockStartLine),
                   static_cast<int>(Es->BlockStartPos), static_cast<int>(std::max(End, -1LL)),
                   static_cast<int>(Es->BlockHeight));
    for (Line& L : W.Lines)
        if (L.SelStart != -1 && L.SelEnd != -1 && L.SelEnd < L.SelStart) L.SelStart = L.SelEnd = -1;
    return 1;
}

intptr_t ConvertPos(Host::Impl& I, const Window& W, EditorConvertPos* Ecp, bool ToColumn) {
    if (!Ecp || !I.SizeOk(Ecp->StructSize, sizeof *Ecp, "ECTL_TABTOREAL/REALTOTAB")) return 0;
    const int LineNo = LineOf(W, Ecp->StringNumber);
    if (LineNo < 0) return 0;
    const int Src = std::max(Clamped(Ecp->SrcPos), 0);
    Ecp->DestPos = ToColumn ? host::TabColumn(W, LineNo, Src) : host::PosOfColumn(W, LineNo, Src);
    return 1;
}

intptr_t ExpandTabsCall(Host::Impl& I, Window& W, const intptr_t* Number) {
    const int LineNo = Number ? LineOf(W, *Number) : -1;
    if (LineNo < 0) return 0;
    // The buffer changes, the file does not count as changed.
    if (host::ExpandLineTabs(W, LineNo)) I.RetireLineCopies();
    return 1;
}

intptr_t GetFileName(const Window& W, intptr_t Size, char16_t* Buffer) {
    if (Buffer && Size > 0) {
        const size_t N = std::min(W.FileName.size(), static_cast<size_t>(Size - 1));
        std::copy_n(W.FileName.begin(), N, Buffer);
        Buffer[N] = 0;
    }
    return static_cast<intptr_t>(W.FileName.size() + 1);
}

intptr_t UndoRedo(Host::Impl& I, const EditorUndoRedo* Eur) {
    if (!Eur || !I.SizeOk(Eur->StructSize, sizeof *Eur, "ECTL_UNDOREDO")) return 0;
    switch (Eur->Command) {
        case EUR_BEGIN:
            ++I.UndoDepth;
            return 1;
        case EUR_END:
            if (I.UndoDepth == 0) {
                I.Misuse("ECTL_UNDOREDO: EUR_END without EUR_BEGIN");
                return 0;
            }
            --I.UndoDepth;
            return 1;
        default:
            I.Misuse("ECTL_UNDOREDO: undo and redo are not modelled");
            return 0;
    }
}

bool ChangesText(uint32_t Command) {
    switch (Command) {
        case api3::ECTL_SETSTRING:
        case api3::ECTL_INSERTSTRING:
        case api3::ECTL_DELETESTRING:
        case api3::ECTL_DELETECHAR:
        case api3::ECTL_INSERTTEXT:
            return true;
        default:
            return false;
    }
}

}  // namespace

// ---- Typing ---------------------------------------------------------------------

bool Host::Impl::Type(Window& W, const std::u16string& Units, bool ByCommand) {
    if (W.CurPos > host::kMaxPad) return false;
    if (Units.empty()) return true;
    RetireLineCopies();
    const host::TypingModes Modes{ExpandTabs != host::ExpandMode::None, Self->AutoIndent};
    if (!ByCommand && !Self->PersistentBlocks) host::DeleteLineSelection(W, W.CurLine);
    for (char16_t U : Units) {
        if (W.CurPos > host::kMaxPad) return false;
        const Line& L = W.Lines[W.CurLine];
        const bool Character = U != '\r' && U != '\n' && U != '\b' && U != 27;
        if (ByCommand && Character && !Self->PersistentBlocks && L.SelStart != -1 &&
            L.SelEnd != -1 && L.SelEnd <= Len(L))
            host::DeleteLineSelection(W, W.CurLine);
        host::TypeUnit(W, U, Modes);
    }
    host::KeepCursorVisible(W);
    return true;
}

void Host::Impl::Redraw(Window& W, bool Notify) {
    RetireLineCopies();
    if (!Self->CursorBeyondEol) W.CurPos = std::min(W.CurPos, Len(W.Lines[W.CurLine]));
    if (!Notify || InRedraw) return;
    InRedraw = true;
    Self->EditorEvent(api3::EE_REDRAW, nullptr, W.EditorID);
    InRedraw = false;
}

// ---- EditorControl ------------------------------------------------------------

intptr_t Host::Impl::EditorControl(Window& W, uint32_t Command, intptr_t Param1, void* Param2) {
    host::Settle(W);
    if (W.Locked && ChangesText(Command)) return 0;
    switch (Command) {
        case api3::ECTL_GETSTRING:
            return GetString(*this, W, static_cast<api3::EditorGetString*>(Param2));
        case api3::ECTL_SETSTRING:
            return SetString(*this, W, static_cast<const api3::EditorSetString*>(Param2));
        case api3::ECTL_INSERTSTRING:
            return InsertString(*this, W, static_cast<const int*>(Param2));
        case api3::ECTL_DELETESTRING:
            return DeleteString(*this, W);
        case api3::ECTL_DELETECHAR:
            if (W.CurPos > host::kMaxPad) return 0;
            RetireLineCopies();
            host::DeleteAtCursor(W);
            return 1;
        case api3::ECTL_INSERTTEXT:
            return Param2 && Type(W, static_cast<const char16_t*>(Param2), true) ? 1 : 0;
        case api3::ECTL_GETINFO:
            return GetInfo(*this, W, static_cast<api3::EditorInfo*>(Param2));
        case api3::ECTL_SETPOSITION:
            return SetPosition(*this, W, static_cast<const api3::EditorSetPosition*>(Param2));
        case api3::ECTL_SELECT:
            return Select(*this, W, static_cast<const api3::EditorSelect*>(Param2));
        case api3::ECTL_REDRAW:
            Redraw(W, true);
            return 1;
        case ECTL_TABTOREAL:
        case ECTL_REALTOTAB:
            return ConvertPos(*this, W, static_cast<EditorConvertPos*>(Param2),
                              Command == ECTL_REALTOTAB);
        case api3::ECTL_EXPANDTABS:
            return ExpandTabsCall(*this, W, static_cast<const intptr_t*>(Param2));
        case api3::ECTL_READINPUT:
            return Param2 ? ReadInput(*static_cast<INPUT_RECORD*>(Param2)) : 0;
        case api3::ECTL_PROCESSINPUT:
            return Param2 ? ProcessInput(*static_cast<const INPUT_RECORD*>(Param2)) : 0;
        case api3::ECTL_GETFILENAME:
            return GetFileName(W, Param1, static_cast<char16_t*>(Param2));
        case ECTL_UNDOREDO:
            return UndoRedo(*this, static_cast<const EditorUndoRedo*>(Param2));
        default:
            Misuse("EditorControl: command " + std::to_string(Command) + " not modelled");
            return 0;
    }
}

intptr_t WINAPI SvcEditorControl(intptr_t EditorID, uint32_t Command, intptr_t Param1,
                                 void* Param2) {
    Host* H = Host::Current();
    if (!H) return 0;
    Host::Impl& I = *H->impl();
    if (I.Enter(Service::EditorControl, static_cast<int>(Command))) return 0;
    Window* W = I.Target(EditorID);
    if (!W) return 0;
    // While its window closes only the commands that read what is left answer.
    if (I.Closing == W->EditorID && Command != api3::ECTL_GETINFO &&
        Command != api3::ECTL_GETFILENAME)
        return 0;
    return I.EditorControl(*W, Command, Param1, Param2);
}

}  // namespace host3
