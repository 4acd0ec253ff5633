// Library unload: the one place where the Windows and the native build differ
// in how the plug-in learns that it is going away.
#include <windows.h>

#include "plugin/host170/entry_points.h"

#if defined(_WIN32)

extern "C" BOOL WINAPI DllMain(HINSTANCE /*Instance*/, DWORD Reason, LPVOID /*Reserved*/) {
    if (Reason == DLL_PROCESS_DETACH) tarvik::ReleaseOwnedStrings();
    return TRUE;
}

#else

__attribute__((destructor)) static void ReleaseAtUnload() {
    tarvik::ReleaseOwnedStrings();
}

#endif
