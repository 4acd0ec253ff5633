// Heap memory of the plug-in. Everything it allocates goes through here, on the
// process heap, and every caller copes with a null result.
#pragma once

#include <cstddef>

namespace tarvik {

void* AllocBytes(size_t Size);                   // null when memory ran out
void* ResizeBytes(void* Block, size_t Size);     // null (Block kept) when memory ran out
void FreeBytes(void* Block);                     // null is fine
char* CopyString(const char* Text);              // NUL-terminated copy, or null
char* CopyBytes(const char* Bytes, int Length);  // Length bytes and a NUL, or null

}  // namespace tarvik
