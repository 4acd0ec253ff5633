#include "access/host170/host_services.h"

namespace tarvik {

FARAPIEDITORCONTROL EditorControl = nullptr;
FARAPISAVESCREEN SaveScreen = nullptr;
FARAPIRESTORESCREEN RestoreScreen = nullptr;
FARAPITEXT Text = nullptr;
FARAPIGETMSG GetMsg = nullptr;
FARAPIMESSAGE Message = nullptr;
FARAPICHARTABLE CharTable = nullptr;
int ModuleNumber = 0;

bool CaptureHostServices(const PluginStartupInfo* Info) {
    if (!Info || Info->StructSize < kMinStartupInfoSize) return false;
    ModuleNumber = Info->ModuleNumber;
    EditorControl = Info->EditorControl;
    SaveScreen = Info->SaveScreen;
    RestoreScreen = Info->RestoreScreen;
    GetMsg = Info->GetMsg;
    Text = Info->Text;
    Message = Info->Message;
    CharTable = Info->CharTable;
    return true;
}

}  // namespace tarvik
