// The host's editor: EditorControl over the in-memory windows, the text
// operations that keep each line's selection in step with its text, and the
// host's own small key handling.
//
// Choices where the real host's behaviour is not pinned down:
// - ECTL_GETSTRING gives "" (not null) as StringEOL of a line without an end.
// - ECTL_INSERTTEXT inserts its bytes literally (a '\n' is a byte, not a new line)
//   and ignores overtype.
// - ECTL_SETPOSITION clamps TopScreenLine to the text; negative fields other
//   than -1 count as unchanged.
// - ECTL_REDRAW only counts; the host sends no EE_REDRAW of its own.
// - While SetNoCurrentEditor(true) every command fails, as outside an editor.
// - Joining two lines that are both selected but do not touch keeps one range
//   from the first start to the second end (a line holds one range).
// - The host's own cursor keys leave the selection alone.
#include <algorithm>
#include <climits>
#include <cstring>

#include "host_impl.h"

namespace host {

namespace {

int Len(const Line& L) {
    return static_cast<int>(L.Text.size());
}

// The line end given to the first part when a line without one is split.
std::string DefaultEol(const Window& W) {
    for (const Line& L : W.Lines)
        if (!L.Eol.empty()) return L.Eol;
    return "\r\n";
}

// Padding beyond this is taken for a runaway cursor rather than an edit.
constexpr int kMaxPad = 1 << 20;

bool Valid(const Window& W, int Line) {
    return Line >= 0 && Line < static_cast<int>(W.Lines.size());
}

}  // namespace

// ---- Text operations ----------------------------------------------------------

void Settle(Window& W) {
    if (W.Lines.empty()) W.Lines.push_back(Line());
    W.CurLine = std::clamp(W.CurLine, 0, static_cast<int>(W.Lines.size()) - 1);
    if (W.CurPos < 0) W.CurPos = 0;
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
    if (L.SelStart != -1) {
        if (Pos < L.SelStart) --L.SelStart;
        if (L.SelEnd != -1 && Pos < L.SelEnd) --L.SelEnd;
    }
}

void JoinNext(Window& W, int LineNo) {
    if (!Valid(W, LineNo + 1)) return;
    Line& A = W.Lines[LineNo];
    const Line B = W.Lines[LineNo + 1];
    const int C = Len(A);
    const int BStart = B.SelStart == -1 ? -1 : B.SelStart + C;
    const int BEnd = B.SelEnd == -1 ? -1 : B.SelEnd + C;
    if (A.SelStart == -1) {
        A.SelStart = BStart;
        A.SelEnd = B.SelStart == -1 ? -1 : BEnd;
    } else if (B.SelStart == -1) {
        // The first part's range stays over what it covered.
        if (A.SelEnd == -1) A.SelEnd = C;
    } else {
        A.SelEnd = BEnd;  // touching ranges merge; others keep the span
    }
    A.Text += B.Text;
    A.Eol = B.Eol;
    W.Lines.erase(W.Lines.begin() + LineNo + 1);
    if (W.CurLine > LineNo) --W.CurLine;
}

void SplitLine(Window& W, int LineNo, int Pos) {
    Line& A = W.Lines[LineNo];
    const int C = std::min(Pos, Len(A));
    Line B;
    B.Text = A.Text.substr(static_cast<size_t>(C));
    B.Eol = A.Eol;
    A.Text.erase(static_cast<size_t>(C));
    if (A.Eol.empty()) A.Eol = DefaultEol(W);
    if (A.SelStart != -1) {
        const int S = A.SelStart, E = A.SelEnd;
        if (E != -1 && E <= C) {
            // The whole range stays in the first part.
        } else if (S >= C) {
            B.SelStart = S - C;
            B.SelEnd = E == -1 ? -1 : E - C;
            A.SelStart = A.SelEnd = -1;
        } else {
            A.SelEnd = -1;
            B.SelStart = 0;
            B.SelEnd = E == -1 ? -1 : E - C;
        }
    }
    W.Lines.insert(W.Lines.begin() + LineNo + 1, B);
    if (W.CurLine > LineNo) ++W.CurLine;
}

void RemoveLine(Window& W, int LineNo) {
    if (W.Lines.size() == 1) {
        // The only line cannot go: its text does, its selection stays.
        W.Lines[0].Text.clear();
        return;
    }
    const bool WasLast = LineNo == static_cast<int>(W.Lines.size()) - 1;
    W.Lines.erase(W.Lines.begin() + LineNo);
    // A removed last line takes the line end of the line before it along.
    if (WasLast) W.Lines.back().Eol.clear();
    if (W.CurLine > LineNo || W.CurLine >= static_cast<int>(W.Lines.size())) --W.CurLine;
    if (W.CurLine < 0) W.CurLine = 0;
}

int TabColumn(const Window& W, int LineNo, int Pos) {
    const Line& L = W.Lines[LineNo];
    const int Tab = W.TabSize > 0 ? W.TabSize : 8;
    const int Within = std::min(std::max(Pos, 0), Len(L));
    long long Col = 0;
    for (int I = 0; I < Within; ++I) Col += L.Text[I] == '\t' ? Tab - Col % Tab : 1;
    if (Pos > Within) Col += Pos - Within;
    return Col > INT_MAX ? INT_MAX : static_cast<int>(Col);
}

bool ExpandLineTabs(Window& W, int LineNo) {
    Line& L = W.Lines[LineNo];
    if (L.Text.find('\t') == std::string::npos) return false;
    auto Map = [&](int Pos) {
        if (Pos <= Len(L)) return TabColumn(W, LineNo, Pos);
        const long long M = static_cast<long long>(TabColumn(W, LineNo, Len(L))) + (Pos - Len(L));
        return M > INT_MAX ? INT_MAX : static_cast<int>(M);
    };
    const int NewStart = L.SelStart == -1 ? -1 : Map(L.SelStart);
    const int NewEnd = L.SelEnd == -1 ? -1 : Map(L.SelEnd);
    const int NewCur = W.CurLine == LineNo ? Map(W.CurPos) : W.CurPos;
    std::string Out;
    const int Tab = W.TabSize > 0 ? W.TabSize : 8;
    for (char C : L.Text) {
        if (C == '\t')
            Out.append(static_cast<size_t>(Tab - static_cast<int>(Out.size() % Tab)), ' ');
        else
            Out += C;
    }
    L.Text = Out;
    L.SelStart = NewStart;
    L.SelEnd = NewEnd;
    W.CurPos = NewCur;
    return true;
}

// ---- EditorControl ------------------------------------------------------------

namespace {

int GetString(Host::Impl& I, Window& W, EditorGetString* Egs) {
    const int LineNo = Egs->StringNumber == -1 ? W.CurLine : Egs->StringNumber;
    if (!Valid(W, LineNo)) return 0;
    const Line& L = W.Lines[LineNo];
    // One copy per line until the text changes: earlier pointers stay valid, and
    // a stale one is freed memory that the sanitizers report.
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
    Egs->StringEOL = L.Eol == "\r\n" ? "\r\n" : L.Eol == "\n" ? "\n" : L.Eol.empty() ? "" : "\r";
    Egs->StringLength = Len(L);
    Egs->SelStart = L.SelStart;
    Egs->SelEnd = L.SelEnd;
    return 1;
}

int SetString(Host::Impl& I, Window& W, const EditorSetString* Ess) {
    const int LineNo = Ess->StringNumber == -1 ? W.CurLine : Ess->StringNumber;
    if (!Valid(W, LineNo) || Ess->StringLength < 0 || (!Ess->StringText && Ess->StringLength > 0))
        return 0;
    // The new text may be one of the host's own line copies: read it before they go.
    Line& L = W.Lines[LineNo];
    L.Text.assign(Ess->StringText ? Ess->StringText : "", static_cast<size_t>(Ess->StringLength));
    L.Eol = Ess->StringEOL ? Ess->StringEOL : "";
    I.TextChanged();
    return 1;
}

void GetInfo(const Host::Impl& I, const Window& W, EditorInfo* Ei) {
    (void)I;
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
    for (int L = 0; L < static_cast<int>(W.Lines.size()); ++L)
        if (W.Lines[L].SelStart != -1) {
            Ei->BlockType = W.ColumnBlock ? BTYPE_COLUMN : BTYPE_STREAM;
            Ei->BlockStartLine = L;
            break;
        }
    Ei->AnsiMode = W.AnsiMode;
    Ei->TableNum = W.TableNum;
    Ei->Options = 0;
    Ei->TabSize = W.TabSize;
}

// Byte index of screen column Col on the line (the inverse of TabColumn).
int PosOfColumn(const Window& W, int LineNo, int Col) {
    const Line& L = W.Lines[LineNo];
    const int Tab = W.TabSize > 0 ? W.TabSize : 8;
    long long C = 0;
    for (int I = 0; I < Len(L); ++I) {
        C += L.Text[I] == '\t' ? Tab - C % Tab : 1;
        if (C > Col) return I;
    }
    const long long P = static_cast<long long>(Len(L)) + (Col - C);
    return P > INT_MAX ? INT_MAX : static_cast<int>(P);
}

int SetPosition(Window& W, const EditorSetPosition* Esp) {
    const int Total = static_cast<int>(W.Lines.size());
    if (Esp->CurLine != -1 && (Esp->CurLine < 0 || Esp->CurLine >= Total)) return 0;
    const int OldLine = W.CurLine;
    if (Esp->CurLine >= 0) W.CurLine = Esp->CurLine;
    if (Esp->CurPos >= 0)
        W.CurPos = Esp->CurPos;
    else if (Esp->CurTabPos >= 0)
        W.CurPos = PosOfColumn(W, W.CurLine, Esp->CurTabPos);
    if (Esp->LeftPos >= 0) W.LeftPos = Esp->LeftPos;
    if (Esp->Overtype >= 0) W.Overtype = Esp->Overtype ? 1 : 0;
    if (Esp->TopScreenLine >= 0)
        W.TopScreenLine = std::min(Esp->TopScreenLine, Total - 1);
    else if (W.CurLine != OldLine)
        KeepCursorVisible(W);
    return 1;
}

int Select(Window& W, const EditorSelect* Es) {
    const int Total = static_cast<int>(W.Lines.size());
    if (Es->BlockType == BTYPE_NONE) {
        for (Line& L : W.Lines) L.SelStart = L.SelEnd = -1;
        W.ColumnBlock = false;
        return 1;
    }
    if (Es->BlockType != BTYPE_STREAM && Es->BlockType != BTYPE_COLUMN) return 0;
    const long long End = static_cast<long long>(Es->BlockStartPos) + Es->BlockWidth;
    if (Es->BlockStartLine < 0 || Es->BlockStartLine >= Total || Es->BlockStartPos < 0 ||
        Es->BlockHeight < 1 || End < 0 || End > INT_MAX)
        return 0;
    if (Es->BlockHeight == 1 && End < Es->BlockStartPos) return 0;
    if (Es->BlockType == BTYPE_COLUMN && End < Es->BlockStartPos) return 0;
    for (Line& L : W.Lines) L.SelStart = L.SelEnd = -1;
    W.ColumnBlock = Es->BlockType == BTYPE_COLUMN;
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
    return 1;
}

}  // namespace

int Host::Impl::EditorControl(int Command, void* Param) {
    Window* W = Cur();
    if (Command == ECTL_READINPUT) {
        if (!Param) return 0;
        // A scripted test that has run out of keys gets 0 instead of a wait.
        return ReadWaitingInput(*static_cast<INPUT_RECORD*>(Param)) ? 1 : 0;
    }
    if (!W) return 0;
    Settle(*W);
    switch (Command) {
        case ECTL_GETSTRING:
            return Param ? GetString(*this, *W, static_cast<EditorGetString*>(Param)) : 0;
        case ECTL_SETSTRING:
            return Param ? SetString(*this, *W, static_cast<const EditorSetString*>(Param)) : 0;
        case ECTL_INSERTSTRING:
            TextChanged();
            SplitLine(*W, W->CurLine, W->CurPos);
            W->CurLine = std::min(W->CurLine + 1, static_cast<int>(W->Lines.size()) - 1);
            W->CurPos = 0;
            KeepCursorVisible(*W);
            return 1;
        case ECTL_DELETESTRING: {
            TextChanged();
            const int Old = W->CurLine;
            RemoveLine(*W, W->CurLine);
            if (W->CurLine != Old) KeepCursorVisible(*W);
            return 1;
        }
        case ECTL_DELETECHAR: {
            const Line& L = W->Lines[W->CurLine];
            const bool LastLine = W->CurLine == static_cast<int>(W->Lines.size()) - 1;
            if (LastLine && W->CurPos >= Len(L)) return 1;
            if (W->CurPos > kMaxPad) return 0;
            TextChanged();
            PadTo(*W, W->CurLine, W->CurPos);
            if (W->CurPos < Len(W->Lines[W->CurLine]))
                DeleteByte(*W, W->CurLine, W->CurPos);
            else
                JoinNext(*W, W->CurLine);
            return 1;
        }
        case ECTL_INSERTTEXT: {
            if (!Param || W->CurPos > kMaxPad) return 0;
            const std::string Bytes(static_cast<const char*>(Param));
            TextChanged();
            PadTo(*W, W->CurLine, W->CurPos);
            InsertBytes(*W, W->CurLine, W->CurPos, Bytes);
            const long long P =
                static_cast<long long>(W->CurPos) + static_cast<long long>(Bytes.size());
            W->CurPos = P > INT_MAX ? INT_MAX : static_cast<int>(P);
            return 1;
        }
        case ECTL_GETINFO:
            if (!Param) return 0;
            GetInfo(*this, *W, static_cast<EditorInfo*>(Param));
            return 1;
        case ECTL_SETPOSITION:
            return Param ? SetPosition(*W, static_cast<const EditorSetPosition*>(Param)) : 0;
        case ECTL_SELECT:
            return Param ? Select(*W, static_cast<const EditorSelect*>(Param)) : 0;
        case ECTL_REDRAW:
            return 1;
        case ECTL_EXPANDTABS: {
            if (!Param) return 0;
            const int N = *static_cast<const int*>(Param);
            const int LineNo = N == -1 ? W->CurLine : N;
            if (!Valid(*W, LineNo)) return 0;
            if (W->Lines[LineNo].Text.find('\t') != std::string::npos) TextChanged();
            ExpandLineTabs(*W, LineNo);
            return 1;
        }
        case ECTL_PROCESSINPUT: {
            if (!Param) return 0;
            INPUT_RECORD Rec = *static_cast<const INPUT_RECORD*>(Param);
            if (Depth >= 64) {
                Misuse("ECTL_PROCESSINPUT nested too deep");
                return 0;
            }
            if (Self->OnProcessInput) Self->OnProcessInput(*Self, Rec);
            ++Depth;
            Self->Feed(Rec);
            --Depth;
            return 1;
        }
        default:
            return 0;
    }
}

int WINAPI SvcEditorControl(int Command, void* Param) {
    Host* H = Host::Current();
    if (!H || H->impl()->Enter(Service::EditorControl, Command)) return 0;
    return H->impl()->EditorControl(Command, Param);
}

// ---- The host's own keys ------------------------------------------------------

void Host::Impl::HandleKey(const INPUT_RECORD& Rec) {
    Self->HostKeys.push_back(Rec);
    if (Rec.EventType != KEY_EVENT || !Rec.Event.KeyEvent.bKeyDown) return;
    const KEY_EVENT_RECORD& K = Rec.Event.KeyEvent;
    const DWORD Mods = K.dwControlKeyState & 0x1F;
    const bool CtrlAlt = (Mods & 0x0F) != 0;
    const int Times = K.wRepeatCount > 1 ? K.wRepeatCount : 1;
    const int Id = Current;
    for (int N = 0; N < Times; ++N) {
        Window* W = Cur();
        if (!W || W->EditorID != Id) return;  // the window went away
        Settle(*W);
        const WORD Vk = K.wVirtualKeyCode;
        if (Mods == 0 && std::find(Self->CloseKeys.begin(), Self->CloseKeys.end(), Vk) !=
                             Self->CloseKeys.end()) {
            Self->HostActions.push_back(HostAction::Close);
            Self->CloseWindow(Id);
            return;
        }
        if (Vk == VK_F2 && Mods == 0) {
            ++W->Saves;
            Self->HostActions.push_back(HostAction::Save);
            Self->EditorEvent(EE_SAVE, nullptr);
            continue;
        }
        if (Vk == VK_F7) {
            if (Mods == 0) Self->HostActions.push_back(HostAction::Search);
            if (Mods == SHIFT_PRESSED) Self->HostActions.push_back(HostAction::RepeatSearch);
            if ((Mods & 0x0C) && !(Mods & 0x13)) Self->HostActions.push_back(HostAction::Replace);
            continue;
        }
        if (CtrlAlt) continue;
        Line* L = &W->Lines[W->CurLine];
        const int OldLine = W->CurLine;
        switch (Vk) {
            case VK_LEFT:
                if (W->CurPos > 0) --W->CurPos;
                break;
            case VK_RIGHT:
                if (W->CurPos < INT_MAX) ++W->CurPos;
                break;
            case VK_UP:
                if (W->CurLine > 0) --W->CurLine;
                break;
            case VK_DOWN:
                if (W->CurLine + 1 < static_cast<int>(W->Lines.size())) ++W->CurLine;
                break;
            case VK_PRIOR:
                W->CurLine = std::max(W->CurLine - W->WindowSizeY, 0);
                break;
            case VK_NEXT:
                W->CurLine =
                    std::min(W->CurLine + W->WindowSizeY, static_cast<int>(W->Lines.size()) - 1);
                break;
            case VK_HOME:
                W->CurPos = 0;
                break;
            case VK_END:
                W->CurPos = Len(*L);
                break;
            case VK_BACK:
                if (W->CurPos > Len(*L)) {
                    --W->CurPos;
                } else if (W->CurPos > 0) {
                    TextChanged();
                    DeleteByte(*W, W->CurLine, --W->CurPos);
                } else if (W->CurLine > 0) {
                    TextChanged();
                    --W->CurLine;
                    W->CurPos = Len(W->Lines[W->CurLine]);
                    JoinNext(*W, W->CurLine);
                }
                break;
            case VK_DELETE: {
                const bool LastLine = W->CurLine == static_cast<int>(W->Lines.size()) - 1;
                if ((LastLine && W->CurPos >= Len(*L)) || W->CurPos > kMaxPad) break;
                TextChanged();
                PadTo(*W, W->CurLine, W->CurPos);
                if (W->CurPos < Len(W->Lines[W->CurLine]))
                    DeleteByte(*W, W->CurLine, W->CurPos);
                else
                    JoinNext(*W, W->CurLine);
                break;
            }
            case VK_RETURN:
                TextChanged();
                SplitLine(*W, W->CurLine, W->CurPos);
                ++W->CurLine;
                W->CurPos = 0;
                break;
            case VK_ESCAPE:
                break;
            default: {
                const unsigned char Ch = static_cast<unsigned char>(K.uChar.AsciiChar);
                if ((Vk != VK_TAB && Ch < 32) || W->CurPos > kMaxPad) break;
                TextChanged();
                PadTo(*W, W->CurLine, W->CurPos);
                if (W->Overtype && Vk != VK_TAB && W->CurPos < Len(W->Lines[W->CurLine]))
                    DeleteByte(*W, W->CurLine, W->CurPos);
                InsertBytes(*W, W->CurLine, W->CurPos, std::string(1, Vk == VK_TAB ? '\t' : Ch));
                ++W->CurPos;
                break;
            }
        }
        if (W->CurLine != OldLine) KeepCursorVisible(*W);
    }
}

}  // namespace host
