// The system calls that not every Windows the host runs on has. The host runs on
// Windows 95 and NT 4.0 and later, and a DLL that imports a function the system lacks
// does not load at all: such a function is looked up at run time instead, and the
// caller does without it where it is missing (tools/check-dll.sh keeps the imports to
// what every one of those systems has).
#pragma once

#include <windows.h>

namespace tarvik {

#if defined(_WIN32)
// The function Name of kernel32.dll as a T, or null where the system lacks it.
template <typename T>
T Kernel32Function(const char* Name) {
    const HMODULE Kernel = GetModuleHandleA("kernel32.dll");
    if (!Kernel) return nullptr;
    // Through a plain function type: FARPROC says nothing of the real signature.
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(Kernel, Name)));
}
#endif

}  // namespace tarvik
