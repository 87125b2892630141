// GetLastError / SetLastError: one value per thread, as Win32 keeps it.
#include <winbase.h>

namespace {
thread_local DWORD t_lastError = 0;
}

DWORD WINAPI GetLastError(void) { return t_lastError; }

void WINAPI SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }
