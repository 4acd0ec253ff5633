#include "plugin/memory.h"

#include <windows.h>

#include <cstring>

namespace tarvik {

void* AllocBytes(size_t Size) {
    return HeapAlloc(GetProcessHeap(), 0, Size ? Size : 1);
}

void* ResizeBytes(void* Block, size_t Size) {
    if (!Block) return AllocBytes(Size);
    return HeapReAlloc(GetProcessHeap(), 0, Block, Size ? Size : 1);
}

void FreeBytes(void* Block) {
    if (Block) HeapFree(GetProcessHeap(), 0, Block);
}

char* CopyBytes(const char* Bytes, int Length) {
    if (Length < 0) Length = 0;
    char* copy = static_cast<char*>(AllocBytes(static_cast<size_t>(Length) + 1));
    if (!copy) return nullptr;
    if (Length) memcpy(copy, Bytes, static_cast<size_t>(Length));
    copy[Length] = 0;
    return copy;
}

char* CopyString(const char* Text) {
    return CopyBytes(Text ? Text : "", Text ? static_cast<int>(strlen(Text)) : 0);
}

}  // namespace tarvik
