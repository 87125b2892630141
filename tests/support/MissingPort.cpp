#include "MissingPort.h"

#include <windows.h>

std::string MissingPort()
{
    for (const char* name : {"COM9", "COM4", "COM2"}) {
        HANDLE h = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                                 nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(h);
            continue;
        }
        if (::GetLastError() == ERROR_FILE_NOT_FOUND)
            return name;
    }
    return std::string();
}
