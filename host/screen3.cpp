// The generation-3 host's screen services over the console screen buffer (the wide
// calls), and its message boxes.
//
// Choices where the real host is not pinned down:
// - Text draws with the console attribute made of the colour record's two indexes. A
//   colour without the index flags (RGB) or without an opaque alpha (0xFF) is recorded
//   as a misuse and drawn with the index bits all the same.
// - Message draws its box centred in attribute 0x70 (0x4F with FMSG_WARNING); a box
//   with buttons is answered as if the user pressed the first (0) and goes again; a box
//   without buttons stays and the call returns -1.
#include <algorithm>
#include <climits>
#include <cstring>

#include "host3_impl.h"

namespace host3 {

namespace {

HANDLE Out() {
    return GetStdHandle(STD_OUTPUT_HANDLE);
}

COORD At(int X, int Y) {
    return COORD{static_cast<SHORT>(X), static_cast<SHORT>(Y)};
}

std::u16string GetChars(int X, int Y, int W) {
    std::vector<WCHAR> Buf(static_cast<size_t>(std::max(W, 0)), ' ');
    DWORD Read = 0;
    if (W <= 0 ||
        !ReadConsoleOutputCharacterW(Out(), Buf.data(), static_cast<DWORD>(W), At(X, Y), &Read))
        Read = 0;
    std::u16string S;
    for (DWORD I = 0; I < Read; ++I) S += static_cast<char16_t>(Buf[I]);
    return S;
}

std::vector<WORD> GetAttrs(int X, int Y, int W) {
    std::vector<WORD> A(static_cast<size_t>(std::max(W, 0)), 0);
    DWORD Read = 0;
    if (W > 0 &&
        ReadConsoleOutputAttribute(Out(), A.data(), static_cast<DWORD>(W), At(X, Y), &Read))
        A.resize(Read);
    return A;
}

void PutAttrs(int X, int Y, const std::vector<WORD>& A) {
    DWORD Done = 0;
    if (!A.empty())
        WriteConsoleOutputAttribute(Out(), A.data(), static_cast<DWORD>(A.size()), At(X, Y), &Done);
}

void PutChars(int X, int Y, const std::u16string& S) {
    std::vector<WCHAR> Buf(S.begin(), S.end());
    DWORD Done = 0;
    if (!Buf.empty())
        WriteConsoleOutputCharacterW(Out(), Buf.data(), static_cast<DWORD>(Buf.size()), At(X, Y),
                                     &Done);
}

SavedScreen* Save(int X1, int Y1, int X2, int Y2) {
    auto* S = new SavedScreen{X1, Y1, X2, Y2, {}, {}};
    for (int Y = Y1; Y <= Y2; ++Y) {
        S->Chars.push_back(X2 >= X1 ? GetChars(X1, Y, X2 - X1 + 1) : std::u16string());
        S->Attrs.push_back(X2 >= X1 ? GetAttrs(X1, Y, X2 - X1 + 1) : std::vector<WORD>());
    }
    return S;
}

void Restore(const SavedScreen& S) {
    for (size_t R = 0; R < S.Chars.size(); ++R) {
        const int Y = S.Y1 + static_cast<int>(R);
        PutChars(S.X1, Y, S.Chars[R]);
        PutAttrs(S.X1, Y, S.Attrs[R]);
    }
}

// Draws a box of Lines centred on the screen, as the host shows a message.
void DrawBox(const Host& H, const std::vector<std::u16string>& Lines, WORD Attr) {
    int Width = 0;
    for (const std::u16string& L : Lines) Width = std::max(Width, static_cast<int>(L.size()));
    Width = std::min(Width + 4, H.ScreenWidth());
    const int Height = static_cast<int>(Lines.size()) + 2;
    const int X = std::max((H.ScreenWidth() - Width) / 2, 0);
    const int Y = std::max((H.ScreenHeight() - Height) / 2, 0);
    const size_t Room = static_cast<size_t>(std::max(Width - 4, 0));
    for (int R = 0; R < Height && Y + R < H.ScreenHeight(); ++R) {
        std::u16string Row(static_cast<size_t>(Width), u' ');
        if (R > 0 && R <= static_cast<int>(Lines.size()) && Room > 0)
            Row.replace(2, std::min(Lines[R - 1].size(), Room), Lines[R - 1].substr(0, Room));
        PutCells(X, Y + R, Row, Attr);
    }
}

// The console index of one colour of a Text call; records what would not show.
WORD ColourIndex(Host::Impl& I, uint64_t Flags, uint64_t IndexFlag, uint32_t Value) {
    if (!(Flags & IndexFlag))
        I.Misuse("Text: an RGB colour (no index flag)");
    else if ((Value >> 24) != 0xFF)
        I.Misuse("Text: a colour that is not opaque (alpha not 0xFF)");
    return static_cast<WORD>(Value & 0x0F);
}

// The number of buttons an FMSG_MB_* flag gives.
intptr_t HostButtons(uint64_t Flags) {
    switch (Flags & FMSG_MB_MASK) {
        case FMSG_MB_OK:
            return 1;
        case FMSG_MB_OKCANCEL:
        case FMSG_MB_YESNO:
        case FMSG_MB_RETRYCANCEL:
            return 2;
        case FMSG_MB_ABORTRETRYIGNORE:
        case FMSG_MB_YESNOCANCEL:
            return 3;
        default:
            return 0;
    }
}

}  // namespace

void PutCells(int X, int Y, const std::u16string& Chars, WORD Attr) {
    Host* H = Host::Current();
    if (!H || Y < 0 || Y >= H->ScreenHeight() || X >= H->ScreenWidth()) return;
    std::u16string S = Chars;
    if (X < 0) {
        if (static_cast<size_t>(-static_cast<long>(X)) >= S.size()) return;
        S.erase(0, static_cast<size_t>(-static_cast<long>(X)));
        X = 0;
    }
    const size_t Room = static_cast<size_t>(H->ScreenWidth() - X);
    if (S.size() > Room) S.resize(Room);
    if (S.empty()) return;
    PutChars(X, Y, S);
    PutAttrs(X, Y, std::vector<WORD>(S.size(), Attr));
}

// ---- Reading the screen -------------------------------------------------------

int Host::ScreenWidth() const {
    CONSOLE_SCREEN_BUFFER_INFO Info;
    return GetConsoleScreenBufferInfo(Out(), &Info) ? Info.dwSize.X : 80;
}

int Host::ScreenHeight() const {
    CONSOLE_SCREEN_BUFFER_INFO Info;
    return GetConsoleScreenBufferInfo(Out(), &Info) ? Info.dwSize.Y : 25;
}

std::u16string Host::ScreenLine(int Y) const {
    return GetChars(0, Y, ScreenWidth());
}

WORD Host::ScreenAttr(int X, int Y) const {
    std::vector<WORD> A = GetAttrs(X, Y, 1);
    return A.empty() ? 0 : A[0];
}

void Host::DrawKeyBar() {
    static const char16_t* const kTitles[] = {u"Help", u"Save",   u"",     u"Edit", u"",
                                              u"View", u"Search", u"ANSI", u"",     u"Quit"};
    const int Width = ScreenWidth();
    const int Y = ScreenHeight() - 1;
    const int Cell = std::max(Width / 10, 3);
    for (int K = 0; K < 10; ++K) {
        const int X = K * Cell;
        if (X >= Width) break;
        const int End = K == 9 ? Width : std::min(X + Cell, Width);
        const std::u16string Digits = Widen(std::to_string(K + 1));
        std::u16string Title = kTitles[K];
        Title.resize(static_cast<size_t>(std::max(End - X - static_cast<int>(Digits.size()), 0)),
                     u' ');
        PutCells(X, Y, Digits, 0x07);
        PutCells(X + static_cast<int>(Digits.size()), Y, Title, 0x30);
    }
}

int Host::SavedScreens() const {
    return static_cast<int>(impl_->Saved.size());
}

// ---- Services -----------------------------------------------------------------

void WINAPI SvcText(intptr_t X, intptr_t Y, const api3::Color* Color, const char16_t* Str) {
    Host* H = Host::Current();
    if (!H || H->impl()->Enter(Service::Text)) return;
    Host::Impl& I = *H->impl();
    if (!Str) {
        ++H->Flushes;
        return;
    }
    if (!Color) {
        I.Misuse("Text: no colour");
        return;
    }
    const WORD Fg = ColourIndex(I, Color->Flags, api3::FCF_FG_INDEX, Color->Foreground);
    const WORD Bg = ColourIndex(I, Color->Flags, api3::FCF_BG_INDEX, Color->Background);
    if (X < INT_MIN / 2 || X > INT_MAX / 2 || Y < INT_MIN / 2 || Y > INT_MAX / 2) return;
    PutCells(static_cast<int>(X), static_cast<int>(Y), Str, static_cast<WORD>(Bg << 4 | Fg));
}

HANDLE WINAPI SvcSaveScreen(intptr_t X1, intptr_t Y1, intptr_t X2, intptr_t Y2) {
    Host* H = Host::Current();
    if (!H || H->impl()->Enter(Service::SaveScreen)) return nullptr;
    const intptr_t W = H->ScreenWidth(), Ht = H->ScreenHeight();
    X1 = std::clamp<intptr_t>(X1, 0, W - 1);
    Y1 = std::clamp<intptr_t>(Y1, 0, Ht - 1);
    if (X2 < 0 || X2 >= W) X2 = W - 1;
    if (Y2 < 0 || Y2 >= Ht) Y2 = Ht - 1;
    SavedScreen* S = Save(static_cast<int>(X1), static_cast<int>(Y1), static_cast<int>(X2),
                          static_cast<int>(Y2));
    H->impl()->Saved.insert(S);
    return S;
}

// A null handle makes the real host take what the console shows as its own buffer:
// there is nothing to do here.
void WINAPI SvcRestoreScreen(HANDLE Screen) {
    Host* H = Host::Current();
    if (!H || H->impl()->Enter(Service::RestoreScreen) || !Screen) return;
    auto It = H->impl()->Saved.find(static_cast<SavedScreen*>(Screen));
    if (It == H->impl()->Saved.end()) {
        H->impl()->Misuse("RestoreScreen: unknown handle");
        return;
    }
    Restore(**It);
    delete *It;
    H->impl()->Saved.erase(It);
}

void WINAPI SvcFreeScreen(HANDLE Screen) {
    Host* H = Host::Current();
    if (!H || H->impl()->Enter(Service::FreeScreen) || !Screen) return;
    auto It = H->impl()->Saved.find(static_cast<SavedScreen*>(Screen));
    if (It == H->impl()->Saved.end()) {
        H->impl()->Misuse("FreeScreen: unknown handle");
        return;
    }
    delete *It;
    H->impl()->Saved.erase(It);
}

intptr_t WINAPI SvcMessage(const api3::Guid* PluginId, const api3::Guid* /*Id*/, uint64_t Flags,
                           const char16_t* /*HelpTopic*/, const char16_t* const* Items,
                           size_t ItemsNumber, intptr_t ButtonsNumber) {
    Host* H = Host::Current();
    if (!H || H->impl()->Enter(Service::Message)) return -1;
    Host::Impl& I = *H->impl();
    if (!I.IsPlugin(PluginId)) I.Misuse("Message: not the plug-in's GUID");
    std::vector<std::u16string> Lines;
    if (Flags & FMSG_ALLINONE) {
        // Items is really one string whose lines are separated by '\n'.
        const std::u16string All = Items ? reinterpret_cast<const char16_t*>(Items) : u"";
        for (size_t B = 0, E; B <= All.size(); B = E + 1) {
            E = std::min(All.find(u'\n', B), All.size());
            Lines.push_back(All.substr(B, E - B));
        }
    } else {
        if (ItemsNumber > 0 && !Items) {
            I.Misuse("Message: no items");
            return -1;
        }
        for (size_t N = 0; N < ItemsNumber; ++N) Lines.push_back(Items[N] ? Items[N] : u"");
        if (ItemsNumber < 2 && !(Flags & FMSG_ERRORTYPE)) return -1;
    }
    const intptr_t Buttons = (Flags & FMSG_MB_MASK) ? HostButtons(Flags) : ButtonsNumber;
    if (Buttons < 0 || (!(Flags & FMSG_MB_MASK) && static_cast<size_t>(Buttons) > Lines.size())) {
        I.Misuse("Message: bad button count");
        return -1;
    }
    H->Messages.push_back(MessageBox{Flags, Lines, Buttons});
    const WORD Attr = (Flags & api3::FMSG_WARNING) ? 0x4F : 0x70;
    if (Buttons == 0) {
        DrawBox(*H, Lines, Attr);  // stays until the caller restores what lies beneath
        return -1;
    }
    SavedScreen* Under = Save(0, 0, H->ScreenWidth() - 1, H->ScreenHeight() - 1);
    DrawBox(*H, Lines, Attr);
    Restore(*Under);
    delete Under;
    return 0;
}

}  // namespace host3
