// The host's input: each event its main loop reads, the two input calls of
// EditorControl, and the file-editor frame's own small key handling.
//
// Choices where the real host's behaviour is not pinned down:
// - ECTL_PROCESSINPUT works out the key after the plug-ins' call, from the caller's
//   record as they left it: the real host computes the key code there after the call.
// - The frame's second call (every declined record with SecondInputCall, a declined
//   mouse record always) gets the host's own last record of the main loop, the very
//   one the plug-in got from it; ECTL_READINPUT does not change that record, and an
//   idle record stands in before the first. When the second call answers nonzero
//   the frame does nothing more with the key.
// - F11, F12, Ctrl+Tab, Ctrl+Shift+Tab, Alt+F9 and Ctrl+W presses go to the window
//   manager: logged in HostKeys, nothing else; their releases reach the plug-in as
//   other releases do. Handed over by ECTL_PROCESSINPUT they are ordinary keys.
// - The idle records of ECTL_READINPUT start again after any real event is read.
// - While the panels are active the main loop's events are logged in HostKeys and
//   go nowhere else.
// - A key press the frame handles redraws the window: the line copies handed out
//   before it are retired.
// - Enter, Backspace and Delete leave the block alone whatever "persistent blocks"
//   says; only typed characters replace the cursor line's selected part.
// - The cursor keys with Shift move without touching the selection (the stand-in
//   makes no selection of its own); with Alt they do nothing.
// - The cursor keys move as text_model.h's MoveCursor says.
// - AltGr is a key with both right Alt and left Ctrl; other keys with Ctrl or Alt
//   type nothing.
#include <algorithm>

#include "host_impl.h"

namespace host {

namespace {

// Nesting of ECTL_PROCESSINPUT past which a plug-in is taken to recurse without bound.
constexpr int kMaxNesting = 64;

// Keys the window manager takes before the editor (and its plug-ins) see them.
bool IsWindowManagerKey(const INPUT_RECORD& R) {
    if (R.EventType != KEY_EVENT || !R.Event.KeyEvent.bKeyDown) return false;
    const DWORD S = R.Event.KeyEvent.dwControlKeyState;
    const bool Ctrl = (S & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
    const bool Alt = (S & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
    const bool Shift = (S & SHIFT_PRESSED) != 0;
    switch (R.Event.KeyEvent.wVirtualKeyCode) {
        case VK_F11:
        case VK_F12:
            return !Ctrl && !Alt && !Shift;
        case VK_TAB:
            return Ctrl && !Alt;
        case VK_F9:
            return Alt && !Ctrl && !Shift;
        case 'W':
            return Ctrl && !Alt && !Shift;
        default:
            return false;
    }
}

}  // namespace

// ---- Reading ------------------------------------------------------------------

bool Host::Impl::ReadConsoleEvent(INPUT_RECORD& Rec) {
    if (!ReadWaitingInput(Rec)) return false;
    IdleServed = 0;
    return true;
}

int Host::Impl::ReadInput(INPUT_RECORD& Rec) {
    if (ReadConsoleEvent(Rec)) return 1;
    // The real host waits and hands out an idle record about once a second; a test
    // cannot wait, so a few idle records come and then the call gives up.
    if (IdleServed >= Self->IdleReads) return 0;
    ++IdleServed;
    Rec = IdleRecord();
    return 1;
}

// ---- Handing events to the plug-in ----------------------------------------------

int Host::Impl::OwnInput(INPUT_RECORD* Rec) {
    if (Self->OnEditorInput) return Self->OnEditorInput(*Rec);
    return ProcessEditorInput ? ProcessEditorInput(Rec) : 0;
}

int Host::Impl::MainLoopEvent(const INPUT_RECORD& Event) {
    LastInput = Event;
    // The key is worked out before the plug-in sees the record, which it may change.
    const INPUT_RECORD Key = Event;
    if (PanelsActive || IsWindowManagerKey(Key)) {
        Self->HostKeys.push_back(Key);
        return 0;
    }
    const int Frame = Current;
    const int Answer = PluginInput(&LastInput);
    if (Answer == 0) FrameKey(Frame, Key);
    return Answer;
}

void Host::Impl::FrameKey(int Frame, const INPUT_RECORD& Key) {
    if (Current == Frame && Find(Frame))
        HandleKey(Key);
    else
        Self->HostKeys.push_back(Key);  // its window went while the plug-in had the key
}

int Host::Impl::ProcessInput(INPUT_RECORD* Rec) {
    if (Depth >= kMaxNesting) {
        Misuse("ECTL_PROCESSINPUT nested too deep");
        return 0;
    }
    const int Frame = Current;
    if (Self->OnProcessInput) Self->OnProcessInput(*Self, *Rec);
    ++Depth;
    if (!PluginInput(Rec)) {
        const INPUT_RECORD Key = *Rec;
        const bool Again = Key.EventType == MOUSE_EVENT || Self->SecondInputCall;
        if (!Again || !PluginInput(&LastInput)) FrameKey(Frame, Key);
    }
    --Depth;
    return 1;
}

// ---- The frame's own keys -----------------------------------------------------

void Host::Impl::HandleKey(const INPUT_RECORD& Rec) {
    Self->HostKeys.push_back(Rec);
    if (Rec.EventType != KEY_EVENT || !Rec.Event.KeyEvent.bKeyDown) return;
    Window* W = Cur();
    if (!W) return;
    Settle(*W);
    RetireLineCopies();
    const KEY_EVENT_RECORD& K = Rec.Event.KeyEvent;
    const DWORD Mods = K.dwControlKeyState & 0x1F;
    const WORD Vk = K.wVirtualKeyCode;
    if (Mods == 0 &&
        std::find(Self->CloseKeys.begin(), Self->CloseKeys.end(), Vk) != Self->CloseKeys.end()) {
        Self->HostActions.push_back(HostAction::Close);
        Self->CloseWindow(W->EditorID);
        return;
    }
    if (Vk == VK_F2 && Mods == 0) {
        ++W->Saves;
        W->Modified = false;
        Self->HostActions.push_back(HostAction::Save);
        Self->EditorEvent(EE_SAVE, nullptr);
        return;
    }
    if (Vk == VK_F7) {
        if (Mods == 0) Self->HostActions.push_back(HostAction::Search);
        if (Mods == SHIFT_PRESSED) Self->HostActions.push_back(HostAction::RepeatSearch);
        if ((Mods & 0x0C) && !(Mods & 0x13)) Self->HostActions.push_back(HostAction::Replace);
        return;
    }
    const unsigned char Ch = static_cast<unsigned char>(K.uChar.AsciiChar);
    constexpr DWORD AltGr = RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED;
    if ((Mods & AltGr) == AltGr) {
        if (Ch >= 32) Type(*W, std::string(1, static_cast<char>(Ch)));  // a character as text
    } else if (IsCursorKey(Vk)) {
        if (Mods & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) return;
        if (!(Mods & SHIFT_PRESSED) && !Self->PersistentBlocks) RemoveBlock(*W);
        MoveCursor(*W, Vk, (Mods & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0);
    } else if (Mods & 0x0F) {
        return;  // no character is typed with Ctrl or Alt
    } else if (Vk == VK_BACK) {
        Backspace(*W);
    } else if (Vk == VK_DELETE) {
        DeleteAtCursor(*W);
    } else if (Vk == VK_RETURN) {
        BreakLine(*W);
    } else if (Vk == VK_TAB || (Vk != VK_ESCAPE && Ch >= 32)) {
        Type(*W, std::string(1, Vk == VK_TAB ? '\t' : static_cast<char>(Ch)));
    }
    KeepCursorVisible(*W);
}

}  // namespace host
