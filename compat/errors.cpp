// The calling thread's last error code, as Windows keeps it.
#include <windows.h>

namespace {

thread_local DWORD LastError = 0;

}  // namespace

DWORD WINAPI GetLastError() {
    return LastError;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    LastError = dwErrCode;
}
