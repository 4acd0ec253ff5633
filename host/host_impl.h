// The stand-in host's inner state, shared by its source files.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host.h"
#include "ledger.h"

namespace host {

// The host's own startup record: the plug-in's view of it comes first, then
// fields of the host's longer record that the plug-in never reads.
struct HostStartupInfo {
    PluginStartupInfo Psi;
    FARAPIUNUSED AdvControl;
    FARAPIUNUSED InputBox;
    FARAPIUNUSED DialogEx;
    FARAPIUNUSED SendDlgMessage;
    FARAPIUNUSED DefDlgProc;
    DWORD Reserved;
    FARAPIUNUSED ViewerControl;
    void* FSF;
};

// A line's bytes as handed out by ECTL_GETSTRING, NUL-terminated.
struct LineCopy {
    std::unique_ptr<char[]> Bytes;
    size_t Size = 0;
};

// A rectangle of the screen kept by SaveScreen.
struct SavedScreen {
    int X1, Y1, X2, Y2;
    std::vector<std::string> Chars;  // one row per entry
    std::vector<std::vector<WORD>> Attrs;
};

struct Host::Impl {
    Host* Self = nullptr;

    // ---- The module and its exports
    void* Module = nullptr;
    std::string ModulePath;
    TSetStartupInfo SetStartupInfo = nullptr;
    TGetPluginInfo GetPluginInfo = nullptr;
    TOpenPlugin OpenPlugin = nullptr;
    TProcessEditorEvent ProcessEditorEvent = nullptr;
    TProcessEditorInput ProcessEditorInput = nullptr;
    HostStartupInfo Startup{};
    std::string RootKey;

    // ---- Windows; Current is 0 when none is open
    std::vector<std::unique_ptr<Window>> Windows;
    int Current = 0;
    int NextEditorId = 1;
    bool NoCurrentEditor = false;
    bool PanelsActive = false;
    // Line copies handed out by ECTL_GETSTRING; freed at the next change or redraw.
    std::map<std::pair<int, int>, LineCopy> LineCopies;  // by (EditorID, line)
    std::vector<std::unique_ptr<char[]>> RetiredCopies;

    // ---- Options kept by the host
    Host::Expand ExpandTabs = Host::Expand::None;

    // ---- Other plug-ins, in the order the host calls them (file names without case)
    struct OtherPlugin {
        std::string FileName;
        std::function<int(INPUT_RECORD&)> Input;
    };
    std::vector<OtherPlugin> Others;

    // ---- Input
    int Depth = 0;  // ECTL_PROCESSINPUT nesting
    // The last record the main loop read; the plug-in gets this very record.
    INPUT_RECORD LastInput = IdleRecord();
    int IdleServed = 0;  // idle records ECTL_READINPUT gave since the input ran dry

    // ---- Language
    std::vector<std::string> Messages;
    std::string Language = "Eng";
    std::map<int, std::string> Overrides;

    // ---- Screen
    std::set<SavedScreen*> Saved;

    // ---- Counting and faults
    CallLedger Ledger{static_cast<int>(Service::Count), static_cast<int>(Service::EditorControl)};

    // Counts one service call; true when it is to fail. A command set to fault
    // raises its access violation here.
    bool Enter(Service S, int Command = -1) { return Ledger.Enter(static_cast<int>(S), Command); }
    void Misuse(const std::string& What) { Self->Misuses.push_back(What); }

    Window* Find(int EditorID) const;
    Window* Cur() const { return NoCurrentEditor ? nullptr : Find(Current); }
    // Frees every handed-out line copy: the text changes or the screen is redrawn now.
    void RetireLineCopies() {
        LineCopies.clear();
        RetiredCopies.clear();
    }

    // ---- Editing (editor.cpp)
    int EditorControl(int Command, void* Param);
    // Feeds Bytes to the host's typing one at a time, as typed keys (ECTL_INSERTTEXT
    // and the host's own character keys); false when the cursor lies too far out.
    bool Type(Window& W, const std::string& Bytes);

    // ---- Input (input.cpp)
    // The next console event for the host itself; a real event ends the idle spell.
    bool ReadConsoleEvent(INPUT_RECORD& Rec);
    int ReadInput(INPUT_RECORD& Rec);              // ECTL_READINPUT
    int ProcessInput(INPUT_RECORD* Rec);           // ECTL_PROCESSINPUT
    int MainLoopEvent(const INPUT_RECORD& Event);  // one event read by the main loop
    int PluginInput(INPUT_RECORD* Rec);            // every plug-in's, in the host's order
    int OwnInput(INPUT_RECORD* Rec);               // the loaded plug-in's (or OnEditorInput)
    std::string ModuleFileName() const;            // the loaded plug-in's file name
    // The file-editor frame's handling of a key the plug-in declined.
    void HandleKey(const INPUT_RECORD& Rec);
    // HandleKey while Frame (the window current when the key came) is still current.
    void FrameKey(int Frame, const INPUT_RECORD& Key);
    void LoadLanguage(const std::string& Suffix);
    // Fills Startup as the host hands it over; StructSize 0 gives the full size.
    void FillStartup(int StructSize);
};

// ---- Services handed to the plug-in (screen.cpp and editor.cpp)
int WINAPI SvcEditorControl(int Command, void* Param);
void WINAPI SvcText(int X, int Y, int Color, const char* Str);
HANDLE WINAPI SvcSaveScreen(int X1, int Y1, int X2, int Y2);
void WINAPI SvcRestoreScreen(HANDLE Screen);
const char* WINAPI SvcGetMsg(int PluginNumber, int MsgId);
int WINAPI SvcMessage(int PluginNumber, unsigned Flags, const char* HelpTopic,
                      const char* const* Items, int ItemsNumber, int ButtonsNumber);
int WINAPI SvcCharTable(int Command, char* Buffer, int BufferSize);
void WINAPI SvcUnused();

// The number the host hands over as ModuleNumber and expects back.
constexpr int kModuleNumber = 0x7A11;

// The next event of the console input, or false when none waits (never blocks).
bool ReadWaitingInput(INPUT_RECORD& Rec);

// A byte typed in the OEM code page as the window's table shows it.
unsigned char TypedByte(int TableNum, unsigned char Oem);

// Console cells through the Win32 screen-buffer calls.
void PutCells(int X, int Y, const std::string& Chars, WORD Attr);

}  // namespace host
