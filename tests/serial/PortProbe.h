// Serial port classes opened for a test: their protected fields made
// reachable, and a listener whose notifications a test can collect.
#pragma once

#include "WndSerialPort.h"

#include <chrono>
#include <thread>

template <class TPort>
class CPortProbe : public TPort {
public:
    using TPort::m_lLastError;
    using TPort::m_hFile;
    using TPort::m_dwPendingEvents;
    using TPort::m_dwEventMask;
    using TPort::m_hIoEvent;

    LONG LastError() const { return this->m_lLastError.load(); }
};

class CWndPortProbe : public CPortProbe<CWndSerialPort> {
public:
    // The most derived class closes the port, so that the listener ends
    // before the destructors of the layers below run.
    ~CWndPortProbe() override { Close(); }

    using CWndSerialPort::m_hListenerThread;
    using CWndSerialPort::m_hStopEvent;
    using CWndSerialPort::m_hWaitEvent;
    using CWndSerialPort::m_hNotifyWnd;
    using CWndSerialPort::m_nNotifyMsg;
    using CWndSerialPort::m_lNotifyParam;
};

// Polls a condition against a deadline; true when it came true in time.
template <class Condition>
bool WaitUntil(Condition condition, int timeoutMs = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
