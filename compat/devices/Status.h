// What compat writes into OVERLAPPED.Internal: the NTSTATUS of a request, as
// Windows does, and its mapping to the Win32 codes GetOverlappedResult reports.
#pragma once

#include <winbase.h>

namespace compat::devices {

constexpr DWORD kStatusSuccess = 0x00000000;
constexpr DWORD kStatusCancelled = 0xC0000120;
constexpr DWORD kStatusInvalidParameter = 0xC000000D;
constexpr DWORD kStatusNotSupported = 0xC00000BB;
constexpr DWORD kStatusInvalidDeviceState = 0xC0000184;

// Error statuses carry their severity in the top bits; STATUS_TIMEOUT and
// STATUS_PENDING are not errors.
inline bool IsError(DWORD status) { return (status & 0xC0000000u) == 0xC0000000u; }

inline DWORD ToStatus(DWORD win32Error) {
    switch (win32Error) {
    case ERROR_SUCCESS: return kStatusSuccess;
    case ERROR_OPERATION_ABORTED: return kStatusCancelled;
    case ERROR_INVALID_PARAMETER: return kStatusInvalidParameter;
    case ERROR_NOT_SUPPORTED: return kStatusNotSupported;
    case ERROR_BAD_COMMAND: return kStatusInvalidDeviceState;
    default: return 0xC0070000u | (win32Error & 0xFFFF);  // FACILITY_NTWIN32
    }
}

inline DWORD ToWin32Error(DWORD status) {
    switch (status) {
    case kStatusCancelled: return ERROR_OPERATION_ABORTED;
    case kStatusInvalidParameter: return ERROR_INVALID_PARAMETER;
    case kStatusNotSupported: return ERROR_NOT_SUPPORTED;
    case kStatusInvalidDeviceState: return ERROR_BAD_COMMAND;
    default: return status & 0xFFFF;
    }
}

}  // namespace compat::devices
