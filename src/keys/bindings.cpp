#include "keys/bindings.h"

#include <cstring>

#include "commands/block_marking.h"
#include "commands/block_transfer.h"
#include "commands/brackets.h"
#include "commands/indent_case.h"
#include "commands/navigation.h"
#include "commands/smart_keys.h"
#include "interactive/incremental_search.h"
#include "interactive/recorder.h"
#include "keys/dispatcher.h"
#include "keys/key_commands.h"

namespace tarvik {

// ============================================================================
// Adapters: every bound procedure seen through the one TCommand signature.
// ============================================================================

namespace {

int DoSmartBackspace(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    return SmartBackspace();
}
int DoSmartTab(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    return SmartTab();
}
int DoSmartEnter(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    return SmartEnter();
}

int DoUseHostSearch(TGlobalVars* State, INPUT_RECORD*, TCursorPos, int) {
    UseHostSearch(State);
    return 0;
}

int DoRepeatSearchShiftF7(TGlobalVars* State, INPUT_RECORD* Event, TCursorPos, int) {
    return RepeatSearchShiftF7(State, Event);
}

int DoRepeatSearchCtrlL(TGlobalVars* State, INPUT_RECORD*, TCursorPos, int) {
    RepeatSearchCtrlL(State);
    return 1;
}

int DoEnterCtrlK(TGlobalVars* State, INPUT_RECORD*, TCursorPos, int) {
    State->CtrlKPending = true;
    State->CtrlQPending = false;
    return 1;
}

int DoEnterCtrlQ(TGlobalVars* State, INPUT_RECORD*, TCursorPos, int) {
    State->CtrlQPending = true;
    State->CtrlKPending = false;
    return 1;
}

int DoPlayRecording(TGlobalVars* State, INPUT_RECORD*, TCursorPos, int) {
    if (!State->Recording) PlayRecording(State);
    return 1;
}

int DoIncrementalSearch(TGlobalVars* State, INPUT_RECORD*, TCursorPos Cursor, int) {
    IncrementalSearch(State, Cursor);
    return 1;
}

int DoSetBookmark(TGlobalVars* State, INPUT_RECORD*, TCursorPos Cursor, int Digit) {
    SetBookmark(State, Digit, Cursor);
    return 1;
}

int DoGotoBookmark(TGlobalVars* State, INPUT_RECORD*, TCursorPos, int Digit) {
    GotoBookmark(State, Digit);
    return 1;
}

int DoMarkBlockBegin(TGlobalVars* State, INPUT_RECORD*, TCursorPos Cursor, int) {
    MarkBlockBegin(State, Cursor);
    return 1;
}

int DoMarkBlockEnd(TGlobalVars* State, INPUT_RECORD*, TCursorPos Cursor, int) {
    MarkBlockEnd(State, Cursor);
    return 1;
}

int DoCopyBlock(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    CopyBlock(Cursor);
    return 1;
}

int DoMoveBlock(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    MoveBlock(Cursor);
    return 1;
}

int DoDeleteBlock(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    DeleteBlock(Cursor);
    return 1;
}

int DoDeleteToLineEnd(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    DeleteToLineEnd(Cursor);
    return 1;
}

int DoWordLower(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    ConvertWordCase(Cursor, ToLowerAscii);
    return 1;
}

int DoWordUpper(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    ConvertWordCase(Cursor, ToUpperAscii);
    return 1;
}

int DoBlockUpper(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    ConvertBlockCase(ToUpperAscii);
    return 1;
}

int DoBlockLower(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    ConvertBlockCase(ToLowerAscii);
    return 1;
}

int DoBlockToggle(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    ConvertBlockCase(ToggleCaseAscii);
    return 1;
}

int DoHideBlock(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    HideBlock();
    return 1;
}

int DoIndentBlock(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    IndentBlock(Cursor);
    return 1;
}

int DoUnindentBlock(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    UnindentBlock(Cursor);
    return 1;
}

int DoMarkLine(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    MarkLine(Cursor);
    return 1;
}

int DoMarkWord(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    MarkWord(Cursor);
    return 1;
}

int DoSaveFile(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    SaveFile();
    return 1;
}

int DoHostFind(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    HostFind();
    return 1;
}

int DoHostReplace(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) {
    HostReplace();
    return 1;
}

int DoMatchPairForward(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    MatchPairForward(Cursor);
    return 1;
}

int DoMatchPairBackward(TGlobalVars*, INPUT_RECORD*, TCursorPos Cursor, int) {
    MatchPairBackward(Cursor);
    return 1;
}

// Navigation commands take nothing; one adapter per procedure keeps rows uniform.
#define TARVIK_PLAIN_ADAPTER(Proc)                               \
    int Do##Proc(TGlobalVars*, INPUT_RECORD*, TCursorPos, int) { \
        Proc();                                                  \
        return 1;                                                \
    }
TARVIK_PLAIN_ADAPTER(GotoBlockBegin)
TARVIK_PLAIN_ADAPTER(GotoBlockEnd)
TARVIK_PLAIN_ADAPTER(GotoFileEnd)
TARVIK_PLAIN_ADAPTER(GotoLineEnd)
TARVIK_PLAIN_ADAPTER(GotoWindowTop)
TARVIK_PLAIN_ADAPTER(GotoFileStart)
TARVIK_PLAIN_ADAPTER(GotoLineStart)
TARVIK_PLAIN_ADAPTER(ScrollLineToTop)
TARVIK_PLAIN_ADAPTER(ScrollLineToBottom)
TARVIK_PLAIN_ADAPTER(GotoWindowBottom)
#undef TARVIK_PLAIN_ADAPTER

// ============================================================================
// The tables. Columns: key, Shift, steps, cursor, command, argument, name, description.
// ============================================================================

constexpr bool Cur = true;  // the command takes the cursor
constexpr bool NoCur = false;

const TBinding PlainRows[] = {
    {VK_BACK, ShiftEither, StepsDecides, NoCur, DoSmartBackspace, 0, "SmartBackspace",
     "Unindent to the indentation of an earlier line"},
    {VK_TAB, ShiftEither, StepsDecides, NoCur, DoSmartTab, 0, "SmartTab",
     "Indent to the next word start of the line above"},
    {VK_RETURN, ShiftEither, StepsDecides, NoCur, DoSmartEnter, 0, "SmartEnter",
     "Break the line and keep its indentation"},
    {VK_F7, ShiftUp, StepsOwn, NoCur, DoUseHostSearch, 0, "UseHostSearch",
     "The host's search; later repeats repeat it"},
    {VK_F7, ShiftDown, StepsOwn, NoCur, DoRepeatSearchShiftF7, 0, "RepeatSearch",
     "Repeat the last search"},
};

const TBinding CtrlRows[] = {
    {VK_DELETE, ShiftEither, StepsFull, Cur, DoDeleteBlock, 0, "DeleteBlock", "Delete the block"},
    {'K', ShiftEither, StepsPrefix, NoCur, DoEnterCtrlK, 0, "CtrlKPrefix",
     "Block, bookmark and file commands follow"},
    {'L', ShiftEither, StepsFull, NoCur, DoRepeatSearchCtrlL, 0, "RepeatSearch",
     "Repeat the last search"},
    {'P', ShiftDown, StepsNoHook, NoCur, DoPlayRecording, 0, "PlayRecording",
     "Replay the recorded keys"},
    {'Q', ShiftEither, StepsPrefix, NoCur, DoEnterCtrlQ, 0, "CtrlQPrefix",
     "Movement, bookmark and host commands follow"},
    {'R', ShiftDown, StepsPassOn, NoCur, nullptr, 0, "RecorderHook",
     "Start or stop recording keys"},
    {'S', ShiftDown, StepsFull, Cur, DoIncrementalSearch, 0, "IncrementalSearch",
     "Search as you type"},
    {VK_F7, ShiftEither, StepsOwn, NoCur, DoUseHostSearch, 0, "UseHostSearch",
     "The host's replace; later repeats repeat its search"},
};

const TBinding CtrlKRows[] = {
    {'0', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 0, "SetBookmark", "Set bookmark 0"},
    {'1', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 1, "SetBookmark", "Set bookmark 1"},
    {'2', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 2, "SetBookmark", "Set bookmark 2"},
    {'3', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 3, "SetBookmark", "Set bookmark 3"},
    {'4', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 4, "SetBookmark", "Set bookmark 4"},
    {'5', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 5, "SetBookmark", "Set bookmark 5"},
    {'6', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 6, "SetBookmark", "Set bookmark 6"},
    {'7', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 7, "SetBookmark", "Set bookmark 7"},
    {'8', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 8, "SetBookmark", "Set bookmark 8"},
    {'9', ShiftEither, StepsNoRedraw, Cur, DoSetBookmark, 9, "SetBookmark", "Set bookmark 9"},
    {'B', ShiftEither, StepsFull, Cur, DoMarkBlockBegin, 0, "MarkBlockBegin",
     "Mark the block begin"},
    {'C', ShiftEither, StepsFull, Cur, DoCopyBlock, 0, "CopyBlock", "Copy the block to the cursor"},
    {'E', ShiftEither, StepsFull, Cur, DoWordLower, 0, "ConvertWordCase", "Word to lower case"},
    {'F', ShiftEither, StepsFull, Cur, DoWordUpper, 0, "ConvertWordCase", "Word to upper case"},
    {'H', ShiftEither, StepsFull, NoCur, DoHideBlock, 0, "HideBlock", "Hide the block"},
    {'I', ShiftEither, StepsFull, Cur, DoIndentBlock, 0, "IndentBlock",
     "Indent the block by one blank"},
    {'K', ShiftEither, StepsFull, Cur, DoMarkBlockEnd, 0, "MarkBlockEnd", "Mark the block end"},
    {'L', ShiftEither, StepsFull, Cur, DoMarkLine, 0, "MarkLine", "Mark the cursor line"},
    {'N', ShiftEither, StepsFull, NoCur, DoBlockUpper, 0, "ConvertBlockCase",
     "Block to upper case"},
    {'O', ShiftEither, StepsFull, NoCur, DoBlockLower, 0, "ConvertBlockCase",
     "Block to lower case"},
    {'P', ShiftEither, StepsFull, NoCur, DoBlockToggle, 0, "ConvertBlockCase",
     "Toggle the case of the block"},
    {'S', ShiftEither, StepsFull, NoCur, DoSaveFile, 0, "SaveFile", "Save the file"},
    {'T', ShiftEither, StepsFull, Cur, DoMarkWord, 0, "MarkWord", "Mark the word at the cursor"},
    {'U', ShiftEither, StepsFull, Cur, DoUnindentBlock, 0, "UnindentBlock",
     "Unindent the block by one blank"},
    {'V', ShiftEither, StepsFull, Cur, DoMoveBlock, 0, "MoveBlock", "Move the block to the cursor"},
    {'Y', ShiftEither, StepsFull, Cur, DoDeleteBlock, 0, "DeleteBlock", "Delete the block"},
};

const TBinding CtrlQRows[] = {
    {'0', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 0, "GotoBookmark", "Go to bookmark 0"},
    {'1', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 1, "GotoBookmark", "Go to bookmark 1"},
    {'2', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 2, "GotoBookmark", "Go to bookmark 2"},
    {'3', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 3, "GotoBookmark", "Go to bookmark 3"},
    {'4', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 4, "GotoBookmark", "Go to bookmark 4"},
    {'5', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 5, "GotoBookmark", "Go to bookmark 5"},
    {'6', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 6, "GotoBookmark", "Go to bookmark 6"},
    {'7', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 7, "GotoBookmark", "Go to bookmark 7"},
    {'8', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 8, "GotoBookmark", "Go to bookmark 8"},
    {'9', ShiftEither, StepsFull, NoCur, DoGotoBookmark, 9, "GotoBookmark", "Go to bookmark 9"},
    {'A', ShiftEither, StepsFull, NoCur, DoHostReplace, 0, "HostReplace",
     "The host's replace (Ctrl+F7)"},
    {'B', ShiftEither, StepsFull, NoCur, DoGotoBlockBegin, 0, "GotoBlockBegin",
     "Go to the block begin"},
    {'C', ShiftEither, StepsFull, NoCur, DoGotoFileEnd, 0, "GotoFileEnd", "Go to the file end"},
    {'D', ShiftEither, StepsFull, NoCur, DoGotoLineEnd, 0, "GotoLineEnd", "Go to the line end"},
    {'E', ShiftEither, StepsFull, NoCur, DoGotoWindowTop, 0, "GotoWindowTop",
     "Go to the window's top line"},
    {'F', ShiftEither, StepsFull, NoCur, DoHostFind, 0, "HostFind", "The host's search (F7)"},
    {'K', ShiftEither, StepsFull, NoCur, DoGotoBlockEnd, 0, "GotoBlockEnd", "Go to the block end"},
    {'R', ShiftEither, StepsFull, NoCur, DoGotoFileStart, 0, "GotoFileStart",
     "Go to the file start"},
    {'S', ShiftEither, StepsFull, NoCur, DoGotoLineStart, 0, "GotoLineStart",
     "Go to the line start"},
    {'T', ShiftEither, StepsFull, NoCur, DoScrollLineToTop, 0, "ScrollLineToTop",
     "Scroll the cursor line to the window's top"},
    {'U', ShiftEither, StepsFull, NoCur, DoScrollLineToBottom, 0, "ScrollLineToBottom",
     "Scroll the cursor line to the window's bottom"},
    {'X', ShiftEither, StepsFull, NoCur, DoGotoWindowBottom, 0, "GotoWindowBottom",
     "Go to the window's bottom line"},
    {'Y', ShiftEither, StepsFull, Cur, DoDeleteToLineEnd, 0, "DeleteToLineEnd",
     "Delete to the line end"},
    {VK_OEM_4, ShiftEither, StepsFull, Cur, DoMatchPairForward, 0, "MatchPairForward",
     "Go to the matching closing bracket"},
    {VK_OEM_6, ShiftEither, StepsFull, Cur, DoMatchPairBackward, 0, "MatchPairBackward",
     "Go to the matching opening bracket"},
};

template <typename T, int N>
constexpr int CountOf(const T (&)[N]) {
    return N;
}

}  // namespace

const TKeyTable KeyTables[KeyTableCount] = {
    {TablePlain, "No prefix, neither Alt nor Ctrl", PlainRows, CountOf(PlainRows)},
    {TableAlt, "No prefix, Alt down: every key goes to the host", nullptr, 0},
    {TableCtrl, "No prefix, Ctrl down", CtrlRows, CountOf(CtrlRows)},
    {TableCtrlK, "After Ctrl+K", CtrlKRows, CountOf(CtrlKRows)},
    {TableCtrlQ, "After Ctrl+Q", CtrlQRows, CountOf(CtrlQRows)},
};

// ============================================================================
// Lookup
// ============================================================================

namespace {

constexpr DWORD kAltMask = RIGHT_ALT_PRESSED | LEFT_ALT_PRESSED;
constexpr DWORD kCtrlMask = RIGHT_CTRL_PRESSED | LEFT_CTRL_PRESSED;

}  // namespace

TKeyTableId ChooseKeyTable(bool CtrlKPending, bool CtrlQPending, DWORD ControlKeyState) {
    if ((ControlKeyState & (kAltMask | kCtrlMask)) == 0 && !CtrlKPending && !CtrlQPending)
        return TablePlain;
    if (ControlKeyState & kAltMask) return TableAlt;
    if (CtrlKPending) return TableCtrlK;
    if (CtrlQPending) return TableCtrlQ;
    return TableCtrl;
}

const TBinding* FindBinding(TKeyTableId Table, WORD Key, DWORD ControlKeyState) {
    if (Table >= KeyTableCount) return nullptr;
    const TKeyTable& table = KeyTables[Table];
    const bool shift = (ControlKeyState & SHIFT_PRESSED) != 0;
    for (int i = 0; i < table.Count; ++i) {
        const TBinding& row = table.Rows[i];
        if (row.Key != Key) continue;
        if (row.Shift == ShiftUp && shift) continue;
        if (row.Shift == ShiftDown && !shift) continue;
        return &row;
    }
    return nullptr;
}

// ============================================================================
// Names for the key map
// ============================================================================

namespace {

// Appends Text to the string in Buffer as far as Size bytes with the NUL allow.
// (No printf here: it would bring a whole formatting engine into the DLL.)
void AppendText(char* Buffer, int Size, const char* Text) {
    int used = static_cast<int>(strlen(Buffer));
    while (*Text && used + 1 < Size) Buffer[used++] = *Text++;
    Buffer[used] = 0;
}

}  // namespace

void FormatKeyName(WORD Key, char* Buffer, int Size) {
    if (!Buffer || Size <= 0) return;
    Buffer[0] = 0;
    struct TKeyName {
        WORD Key;
        const char* Name;
    };
    static const TKeyName names[] = {
        {VK_BACK, "Backspace"}, {VK_TAB, "Tab"},     {VK_RETURN, "Enter"},
        {VK_ESCAPE, "Esc"},     {VK_SPACE, "Space"}, {VK_DELETE, "Del"},
        {VK_INSERT, "Ins"},     {VK_OEM_4, "["},     {VK_OEM_6, "]"},
    };
    for (const TKeyName& name : names) {
        if (name.Key == Key) {
            AppendText(Buffer, Size, name.Name);
            return;
        }
    }
    char text[8] = {};
    int n = 0;
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z')) {
        text[n++] = static_cast<char>(Key);
    } else if (Key >= VK_F1 && Key <= VK_F12) {
        const int number = Key - VK_F1 + 1;
        text[n++] = 'F';
        if (number >= 10) text[n++] = '1';
        text[n++] = static_cast<char>('0' + number % 10);
    } else {
        // Hexadecimal with at least two digits, as "0x%02X" writes it.
        static const char digits[] = "0123456789ABCDEF";
        const int count = Key > 0xFFF ? 4 : Key > 0xFF ? 3 : 2;
        text[n++] = '0';
        text[n++] = 'x';
        for (int shift = 4 * (count - 1); shift >= 0; shift -= 4)
            text[n++] = digits[(Key >> shift) & 0xF];
    }
    text[n] = 0;
    AppendText(Buffer, Size, text);
}

void FormatBindingKey(TKeyTableId Table, const TBinding& Row, char* Buffer, int Size) {
    if (!Buffer || Size <= 0) return;
    char key[16];
    FormatKeyName(Row.Key, key, sizeof key);
    const char* shift = Row.Shift == ShiftDown ? "Shift+" : "";
    const char* lead = "";
    switch (Table) {
        case TablePlain:
            lead = "";
            break;
        case TableAlt:
            lead = "Alt+";
            break;
        case TableCtrl:
            lead = "Ctrl+";
            break;
        case TableCtrlK:
            lead = "Ctrl+K ";
            break;
        case TableCtrlQ:
            lead = "Ctrl+Q ";
            break;
        default:
            break;
    }
    Buffer[0] = 0;
    AppendText(Buffer, Size, lead);
    AppendText(Buffer, Size, shift);
    AppendText(Buffer, Size, key);
}

}  // namespace tarvik
