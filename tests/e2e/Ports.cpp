#include "Ports.h"

#include <stdexcept>

namespace e2e {

namespace {

// How long the port must stay quiet to count as drained.
const DWORD kQuietTime = 50;

// A port opened by the driver, closed when the object goes.
class CPort {
public:
    explicit CPort(const std::string& strPort)
        : m_hFile(::CreateFileA(strPort.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr)),
          m_dwError(m_hFile == INVALID_HANDLE_VALUE ? ::GetLastError() : 0),
          m_strName(strPort)
    {
    }
    ~CPort()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_hFile);
    }
    CPort(const CPort&) = delete;
    CPort& operator=(const CPort&) = delete;

    DWORD Error() const { return m_dwError; }
    HANDLE Handle() const
    {
        if (m_hFile == INVALID_HANDLE_VALUE)
            throw std::runtime_error("cannot open " + m_strName + ": error " + std::to_string(m_dwError));
        return m_hFile;
    }
    void Check(BOOL bDone, const char* pszWhat) const
    {
        if (!bDone)
            throw std::runtime_error(std::string(pszWhat) + " on " + m_strName + " failed: error " +
                                     std::to_string(::GetLastError()));
    }

private:
    HANDLE m_hFile;
    DWORD m_dwError;
    std::string m_strName;
};

} // namespace

DWORD OpenError(const std::string& strPort)
{
    return CPort(strPort).Error();
}

size_t Drain(const std::string& strPort)
{
    CPort port(strPort);
    COMMTIMEOUTS timeouts = {};
    timeouts.ReadTotalTimeoutConstant = kQuietTime;
    port.Check(::SetCommTimeouts(port.Handle(), &timeouts), "SetCommTimeouts");
    // Read rather than purge, to count what was left; the far end of a pair
    // may still be passing bytes on, so read until a read brings nothing.
    char buffer[4096];
    size_t total = 0;
    DWORD dwRead = 0;
    do {
        port.Check(::ReadFile(port.Handle(), buffer, sizeof buffer, &dwRead, nullptr), "ReadFile");
        total += dwRead;
    } while (dwRead > 0);
    return total;
}

DWORD ReadBaudRate(const std::string& strPort)
{
    CPort port(strPort);
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    port.Check(::GetCommState(port.Handle(), &dcb), "GetCommState");
    return dcb.BaudRate;
}

void WriteBaudRate(const std::string& strPort, DWORD dwBaudRate)
{
    CPort port(strPort);
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    port.Check(::GetCommState(port.Handle(), &dcb), "GetCommState");
    dcb.BaudRate = dwBaudRate;
    port.Check(::SetCommState(port.Handle(), &dcb), "SetCommState");
}

} // namespace e2e
