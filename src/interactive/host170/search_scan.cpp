// The search scan of 8-bit text: the typed text (OEM) brought into the window's code
// page, and the line scan with the code page's upper-case table.
#include "interactive/search_scan.h"

#include <windows.h>

#include <cstring>

#include "access/host170/host_services.h"
#include "ground/memory.h"
#include "ground/system_calls.h"
#include "interactive/host170/line_scan.h"

namespace tarvik {

struct TSearchScan {
    unsigned char* Pattern;    // the encoded pattern (see EncodeSearchPattern)
    unsigned char Upper[256];  // the host table's upper case, when the window uses one
    TScanPattern Sp;           // what the line scan needs of the pattern
};

namespace {

// Whether the processor (and, on 32-bit Windows, the system, which must save the vector
// registers) runs the vector scan. Every x86-64 processor does. A system without the call
// (Windows 95) gets the plain scan: it cannot say, and Windows 95 saves no vector registers.
bool VectorScanUsable() {
#if defined(__i386__) && defined(_WIN32)
    using TFeaturePresent = BOOL(WINAPI*)(DWORD);
    const auto Present = Kernel32Function<TFeaturePresent>("IsProcessorFeaturePresent");
    return Present && Present(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0;
#elif defined(__i386__)
    return __builtin_cpu_supports("sse2");
#else
    return true;
#endif
}

}  // namespace

TSearchScan* MakeSearchScan(const TEditorView& View, const TChar* Text, int N) {
    TSearchScan* scan = static_cast<TSearchScan*>(AllocBytes(sizeof(TSearchScan)));
    if (!scan) return nullptr;
    unsigned char* buffer = static_cast<unsigned char*>(AllocBytes(2 * static_cast<size_t>(N) + 1));
    if (!buffer) {
        FreeBytes(scan);
        return nullptr;
    }
    memcpy(buffer, Text, static_cast<size_t>(N));
    buffer[N] = 0;
    const unsigned char* table = OemUpperTable;
    if (View.Code == ViewTable) {
        // The host's result is not looked at: its identity tables then give a plain
        // exact search.
        unsigned char encode[256];
        GetHostTable(View.TableNum, encode, scan->Upper);
        table = scan->Upper;
        // Translate by count, not by strlen: a character may map to 0.
        for (int k = 0; k < N; ++k) buffer[k] = encode[buffer[k]];
    } else if (View.Code == ViewAnsi) {
        table = AnsiUpperTable;
        if (N > 0) OemToCharA(reinterpret_cast<char*>(buffer), reinterpret_cast<char*>(buffer));
    }
    EncodeSearchPattern(buffer, table, N);
    scan->Pattern = buffer;
    PrepareScan(scan->Sp, buffer, N, table, VectorScanUsable());
    return scan;
}

int64_t ScanLine(const TSearchScan* Scan, const TChar* Line, int64_t Length, int64_t First) {
    return FindInLine(Scan->Sp, reinterpret_cast<const unsigned char*>(Line), Length, First);
}

void FreeSearchScan(TSearchScan* Scan) {
    if (!Scan) return;
    FreeBytes(Scan->Pattern);
    FreeBytes(Scan);
}

}  // namespace tarvik
