// The search scan of UTF-16 text. The typed text is already in the window's units; the
// case rule goes by the platform's upper case: a unit that upper-casing changes (a
// small letter) matches every unit with the same upper case, any other only itself.
#include "interactive/search_scan.h"

#include <windows.h>

#include "ground/memory.h"

namespace tarvik {

struct TSearchScan {
    int N;            // units in the pattern
    char16_t* Want;   // per unit: the unit itself, or its upper case when it folds
    bool* Folds;      // per unit: compare the text's upper case
    char16_t* Upper;  // the upper case of every unit; null when no pattern unit folds
};

namespace {

constexpr size_t kUnits = 0x10000;

// Every unit's upper case, by the platform's tables; null when memory ran out.
char16_t* UpperTable() {
    char16_t* table = static_cast<char16_t*>(AllocBytes(kUnits * sizeof(char16_t)));
    if (!table) return nullptr;
    for (size_t u = 0; u < kUnits; ++u) table[u] = static_cast<char16_t>(u);
    CharUpperBuffW(reinterpret_cast<WCHAR*>(table), static_cast<DWORD>(kUnits));
    return table;
}

bool MatchesAt(const TSearchScan* Scan, const TChar* At) {
    for (int k = 0; k < Scan->N; ++k) {
        const char16_t t = Scan->Folds[k] ? Scan->Upper[At[k]] : At[k];
        if (t != Scan->Want[k]) return false;
    }
    return true;
}

}  // namespace

TSearchScan* MakeSearchScan(const TEditorView& /*View*/, const TChar* Text, int N) {
    TSearchScan* scan = static_cast<TSearchScan*>(AllocBytes(sizeof(TSearchScan)));
    if (!scan) return nullptr;
    scan->N = N;
    scan->Upper = nullptr;
    scan->Want = static_cast<char16_t*>(AllocBytes(sizeof(char16_t) * (N + 1)));
    scan->Folds = static_cast<bool*>(AllocBytes(sizeof(bool) * (N + 1)));
    if (!scan->Want || !scan->Folds) {
        FreeSearchScan(scan);
        return nullptr;
    }
    bool anyFolds = false;
    for (int k = 0; k < N; ++k) {
        WCHAR upper = static_cast<WCHAR>(Text[k]);
        CharUpperBuffW(&upper, 1);
        scan->Want[k] = static_cast<char16_t>(upper);
        scan->Folds[k] = upper != static_cast<WCHAR>(Text[k]);
        anyFolds = anyFolds || scan->Folds[k];
    }
    if (anyFolds) {
        scan->Upper = UpperTable();
        if (!scan->Upper) {
            FreeSearchScan(scan);
            return nullptr;
        }
    }
    return scan;
}

int64_t ScanLine(const TSearchScan* Scan, const TChar* Line, int64_t Length, int64_t First) {
    const int64_t last = Length - Scan->N;
    if (last < First) return -1;
    if (Scan->N == 0) return First;
    const char16_t want = Scan->Want[0];
    for (int64_t p = First; p <= last; ++p) {
        // The first unit decides most places at once.
        const char16_t t = Scan->Folds[0] ? Scan->Upper[Line[p]] : Line[p];
        if (t == want && MatchesAt(Scan, Line + p)) return p;
    }
    return -1;
}

void FreeSearchScan(TSearchScan* Scan) {
    if (!Scan) return;
    FreeBytes(Scan->Want);
    FreeBytes(Scan->Folds);
    FreeBytes(Scan->Upper);
    FreeBytes(Scan);
}

}  // namespace tarvik
