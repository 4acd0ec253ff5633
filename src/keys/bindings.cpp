#include "keys/bindings.h"

#include "commands/block_marking.h"
#include "commands/block_transfer.h"
#include "commands/brackets.h"
#include "commands/indent_case.h"
#include "commands/navigation.h"
#include "commands/smart_keys.h"
#include "ground/key_event.h"
#include "interactive/incremental_search.h"
#include "interactive/recorder.h"
#include "keys/key_commands.h"

namespace tarvik {

namespace {

// ============================================================================
// The tables. Columns: key, Shift, steps, argument kind, procedure, value, name,
// description.
// ============================================================================

// Two lines a binding, the first one's columns aligned.
// clang-format off
const TBinding PlainRows[] = {
    {VK_BACK,   ShiftEither, StepsDecides, ArgDecides,    {.Decides = SmartBackspace},
     0, "SmartBackspace", "Unindent to the indentation of an earlier line"},
    {VK_TAB,    ShiftEither, StepsDecides, ArgDecides,    {.Decides = SmartTab},
     0, "SmartTab", "Indent to the next word start of the line above"},
    {VK_RETURN, ShiftEither, StepsDecides, ArgDecides,    {.Decides = SmartEnter},
     0, "SmartEnter", "Break the line and keep its indentation"},
    {VK_F7,     ShiftUp,     StepsOwn,     ArgState,      {.State = UseHostSearch},
     0, "UseHostSearch", "The host's search; later repeats repeat it"},
    {VK_F7,     ShiftDown,   StepsOwn,     ArgStateEvent, {.StateEvent = RepeatSearchShiftF7},
     0, "RepeatSearchShiftF7", "Repeat the last search"},
};

const TBinding CtrlRows[] = {
    {VK_DELETE, ShiftEither, StepsFull,   ArgCursor,      {.Cursor = DeleteBlock},
     0, "DeleteBlock", "Delete the block"},
    {'K',       ShiftEither, StepsPrefix, ArgState,       {.State = EnterCtrlKPrefix},
     0, "EnterCtrlKPrefix", "Block, bookmark and file commands follow"},
    {'L',       ShiftEither, StepsFull,   ArgState,       {.State = RepeatSearchCtrlL},
     0, "RepeatSearchCtrlL", "Repeat the last search"},
    {'P',       ShiftDown,   StepsNoHook, ArgState,       {.State = PlayRecording},
     0, "PlayRecording", "Replay the recorded keys"},
    {'Q',       ShiftEither, StepsPrefix, ArgState,       {.State = EnterCtrlQPrefix},
     0, "EnterCtrlQPrefix", "Movement, bookmark and host commands follow"},
    {'R',       ShiftDown,   StepsPassOn, ArgNone,        {},
     0, "RecorderHook", "Start or stop recording keys"},
    {'S',       ShiftDown,   StepsFull,   ArgStateCursor, {.StateCursor = IncrementalSearch},
     0, "IncrementalSearch", "Search as you type"},
    {VK_F7,     ShiftEither, StepsOwn,    ArgState,       {.State = UseHostSearch},
     0, "UseHostSearch", "The host's replace; later repeats repeat its search"},
};

const TBinding CtrlKRows[] = {
    {'0', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     0, "SetBookmark", "Set bookmark 0"},
    {'1', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     1, "SetBookmark", "Set bookmark 1"},
    {'2', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     2, "SetBookmark", "Set bookmark 2"},
    {'3', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     3, "SetBookmark", "Set bookmark 3"},
    {'4', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     4, "SetBookmark", "Set bookmark 4"},
    {'5', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     5, "SetBookmark", "Set bookmark 5"},
    {'6', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     6, "SetBookmark", "Set bookmark 6"},
    {'7', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     7, "SetBookmark", "Set bookmark 7"},
    {'8', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     8, "SetBookmark", "Set bookmark 8"},
    {'9', ShiftEither, StepsNoRedraw, ArgStateCursorValue, {.StateCursorValue = SetBookmark},
     9, "SetBookmark", "Set bookmark 9"},
    {'B', ShiftEither, StepsFull,     ArgStateCursor,      {.StateCursor = MarkBlockBegin},
     0, "MarkBlockBegin", "Mark the block begin"},
    {'C', ShiftEither, StepsFull,     ArgCursor,           {.Cursor = CopyBlock},
     0, "CopyBlock", "Copy the block to the cursor"},
    {'E', ShiftEither, StepsFull,     ArgCursorCase,       {.CursorCase = ConvertWordCase},
     CaseLower, "ConvertWordCase", "Word to lower case"},
    {'F', ShiftEither, StepsFull,     ArgCursorCase,       {.CursorCase = ConvertWordCase},
     CaseUpper, "ConvertWordCase", "Word to upper case"},
    {'H', ShiftEither, StepsFull,     ArgNothing,          {.Nothing = HideBlock},
     0, "HideBlock", "Hide the block"},
    {'I', ShiftEither, StepsFull,     ArgCursor,           {.Cursor = IndentBlock},
     0, "IndentBlock", "Indent the block by one blank"},
    {'K', ShiftEither, StepsFull,     ArgStateCursor,      {.StateCursor = MarkBlockEnd},
     0, "MarkBlockEnd", "Mark the block end"},
    {'L', ShiftEither, StepsFull,     ArgCursor,           {.Cursor = MarkLine},
     0, "MarkLine", "Mark the cursor line"},
    {'N', ShiftEither, StepsFull,     ArgCase,             {.Case = ConvertBlockCase},
     CaseUpper, "ConvertBlockCase", "Block to upper case"},
    {'O', ShiftEither, StepsFull,     ArgCase,             {.Case = ConvertBlockCase},
     CaseLower, "ConvertBlockCase", "Block to lower case"},
    {'P', ShiftEither, StepsFull,     ArgCase,             {.Case = ConvertBlockCase},
     CaseToggle, "ConvertBlockCase", "Toggle the case of the block"},
    {'S', ShiftEither, StepsFull,     ArgNothing,          {.Nothing = SaveFile},
     0, "SaveFile", "Save the file"},
    {'T', ShiftEither, StepsFull,     ArgCursor,           {.Cursor = MarkWord},
     0, "MarkWord", "Mark the word at the cursor"},
    {'U', ShiftEither, StepsFull,     ArgCursor,           {.Cursor = UnindentBlock},
     0, "UnindentBlock", "Unindent the block by one blank"},
    {'V', ShiftEither, StepsFull,     ArgCursor,           {.Cursor = MoveBlock},
     0, "MoveBlock", "Move the block to the cursor"},
    {'Y', ShiftEither, StepsFull,     ArgCursor,           {.Cursor = DeleteBlock},
     0, "DeleteBlock", "Delete the block"},
};

const TBinding CtrlQRows[] = {
    {'0',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     0, "GotoBookmark", "Go to bookmark 0"},
    {'1',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     1, "GotoBookmark", "Go to bookmark 1"},
    {'2',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     2, "GotoBookmark", "Go to bookmark 2"},
    {'3',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     3, "GotoBookmark", "Go to bookmark 3"},
    {'4',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     4, "GotoBookmark", "Go to bookmark 4"},
    {'5',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     5, "GotoBookmark", "Go to bookmark 5"},
    {'6',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     6, "GotoBookmark", "Go to bookmark 6"},
    {'7',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     7, "GotoBookmark", "Go to bookmark 7"},
    {'8',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     8, "GotoBookmark", "Go to bookmark 8"},
    {'9',      ShiftEither, StepsFull, ArgStateValue, {.StateValue = GotoBookmark},
     9, "GotoBookmark", "Go to bookmark 9"},
    {'A',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = HostReplace},
     0, "HostReplace", "The host's replace (Ctrl+F7)"},
    {'B',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = GotoBlockBegin},
     0, "GotoBlockBegin", "Go to the block begin"},
    {'C',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = GotoFileEnd},
     0, "GotoFileEnd", "Go to the file end"},
    {'D',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = GotoLineEnd},
     0, "GotoLineEnd", "Go to the line end"},
    {'E',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = GotoWindowTop},
     0, "GotoWindowTop", "Go to the window's top line"},
    {'F',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = HostFind},
     0, "HostFind", "The host's search (F7)"},
    {'K',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = GotoBlockEnd},
     0, "GotoBlockEnd", "Go to the block end"},
    {'R',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = GotoFileStart},
     0, "GotoFileStart", "Go to the file start"},
    {'S',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = GotoLineStart},
     0, "GotoLineStart", "Go to the line start"},
    {'T',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = ScrollLineToTop},
     0, "ScrollLineToTop", "Scroll the cursor line to the window's top"},
    {'U',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = ScrollLineToBottom},
     0, "ScrollLineToBottom", "Scroll the cursor line to the window's bottom"},
    {'X',      ShiftEither, StepsFull, ArgNothing,    {.Nothing = GotoWindowBottom},
     0, "GotoWindowBottom", "Go to the window's bottom line"},
    {'Y',      ShiftEither, StepsFull, ArgCursor,     {.Cursor = DeleteToLineEnd},
     0, "DeleteToLineEnd", "Delete to the line end"},
    {VK_OEM_4, ShiftEither, StepsFull, ArgCursor,     {.Cursor = MatchPairForward},
     0, "MatchPairForward", "Go to the matching closing bracket"},
    {VK_OEM_6, ShiftEither, StepsFull, ArgCursor,     {.Cursor = MatchPairBackward},
     0, "MatchPairBackward", "Go to the matching opening bracket"},
};
// clang-format on

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

bool TakesCursor(TArgKind Arg) {
    return Arg == ArgCursor || Arg == ArgCursorCase || Arg == ArgStateCursor ||
           Arg == ArgStateCursorValue;
}

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
    const bool shift = (ControlKeyState & kShiftMask) != 0;
    for (int i = 0; i < table.Count; ++i) {
        const TBinding& row = table.Rows[i];
        if (row.Key != Key) continue;
        if (row.Shift == ShiftUp && shift) continue;
        if (row.Shift == ShiftDown && !shift) continue;
        return &row;
    }
    return nullptr;
}

}  // namespace tarvik
