// The host's plug-in interface of its Unicode generation 3: the records, service
// signatures and constants this plug-in uses, for x86 and x64 alike. Text is UTF-16
// (char16_t here: two bytes on every platform, as the host's wchar_t is on Windows).
// Layouts are the host's binary contract; the static_asserts below pin them for both
// builds. Everything is in namespace api3, beside the 1.70 interface's records.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define TARVIK_EXPORT3
#else
#define TARVIK_EXPORT3 __attribute__((visibility("default")))
#endif

namespace api3 {

// The platform's 16-byte identity of a plug-in, a menu item or a box.
struct Guid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

// A rectangle of screen cells, both corners included.
struct SmallRect32 {
    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
};

// ---- Versions and identity -------------------------------------------------------

enum : uint32_t { VS_RELEASE = 0 };

struct VersionInfo {
    uint32_t Major;
    uint32_t Minor;
    uint32_t Revision;
    uint32_t Build;
    uint32_t Stage;
};

struct GlobalInfo {
    size_t StructSize;
    VersionInfo MinHostVersion;  // the oldest host the plug-in runs in
    VersionInfo Version;         // the plug-in's own
    Guid Id;                     // the plug-in's identity
    const char16_t* Title;
    const char16_t* Description;
    const char16_t* Author;
    void* Instance;
};

// ---- Host services ---------------------------------------------------------------

// A colour for Text: with the index flags, the low four bits of Foreground and
// Background are console colours, and the top byte (alpha) must be 0xFF.
struct Color {
    uint64_t Flags;
    uint32_t Foreground;
    uint32_t Background;
    uint32_t Underline;
    uint32_t Reserved;
};

enum : uint64_t { FCF_FG_INDEX = 1, FCF_BG_INDEX = 2 };

typedef intptr_t(WINAPI* MessageFn)(const Guid* PluginId, const Guid* Id, uint64_t Flags,
                                    const char16_t* HelpTopic, const char16_t* const* Items,
                                    size_t ItemsNumber, intptr_t ButtonsNumber);
typedef const char16_t*(WINAPI* GetMsgFn)(const Guid* PluginId, intptr_t MsgId);
typedef HANDLE(WINAPI* SaveScreenFn)(intptr_t X1, intptr_t Y1, intptr_t X2, intptr_t Y2);
typedef void(WINAPI* RestoreScreenFn)(HANDLE Screen);
typedef void(WINAPI* TextFn)(intptr_t X, intptr_t Y, const Color* Color, const char16_t* Str);
typedef intptr_t(WINAPI* EditorControlFn)(intptr_t EditorID, uint32_t Command, intptr_t Param1,
                                          void* Param2);
typedef intptr_t(WINAPI* AdvControlFn)(const Guid* PluginId, uint32_t Command, intptr_t Param1,
                                       void* Param2);
typedef intptr_t(WINAPI* SettingsControlFn)(HANDLE Settings, uint32_t Command, intptr_t Param1,
                                            void* Param2);
// Services the plug-in never calls; only their slots matter.
typedef void(WINAPI* UnusedFn)();

// The host's table of standard functions; the plug-in keeps a copy and reads none of it.
struct StandardFunctions {
    size_t StructSize;
    UnusedFn Slots[49];
};

struct PluginStartupInfo {
    size_t StructSize;
    const char16_t* ModuleName;
    UnusedFn Menu;
    MessageFn Message;
    GetMsgFn GetMsg;
    UnusedFn PanelControl;
    SaveScreenFn SaveScreen;
    RestoreScreenFn RestoreScreen;
    UnusedFn GetDirList;
    UnusedFn GetPluginDirList;
    UnusedFn FreeDirList;
    UnusedFn FreePluginDirList;
    UnusedFn Viewer;
    UnusedFn Editor;
    TextFn Text;
    EditorControlFn EditorControl;
    StandardFunctions* FSF;
    UnusedFn ShowHelp;
    AdvControlFn AdvControl;
    UnusedFn InputBox;
    UnusedFn ColorDialog;
    UnusedFn DialogInit;
    UnusedFn DialogRun;
    UnusedFn DialogFree;
    UnusedFn SendDlgMessage;
    UnusedFn DefDlgProc;
    UnusedFn ViewerControl;
    UnusedFn PluginsControl;
    UnusedFn FileFilterControl;
    UnusedFn RegExpControl;
    UnusedFn MacroControl;
    SettingsControlFn SettingsControl;
    void* Private;
    void* Instance;
    UnusedFn FreeScreen;
};

// The smallest StructSize accepted: the record must reach past SettingsControl.
constexpr size_t kMinStartupInfoSize =
    offsetof(PluginStartupInfo, SettingsControl) + sizeof(SettingsControlFn);

// ---- Plug-in records -------------------------------------------------------------

enum : uint64_t { PF_PRELOAD = 1, PF_DISABLEPANELS = 2, PF_EDITOR = 4, PF_VIEWER = 8 };

struct PluginMenuItem {
    const Guid* Guids;
    const char16_t* const* Strings;
    size_t Count;
};

struct PluginInfo {
    size_t StructSize;
    alignas(8) uint64_t Flags;
    PluginMenuItem DiskMenu;
    PluginMenuItem PluginMenu;
    PluginMenuItem PluginConfig;
    const char16_t* CommandPrefix;
    void* Instance;
};

enum : uint32_t { OPEN_EDITOR = 5 };

struct OpenInfo {
    size_t StructSize;
    uint32_t OpenFrom;
    const Guid* MenuItem;  // the chosen menu item's identity
    intptr_t Data;
    void* Instance;
};

struct ProcessEditorInputInfo {
    size_t StructSize;
    INPUT_RECORD Rec;  // the host's copy of the event
    void* Instance;
};

enum : intptr_t {
    EE_READ = 0,
    EE_SAVE = 1,
    EE_REDRAW = 2,
    EE_CLOSE = 3,
    EE_GOTFOCUS = 6,
    EE_KILLFOCUS = 7,
    EE_CHANGE = 8
};

struct ProcessEditorEventInfo {
    size_t StructSize;
    intptr_t Event;
    void* Param;
    intptr_t EditorID;  // the window the event is about
    void* Instance;
};

struct ExitInfo {
    size_t StructSize;
    void* Instance;
};

// ---- Editor records --------------------------------------------------------------

struct EditorGetString {
    size_t StructSize;
    intptr_t StringNumber;       // in: line number, -1 = the cursor's line
    intptr_t StringLength;       // out: units, the line end excluded
    const char16_t* StringText;  // out: the host's own storage
    const char16_t* StringEOL;   // out: never null
    intptr_t SelStart;           // out: -1 = not selected
    intptr_t SelEnd;             // out: -1 = through the line end
};

struct EditorSetString {
    size_t StructSize;
    intptr_t StringNumber;
    intptr_t StringLength;  // units taken from StringText, NULs included
    const char16_t* StringText;
    const char16_t* StringEOL;  // null: the file's default line end
};

struct EditorInfo {
    size_t StructSize;
    intptr_t EditorID;
    intptr_t WindowSizeX;
    intptr_t WindowSizeY;
    intptr_t TotalLines;
    intptr_t CurLine;
    intptr_t CurPos;
    intptr_t CurTabPos;
    intptr_t TopScreenLine;
    intptr_t LeftPos;
    intptr_t Overtype;
    intptr_t BlockType;
    intptr_t BlockStartLine;
    uintptr_t Options;
    intptr_t TabSize;
    size_t BookmarkCount;
    size_t SessionBookmarkCount;
    uintptr_t CurState;
    uintptr_t CodePage;
    SmallRect32 WindowArea;
    SmallRect32 ClientArea;
};

struct EditorSetPosition {
    size_t StructSize;
    intptr_t CurLine;  // -1 in any field: unchanged
    intptr_t CurPos;
    intptr_t CurTabPos;
    intptr_t TopScreenLine;
    intptr_t LeftPos;
    intptr_t Overtype;
};

struct EditorSelect {
    size_t StructSize;
    intptr_t BlockType;
    intptr_t BlockStartLine;
    intptr_t BlockStartPos;
    intptr_t BlockWidth;
    intptr_t BlockHeight;
};

enum : uint32_t {
    ECTL_GETSTRING = 0,
    ECTL_SETSTRING = 1,
    ECTL_INSERTSTRING = 2,
    ECTL_DELETESTRING = 3,
    ECTL_DELETECHAR = 4,
    ECTL_INSERTTEXT = 5,
    ECTL_GETINFO = 6,
    ECTL_SETPOSITION = 7,
    ECTL_SELECT = 8,
    ECTL_REDRAW = 9,
    ECTL_EXPANDTABS = 12,
    ECTL_READINPUT = 14,
    ECTL_PROCESSINPUT = 15,
    ECTL_GETFILENAME = 33,
};

enum : intptr_t { BTYPE_NONE = 0, BTYPE_STREAM = 1, BTYPE_COLUMN = 2 };

enum : uintptr_t { EOPT_EXPANDALLTABS = 0x1, EOPT_PERSISTENTBLOCKS = 0x2 };

// ---- Window information ----------------------------------------------------------

enum : uint32_t { ACTL_GETWINDOWTYPE = 28 };
enum : uint32_t { WTYPE_EDITOR = 3 };

struct WindowType {
    size_t StructSize;
    uint32_t Type;
};

// ---- Messages ----------------------------------------------------------------------

enum : uint64_t { FMSG_WARNING = 0x1 };

// ---- The settings service ----------------------------------------------------------

enum : uint32_t {
    SCTL_CREATE = 0,
    SCTL_FREE = 1,
    SCTL_SET = 2,
    SCTL_GET = 3,
    SCTL_CREATESUBKEY = 6,
    SCTL_OPENSUBKEY = 7,
};

enum : intptr_t { PSL_ROAMING = 0, PSL_LOCAL = 1 };

enum : uint32_t { FST_UNKNOWN = 0, FST_SUBKEY = 1, FST_QWORD = 2, FST_STRING = 3, FST_DATA = 4 };

struct SettingsCreate {
    size_t StructSize;
    Guid Id;        // in: the plug-in's identity
    HANDLE Handle;  // out
};

struct SettingsItem {
    size_t StructSize;
    size_t Root;
    const char16_t* Name;
    uint32_t Type;
    union {
        uint64_t Number;
        const char16_t* String;
        struct {
            size_t Size;
            const void* Data;
        } Data;
    } Value;
};

struct SettingsValue {
    size_t StructSize;
    size_t Root;
    const char16_t* Value;
};

// ---- Exported entry points ---------------------------------------------------------

typedef void(WINAPI* TGetGlobalInfoW)(GlobalInfo* Info);
typedef void(WINAPI* TSetStartupInfoW)(const PluginStartupInfo* Info);
typedef void(WINAPI* TGetPluginInfoW)(PluginInfo* Info);
typedef HANDLE(WINAPI* TOpenW)(const OpenInfo* Info);
typedef intptr_t(WINAPI* TProcessEditorInputW)(const ProcessEditorInputInfo* Info);
typedef intptr_t(WINAPI* TProcessEditorEventW)(const ProcessEditorEventInfo* Info);
typedef void(WINAPI* TExitFARW)(const ExitInfo* Info);

// ---- Layout pins -------------------------------------------------------------------

static_assert(sizeof(char16_t) == 2);
static_assert(sizeof(Guid) == 16);
static_assert(sizeof(VersionInfo) == 20);
static_assert(sizeof(Color) == 24 && alignof(Color) == 8);
static_assert(sizeof(INPUT_RECORD) == 20);
static_assert(offsetof(PluginStartupInfo, SettingsControl) == 31 * sizeof(void*));
static_assert(offsetof(PluginStartupInfo, FreeScreen) == 34 * sizeof(void*));

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(void*) == 4);
static_assert(offsetof(GlobalInfo, MinHostVersion) == 4);
static_assert(offsetof(GlobalInfo, Version) == 24);
static_assert(offsetof(GlobalInfo, Id) == 44);
static_assert(offsetof(GlobalInfo, Title) == 60);
static_assert(offsetof(GlobalInfo, Author) == 68);
static_assert(sizeof(GlobalInfo) == 76);
static_assert(sizeof(PluginStartupInfo) == 140);
static_assert(kMinStartupInfoSize == 128);
static_assert(sizeof(StandardFunctions) == 200);
static_assert(sizeof(PluginMenuItem) == 12);
static_assert(offsetof(PluginInfo, Flags) == 8);
static_assert(offsetof(PluginInfo, PluginMenu) == 28);
static_assert(offsetof(PluginInfo, CommandPrefix) == 52);
static_assert(sizeof(PluginInfo) == 64);
static_assert(offsetof(OpenInfo, MenuItem) == 8);
static_assert(sizeof(OpenInfo) == 20);
static_assert(offsetof(ProcessEditorInputInfo, Rec) == 4);
static_assert(sizeof(ProcessEditorInputInfo) == 28);
static_assert(offsetof(ProcessEditorEventInfo, EditorID) == 12);
static_assert(sizeof(ProcessEditorEventInfo) == 20);
static_assert(sizeof(ExitInfo) == 8);
static_assert(offsetof(EditorGetString, StringText) == 12);
static_assert(sizeof(EditorGetString) == 28);
static_assert(sizeof(EditorSetString) == 20);
static_assert(offsetof(EditorInfo, CodePage) == 72);
static_assert(offsetof(EditorInfo, WindowArea) == 76);
static_assert(sizeof(EditorInfo) == 108);
static_assert(sizeof(EditorSetPosition) == 28);
static_assert(sizeof(EditorSelect) == 24);
static_assert(sizeof(WindowType) == 8);
static_assert(offsetof(SettingsCreate, Handle) == 20);
static_assert(sizeof(SettingsCreate) == 24);
static_assert(offsetof(SettingsItem, Value) == 16);
static_assert(sizeof(SettingsItem) == 24);
static_assert(sizeof(SettingsValue) == 12);
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
// x64, and the native build of the stand-in host, which lays records out the same way.
static_assert(offsetof(GlobalInfo, MinHostVersion) == 8);
static_assert(offsetof(GlobalInfo, Version) == 28);
static_assert(offsetof(GlobalInfo, Id) == 48);
static_assert(offsetof(GlobalInfo, Title) == 64);
static_assert(offsetof(GlobalInfo, Author) == 80);
static_assert(sizeof(GlobalInfo) == 96);
static_assert(sizeof(PluginStartupInfo) == 280);
static_assert(kMinStartupInfoSize == 256);
static_assert(sizeof(StandardFunctions) == 400);
static_assert(sizeof(PluginMenuItem) == 24);
static_assert(offsetof(PluginInfo, Flags) == 8);
static_assert(offsetof(PluginInfo, PluginMenu) == 40);
static_assert(offsetof(PluginInfo, CommandPrefix) == 88);
static_assert(sizeof(PluginInfo) == 104);
static_assert(offsetof(OpenInfo, MenuItem) == 16);
static_assert(sizeof(OpenInfo) == 40);
static_assert(offsetof(ProcessEditorInputInfo, Rec) == 8);
static_assert(sizeof(ProcessEditorInputInfo) == 40);
static_assert(offsetof(ProcessEditorEventInfo, EditorID) == 24);
static_assert(sizeof(ProcessEditorEventInfo) == 40);
static_assert(sizeof(ExitInfo) == 16);
static_assert(offsetof(EditorGetString, StringText) == 24);
static_assert(sizeof(EditorGetString) == 56);
static_assert(sizeof(EditorSetString) == 40);
static_assert(offsetof(EditorInfo, CodePage) == 144);
static_assert(offsetof(EditorInfo, WindowArea) == 152);
static_assert(sizeof(EditorInfo) == 184);
static_assert(sizeof(EditorSetPosition) == 56);
static_assert(sizeof(EditorSelect) == 48);
static_assert(sizeof(WindowType) == 16);
static_assert(offsetof(SettingsCreate, Handle) == 24);
static_assert(sizeof(SettingsCreate) == 32);
static_assert(offsetof(SettingsItem, Value) == 32);
static_assert(sizeof(SettingsItem) == 48);
static_assert(sizeof(SettingsValue) == 24);
#endif

}  // namespace api3
