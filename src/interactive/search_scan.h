// What one search scans each line for: the typed text brought into the window's code
// page once, with the search's case rule (a small letter matches its small and capital
// forms, every other character only itself). Each build of the plug-in scans its own
// unit of text.
#pragma once

#include <cstdint>

#include "access/editor_access.h"
#include "ground/text.h"

namespace tarvik {

struct TSearchScan;

// The scan for the Length units of Text (as typed) in the window View; null when
// memory ran out. Free it with FreeSearchScan.
TSearchScan* MakeSearchScan(const TEditorView& View, const TChar* Text, int Length);

// Column of the first hit in the Length units of Line at or after First, or -1.
int64_t ScanLine(const TSearchScan* Scan, const TChar* Line, int64_t Length, int64_t First);

void FreeSearchScan(TSearchScan* Scan);

}  // namespace tarvik
