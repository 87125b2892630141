// CSerialListener adds to the serial port a listener thread that waits for
// the events of the port's event mask and hands each batch to OnEvent, on the
// listener thread. The thread lives from StartListener to StopListener (or
// Close); the object must outlive it, which Close and the destructor ensure.
#pragma once

#include "SerialPort.h"

class CSerialListener : public CSerialPort {
public:
    CSerialListener();
    ~CSerialListener() override;

    LONG Open(LPCSTR lpszDevice, DWORD dwInQueue, DWORD dwOutQueue) override;
    LONG Close() override;

    virtual LONG StartListener();
    virtual LONG StopListener(DWORD dwTimeout);
    // Called on the listener thread for each ended wait with events in the
    // mask, with the line errors that ClearCommError reported after it.
    virtual void OnEvent(DWORD dwEvents, DWORD dwErrors) = 0;

protected:
    DWORD ThreadProc();

    HANDLE m_hListenerThread;
    HANDLE m_hStopEvent;
    HANDLE m_hWaitEvent;

private:
    static DWORD WINAPI ThreadEntry(LPVOID lpParameter);
    void CloseEvents();
    // Waits until the system has finished with the thread's request record.
    void RetireWait(OVERLAPPED& ov);
};
