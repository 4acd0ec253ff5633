// The process heap over malloc, with counters and injected allocation failures.
#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "compat_control.h"

namespace {

// Each block starts with a header holding its size, so that HEAP_ZERO_MEMORY can
// clear what a reallocation adds. The header keeps malloc's 16-byte alignment, and
// no table points at the blocks, so LeakSanitizer still sees what the caller leaks.
struct alignas(16) TBlockHeader {
    size_t Size;
};

HANDLE const ProcessHeap = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x150000));

// Sizes above this fail as Windows fails them, instead of overflowing the header sum.
constexpr size_t MaxBlockSize = SIZE_MAX / 2;

struct THeap {
    long Allocations = 0;     // attempts by HeapAlloc and HeapReAlloc
    long Live = 0;            // blocks from HeapAlloc not yet freed
    long FailFrom = 0;        // number of the first attempt that fails; 0: none
    long FailCount = 0;       // attempts that fail from FailFrom on; 0: all
    long long LiveBytes = 0;  // bytes requested by the blocks not yet freed
};

THeap& Heap() {
    static THeap heap;
    return heap;
}

// Counts one allocation attempt and tells whether it must fail.
bool NextAllocationFails() {
    THeap& h = Heap();
    h.Allocations++;
    if (h.FailFrom <= 0 || h.Allocations < h.FailFrom) return false;
    return h.FailCount <= 0 || h.Allocations - h.FailFrom < h.FailCount;
}

TBlockHeader* HeaderOf(LPVOID Mem) {
    return static_cast<TBlockHeader*>(Mem) - 1;
}

LPVOID OutOfMemory() {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

}  // namespace

HANDLE WINAPI GetProcessHeap() {
    return ProcessHeap;
}

LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes) {
    if (hHeap != ProcessHeap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (NextAllocationFails() || dwBytes > MaxBlockSize) return OutOfMemory();
    void* raw = (dwFlags & HEAP_ZERO_MEMORY) ? calloc(1, sizeof(TBlockHeader) + dwBytes)
                                             : malloc(sizeof(TBlockHeader) + dwBytes);
    if (!raw) return OutOfMemory();
    TBlockHeader* header = static_cast<TBlockHeader*>(raw);
    header->Size = dwBytes;
    Heap().Live++;
    Heap().LiveBytes += static_cast<long long>(dwBytes);
    return header + 1;
}

// A failing reallocation leaves the old block as it was, still owned by the caller.
LPVOID WINAPI HeapReAlloc(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes) {
    if (hHeap != ProcessHeap || !lpMem) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (NextAllocationFails() || dwBytes > MaxBlockSize) return OutOfMemory();
    TBlockHeader* old = HeaderOf(lpMem);
    size_t oldSize = old->Size;
    if (dwFlags & HEAP_REALLOC_IN_PLACE_ONLY) {
        if (dwBytes > oldSize) return OutOfMemory();
        old->Size = dwBytes;
        Heap().LiveBytes -= static_cast<long long>(oldSize - dwBytes);
        return lpMem;
    }
    void* raw = realloc(old, sizeof(TBlockHeader) + dwBytes);
    if (!raw) return OutOfMemory();
    TBlockHeader* header = static_cast<TBlockHeader*>(raw);
    header->Size = dwBytes;
    Heap().LiveBytes += static_cast<long long>(dwBytes) - static_cast<long long>(oldSize);
    if ((dwFlags & HEAP_ZERO_MEMORY) && dwBytes > oldSize) {
        memset(reinterpret_cast<char*>(header + 1) + oldSize, 0, dwBytes - oldSize);
    }
    return header + 1;
}

// Freeing null is a harmless no-op that succeeds, as on Windows.
BOOL WINAPI HeapFree(HANDLE hHeap, DWORD, LPVOID lpMem) {
    if (hHeap != ProcessHeap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpMem) return TRUE;
    Heap().LiveBytes -= static_cast<long long>(HeaderOf(lpMem)->Size);
    free(HeaderOf(lpMem));
    Heap().Live--;
    return TRUE;
}

namespace compat {

void FailHeapAllocation(long Nth, long Count) {
    THeap& h = Heap();
    if (Nth <= 0) {
        h.FailFrom = 0;
        h.FailCount = 0;
        return;
    }
    h.FailFrom = Nth > LONG_MAX - h.Allocations ? LONG_MAX : h.Allocations + Nth;
    h.FailCount = Count;
}

long HeapAllocationCount() {
    return Heap().Allocations;
}

long LiveHeapBlocks() {
    return Heap().Live;
}

long long LiveHeapBytes() {
    return Heap().LiveBytes;
}

}  // namespace compat
