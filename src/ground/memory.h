// Heap memory of the plug-in. Everything it allocates goes through here, on the
// process heap, and every caller copes with a null result.
#pragma once

#include <cstddef>

#include "ground/text.h"

namespace tarvik {

void* AllocBytes(size_t Size);                     // null when memory ran out
void* ResizeBytes(void* Block, size_t Size);       // null (Block kept) when memory ran out
void FreeBytes(void* Block);                       // null is fine
TChar* CopyText(const TChar* Text);                // NUL-terminated copy (null: ""), or null
TChar* CopyUnits(const TChar* Units, int Length);  // Length units and a NUL, or null

}  // namespace tarvik
