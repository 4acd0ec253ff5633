#include "ground/memory.h"

#include <windows.h>

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

TChar* CopyUnits(const TChar* Units, int Length) {
    if (Length < 0) Length = 0;
    TChar* copy =
        static_cast<TChar*>(AllocBytes((static_cast<size_t>(Length) + 1) * sizeof(TChar)));
    if (!copy) return nullptr;
    for (int i = 0; i < Length; ++i) copy[i] = Units[i];
    copy[Length] = 0;
    return copy;
}

TChar* CopyText(const TChar* Text) {
    return Text ? CopyUnits(Text, TextLength(Text)) : CopyUnits(nullptr, 0);
}

}  // namespace tarvik
