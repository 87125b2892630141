#include "WndSerialPort.h"

#include "Wnd.h"

CWndSerialPort::~CWndSerialPort()
{
    // Stop the listener before any base destructor runs: the thread calls the
    // port's virtual operations, which must not meet an object half destroyed.
    if (m_hListenerThread != nullptr)
        Close();
}

LONG CWndSerialPort::Open(LPCSTR lpszDevice, CWnd* pWnd, UINT nMsg, LPARAM lParam, DWORD dwInQueue,
                          DWORD dwOutQueue)
{
    HWND hWnd = pWnd != nullptr ? pWnd->m_hWnd : nullptr;
    return CSerialWnd::Open(lpszDevice, hWnd, nMsg, lParam, dwInQueue, dwOutQueue);
}
