// Placeholder: replaced when this part is built.
#include "interactive/status_line.h"

namespace tarvik {
char* ConvertToOem(const char*) { return nullptr; }
void ShowStatusLine(const char*, const char*) {}
void ShowSearchPrompt(const char*) {}
void ShowSearchingMessage(const char*) {}
void ShowNotFound(const char*) {}
void DiscardPendingInput() {}
int ScreenHeight() { return 25; }
}  // namespace tarvik
