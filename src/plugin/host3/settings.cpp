// The settings store of the host's generation-3 interface: the host's settings service
// under the plug-in's identity, with the names and defaults of the 1.70 registry values
// (64-bit numbers there), and the per-file memory in its key "File Types".
#include "plugin/settings.h"

#include <cstring>

#include "access/editor_access.h"
#include "access/host3/host_services.h"
#include "ground/globals.h"

namespace tarvik {

namespace {

const char16_t kFileTypesKey[] = u"File Types";
const char16_t kBanner[] = u"Tarvik " TARVIK_VERSION ", classic programmer's editor keys";

struct TSetting {
    const char16_t* Name;
    int* Value;
};

// In the order they are read and created.
const TSetting kSettings[] = {
    {u"MaxDetectSearchLines", &MaxDetectSearchLines},
    {u"MaxTabSearchLines", &MaxTabSearchLines},
    {u"MaxBackspaceSearchLines", &MaxBackspaceSearchLines},
    {u"OnForTextWithTabs", &OnForTextWithTabs},
    {u"SaveFileType", &SaveFileType},
};

intptr_t Settings(HANDLE Handle, uint32_t Command, void* Param2, intptr_t Param1 = 0) {
    if (!HostInfo.SettingsControl) return 0;
    return HostInfo.SettingsControl(Handle, Command, Param1, Param2);
}

// The plug-in's settings, open for reading and writing; null when the host refuses.
HANDLE OpenSettings() {
    api3::SettingsCreate create;
    memset(&create, 0, sizeof create);
    create.StructSize = sizeof create;
    create.Id = PluginId;
    if (!Settings(nullptr, api3::SCTL_CREATE, &create, api3::PSL_ROAMING)) return nullptr;
    return create.Handle;
}

// Commits what was written and lets the handle go.
void CloseSettings(HANDLE Handle) {
    Settings(Handle, api3::SCTL_FREE, nullptr);
}

// The record that names a number value Name under Root.
api3::SettingsItem NumberItem(size_t Root, const char16_t* Name) {
    api3::SettingsItem item;
    memset(&item, 0, sizeof item);
    item.StructSize = sizeof item;
    item.Root = Root;
    item.Name = Name;
    item.Type = api3::FST_QWORD;
    return item;
}

bool GetNumber(HANDLE Handle, size_t Root, const char16_t* Name, uint64_t& Number) {
    api3::SettingsItem item = NumberItem(Root, Name);
    if (!Settings(Handle, api3::SCTL_GET, &item)) return false;
    Number = item.Value.Number;
    return true;
}

void SetNumber(HANDLE Handle, size_t Root, const char16_t* Name, uint64_t Number) {
    api3::SettingsItem item = NumberItem(Root, Name);
    item.Value.Number = Number;
    Settings(Handle, api3::SCTL_SET, &item);
}

// The key "File Types" below the plug-in's own, created when missing; 0 when the host
// refuses it.
size_t FileTypesKey(HANDLE Handle) {
    api3::SettingsValue key;
    memset(&key, 0, sizeof key);
    key.StructSize = sizeof key;
    key.Root = 0;
    key.Value = kFileTypesKey;
    const intptr_t root = Settings(Handle, api3::SCTL_CREATESUBKEY, &key);
    return root > 0 ? static_cast<size_t>(root) : 0;
}

}  // namespace

void ReadSettings() {
    HANDLE handle = OpenSettings();
    if (!handle) return;
    api3::SettingsItem info;
    memset(&info, 0, sizeof info);
    info.StructSize = sizeof info;
    info.Name = u"Info";
    info.Type = api3::FST_STRING;
    info.Value.String = kBanner;
    Settings(handle, api3::SCTL_SET, &info);
    for (const TSetting& setting : kSettings) {
        // A value read replaces the setting's low 32 bits, as a registry value of four
        // bytes does; a missing one is created with the default.
        uint64_t number = 0;
        if (GetNumber(handle, 0, setting.Name, number)) {
            const uint32_t low = static_cast<uint32_t>(number);
            memcpy(setting.Value, &low, sizeof low);
        } else {
            SetNumber(handle, 0, setting.Name, static_cast<uint32_t>(*setting.Value));
        }
    }
    CloseSettings(handle);
}

void LoadSaveFileTypeMode(bool Load, unsigned char& Mode) {
    if (Load) Mode = ModeUndecided;
    if (!SaveFileType) return;
    // Without a name there is nothing to key the choice by.
    const char16_t* name = EditorFileName();
    if (!name || !*name) return;
    HANDLE handle = OpenSettings();
    if (!handle) return;
    const size_t root = FileTypesKey(handle);
    if (root) {
        if (Load) {
            uint64_t number = 0;
            // Anything outside 0..2 means nothing is remembered.
            if (GetNumber(handle, root, name, number) && number <= ModeOff)
                Mode = static_cast<unsigned char>(number);
        } else {
            SetNumber(handle, root, name, Mode);
        }
    }
    CloseSettings(handle);
}

void ReleaseSettings() {}

}  // namespace tarvik
