#include "access/host3/host_services.h"

#include <cstring>

namespace tarvik {

// {259A66D4-CA6E-41D7-BD68-C72C4B10C62C}
const api3::Guid PluginId = {
    0x259A66D4, 0xCA6E, 0x41D7, {0xBD, 0x68, 0xC7, 0x2C, 0x4B, 0x10, 0xC6, 0x2C}};
// {A4B1F540-0ED3-4C17-8DF3-669A5B869E95}
const api3::Guid MenuItemId = {
    0xA4B1F540, 0x0ED3, 0x4C17, {0x8D, 0xF3, 0x66, 0x9A, 0x5B, 0x86, 0x9E, 0x95}};

api3::PluginStartupInfo HostInfo;
api3::StandardFunctions HostFunctions;

bool CaptureHostServices(const api3::PluginStartupInfo* Info) {
    if (!Info || Info->StructSize < api3::kMinStartupInfoSize) return false;
    // A newer host's record is longer: what this plug-in knows of it is copied.
    memset(&HostInfo, 0, sizeof HostInfo);
    memcpy(&HostInfo, Info,
           Info->StructSize < sizeof HostInfo ? Info->StructSize : sizeof HostInfo);
    memset(&HostFunctions, 0, sizeof HostFunctions);
    if (Info->FSF && Info->FSF->StructSize >= sizeof(size_t)) {
        const size_t size = Info->FSF->StructSize;
        memcpy(&HostFunctions, Info->FSF,
               size < sizeof HostFunctions ? size : sizeof HostFunctions);
    }
    HostInfo.FSF = &HostFunctions;
    return true;
}

}  // namespace tarvik
