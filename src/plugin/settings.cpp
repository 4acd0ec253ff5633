// Placeholder: replaced when this part is built.
#include "plugin/settings.h"

namespace tarvik {
void ReadSettings() {}
void LoadSaveFileTypeMode(bool Load, unsigned char& Mode) {
    if (Load) Mode = 0;
}
}  // namespace tarvik
