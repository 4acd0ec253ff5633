// The stand-in host editor: an in-memory editor with the services of the host's
// 1.70 plug-in interface. It loads the plug-in module by its five exported names
// (dlopen natively, LoadLibraryA on Windows), hands it a PluginStartupInfo with
// its own services, and drives it the way the real host does: editor events,
// the plug-in menu, and every input event read from the console input buffer.
//
// One Host exists at a time (the services are plain function pointers).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ground/host170/host_api.h"
#include "keys.h"
#include "text_model.h"

namespace host {

// ---- Text ---------------------------------------------------------------------

// A line of bytes (NUL allowed) with its line end: "\r\n", "\n", "\r" or "" (none).
using Line = BasicLine<char>;

struct Window : BasicWindow<char> {
    int AnsiMode = 0;
    // Option: -1 shows the text in the OEM code page; any other number shows it in the
    // host's one other table (KOI8-R), and each typed byte is converted into it first.
    int TableNum = -1;
};

// Splits text at "\r\n", "\n" and a lone "\r", as the host reads a file; each line keeps
// its own end, the last may have none.
std::vector<Line> SplitLines(const std::string& Text);

// ---- Host -------------------------------------------------------------------------

enum class Service {
    EditorControl,
    Text,
    SaveScreen,
    RestoreScreen,
    GetMsg,
    Message,
    CharTable,
    Count
};

struct MessageBox {
    unsigned Flags;
    std::vector<std::string> Items;
    int ButtonsNumber;
};

class Host {
public:
    Host();
    ~Host();  // closes every window (EE_CLOSE) and unloads the plug-in
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The one live host, for the service callbacks.
    static Host* Current();

    // ---- Plug-in module
    static std::string DefaultPluginPath();  // the built Tarvik module next to the tests
    bool LoadPlugin(const std::string& Path = DefaultPluginPath());
    void UnloadPlugin();
    bool PluginLoaded() const;
    // Calls SetStartupInfo. StructSize 0 gives the host's full record size.
    void StartPlugin(int StructSize = 0);
    // The record handed to SetStartupInfo (filled from construction on, so tests
    // can call the services as the plug-in does even with no plug-in loaded).
    const PluginStartupInfo& StartupInfo() const;
    // Registry path handed over as RootKey (below HKEY_CURRENT_USER); unique per Host.
    const std::string& RootKey() const;
    std::string SettingsKey() const;   // RootKey\Tarvik
    std::string FileTypesKey() const;  // RootKey\Tarvik\File Types

    // ---- Entry points (direct calls, counted nowhere)
    std::vector<std::string> MenuItems();  // GetPluginInfo's PluginMenuStrings
    PluginInfo GetPluginInfo();            // the raw record as filled
    HANDLE OpenPlugin(int OpenFrom = OPEN_EDITOR, int Item = 0);
    void PickMenu() { OpenPlugin(OPEN_EDITOR, 0); }
    int EditorEvent(int Event, void* Param);
    int ProcessEditorInput(INPUT_RECORD& Rec);  // the plug-in's answer only (or OnEditorInput's)

    // ---- Windows
    // Opens a window on Text (split by SplitLines), makes it current and sends EE_READ
    // (unless SendRead is false). Returns the EditorID.
    int OpenWindow(const std::string& FileName, const std::string& Text, bool SendRead = true);
    void CloseWindow(int EditorID);  // EE_CLOSE, then the window goes
    void SwitchTo(int EditorID);
    bool HasWindow(int EditorID) const;
    int WindowCount() const;
    Window& Win();  // the current window
    Window& Win(int EditorID);
    std::string Text() const;  // the current window's text, with line ends
    std::vector<std::string> LineTexts() const;
    // A host without any editor: every EditorControl command fails (ECTL_GETINFO
    // returns 0), whatever windows the test keeps open.
    void SetNoCurrentEditor(bool None);
    // The panels are the active window and the editors wait behind them. The plug-in's
    // calls still reach the last editor drawn (the current window), so ECTL_GETINFO
    // succeeds with its data, as in the real host; the main loop's events go to the
    // panels and never reach the plug-in. OpenWindow and SwitchTo end it.
    void SetPanelsActive(bool Active);

    // ---- Cursor and selection of the current window, set directly (no counting)
    void SetCursor(int Line, int Pos);
    // Same meaning as ECTL_SELECT with BTYPE_STREAM.
    void SelectStream(int StartLine, int StartPos, int Width, int Height);
    void SelectColumn(int StartLine, int StartPos, int Width, int Height);
    void ClearSelection();
    // "[line:pos-line:pos)" style summary, or "none": first to last selected column.
    std::string SelectionString() const;

    // ---- Input
    // Writes events into the console input buffer (behind what waits there).
    void WriteInput(const std::vector<INPUT_RECORD>& Events);
    // Reads and handles every waiting event, as the host's main loop does.
    void Pump();
    // ParseKeys + WriteInput + Pump.
    void Keys(const std::string& Keys);
    // Types each byte of Text as a character key, then pumps.
    void Type(const std::string& Text);
    // Handles one event as the main loop does: the host works out the key, hands the
    // plug-in the host's own record of the event (its last record read), and on 0 acts
    // on the key it worked out; returns the plug-in's answer.
    int Feed(INPUT_RECORD Event);
    size_t PendingInput() const;  // events waiting in the console input
    std::vector<INPUT_RECORD> PeekInput() const;
    void DiscardInput();

    // Every event the host's own handling received, releases included, in order, as
    // the host worked it out (changes the plug-in made to the record do not show).
    std::vector<INPUT_RECORD> HostKeys;
    std::vector<HostAction> HostActions;
    // Called at the start of every ECTL_PROCESSINPUT, before the nested dispatch;
    // tests close windows from here.
    std::function<void(Host&, const INPUT_RECORD&)> OnProcessInput;
    // When set, stands in for the plug-in's ProcessEditorInput, with the record the
    // host hands over (host tests without a plug-in).
    std::function<int(INPUT_RECORD&)> OnEditorInput;
    // Another plug-in beside the loaded one, known by its module's file name, with its
    // ProcessEditorInput. The host offers each event to the plug-ins in the order of
    // their file names compared without case, the loaded module (or OnEditorInput) by
    // its own file name; the first nonzero answer ends the chain.
    void AddPlugin(const std::string& FileName, std::function<int(INPUT_RECORD&)> Input);
    // Nesting depth of ECTL_PROCESSINPUT right now; past 64 the call fails as a misuse.
    int ProcessInputDepth() const;

    // ---- Options (each default is the real host's)
    // The editor setting "persistent blocks". Off, typing a character (and
    // ECTL_INSERTTEXT) first deletes the selected part of the cursor line, and the
    // host's own cursor keys (arrows, Home, End, PgUp, PgDn, with or without Ctrl)
    // remove the selection before they move; a plug-in's ECTL_SETPOSITION does not.
    bool PersistentBlocks = false;
    // The editor setting "expand tabs". NewTabs: a typed Tab (and a tab byte of
    // ECTL_INSERTTEXT) inserts blanks up to the next tab stop. AllTabs: no line ever
    // holds a tab; besides typed ones, the host expands the tabs of a text it opens, of
    // ECTL_SETSTRING's text, and of every line of every window when the option is
    // switched on.
    using Expand = ExpandMode;
    void SetExpandTabs(Expand Mode);
    Expand ExpandTabs() const;
    // The builds of 2003 and 2004: after the plug-ins declined a key handed over by
    // ECTL_PROCESSINPUT, the file-editor frame called ProcessEditorInput a second time
    // with the last record the main loop read, not the caller's. Off (the final 1.70),
    // only a declined mouse record gets that second call.
    bool SecondInputCall = false;
    // ECTL_READINPUT on an empty console input: idle records handed out before it
    // returns 0 (the real host waits, with an idle record about once a second).
    int IdleReads = 3;
    // Pump hands the plug-in one idle record each time the input runs dry, as the real
    // host's main loop does about once a second. Off, so that the host calls counted
    // around a key are the key's own.
    bool IdleWhenDry = false;

    // ---- Screen (the console screen buffer)
    int ScreenWidth() const;
    int ScreenHeight() const;
    std::string ScreenLine(int Y) const;
    WORD ScreenAttr(int X, int Y) const;
    void DrawKeyBar();         // the bottom line's key bar: digit cells 0x07, titles 0x30
    int SavedScreens() const;  // SaveScreen handles not yet restored

    // ---- Messages and language
    std::vector<MessageBox> Messages;
    bool SetLanguage(const std::string& Suffix);        // "Eng" (default) or "Rus"
    void OverrideMsg(int Id, const std::string& Text);  // what GetMsg answers for Id
    std::string Msg(int Id) const;                      // the loaded text

    // ---- Counting and faults
    int Calls(Service S) const;
    int EctlCalls(int Command) const;
    int TotalCalls() const;
    void ResetCounters();
    // Every service call from the Nth on (1 = the next call) fails.
    void FailFrom(int Nth);
    // Only the Nth service call (1 = the next call) fails.
    void FailNth(int Nth);
    // Every EditorControl call with this command fails.
    void FailCommand(int Command, bool Fail = true);
    void FailService(Service S, bool Fail = true);
    // Every EditorControl call with this command raises an access violation inside
    // the host, as a broken host would. Windows only: natively nothing would catch
    // it, and there is no definition.
    void FaultCommand(int Command, bool Fault = true);
    void ClearFaults();

    // ---- Registry, through the Win32 calls (the stand-in natively, Wine's registry there)
    bool RegWrite(const std::string& Key, const std::string& Name, DWORD Type,
                  const std::vector<BYTE>& Data);
    bool RegWriteDword(const std::string& Key, const std::string& Name, DWORD Value);
    bool RegRead(const std::string& Key, const std::string& Name, DWORD& Type,
                 std::vector<BYTE>& Data) const;
    bool RegKeyExists(const std::string& Key) const;

    // Keys the host handles by closing the current window (F10 by default).
    std::vector<WORD> CloseKeys;

    // True while P is a line copy handed out by ECTL_GETSTRING and not yet retired by a
    // change or a redraw.
    bool LineCopyLive(const char* P) const;

    // Calls the plug-in made that the host's interface does not allow (a wrong
    // plug-in number, an unused service slot, an unknown screen handle, ...).
    std::vector<std::string> Misuses;
    // Text calls with a null string (flushes).
    int Flushes = 0;

    struct Impl;
    Impl* impl() { return impl_; }

private:
    Impl* impl_;
};

#ifdef _WIN32
// The calling thread's information block (Windows only). Its ExceptionList is the
// thread's chain of frame-based exception handler records.
NT_TIB* ThreadInfoBlock();
#endif

}  // namespace host
