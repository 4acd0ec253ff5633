// The generation-3 stand-in host's inner state, shared by its source files.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host3.h"
#include "ledger.h"

namespace host3 {

// A line's units as handed out by ECTL_GETSTRING, NUL-terminated.
struct LineCopy {
    std::unique_ptr<char16_t[]> Units;
    size_t Size = 0;
};

// A rectangle of the screen kept by SaveScreen.
struct SavedScreen {
    int X1, Y1, X2, Y2;
    std::vector<std::u16string> Chars;  // one row per entry
    std::vector<std::vector<WORD>> Attrs;
};

// A handle of the settings service: a working copy of the plug-in's key, written back
// to the store when the handle is freed.
struct SettingsHandle {
    api3::Guid Id{};
    bool Local = false;     // PSL_LOCAL rather than PSL_ROAMING
    bool ReadOnly = false;  // the host's own settings
    SettingsKey Work;
    std::vector<std::vector<std::u16string>> Roots;  // root number -> path of subkeys
    // Strings and name lists handed out; they live until the handle is freed.
    std::vector<std::unique_ptr<std::u16string>> Strings;
    std::vector<std::vector<uint8_t>> Blobs;
    std::vector<std::vector<SettingsName>> Lists;
};

struct Host::Impl {
    Host* Self = nullptr;

    // ---- The module, its exports and its identity
    void* Module = nullptr;
    std::string ModulePath;
    std::u16string ModuleName;  // ModulePath as the startup record hands it over
    api3::TGetGlobalInfoW GetGlobalInfoW = nullptr;
    api3::TSetStartupInfoW SetStartupInfoW = nullptr;
    api3::TGetPluginInfoW GetPluginInfoW = nullptr;
    api3::TOpenW OpenW = nullptr;
    api3::TProcessEditorInputW ProcessEditorInputW = nullptr;
    api3::TProcessEditorEventW ProcessEditorEventW = nullptr;
    api3::TExitFARW ExitFARW = nullptr;
    bool Started = false;  // SetStartupInfoW ran
    bool Known = false;    // Identity holds a plug-in's identity
    PluginIdentity Identity;
    api3::PluginStartupInfo Startup{};  // the tests' copy of what was handed over
    api3::StandardFunctions Standard{};

    // ---- Windows; Current is 0 when none is open
    std::vector<std::unique_ptr<Window>> Windows;
    int Current = 0;
    int NextEditorId = 1;
    bool NoCurrentEditor = false;
    bool PanelsActive = false;
    int Closing = 0;                                     // the window whose EE_CLOSE runs now
    std::map<std::pair<int, int>, LineCopy> LineCopies;  // by (EditorID, line)
    std::vector<std::unique_ptr<char16_t[]>> RetiredCopies;
    host::ExpandMode ExpandTabs = host::ExpandMode::None;

    // ---- Input
    int Depth = 0;                    // ECTL_PROCESSINPUT nesting
    std::deque<INPUT_RECORD> Queued;  // split-off repeats, read before the console
    int WakeUpsGiven = 0;             // all-zero records given since the input ran dry
    bool InRedraw = false;            // EE_REDRAW is being sent
    int UndoDepth = 0;                // EUR_BEGIN without its EUR_END

    // ---- Language
    std::u16string Language = u"English";
    bool LanguageRead = false;
    std::vector<std::u16string> Messages;

    // ---- Screen and settings
    std::set<SavedScreen*> Saved;
    std::map<std::string, SettingsKey> Store;  // by the GUID's text
    std::set<SettingsHandle*> Handles;

    host::CallLedger Ledger{static_cast<int>(Service::Count),
                            static_cast<int>(Service::EditorControl)};

    // Counts one service call; true when it is to fail.
    bool Enter(Service S, int Command = -1) { return Ledger.Enter(static_cast<int>(S), Command); }
    void Misuse(const std::string& What) { Self->Misuses.push_back(What); }
    // False (and a misuse) unless a record's StructSize is at least Own and at most 65536.
    bool SizeOk(size_t Given, size_t Own, const char* What);
    bool IsPlugin(const api3::Guid* Id) const;

    Window* Find(int EditorID) const;
    Window* Cur() const { return NoCurrentEditor ? nullptr : Find(Current); }
    // The window an EditorControl call names: -1 the current one, else by EditorID.
    Window* Target(intptr_t EditorID) const;
    void RetireLineCopies() {
        LineCopies.clear();
        RetiredCopies.clear();
    }
    void FillStartup(api3::PluginStartupInfo& Psi, api3::StandardFunctions& Fsf, size_t StructSize);

    // ---- Editing (editor3.cpp)
    intptr_t EditorControl(Window& W, uint32_t Command, intptr_t Param1, void* Param2);
    // Feeds Units to the host's typing one at a time (ECTL_INSERTTEXT when ByCommand,
    // else the host's own character keys); false when the cursor lies too far out.
    bool Type(Window& W, const std::u16string& Units, bool ByCommand);
    // A redraw: a cursor past its line's end goes back (option off); EE_REDRAW.
    void Redraw(Window& W, bool Notify);

    // ---- Input (input3.cpp)
    bool ReadConsoleEvent(INPUT_RECORD& Rec);
    intptr_t ReadInput(INPUT_RECORD& Rec);              // ECTL_READINPUT
    intptr_t ProcessInput(const INPUT_RECORD& Rec);     // ECTL_PROCESSINPUT
    intptr_t MainLoopEvent(const INPUT_RECORD& Event);  // one record read by the main loop
    intptr_t PluginInput(const INPUT_RECORD& Rec);      // ProcessEditorInputW with a copy
    void HandleKey(const INPUT_RECORD& Rec);            // the frame's own handling
    void FrameKey(int Frame, const INPUT_RECORD& Key);

    // ---- Language (language3.cpp)
    void ReadLanguage();
};

// ---- Services handed to the plug-in
intptr_t WINAPI SvcEditorControl(intptr_t EditorID, uint32_t Command, intptr_t Param1,
                                 void* Param2);
void WINAPI SvcText(intptr_t X, intptr_t Y, const api3::Color* Color, const char16_t* Str);
HANDLE WINAPI SvcSaveScreen(intptr_t X1, intptr_t Y1, intptr_t X2, intptr_t Y2);
void WINAPI SvcRestoreScreen(HANDLE Screen);
void WINAPI SvcFreeScreen(HANDLE Screen);
const char16_t* WINAPI SvcGetMsg(const api3::Guid* PluginId, intptr_t MsgId);
intptr_t WINAPI SvcMessage(const api3::Guid* PluginId, const api3::Guid* Id, uint64_t Flags,
                           const char16_t* HelpTopic, const char16_t* const* Items,
                           size_t ItemsNumber, intptr_t ButtonsNumber);
intptr_t WINAPI SvcAdvControl(const api3::Guid* PluginId, uint32_t Command, intptr_t Param1,
                              void* Param2);
intptr_t WINAPI SvcSettingsControl(HANDLE Settings, uint32_t Command, intptr_t Param1,
                                   void* Param2);
void WINAPI SvcUnused();

// The GUID as text ("{XXXXXXXX-XXXX-...}").
std::string GuidText(const api3::Guid& Id);
bool SameGuid(const api3::Guid& A, const api3::Guid& B);

// Console cells through the wide screen-buffer calls.
void PutCells(int X, int Y, const std::u16string& Chars, WORD Attr);

}  // namespace host3
