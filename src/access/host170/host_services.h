// The host's services as the 1.70 interface hands them over in SetStartupInfo: the
// one place that holds them. Only the host access (this folder) calls them; the
// entry layer fills them in.
#pragma once

#include "ground/host170/host_api.h"

namespace tarvik {

// Null until the host's startup record is accepted.
extern FARAPIEDITORCONTROL EditorControl;
extern FARAPISAVESCREEN SaveScreen;
extern FARAPIRESTORESCREEN RestoreScreen;
extern FARAPITEXT Text;
extern FARAPIGETMSG GetMsg;
extern FARAPIMESSAGE Message;
extern FARAPICHARTABLE CharTable;
extern int ModuleNumber;

// Takes the services and ModuleNumber from the host's record. False, with nothing
// taken, for a null or too short record.
bool CaptureHostServices(const PluginStartupInfo* Info);

// The host's character table TableNum: the OEM code page into the table (Encode) and
// the table's upper case (Upper); identity tables where the host cannot fill them,
// which is when the result is false.
bool GetHostTable(int TableNum, unsigned char Encode[256], unsigned char Upper[256]);

}  // namespace tarvik
