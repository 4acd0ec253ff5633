// The host's 1.70 plug-in interface, 8-bit form: the records, service signatures
// and constants this plug-in uses. Layouts are the host's binary contract; the
// static_asserts below pin them for the 32-bit build.
#pragma once

#include <windows.h>

#include <cstddef>

#if defined(_WIN32)
#define TARVIK_EXPORT
#else
#define TARVIK_EXPORT __attribute__((visibility("default")))
#endif

// ---- Host services ---------------------------------------------------------

typedef int(WINAPI* FARAPIMESSAGE)(int PluginNumber, unsigned Flags, const char* HelpTopic,
                                   const char* const* Items, int ItemsNumber, int ButtonsNumber);
typedef const char*(WINAPI* FARAPIGETMSG)(int PluginNumber, int MsgId);
typedef HANDLE(WINAPI* FARAPISAVESCREEN)(int X1, int Y1, int X2, int Y2);
typedef void(WINAPI* FARAPIRESTORESCREEN)(HANDLE hScreen);
typedef int(WINAPI* FARAPICHARTABLE)(int Command, char* Buffer, int BufferSize);
typedef void(WINAPI* FARAPITEXT)(int X, int Y, int Color, const char* Str);
typedef int(WINAPI* FARAPIEDITORCONTROL)(int Command, void* Param);
// Services the plug-in never calls; only their slots matter.
typedef void(WINAPI* FARAPIUNUSED)();

struct PluginStartupInfo {
    int StructSize;
    char ModuleName[260];
    int ModuleNumber;
    const char* RootKey;
    FARAPIUNUSED Menu;
    FARAPIUNUSED Dialog;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPIUNUSED Control;
    FARAPISAVESCREEN SaveScreen;
    FARAPIRESTORESCREEN RestoreScreen;
    FARAPIUNUSED GetDirList;
    FARAPIUNUSED GetPluginDirList;
    FARAPIUNUSED FreeDirList;
    FARAPIUNUSED Viewer;
    FARAPIUNUSED Editor;
    FARAPIUNUSED CmpName;
    FARAPICHARTABLE CharTable;
    FARAPITEXT Text;
    FARAPIEDITORCONTROL EditorControl;
    // The host's record goes on (advanced control, dialogs, help, ...); none of it is read.
};

// The smallest StructSize accepted: the record must reach past EditorControl.
constexpr int kMinStartupInfoSize =
    static_cast<int>(offsetof(PluginStartupInfo, EditorControl) + sizeof(FARAPIEDITORCONTROL));

enum { PF_PRELOAD = 1, PF_DISABLEPANELS = 2, PF_EDITOR = 4, PF_VIEWER = 8 };

struct PluginInfo {
    int StructSize;
    DWORD Flags;
    const char* const* DiskMenuStrings;
    int* DiskMenuNumbers;
    int DiskMenuStringsNumber;
    const char* const* PluginMenuStrings;
    int PluginMenuStringsNumber;
    const char* const* PluginConfigStrings;
    int PluginConfigStringsNumber;
    const char* CommandPrefix;  // not written by this plug-in
};

// The part of PluginInfo the plug-in fills: everything before CommandPrefix.
constexpr int kPluginInfoWrittenSize = static_cast<int>(offsetof(PluginInfo, CommandPrefix));

// ---- Editor records --------------------------------------------------------

struct EditorGetString {
    int StringNumber;        // in: line number, -1 = cursor line
    const char* StringText;  // out: host's NUL-terminated copy of the line
    const char* StringEOL;   // out: line end, or null
    int StringLength;        // out: bytes in the line, line end excluded
    int SelStart;            // out: first selected column, -1 = line not selected
    int SelEnd;              // out: column after the selection, -1 = through the line end
};

struct EditorSetString {
    int StringNumber;
    const char* StringText;
    const char* StringEOL;
    int StringLength;
};

struct EditorInfo {
    int EditorID;
    const char* FileName;
    int WindowSizeX;
    int WindowSizeY;
    int TotalLines;
    int CurLine;
    int CurPos;
    int CurTabPos;
    int TopScreenLine;
    int LeftPos;
    int Overtype;
    int BlockType;
    int BlockStartLine;
    int AnsiMode;
    int TableNum;
    DWORD Options;
    int TabSize;
    DWORD Reserved[8];
};

struct EditorSetPosition {
    int CurLine;  // -1 in any field: unchanged
    int CurPos;
    int CurTabPos;
    int TopScreenLine;
    int LeftPos;
    int Overtype;
};

struct EditorSelect {
    int BlockType;
    int BlockStartLine;
    int BlockStartPos;
    int BlockWidth;
    int BlockHeight;
};

struct CharTableSet {
    unsigned char DecodeTable[256];
    unsigned char EncodeTable[256];
    unsigned char UpperTable[256];
    unsigned char LowerTable[256];
    char TableName[128];
};

// ---- Constants -------------------------------------------------------------

enum {
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
    ECTL_EXPANDTABS = 14,
    ECTL_READINPUT = 16,
    ECTL_PROCESSINPUT = 17,
};

enum { EE_READ = 0, EE_SAVE = 1, EE_REDRAW = 2, EE_CLOSE = 3 };

enum { BTYPE_NONE = 0, BTYPE_STREAM = 1, BTYPE_COLUMN = 2 };

enum {
    OPEN_DISKMENU = 0,
    OPEN_PLUGINSMENU = 1,
    OPEN_FINDLIST = 2,
    OPEN_SHORTCUT = 3,
    OPEN_COMMANDLINE = 4,
    OPEN_EDITOR = 5,
    OPEN_VIEWER = 6,
};

enum { FMSG_WARNING = 1 };

// ---- Exported entry points -------------------------------------------------

typedef void(WINAPI* TSetStartupInfo)(const PluginStartupInfo* Info);
typedef void(WINAPI* TGetPluginInfo)(PluginInfo* Info);
typedef HANDLE(WINAPI* TOpenPlugin)(int OpenFrom, int Item);
typedef int(WINAPI* TProcessEditorEvent)(int Event, void* Param);
typedef int(WINAPI* TProcessEditorInput)(const INPUT_RECORD* Rec);

// ---- Layout pins -----------------------------------------------------------

static_assert(sizeof(INPUT_RECORD) == 20);
static_assert(offsetof(INPUT_RECORD, Event) == 4);
static_assert(sizeof(KEY_EVENT_RECORD) == 16);
static_assert(offsetof(KEY_EVENT_RECORD, wRepeatCount) == 4);
static_assert(offsetof(KEY_EVENT_RECORD, wVirtualKeyCode) == 6);
static_assert(offsetof(KEY_EVENT_RECORD, wVirtualScanCode) == 8);
static_assert(offsetof(KEY_EVENT_RECORD, uChar) == 10);
static_assert(offsetof(KEY_EVENT_RECORD, dwControlKeyState) == 12);
static_assert(offsetof(MOUSE_EVENT_RECORD, dwButtonState) == 4);
static_assert(offsetof(MOUSE_EVENT_RECORD, dwEventFlags) == 12);

static_assert(sizeof(EditorSelect) == 20);
static_assert(sizeof(EditorSetPosition) == 24);
static_assert(sizeof(CharTableSet) == 1152);
static_assert(offsetof(CharTableSet, UpperTable) == 512);
static_assert(offsetof(CharTableSet, TableName) == 1024);

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(void*) == 4);
static_assert(offsetof(PluginStartupInfo, ModuleName) == 4);
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 264);
static_assert(offsetof(PluginStartupInfo, RootKey) == 268);
static_assert(offsetof(PluginStartupInfo, Menu) == 272);
static_assert(offsetof(PluginStartupInfo, Dialog) == 276);
static_assert(offsetof(PluginStartupInfo, Message) == 280);
static_assert(offsetof(PluginStartupInfo, GetMsg) == 284);
static_assert(offsetof(PluginStartupInfo, Control) == 288);
static_assert(offsetof(PluginStartupInfo, SaveScreen) == 292);
static_assert(offsetof(PluginStartupInfo, RestoreScreen) == 296);
static_assert(offsetof(PluginStartupInfo, GetDirList) == 300);
static_assert(offsetof(PluginStartupInfo, CmpName) == 320);
static_assert(offsetof(PluginStartupInfo, CharTable) == 324);
static_assert(offsetof(PluginStartupInfo, Text) == 328);
static_assert(offsetof(PluginStartupInfo, EditorControl) == 332);
static_assert(kMinStartupInfoSize == 336);

static_assert(offsetof(PluginInfo, Flags) == 4);
static_assert(offsetof(PluginInfo, DiskMenuStrings) == 8);
static_assert(offsetof(PluginInfo, DiskMenuNumbers) == 12);
static_assert(offsetof(PluginInfo, DiskMenuStringsNumber) == 16);
static_assert(offsetof(PluginInfo, PluginMenuStrings) == 20);
static_assert(offsetof(PluginInfo, PluginMenuStringsNumber) == 24);
static_assert(offsetof(PluginInfo, PluginConfigStrings) == 28);
static_assert(offsetof(PluginInfo, PluginConfigStringsNumber) == 32);
static_assert(kPluginInfoWrittenSize == 36);

static_assert(sizeof(EditorGetString) == 24);
static_assert(offsetof(EditorGetString, StringText) == 4);
static_assert(offsetof(EditorGetString, StringEOL) == 8);
static_assert(offsetof(EditorGetString, StringLength) == 12);
static_assert(offsetof(EditorGetString, SelStart) == 16);
static_assert(offsetof(EditorGetString, SelEnd) == 20);
static_assert(sizeof(EditorSetString) == 16);
static_assert(offsetof(EditorSetString, StringLength) == 12);

static_assert(sizeof(EditorInfo) == 100);
static_assert(offsetof(EditorInfo, FileName) == 4);
static_assert(offsetof(EditorInfo, WindowSizeX) == 8);
static_assert(offsetof(EditorInfo, TotalLines) == 16);
static_assert(offsetof(EditorInfo, CurLine) == 20);
static_assert(offsetof(EditorInfo, CurPos) == 24);
static_assert(offsetof(EditorInfo, CurTabPos) == 28);
static_assert(offsetof(EditorInfo, TopScreenLine) == 32);
static_assert(offsetof(EditorInfo, LeftPos) == 36);
static_assert(offsetof(EditorInfo, Overtype) == 40);
static_assert(offsetof(EditorInfo, BlockType) == 44);
static_assert(offsetof(EditorInfo, BlockStartLine) == 48);
static_assert(offsetof(EditorInfo, AnsiMode) == 52);
static_assert(offsetof(EditorInfo, TableNum) == 56);
static_assert(offsetof(EditorInfo, Options) == 60);
static_assert(offsetof(EditorInfo, TabSize) == 64);
static_assert(offsetof(EditorInfo, Reserved) == 68);
#endif
