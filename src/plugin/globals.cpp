#include "plugin/globals.h"

namespace tarvik {

FARAPIEDITORCONTROL EditorControl = nullptr;
FARAPISAVESCREEN SaveScreen = nullptr;
FARAPIRESTORESCREEN RestoreScreen = nullptr;
FARAPITEXT Text = nullptr;
FARAPIGETMSG GetMsg = nullptr;
FARAPIMESSAGE Message = nullptr;
FARAPICHARTABLE CharTable = nullptr;
int ModuleNumber = 0;
char* RootKey = nullptr;
HANDLE ConsoleInput = nullptr;

char* TurnOffMenuText = nullptr;
char* TurnOnMenuText = nullptr;

int MaxDetectSearchLines = 1024;
int MaxTabSearchLines = 64;
int MaxBackspaceSearchLines = 128;
int OnForTextWithTabs = 0;
int SaveFileType = 0;

TGlobalVars* EditorList = nullptr;

const char* Msg(TMessage Id) {
    const char* text = GetMsg ? GetMsg(ModuleNumber, Id) : nullptr;
    return text ? text : "";
}

}  // namespace tarvik
