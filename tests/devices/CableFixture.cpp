#include "CableFixture.h"

HANDLE OpenPort(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

BOOL SetLine(HANDLE h, DWORD baud, BYTE bits, BYTE parity, BYTE stop, bool checkParity) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) return FALSE;
    dcb.BaudRate = baud;
    dcb.ByteSize = bits;
    dcb.Parity = parity;
    dcb.StopBits = stop;
    dcb.fParity = checkParity;
    return SetCommState(h, &dcb);
}

BOOL Write(HANDLE h, const std::vector<BYTE>& bytes, DWORD* written) {
    Overlapped o;
    DWORD n = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, o.get());
    if (!ok && GetLastError() == ERROR_IO_PENDING) {
        if (!o.WaitFor(10000)) {
            ADD_FAILURE() << "the write did not end";
            CancelIo(h);
            o.WaitFor(10000);
        }
        ok = GetOverlappedResult(h, o.get(), &n, FALSE);
    }
    if (written) *written = n;
    return ok;
}

std::vector<BYTE> ReadQueued(HANDLE h) {
    COMMTIMEOUTS saved{}, now{MAXDWORD, 0, 0, 0, 0};
    GetCommTimeouts(h, &saved);
    SetCommTimeouts(h, &now);
    std::vector<BYTE> bytes(65536);
    Overlapped o;
    DWORD n = 0;
    if (!ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, o.get())) n = 0;
    SetCommTimeouts(h, &saved);
    bytes.resize(n);
    return bytes;
}

DWORD TakeErrors(HANDLE h) {
    DWORD errors = 0;
    ClearCommError(h, &errors, nullptr);
    return errors;
}

std::vector<BYTE> Pattern(std::size_t size) {
    std::vector<BYTE> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 7 + 3);
    return bytes;
}
