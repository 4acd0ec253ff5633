// The stand-in host of the current plug-in interface (Unicode generation 3): the same
// in-memory editor as the 1.70 stand-in (host.h) with UTF-16 text, the generation-3
// records and services, and the current real host's behaviour where it differs from
// the 1.70 host's. It loads the plug-in module by its exported names (dlopen natively,
// LoadLibrary on Windows) in the real host's load sequence, hands it the services, and
// drives it: editor events, the plug-in menu, every input record read from the console.
// Each source file lists the choices it makes where the real host is not pinned down.
//
// One generation-3 host exists at a time (the services are plain function pointers);
// it may live beside one 1.70 host.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ground/host3/host_api.h"
#include "host3_api.h"
#include "keys.h"
#include "text_model.h"

namespace host3 {

// ---- Text -----------------------------------------------------------------------

// A line of UTF-16 units with its line end: "\r\n", "\n", "\r", "\r\r\n" or "" (none).
using Line = host::BasicLine<char16_t>;

struct Window : host::BasicWindow<char16_t> {
    uintptr_t CodePage = 65001;  // the file's; only saving would use it
    bool Locked = false;         // Ctrl+L: the commands that change the text fail
};

// Test text as UTF-16: each byte becomes the unit of the same value, so the columns of
// a byte string stay the columns of its units.
std::u16string Widen(std::string_view Bytes);
// The units back as bytes where each fits in one; others as "\u{XXXX}".
std::string Narrow(std::u16string_view Units);
std::u16string FromUtf8(std::string_view Utf8);
// UTF-8 of the units; a surrogate without its partner as "\u{XXXX}".
std::string ToUtf8(std::u16string_view Units);

// A language file as the host reads it: the name from its ".Language=" line and the
// messages in order.
struct LanguageFile {
    std::u16string Name;
    std::vector<std::u16string> Messages;
};
// Decodes (byte-order mark; else UTF-8 while valid, the OEM code page from the first
// invalid sequence on) and parses (header, quoted lines, escapes) a language file.
LanguageFile ReadLanguageFile(const std::string& Bytes);

// ---- Settings --------------------------------------------------------------------

using SettingValue = std::variant<uint64_t, std::u16string, std::vector<uint8_t>>;

// One key of the settings service's store: named values and subkeys.
struct SettingsKey {
    std::map<std::u16string, SettingValue> Values;
    std::map<std::u16string, SettingsKey> Keys;
};

// ---- Host -----------------------------------------------------------------------

enum class Service {
    EditorControl,
    Text,
    SaveScreen,
    RestoreScreen,
    FreeScreen,
    GetMsg,
    Message,
    AdvControl,
    SettingsControl,
    Count
};

struct MessageBox {
    uint64_t Flags;
    std::vector<std::u16string> Items;
    intptr_t ButtonsNumber;
};

// What the plug-in said of itself in GetGlobalInfoW (strings copied).
struct PluginIdentity {
    api3::Guid Id{};
    api3::VersionInfo MinHostVersion{};
    api3::VersionInfo Version{};
    std::u16string Title, Description, Author;
};

class Host {
public:
    Host();
    ~Host();  // closes every window (EE_CLOSE) and unloads the plug-in (ExitFARW)
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    static Host* Current();

    // ---- Plug-in module
    // host3/Tarvik3.so (Tarvik3.dll on Windows) in the test program's folder.
    static std::string DefaultPluginPath();
    // dlopen or LoadLibrary, then GetGlobalInfoW and its checks (non-empty title,
    // description and author, a GUID that is not all zero, a minimum version this host
    // meets). False when the module is missing or refused: LoadError says why.
    bool LoadPlugin(const std::string& Path = DefaultPluginPath());
    std::string LoadError;
    // ExitFARW (only when SetStartupInfoW ran), then the module goes.
    void UnloadPlugin();
    bool PluginLoaded() const;
    // SetStartupInfoW with a startup record and standard-function table that live on the
    // host's stack during the call and are scribbled over after it, then GetPluginInfoW.
    // StructSize 0 gives the host's full record size.
    void StartPlugin(size_t StructSize = 0);
    bool PluginStarted() const;
    const PluginIdentity& Identity() const;
    // For tests without a module: the host takes Id as the plug-in's identity and
    // ModulePath as its module (GetMsg reads the language files of its folder).
    void AssumePlugin(const api3::Guid& Id, const std::string& ModulePath);
    // The services as the host hands them over, kept for tests to call as the plug-in does.
    const api3::PluginStartupInfo& Services() const;
    // Any export of the loaded module, or null.
    void* Export(const char* Name) const;

    // ---- Entry points (direct calls, counted nowhere)
    std::vector<std::u16string> MenuItems();  // GetPluginInfoW's PluginMenu strings
    api3::PluginInfo GetPluginInfo();         // the raw record as filled
    // OpenW from the editor with the GUID of plug-in menu item Item.
    HANDLE Open(size_t Item = 0);
    void PickMenu() { Open(0); }
    // ProcessEditorEventW about the window EditorID (0: the current window).
    intptr_t EditorEvent(intptr_t Event, void* Param = nullptr, int EditorID = 0);
    // ProcessEditorInputW (or OnEditorInput) with a copy of Rec; its answer.
    intptr_t ProcessEditorInput(const INPUT_RECORD& Rec);

    // ---- Windows
    // Opens a window on Text (split as the host reads a file), makes it current and
    // sends EE_READ (unless SendRead is false). Returns the EditorID.
    int OpenWindow(const std::u16string& FileName, const std::u16string& Text,
                   bool SendRead = true);
    void CloseWindow(int EditorID);  // EE_CLOSE, then the window goes
    // Makes the window current: EE_KILLFOCUS for the one before, EE_GOTFOCUS for it.
    void SwitchTo(int EditorID);
    bool HasWindow(int EditorID) const;
    int WindowCount() const;
    Window& Win();  // the current window
    Window& Win(int EditorID);
    std::u16string Text() const;  // the current window's text, with line ends
    // A host without any editor: every EditorControl call fails.
    void SetNoCurrentEditor(bool None);
    // The panels are the active window; the plug-in's calls still reach the last editor,
    // the main loop's records never reach the plug-in. OpenWindow and SwitchTo end it.
    void SetPanelsActive(bool Active);

    // ---- Cursor and selection of the current window, set directly (no counting)
    void SetCursor(int Line, int Pos);
    void SelectStream(int StartLine, int StartPos, int Width, int Height);
    void SelectColumn(int StartLine, int StartPos, int Width, int Height);
    void ClearSelection();
    // "[line:pos-line:pos)", first to last selected column, or "none".
    std::string SelectionString() const;

    // ---- Input
    // Writes records into the console input (behind what waits there).
    void WriteInput(const std::vector<INPUT_RECORD>& Events);
    // Reads and handles every waiting record, as the host's main loop does (it never
    // makes up records of its own: no idle records).
    void Pump();
    void Keys(const std::string& Keys);     // host::ParseKeys, WriteInput, Pump
    void Type(const std::u16string& Text);  // each unit as a character key, then Pump
    // Handles one record as the main loop does: the host works out the key, hands the
    // plug-ins a copy, and on 0 acts on the key it worked out; returns their answer.
    intptr_t Feed(const INPUT_RECORD& Event);
    size_t PendingInput() const;  // records waiting in the console input
    void DiscardInput();

    // Every record the host's own handling received, in order, as it worked it out.
    std::vector<INPUT_RECORD> HostKeys;
    std::vector<host::HostAction> HostActions;
    // Called at the start of every ECTL_PROCESSINPUT; tests close windows from here.
    std::function<void(Host&, const INPUT_RECORD&)> OnProcessInput;
    // When set, stands in for the plug-in's ProcessEditorInputW, with the record of the
    // ProcessEditorInputInfo the host hands over (its copy: changes go nowhere).
    std::function<intptr_t(INPUT_RECORD&)> OnEditorInput;
    int ProcessInputDepth() const;
    // ECTL_READINPUT on an empty input: the real host blocks until a record comes, and
    // a wake-up for its own work gives an all-zero record. A test cannot block: it gets
    // WakeUps all-zero records, then the call fails (0) and StarvedReads counts it, so
    // that a modal loop ends and a test can see it waited for input it never got.
    int WakeUps = 3;
    int StarvedReads = 0;

    // ---- Options (editor settings; the real host's defaults unless said)
    // "Persistent blocks". Off, a typed character first deletes the selected part of
    // the cursor line, and the host's cursor keys remove the block before they move.
    bool PersistentBlocks = false;
    void SetExpandTabs(host::ExpandMode Mode);
    host::ExpandMode ExpandTabs() const;
    // "Auto indent": a line feed of ECTL_INSERTTEXT, Enter, and ECTL_INSERTSTRING asked
    // for indentation start the new line with the broken line's indentation.
    bool AutoIndent = false;
    // "Cursor beyond end of line". Off, every redraw (after each record the main loop
    // handles, and ECTL_REDRAW) brings a cursor past its line's end back to the end. On
    // in the stand-in, as in the 1.70 stand-in, so that scenarios agree.
    bool CursorBeyondEol = true;
    // The line end of new files: a file without any line end takes it as its default.
    std::u16string NewFileEol = u"\r\n";

    // ---- Screen (the console screen buffer)
    int ScreenWidth() const;
    int ScreenHeight() const;
    std::u16string ScreenLine(int Y) const;
    WORD ScreenAttr(int X, int Y) const;
    void DrawKeyBar();
    int SavedScreens() const;  // SaveScreen handles neither restored nor freed

    // ---- Messages and language
    std::vector<MessageBox> Messages;
    // The host's interface language ("English" by default): the plug-in's language
    // file is read again at the next GetMsg.
    void SetLanguage(const std::u16string& Name);
    std::u16string Msg(int Id);  // what GetMsg answers, without counting

    // ---- Settings service: one store per host, kept across reloads of the plug-in
    SettingsKey& Settings();  // the plug-in's own roaming key
    SettingsKey& Settings(const api3::Guid& Id, bool Local = false);
    int OpenSettings() const;  // handles created and not yet freed

    // ---- Counting and faults (as host::Host)
    int Calls(Service S) const;
    int EctlCalls(uint32_t Command) const;
    int TotalCalls() const;
    void ResetCounters();
    void FailFrom(int Nth);
    void FailNth(int Nth);
    void FailCommand(uint32_t Command, bool Fail = true);
    void FailService(Service S, bool Fail = true);
    void ClearFaults();

    // Keys the frame handles by closing the window (F10 by default).
    std::vector<WORD> CloseKeys;
    // True while P is a line copy handed out by ECTL_GETSTRING and not yet retired.
    bool LineCopyLive(const char16_t* P) const;
    // Calls the interface does not allow (a record's StructSize out of bounds, an
    // unknown GUID or handle, a message number past the end, ...).
    std::vector<std::string> Misuses;
    int Flushes = 0;  // Text calls with a null string

    struct Impl;
    Impl* impl() { return impl_; }

private:
    Impl* impl_;
};

}  // namespace host3
