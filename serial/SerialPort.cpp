#include "SerialPort.h"

#include <cstring>

namespace {

const DWORD kDefaultEventMask = EV_RXCHAR | EV_BREAK | EV_ERR;

} // namespace

CSerialPort::CSerialPort()
    : m_lLastError(0), m_hFile(nullptr), m_dwPendingEvents(0), m_dwEventMask(0), m_hIoEvent(nullptr)
{
}

CSerialPort::~CSerialPort()
{
    // Not the virtual Close: the derived parts are already gone.
    if (m_hFile != nullptr) {
        ::CloseHandle(m_hIoEvent);
        m_hIoEvent = nullptr;
        ::CloseHandle(m_hFile);
        m_hFile = nullptr;
    }
}

LONG CSerialPort::Result(LONG lCode)
{
    m_lLastError.store(lCode, std::memory_order_relaxed);
    return lCode;
}

LONG CSerialPort::Open(LPCSTR lpszDevice, DWORD dwInQueue, DWORD dwOutQueue)
{
    Result(ERROR_SUCCESS);
    if (m_hFile != nullptr)
        return Result(ERROR_ALREADY_INITIALIZED);

    HANDLE hFile = ::CreateFileA(lpszDevice, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OVERLAPPED, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        m_hFile = nullptr;
        return Result(static_cast<LONG>(::GetLastError()));
    }
    m_hFile = hFile;

    m_hIoEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (m_hIoEvent == nullptr) {
        const LONG lError = static_cast<LONG>(::GetLastError());
        ::CloseHandle(m_hFile);
        m_hFile = nullptr;
        return Result(lError);
    }

    if (dwInQueue != 0 || dwOutQueue != 0) {
        if (!::SetupComm(m_hFile, dwInQueue, dwOutQueue)) {
            const LONG lError = static_cast<LONG>(::GetLastError());
            Close();
            return Result(lError);
        }
    }

    SetMask(kDefaultEventMask);
    const LONG lResult = SetupReadTimeouts(ReadNonBlocking);
    ApplyDefaultConfig(lpszDevice);
    return lResult;
}

void CSerialPort::ApplyDefaultConfig(LPCSTR lpszDevice)
{
    COMMCONFIG config;
    std::memset(&config, 0, sizeof config);
    config.dwSize = sizeof config;
    DWORD dwSize = sizeof config;
    // The configuration the system keeps for this port name; failures leave
    // the device as it opened.
    if (::GetDefaultCommConfigA(lpszDevice, &config, &dwSize))
        ::SetCommConfig(m_hFile, &config, dwSize);
}

LONG CSerialPort::Close()
{
    Result(ERROR_SUCCESS);
    if (m_hFile == nullptr)
        return ERROR_SUCCESS;
    ::CloseHandle(m_hIoEvent);
    m_hIoEvent = nullptr;
    ::CloseHandle(m_hFile);
    m_hFile = nullptr;
    return ERROR_SUCCESS;
}

LONG CSerialPort::ReadState(DCB& dcb)
{
    Result(ERROR_SUCCESS);
    if (m_hFile == nullptr)
        return Result(ERROR_INVALID_HANDLE);
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(m_hFile, &dcb))
        return Result(static_cast<LONG>(::GetLastError()));
    return ERROR_SUCCESS;
}

LONG CSerialPort::WriteState(DCB& dcb)
{
    if (!::SetCommState(m_hFile, &dcb))
        return Result(static_cast<LONG>(::GetLastError()));
    return Result(ERROR_SUCCESS);
}

LONG CSerialPort::Setup(DWORD dwBaudrate, BYTE bDataBits, BYTE bParity, BYTE bStopBits)
{
    DCB dcb;
    if (const LONG lError = ReadState(dcb))
        return lError;
    dcb.BaudRate = dwBaudrate;
    dcb.ByteSize = bDataBits;
    dcb.Parity = bParity;
    dcb.StopBits = bStopBits;
    dcb.fParity = bParity != NOPARITY;
    return WriteState(dcb);
}

LONG CSerialPort::SetEventChar(char cEventChar, bool bAdjustMask)
{
    DCB dcb;
    if (const LONG lError = ReadState(dcb))
        return lError;
    dcb.EvtChar = cEventChar;
    LONG lMaskResult = ERROR_SUCCESS;
    if (bAdjustMask)
        lMaskResult = SetMask(GetEventMask() | EV_RXFLAG);
    const LONG lResult = WriteState(dcb);
    return Result(lResult != ERROR_SUCCESS ? lResult : lMaskResult);
}

LONG CSerialPort::SetMask(DWORD dwEventMask)
{
    Result(ERROR_SUCCESS);
    if (m_hFile == nullptr)
        return Result(ERROR_INVALID_HANDLE);
    if (!::SetCommMask(m_hFile, dwEventMask))
        return Result(static_cast<LONG>(::GetLastError()));
    m_dwEventMask.store(dwEventMask, std::memory_order_relaxed);
    return ERROR_SUCCESS;
}

LONG CSerialPort::WaitEvent(LPOVERLAPPED lpOverlapped, DWORD dwTimeout)
{
    Result(ERROR_SUCCESS);
    if (m_hFile == nullptr)
        return Result(ERROR_INVALID_HANDLE);

    OVERLAPPED ov;
    std::memset(&ov, 0, sizeof ov);
    ov.hEvent = m_hIoEvent;
    OVERLAPPED& record = lpOverlapped != nullptr ? *lpOverlapped : ov;

    if (::WaitCommEvent(m_hFile, &m_dwPendingEvents, &record)) {
        // Signalled whether the wait ended now or ends later: the listener
        // waits on the event after this call has returned.
        ::SetEvent(record.hEvent);
        return ERROR_SUCCESS;
    }
    const LONG lError = static_cast<LONG>(::GetLastError());
    if (lError != ERROR_IO_PENDING)
        return Result(lError);
    if (lpOverlapped != nullptr)
        return ERROR_SUCCESS;
    return WaitForBuiltInRequest(ov, nullptr, dwTimeout);
}

LONG CSerialPort::Request(Transfer eKind, void* pData, DWORD dwLen, DWORD* pdwCount, LPOVERLAPPED lpOverlapped,
                          DWORD dwTimeout)
{
    Result(ERROR_SUCCESS);
    DWORD dwOwnCount = 0;
    DWORD* pdwTransferred = pdwCount != nullptr ? pdwCount : &dwOwnCount;
    *pdwTransferred = 0;
    if (m_hFile == nullptr)
        return Result(ERROR_INVALID_HANDLE);

    OVERLAPPED ov;
    std::memset(&ov, 0, sizeof ov);
    ov.hEvent = m_hIoEvent;
    OVERLAPPED& record = lpOverlapped != nullptr ? *lpOverlapped : ov;

    const BOOL bDone = eKind == Transfer::Write ? ::WriteFile(m_hFile, pData, dwLen, pdwTransferred, &record)
                                                : ::ReadFile(m_hFile, pData, dwLen, pdwTransferred, &record);
    if (bDone) {
        ::SetEvent(record.hEvent);
        return ERROR_SUCCESS;
    }
    const LONG lError = static_cast<LONG>(::GetLastError());
    *pdwTransferred = 0;
    if (lError != ERROR_IO_PENDING)
        return Result(lError);
    if (lpOverlapped != nullptr)
        return ERROR_SUCCESS;
    return WaitForBuiltInRequest(ov, pdwTransferred, dwTimeout);
}

LONG CSerialPort::WaitForBuiltInRequest(OVERLAPPED& ov, DWORD* pdwCount, DWORD dwTimeout)
{
    const DWORD dwWait = ::WaitForSingleObject(ov.hEvent, dwTimeout);
    if (dwWait == WAIT_OBJECT_0) {
        if (pdwCount == nullptr)
            return ERROR_SUCCESS; // an event wait: the events word holds the result
        DWORD dwTransferred = 0;
        if (!::GetOverlappedResult(m_hFile, &ov, &dwTransferred, FALSE))
            return Result(static_cast<LONG>(::GetLastError()));
        *pdwCount = dwTransferred;
        return ERROR_SUCCESS;
    }
    const LONG lError = dwWait == WAIT_TIMEOUT ? ERROR_TIMEOUT : static_cast<LONG>(::GetLastError());
    // CancelIo only asks the driver to end the request; until it has ended,
    // the driver may still write into this call's record. A cancelled
    // request always ends, so wait for that before the record goes away. The
    // partial count of a cancelled request is not reported.
    ::CancelIo(m_hFile);
    DWORD dwIgnored = 0;
    ::GetOverlappedResult(m_hFile, &ov, &dwIgnored, TRUE);
    return Result(lError);
}

LONG CSerialPort::Write(LPCSTR pszText, DWORD* pdwWritten, LPOVERLAPPED lpOverlapped, DWORD dwTimeout)
{
    return Write(pszText, static_cast<DWORD>(std::strlen(pszText)), pdwWritten, lpOverlapped, dwTimeout);
}

LONG CSerialPort::Write(const void* pData, DWORD dwSize, DWORD* pdwWritten, LPOVERLAPPED lpOverlapped,
                        DWORD dwTimeout)
{
    return Request(Transfer::Write, const_cast<void*>(pData), dwSize, pdwWritten, lpOverlapped, dwTimeout);
}

LONG CSerialPort::Read(void* pData, DWORD dwSize, DWORD* pdwRead, LPOVERLAPPED lpOverlapped, DWORD dwTimeout)
{
    return Request(Transfer::Read, pData, dwSize, pdwRead, lpOverlapped, dwTimeout);
}

LONG CSerialPort::SetupHandshaking(HandshakeMode eHandshake)
{
    // The flow-control fields of each mode; every other field stays.
    struct FlowControl {
        DWORD fOutxCtsFlow, fOutxDsrFlow, fDtrControl, fRtsControl, fOutX, fInX;
    };
    static const FlowControl kModes[] = {
        {0, 0, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE, 0, 0},     // HandshakeOff
        {1, 1, DTR_CONTROL_HANDSHAKE, RTS_CONTROL_HANDSHAKE, 0, 0}, // HandshakeHardware
        {0, 0, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE, 1, 1},     // HandshakeSoftware
    };
    DCB dcb;
    if (const LONG lError = ReadState(dcb))
        return lError;
    if (eHandshake < HandshakeOff || eHandshake > HandshakeSoftware)
        return Result(E_INVALIDARG);
    const FlowControl& mode = kModes[eHandshake];
    dcb.fOutxCtsFlow = mode.fOutxCtsFlow;
    dcb.fOutxDsrFlow = mode.fOutxDsrFlow;
    dcb.fDtrControl = mode.fDtrControl;
    dcb.fRtsControl = mode.fRtsControl;
    dcb.fOutX = mode.fOutX;
    dcb.fInX = mode.fInX;
    return WriteState(dcb);
}

LONG CSerialPort::SetupReadTimeouts(ReadTimeoutMode eReadTimeout)
{
    Result(ERROR_SUCCESS);
    if (m_hFile == nullptr)
        return Result(ERROR_INVALID_HANDLE);
    COMMTIMEOUTS timeouts;
    if (!::GetCommTimeouts(m_hFile, &timeouts))
        return Result(static_cast<LONG>(::GetLastError()));
    switch (eReadTimeout) {
    case ReadNonBlocking:
        // Return at once with whatever has arrived.
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = 0;
        timeouts.ReadTotalTimeoutConstant = 0;
        break;
    case ReadBlocking:
        // No device time-out: the read ends when all bytes are there.
        timeouts.ReadIntervalTimeout = 0;
        timeouts.ReadTotalTimeoutMultiplier = 0;
        timeouts.ReadTotalTimeoutConstant = 0;
        break;
    default:
        return Result(E_INVALIDARG);
    }
    if (!::SetCommTimeouts(m_hFile, &timeouts))
        return Result(static_cast<LONG>(::GetLastError()));
    return ERROR_SUCCESS;
}

LONG CSerialPort::GetBaudrate()
{
    DCB dcb;
    return ReadState(dcb) == ERROR_SUCCESS ? static_cast<LONG>(dcb.BaudRate) : -1;
}

LONG CSerialPort::GetDataBits()
{
    DCB dcb;
    return ReadState(dcb) == ERROR_SUCCESS ? dcb.ByteSize : -1;
}

LONG CSerialPort::GetParity()
{
    DCB dcb;
    if (ReadState(dcb) != ERROR_SUCCESS)
        return -1;
    return dcb.fParity ? dcb.Parity : NOPARITY;
}

LONG CSerialPort::GetStopBits()
{
    DCB dcb;
    return ReadState(dcb) == ERROR_SUCCESS ? dcb.StopBits : -1;
}

LONG CSerialPort::GetHandshaking()
{
    DCB dcb;
    if (ReadState(dcb) != ERROR_SUCCESS)
        return -1;
    if (dcb.fDtrControl == DTR_CONTROL_HANDSHAKE && dcb.fRtsControl == RTS_CONTROL_HANDSHAKE)
        return HandshakeHardware;
    if (dcb.fOutX && dcb.fInX)
        return HandshakeSoftware;
    return HandshakeOff;
}

DWORD CSerialPort::GetEventMask()
{
    Result(ERROR_SUCCESS);
    if (m_hFile == nullptr) {
        Result(ERROR_INVALID_HANDLE);
        return 0;
    }
    return m_dwEventMask.load(std::memory_order_relaxed);
}

char CSerialPort::GetEventChar()
{
    DCB dcb;
    return ReadState(dcb) == ERROR_SUCCESS ? dcb.EvtChar : 0;
}

DWORD CSerialPort::GetEventType()
{
    const DWORD dwEvents = m_dwPendingEvents & m_dwEventMask.load(std::memory_order_relaxed);
    m_dwPendingEvents = 0;
    return dwEvents;
}

bool CSerialPort::EscapeFunction(DWORD dwFunc)
{
    return ::EscapeCommFunction(m_hFile, dwFunc) != FALSE;
}
