#include "SerialListener.h"

#include <cstring>

CSerialListener::CSerialListener() : m_hListenerThread(nullptr), m_hStopEvent(nullptr), m_hWaitEvent(nullptr)
{
}

CSerialListener::~CSerialListener()
{
    if (m_hListenerThread != nullptr)
        CSerialListener::StopListener(INFINITE);
    // Also the events of a port that was opened but never listened.
    CloseEvents();
    // The base destructor closes the device, now that no thread uses it.
}

void CSerialListener::CloseEvents()
{
    if (m_hStopEvent != nullptr) {
        ::CloseHandle(m_hStopEvent);
        m_hStopEvent = nullptr;
    }
    if (m_hWaitEvent != nullptr) {
        ::CloseHandle(m_hWaitEvent);
        m_hWaitEvent = nullptr;
    }
}

LONG CSerialListener::Open(LPCSTR lpszDevice, DWORD dwInQueue, DWORD dwOutQueue)
{
    const LONG lResult = CSerialPort::Open(lpszDevice, dwInQueue, dwOutQueue);
    if (lResult != ERROR_SUCCESS)
        return lResult;

    m_hStopEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hWaitEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (m_hStopEvent != nullptr && m_hWaitEvent != nullptr)
        return lResult;

    const LONG lError = static_cast<LONG>(::GetLastError());
    // Release the event that was created, so that a failed Open holds nothing.
    CloseEvents();
    CSerialPort::Close();
    return Result(lError);
}

LONG CSerialListener::Close()
{
    StopListener(INFINITE);
    CloseEvents();
    return CSerialPort::Close();
}

LONG CSerialListener::StartListener()
{
    if (m_hListenerThread != nullptr)
        return Result(ERROR_SUCCESS);
    m_hListenerThread = ::CreateThread(nullptr, 0, ThreadEntry, this, 0, nullptr);
    if (m_hListenerThread == nullptr)
        return Result(static_cast<LONG>(::GetLastError()));
    return Result(ERROR_SUCCESS);
}

LONG CSerialListener::StopListener(DWORD dwTimeout)
{
    if (m_hListenerThread != nullptr) {
        ::SetEvent(m_hStopEvent);
        ::WaitForSingleObject(m_hListenerThread, dwTimeout);
        ::CloseHandle(m_hListenerThread);
        m_hListenerThread = nullptr;
    }
    return Result(ERROR_SUCCESS);
}

DWORD WINAPI CSerialListener::ThreadEntry(LPVOID lpParameter)
{
    return static_cast<CSerialListener*>(lpParameter)->ThreadProc();
}

DWORD CSerialListener::ThreadProc()
{
    HANDLE handles[2] = {m_hStopEvent, m_hWaitEvent};
    // One record of this thread's own for every wait: the user-interface
    // thread's requests use the port's built-in record at the same time.
    OVERLAPPED ov;
    std::memset(&ov, 0, sizeof ov);
    ov.hEvent = m_hWaitEvent;

    LONG lArmed = WaitEvent(&ov, INFINITE);
    if (lArmed != ERROR_SUCCESS)
        return static_cast<DWORD>(lArmed);

    // The stop event comes first, so it wins when both are signalled.
    while (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        const DWORD dwEvents = GetEventType();
        DWORD dwErrors = 0;
        if (!::ClearCommError(m_hFile, &dwErrors, nullptr))
            Result(static_cast<LONG>(::GetLastError()));
        if (dwEvents != 0)
            OnEvent(dwEvents, dwErrors);
        lArmed = WaitEvent(&ov, INFINITE);
        if (lArmed != ERROR_SUCCESS)
            return static_cast<DWORD>(lArmed);
    }

    // Setting the mask ends the outstanding wait, with no events.
    SetMask(GetEventMask());
    RetireWait(ov);
    return 0;
}

void CSerialListener::RetireWait(OVERLAPPED& ov)
{
    // The wait's record lives on this thread's stack and the system writes
    // into it until the wait has ended. Cancel it in case setting the mask
    // failed (CancelIo reaches only this thread's own request), then wait for
    // the end, which a cancelled request always reaches; a wait that has
    // already ended returns at once.
    ::CancelIo(m_hFile);
    DWORD dwIgnored = 0;
    ::GetOverlappedResult(m_hFile, &ov, &dwIgnored, TRUE);
}
