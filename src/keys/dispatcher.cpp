// Placeholder: replaced when this part is built.
#include "keys/dispatcher.h"

namespace tarvik {
int DispatchEditorInput(INPUT_RECORD*) { return 0; }
void SendKeyToHost(WORD, char, DWORD) {}
void SaveFile() {}
}  // namespace tarvik
