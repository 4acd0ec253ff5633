#include "plugin/host170/settings.h"

#include <windows.h>

#include <cstring>

#include "access/editor_access.h"
#include "ground/globals.h"
#include "ground/memory.h"

namespace tarvik {

namespace {

char* RootKey = nullptr;  // owned copy of the host's registry path; null until taken

const char kSettingsKey[] = "Tarvik";
const char kFileTypesPath[] = "\\Tarvik\\File Types";
const char kBanner[] = "Tarvik " TARVIK_VERSION ", classic programmer's editor keys";

struct TSetting {
    const char* Name;
    int* Value;
};

// In the order they are read and created.
const TSetting kSettings[] = {
    {"MaxDetectSearchLines", &MaxDetectSearchLines},
    {"MaxTabSearchLines", &MaxTabSearchLines},
    {"MaxBackspaceSearchLines", &MaxBackspaceSearchLines},
    {"OnForTextWithTabs", &OnForTextWithTabs},
    {"SaveFileType", &SaveFileType},
};

// Reads one setting into its variable, or creates it from the variable.
// A value of up to four bytes of any type replaces the variable's low-order
// bytes; anything the query cannot deliver leaves the variable as it was,
// because a failed query may have scribbled over its buffer.
void ReadSetting(HKEY Key, const TSetting& Setting) {
    DWORD data = static_cast<DWORD>(*Setting.Value);
    DWORD size = sizeof data;
    if (RegQueryValueExA(Key, Setting.Name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data),
                         &size) == ERROR_SUCCESS) {
        memcpy(Setting.Value, &data, sizeof data);
        return;
    }
    data = static_cast<DWORD>(*Setting.Value);
    RegSetValueExA(Key, Setting.Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                   sizeof data);
}

// Opens RootKey\Tarvik\File Types for reading and writing, creating it when
// missing. Null when the path cannot be built or the key cannot be had.
HKEY OpenFileTypesKey() {
    if (!RootKey) return nullptr;
    size_t rootLength = strlen(RootKey);
    char* path = static_cast<char*>(AllocBytes(rootLength + sizeof kFileTypesPath));
    if (!path) return nullptr;
    memcpy(path, RootKey, rootLength);
    memcpy(path + rootLength, kFileTypesPath, sizeof kFileTypesPath);
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr);
    FreeBytes(path);
    return status == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

void TakeSettingsRoot(const char* Root) {
    char* copy = Root ? CopyText(Root) : nullptr;
    FreeBytes(RootKey);
    RootKey = copy;
}

void ReleaseSettings() {
    FreeBytes(RootKey);
    RootKey = nullptr;
}

void ReadSettings() {
    HKEY root = nullptr;
    if (!RootKey ||
        RegOpenKeyExA(HKEY_CURRENT_USER, RootKey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY,
                      &root) != ERROR_SUCCESS)
        return;
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        RegCloseKey(root);
        return;
    }
    RegSetValueExA(key, "Info", 0, REG_SZ, reinterpret_cast<const BYTE*>(kBanner), sizeof kBanner);
    for (const TSetting& setting : kSettings) ReadSetting(key, setting);
    RegCloseKey(key);
    RegCloseKey(root);
}

void LoadSaveFileTypeMode(bool Load, unsigned char& Mode) {
    if (Load) Mode = ModeUndecided;
    if (!SaveFileType) return;
    // Without a name there is nothing to key the choice by.
    const char* name = EditorFileName();
    if (!name) return;
    HKEY key = OpenFileTypesKey();
    if (!key) return;
    if (Load) {
        DWORD data = 0;
        DWORD size = sizeof data;
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS)
            data = 0;
        // Read as signed, anything outside 0..2 means nothing is remembered.
        if (data > ModeOff) data = ModeUndecided;
        Mode = static_cast<unsigned char>(data);
    } else {
        DWORD data = Mode;
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    }
    RegCloseKey(key);
}

}  // namespace tarvik
