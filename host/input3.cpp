// The generation-3 host's input: each record its main loop reads, ECTL_READINPUT and
// ECTL_PROCESSINPUT, and the file-editor frame's own small key handling.
//
// Where the current real host differs from the 1.70 one, and is modelled here:
// - The plug-in gets a copy of the record inside ProcessEditorInputInfo; nothing it
//   does to it reaches the host or the caller of ECTL_PROCESSINPUT.
// - The console layer splits a record with repeat count n into n records of count 1,
//   kept in the host's own queue (not in the console input): the plug-in sees n
//   records and the host acts n times.
// - No idle records: the main loop makes up none, and an all-zero record (EventType 0)
//   never reaches a plug-in. Focus, buffer-size and menu records pass as read.
// - ECTL_PROCESSINPUT: a declined key goes to the frame without calling the plug-ins
//   again; a declined mouse record is offered to them a second time first.
// - ECTL_READINPUT blocks in the real host; see Host::WakeUps for the stand-in's way.
// - Keys the window manager takes: Alt+Ins, Alt+keypad 0, Ctrl+W, F11, Alt+F9, and (the
//   editor not being modal) F12, Ctrl+Tab, Ctrl+Shift+Tab; the frame takes F6 and
//   Alt+F11 before the plug-ins. They are logged in HostKeys and go nowhere else.
// - A character composed with Alt and the keypad arrives on the Alt key's release
//   record; the frame types it when the plug-ins decline that record.
// Choices where the real host is not pinned down (the rest as the 1.70 stand-in):
// - The host redraws the current window (EE_REDRAW) after each record the main loop
//   handled, key releases excepted; not after records of ECTL_PROCESSINPUT or
//   ECTL_READINPUT.
// - A key the frame handles redraws the window: the line copies handed out before it
//   are retired.
#include <algorithm>
#include <cstring>

#include "host3_impl.h"

#ifndef _WIN32
#include "compat_control.h"
#endif

namespace host3 {

namespace {

// Nesting of ECTL_PROCESSINPUT past which a plug-in is taken to recurse without bound.
constexpr int kMaxNesting = 64;

constexpr DWORD kCtrl = LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED;
constexpr DWORD kAlt = LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED;

// Keys the window manager or the editor frame takes before the plug-ins see them.
bool IsTakenFirst(const INPUT_RECORD& R) {
    if (R.EventType != KEY_EVENT || !R.Event.KeyEvent.bKeyDown) return false;
    const DWORD S = R.Event.KeyEvent.dwControlKeyState;
    const bool Ctrl = (S & kCtrl) != 0, Alt = (S & kAlt) != 0, Shift = (S & SHIFT_PRESSED) != 0;
    switch (R.Event.KeyEvent.wVirtualKeyCode) {
        case VK_F11:
            return !Ctrl && !Shift;  // alone: the plug-ins' menu; with Alt: the frame's history
        case VK_F12:
        case VK_F6:
            return !Ctrl && !Alt && !Shift;
        case VK_TAB:
            return Ctrl && !Alt;
        case VK_F9:
            return Alt && !Ctrl && !Shift;
        case 'W':
            return Ctrl && !Alt && !Shift;
        case VK_INSERT:
        case VK_NUMPAD0:
            return Alt && !Ctrl;
        default:
            return false;
    }
}

// The next record of the console input, or false when none waits (never blocks).
bool ReadWaiting(INPUT_RECORD& Rec) {
#ifdef _WIN32
    HANDLE In = GetStdHandle(STD_INPUT_HANDLE);
    DWORD N = 0;
    if (!GetNumberOfConsoleInputEvents(In, &N) || N == 0) return false;
    return ReadConsoleInputW(In, &Rec, 1, &N) && N == 1;
#else
    // The host's own reading is neither counted nor failed with the plug-in's calls.
    return compat::TakeConsoleInput(Rec);
#endif
}

}  // namespace

// ---- Reading ------------------------------------------------------------------

bool Host::Impl::ReadConsoleEvent(INPUT_RECORD& Rec) {
    if (!Queued.empty()) {
        Rec = Queued.front();
        Queued.pop_front();
    } else if (!ReadWaiting(Rec)) {
        return false;
    } else if (Rec.EventType == KEY_EVENT && Rec.Event.KeyEvent.wRepeatCount > 1) {
        INPUT_RECORD One = Rec;
        One.Event.KeyEvent.wRepeatCount = 1;
        Queued.insert(Queued.end(), Rec.Event.KeyEvent.wRepeatCount - 1u, One);
        Rec = One;
    }
    WakeUpsGiven = 0;
    return true;
}

intptr_t Host::Impl::ReadInput(INPUT_RECORD& Rec) {
    if (ReadConsoleEvent(Rec)) return 1;
    if (WakeUpsGiven < Self->WakeUps) {
        ++WakeUpsGiven;
        std::memset(&Rec, 0, sizeof Rec);
        return 1;
    }
    ++Self->StarvedReads;
    return 0;
}

void Host::WriteInput(const std::vector<INPUT_RECORD>& Events) {
    if (Events.empty()) return;
    DWORD Written = 0;
    WriteConsoleInputW(GetStdHandle(STD_INPUT_HANDLE), Events.data(),
                       static_cast<DWORD>(Events.size()), &Written);
}

void Host::Pump() {
    // A plug-in that keeps refilling the input must not hang a test.
    for (int Guard = 0; Guard < 1000000; ++Guard) {
        INPUT_RECORD Rec;
        if (!impl_->ReadConsoleEvent(Rec)) return;
        Feed(Rec);
    }
    Misuses.push_back("Pump: the input never ran dry");
}

void Host::Keys(const std::string& K) {
    WriteInput(host::ParseKeys(K));
    Pump();
}

void Host::Type(const std::u16string& T) {
    std::vector<INPUT_RECORD> Events;
    for (char16_t U : T) {
        INPUT_RECORD R = host::UnitPress(U);
        Events.push_back(R);
        R.Event.KeyEvent.bKeyDown = FALSE;
        Events.push_back(R);
    }
    WriteInput(Events);
    Pump();
}

intptr_t Host::Feed(const INPUT_RECORD& Event) {
    return impl_->MainLoopEvent(Event);
}

size_t Host::PendingInput() const {
    DWORD N = 0;
    if (!GetNumberOfConsoleInputEvents(GetStdHandle(STD_INPUT_HANDLE), &N)) N = 0;
    return N + impl_->Queued.size();
}

void Host::DiscardInput() {
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
    impl_->Queued.clear();
}

int Host::ProcessInputDepth() const {
    return impl_->Depth;
}

// ---- Handing records to the plug-in ---------------------------------------------

intptr_t Host::Impl::PluginInput(const INPUT_RECORD& Rec) {
    api3::ProcessEditorInputInfo Info{sizeof(api3::ProcessEditorInputInfo), Rec, nullptr};
    if (Self->OnEditorInput) return Self->OnEditorInput(Info.Rec);
    return ProcessEditorInputW ? ProcessEditorInputW(&Info) : 0;
}

intptr_t Host::Impl::MainLoopEvent(const INPUT_RECORD& Event) {
    if (Event.EventType == 0) return 0;  // a wake-up: no plug-in hears of it
    if (PanelsActive || IsTakenFirst(Event)) {
        Self->HostKeys.push_back(Event);
        return 0;
    }
    const int Frame = Current;
    const intptr_t Answer = PluginInput(Event);
    if (UndoDepth) {
        Misuse("ECTL_UNDOREDO: EUR_BEGIN left open");
        UndoDepth = 0;
    }
    if (Answer == 0) FrameKey(Frame, Event);
    const bool Release = Event.EventType == KEY_EVENT && !Event.Event.KeyEvent.bKeyDown;
    if (Window* W = Cur(); W && !Release) Redraw(*W, true);
    return Answer;
}

void Host::Impl::FrameKey(int Frame, const INPUT_RECORD& Key) {
    if (Current == Frame && Find(Frame))
        HandleKey(Key);
    else
        Self->HostKeys.push_back(Key);  // its window went while the plug-in had the key
}

intptr_t Host::Impl::ProcessInput(const INPUT_RECORD& Caller) {
    if (Depth >= kMaxNesting) {
        Misuse("ECTL_PROCESSINPUT nested too deep");
        return 0;
    }
    const int Frame = Current;
    if (Self->OnProcessInput) Self->OnProcessInput(*Self, Caller);
    const INPUT_RECORD Key = Caller;  // read once: the plug-ins get copies of it
    ++Depth;
    if (!PluginInput(Key) && (Key.EventType != MOUSE_EVENT || !PluginInput(Key)))
        FrameKey(Frame, Key);
    --Depth;
    return 1;
}

// ---- The frame's own keys -----------------------------------------------------

void Host::Impl::HandleKey(const INPUT_RECORD& Rec) {
    Self->HostKeys.push_back(Rec);
    if (Rec.EventType != KEY_EVENT) return;
    Window* W = Cur();
    if (!W) return;
    host::Settle(*W);
    const KEY_EVENT_RECORD& K = Rec.Event.KeyEvent;
    const char16_t Ch = static_cast<char16_t>(K.uChar.UnicodeChar);
    if (!K.bKeyDown) {
        if (K.wVirtualKeyCode == VK_MENU && Ch) Type(*W, std::u16string(1, Ch), false);
        return;
    }
    RetireLineCopies();
    const DWORD Mods = K.dwControlKeyState & 0x1F;
    const WORD Vk = K.wVirtualKeyCode;
    if (Mods == 0 &&
        std::find(Self->CloseKeys.begin(), Self->CloseKeys.end(), Vk) != Self->CloseKeys.end()) {
        Self->HostActions.push_back(host::HostAction::Close);
        Self->CloseWindow(W->EditorID);
        return;
    }
    if (Vk == VK_F2 && Mods == 0) {
        ++W->Saves;
        W->Modified = false;
        Self->HostActions.push_back(host::HostAction::Save);
        EditorSaveFile Esf{sizeof(EditorSaveFile), W->FileName.c_str(), W->DefaultEol.c_str(),
                           W->CodePage};
        Self->EditorEvent(api3::EE_SAVE, &Esf, W->EditorID);
        return;
    }
    if (Vk == VK_F7) {
        if (Mods == 0) Self->HostActions.push_back(host::HostAction::Search);
        if (Mods == SHIFT_PRESSED) Self->HostActions.push_back(host::HostAction::RepeatSearch);
        if ((Mods & kCtrl) && !(Mods & (kAlt | SHIFT_PRESSED)))
            Self->HostActions.push_back(host::HostAction::Replace);
        return;
    }
    constexpr DWORD AltGr = RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED;
    if ((Mods & AltGr) == AltGr) {
        if (Ch >= 32) Type(*W, std::u16string(1, Ch), false);  // a character as text
    } else if (host::IsCursorKey(Vk)) {
        if (Mods & kAlt) return;
        if (!(Mods & SHIFT_PRESSED) && !Self->PersistentBlocks) host::RemoveBlock(*W);
        host::MoveCursor(*W, Vk, (Mods & kCtrl) != 0);
    } else if (Mods & (kCtrl | kAlt)) {
        return;  // no character is typed with Ctrl or Alt
    } else if (Vk == VK_BACK) {
        host::Backspace(*W);
    } else if (Vk == VK_DELETE) {
        host::DeleteAtCursor(*W);
    } else if (Vk == VK_RETURN) {
        host::BreakLine(*W, Self->AutoIndent);
    } else if (Vk == VK_TAB || (Vk != VK_ESCAPE && Ch >= 32)) {
        Type(*W, std::u16string(1, Vk == VK_TAB ? u'\t' : Ch), false);
    }
    host::KeepCursorVisible(*W);
}

}  // namespace host3
