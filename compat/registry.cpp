// The current user's registry, in memory: a tree of keys below HKEY_CURRENT_USER,
// reached through handles that carry the access they were opened with.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "compat_control.h"

namespace {

struct TValue {
    std::string Name;  // as first written
    DWORD Type;
    std::vector<BYTE> Data;
};

struct TKey {
    std::string Name;  // as first created
    uint64_t Id;       // never reused, so handles to a deleted key stay detectable
    TKey* Parent;
    std::vector<TValue> Values;  // in the order they were first written
    std::vector<std::unique_ptr<TKey>> Subkeys;
};

struct THandle {
    uint64_t KeyId;
    REGSAM Access;
};

struct TRegistry {
    std::unique_ptr<TKey> Root;
    std::map<uint64_t, TKey*> Keys;     // every live key by Id
    std::map<uintptr_t, THandle> Open;  // open handles by value
    uint64_t NextId = 1;
    uintptr_t NextHandle = 0x1000;
};

TKey* AddKey(TRegistry& r, TKey* Parent, const std::string& Name) {
    auto key = std::make_unique<TKey>();
    key->Name = Name;
    key->Id = r.NextId++;
    key->Parent = Parent;
    TKey* raw = key.get();
    r.Keys[raw->Id] = raw;
    if (Parent)
        Parent->Subkeys.push_back(std::move(key));
    else
        r.Root = std::move(key);
    return raw;
}

// One instance for the process: the module and the test program share this library.
// Never destroyed, so that calls made while the process exits still find it.
TRegistry& Registry() {
    static TRegistry& registry = *new TRegistry;
    if (!registry.Root) AddKey(registry, nullptr, "HKEY_CURRENT_USER");
    return registry;
}

// Folds a byte of Windows-1251 text to upper case, Cyrillic included, so that
// names compare as the Windows registry compares them.
unsigned char FoldByte(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0) return static_cast<unsigned char>(c - 32);
    switch (c) {
        case 0x90:
            return 0x80;  // ђ
        case 0x83:
            return 0x81;  // ѓ
        case 0x9A:
            return 0x8A;  // љ
        case 0x9C:
            return 0x8C;  // њ
        case 0x9D:
            return 0x8D;  // ќ
        case 0x9E:
            return 0x8E;  // ћ
        case 0x9F:
            return 0x8F;  // џ
        case 0xA2:
            return 0xA1;  // ў
        case 0xBC:
            return 0xA3;  // ј
        case 0xB4:
            return 0xA5;  // ґ
        case 0xB8:
            return 0xA8;  // ё
        case 0xBA:
            return 0xAA;  // є
        case 0xBF:
            return 0xAF;  // ї
        case 0xB3:
            return 0xB2;  // і
        case 0xBE:
            return 0xBD;  // ѕ
        default:
            return c;
    }
}

bool SameName(const std::string& a, const char* b, size_t bLength) {
    if (a.size() != bLength) return false;
    for (size_t i = 0; i < bLength; i++) {
        if (FoldByte(static_cast<unsigned char>(a[i])) !=
            FoldByte(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

TKey* FindSubkey(TKey* Key, const char* Name, size_t Length) {
    for (auto& sub : Key->Subkeys) {
        if (SameName(sub->Name, Name, Length)) return sub.get();
    }
    return nullptr;
}

TValue* FindValue(TKey* Key, const char* Name) {
    if (!Name) Name = "";  // the key's default value
    for (TValue& v : Key->Values) {
        if (SameName(v.Name, Name, strlen(Name))) return &v;
    }
    return nullptr;
}

// Splits a path of backslash-separated names; a leading or doubled backslash is a
// bad path name, one trailing backslash is allowed as Windows allows it.
bool SplitPath(const char* Path, std::vector<std::string>& Names) {
    Names.clear();
    if (!Path || !*Path) return true;
    if (*Path == '\\') return false;
    const char* start = Path;
    for (const char* p = Path;; p++) {
        if (*p == '\\' || *p == 0) {
            if (p == start) return *p == 0 && p[-1] == '\\' && Names.size() > 0;
            Names.emplace_back(start, p);
            if (*p == 0) return true;
            start = p + 1;
        }
    }
}

bool IsPredefined(HKEY h) {
    return h == HKEY_CURRENT_USER;
}

// The key a handle refers to, with its access; the error when there is none.
LSTATUS Resolve(HKEY h, TKey*& Key, REGSAM& Access) {
    TRegistry& r = Registry();
    Key = nullptr;
    if (IsPredefined(h)) {
        Key = r.Root.get();
        Access = KEY_ALL_ACCESS;
        return ERROR_SUCCESS;
    }
    auto handle = r.Open.find(reinterpret_cast<uintptr_t>(h));
    if (handle == r.Open.end()) return ERROR_INVALID_HANDLE;
    auto key = r.Keys.find(handle->second.KeyId);
    if (key == r.Keys.end()) return ERROR_KEY_DELETED;
    Key = key->second;
    Access = handle->second.Access;
    return ERROR_SUCCESS;
}

HKEY NewHandle(TKey* Key, REGSAM Access) {
    TRegistry& r = Registry();
    uintptr_t value = r.NextHandle;
    r.NextHandle += 4;
    r.Open[value] = THandle{Key->Id, Access};
    return reinterpret_cast<HKEY>(value);
}

void ForgetIds(TKey* Key) {
    Registry().Keys.erase(Key->Id);
    for (auto& sub : Key->Subkeys) ForgetIds(sub.get());
}

void RemoveSubkey(TKey* Key) {
    ForgetIds(Key);
    auto& siblings = Key->Parent->Subkeys;
    for (auto it = siblings.begin(); it != siblings.end(); ++it) {
        if (it->get() == Key) {
            siblings.erase(it);
            return;
        }
    }
}

// The key at a path below the root, or null.
TKey* FindPath(const std::string& Path) {
    std::vector<std::string> names;
    if (!SplitPath(Path.c_str(), names)) return nullptr;
    TKey* key = Registry().Root.get();
    for (const std::string& name : names) {
        key = FindSubkey(key, name.data(), name.size());
        if (!key) return nullptr;
    }
    return key;
}

}  // namespace

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired,
                             PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    TKey* key;
    REGSAM access;
    LSTATUS status = Resolve(hKey, key, access);
    if (status != ERROR_SUCCESS) return status;
    std::vector<std::string> names;
    if (!SplitPath(lpSubKey, names)) return ERROR_BAD_PATHNAME;
    for (const std::string& name : names) {
        key = FindSubkey(key, name.data(), name.size());
        if (!key) return ERROR_FILE_NOT_FOUND;
    }
    *phkResult = NewHandle(key, samDesired);
    return ERROR_SUCCESS;
}

// Opening an existing key needs no right on hKey; creating one needs KEY_CREATE_SUB_KEY.
LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                               const LPSECURITY_ATTRIBUTES, PHKEY phkResult,
                               LPDWORD lpdwDisposition) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    TKey* key;
    REGSAM access;
    LSTATUS status = Resolve(hKey, key, access);
    if (status != ERROR_SUCCESS) return status;
    std::vector<std::string> names;
    if (!SplitPath(lpSubKey, names)) return ERROR_BAD_PATHNAME;
    size_t level = 0;
    for (; level < names.size(); level++) {
        TKey* sub = FindSubkey(key, names[level].data(), names[level].size());
        if (!sub) break;
        key = sub;
    }
    bool created = level < names.size();
    if (created && !(access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    for (; level < names.size(); level++) key = AddKey(Registry(), key, names[level]);
    *phkResult = NewHandle(key, samDesired);
    if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

// With lpData null only the size and type are reported; a buffer too small gets
// ERROR_MORE_DATA with the size needed, and none of the data.
LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData) {
    TKey* key;
    REGSAM access;
    LSTATUS status = Resolve(hKey, key, access);
    if (status != ERROR_SUCCESS) return status;
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    if (!(access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    const TValue* value = FindValue(key, lpValueName);
    if (!value) return ERROR_FILE_NOT_FOUND;
    DWORD size = static_cast<DWORD>(value->Data.size());
    if (lpType) *lpType = value->Type;
    if (!lpcbData) return ERROR_SUCCESS;
    if (lpData && *lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (lpData && size) memcpy(lpData, value->Data.data(), size);
    *lpcbData = size;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType,
                              const BYTE* lpData, DWORD cbData) {
    TKey* key;
    REGSAM access;
    LSTATUS status = Resolve(hKey, key, access);
    if (status != ERROR_SUCCESS) return status;
    if (!(access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (!lpData && cbData) return ERROR_NOACCESS;
    TValue* value = FindValue(key, lpValueName);
    if (!value) {
        key->Values.push_back(TValue{lpValueName ? lpValueName : "", dwType, {}});
        value = &key->Values.back();
    }
    value->Type = dwType;
    value->Data.assign(lpData, lpData + cbData);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    TKey* key;
    REGSAM access;
    LSTATUS status = Resolve(hKey, key, access);
    if (status != ERROR_SUCCESS) return status;
    if (!(access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    TValue* value = FindValue(key, lpValueName);
    if (!value) return ERROR_FILE_NOT_FOUND;
    key->Values.erase(key->Values.begin() + (value - key->Values.data()));
    return ERROR_SUCCESS;
}

// With lpSubKey null or empty the key itself stays and loses its values and subkeys.
LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
    TKey* key;
    REGSAM access;
    LSTATUS status = Resolve(hKey, key, access);
    if (status != ERROR_SUCCESS) return status;
    const REGSAM needed = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE;
    if ((access & needed) != needed) return ERROR_ACCESS_DENIED;
    std::vector<std::string> names;
    if (!SplitPath(lpSubKey, names)) return ERROR_BAD_PATHNAME;
    for (const std::string& name : names) {
        key = FindSubkey(key, name.data(), name.size());
        if (!key) return ERROR_FILE_NOT_FOUND;
    }
    if (names.empty()) {
        for (auto& sub : key->Subkeys) ForgetIds(sub.get());
        key->Subkeys.clear();
        key->Values.clear();
    } else {
        RemoveSubkey(key);
    }
    return ERROR_SUCCESS;
}

// Closing a predefined key is allowed and does nothing, as on Windows.
LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    if (IsPredefined(hKey)) return ERROR_SUCCESS;
    return Registry().Open.erase(reinterpret_cast<uintptr_t>(hKey)) ? ERROR_SUCCESS
                                                                    : ERROR_INVALID_HANDLE;
}

namespace compat {

// Handles still open are dropped too: their keys are gone, and each test starts
// counting open keys from nothing.
void ResetRegistry() {
    TRegistry& r = Registry();
    r.Open.clear();
    r.Keys.clear();
    r.Root.reset();
    AddKey(r, nullptr, "HKEY_CURRENT_USER");
}

bool ReadRegistryKey(const std::string& Path, std::vector<RegistryValue>& Values) {
    Values.clear();
    TKey* key = FindPath(Path);
    if (!key) return false;
    for (const TValue& v : key->Values) Values.push_back(RegistryValue{v.Name, v.Type, v.Data});
    return true;
}

bool RegistryKeyExists(const std::string& Path) {
    return FindPath(Path) != nullptr;
}

int OpenRegistryKeys() {
    return static_cast<int>(Registry().Open.size());
}

}  // namespace compat
