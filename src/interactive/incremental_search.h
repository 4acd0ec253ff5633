// The incremental search with its own prompt.
#pragma once

#include "plugin/globals.h"

namespace tarvik {

void IncrementalSearch(TGlobalVars* State, TCursorPos Start);
void SelectSearchHit(const TCursorPos* Stack, int K);

}  // namespace tarvik
