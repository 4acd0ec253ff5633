// The generation-3 host's own view of the records and constants of its interface that
// the plug-in's declarations (ground/host3/host_api.h, namespace api3) leave out: the
// stand-in host needs them to answer every command it models. Layouts follow the
// host's binary contract and are pinned below for x86 and x64 like api3's.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ground/host3/host_api.h"

namespace host3 {

// The host's own version: 3.0, build 6730.
inline constexpr api3::VersionInfo kHostVersion{3, 0, 0, 6730, api3::VS_RELEASE};

// ---- EditorControl ---------------------------------------------------------------

enum : uint32_t {
    ECTL_TABTOREAL = 10,
    ECTL_REALTOTAB = 11,
    ECTL_SETTITLE = 13,
    ECTL_SAVEFILE = 18,
    ECTL_QUIT = 19,
    ECTL_SETPARAM = 22,
    ECTL_DELETEBLOCK = 25,
    ECTL_UNDOREDO = 32,
};

struct EditorConvertPos {
    size_t StructSize;
    intptr_t StringNumber;  // -1 (any negative) = the cursor's line
    intptr_t SrcPos;
    intptr_t DestPos;  // out
};

enum : uint32_t { EUR_BEGIN = 0, EUR_END = 1, EUR_UNDO = 2, EUR_REDO = 3 };

struct EditorUndoRedo {
    size_t StructSize;
    uint32_t Command;
};

// EE_SAVE's Param: the file about to be written.
struct EditorSaveFile {
    size_t StructSize;
    const char16_t* FileName;
    const char16_t* FileEOL;
    uintptr_t CodePage;
};

enum : uintptr_t {
    EOPT_DELREMOVESBLOCKS = 0x4,
    EOPT_AUTOINDENT = 0x8,
    EOPT_CURSORBEYONDEOL = 0x40,
    EOPT_EXPANDONLYNEWTABS = 0x80,
};

enum : uintptr_t { ECSTATE_MODIFIED = 1, ECSTATE_SAVED = 2, ECSTATE_LOCKED = 4 };

// ---- AdvControl and windows --------------------------------------------------------

enum : uint32_t { ACTL_GETHOSTVERSION = 0, ACTL_REDRAWALL = 19 };
enum : uint32_t { WTYPE_PANELS = 1 };

// ---- Message ---------------------------------------------------------------------

enum : uint64_t {
    FMSG_ERRORTYPE = 0x2,
    FMSG_LEFTALIGN = 0x8,
    FMSG_ALLINONE = 0x10,
    FMSG_MB_OK = 0x10000,
    FMSG_MB_OKCANCEL = 0x20000,
    FMSG_MB_ABORTRETRYIGNORE = 0x30000,
    FMSG_MB_YESNO = 0x40000,
    FMSG_MB_YESNOCANCEL = 0x50000,
    FMSG_MB_RETRYCANCEL = 0x60000,
    FMSG_MB_MASK = 0xF0000,  // the host's buttons: one of the values above
};

// ---- The settings service ------------------------------------------------------------

enum : uint32_t { SCTL_ENUM = 4, SCTL_DELETE = 5 };

struct SettingsName {
    const char16_t* Name;
    uint32_t Type;
};

struct SettingsEnum {
    size_t StructSize;
    size_t Root;
    size_t Count;               // out
    const SettingsName* Items;  // out: the handle's own storage
};

// ---- Layout pins -------------------------------------------------------------------

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(EditorConvertPos) == 16 && offsetof(EditorConvertPos, DestPos) == 12);
static_assert(sizeof(EditorUndoRedo) == 8);
static_assert(sizeof(EditorSaveFile) == 16 && offsetof(EditorSaveFile, CodePage) == 12);
static_assert(sizeof(SettingsName) == 8);
static_assert(sizeof(SettingsEnum) == 16 && offsetof(SettingsEnum, Items) == 12);
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(sizeof(EditorConvertPos) == 32 && offsetof(EditorConvertPos, DestPos) == 24);
static_assert(sizeof(EditorUndoRedo) == 16);
static_assert(sizeof(EditorSaveFile) == 32 && offsetof(EditorSaveFile, CodePage) == 24);
static_assert(sizeof(SettingsName) == 16);
static_assert(sizeof(SettingsEnum) == 32 && offsetof(SettingsEnum, Items) == 24);
#endif

}  // namespace host3
