#include "ground/globals.h"

namespace tarvik {

int MaxDetectSearchLines = 1024;
int MaxTabSearchLines = 64;
int MaxBackspaceSearchLines = 128;
int OnForTextWithTabs = 0;
int SaveFileType = 0;

TGlobalVars* EditorList = nullptr;

}  // namespace tarvik
