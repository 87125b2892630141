#include "WndSerialPort.h"

#include "Wnd.h"

CWndSerialPort::~CWndSerialPort() = default;

LONG CWndSerialPort::Open(LPCSTR lpszDevice, CWnd* pWnd, UINT nMsg, LPARAM lParam, DWORD dwInQueue,
                          DWORD dwOutQueue)
{
    HWND hWnd = pWnd != nullptr ? pWnd->m_hWnd : nullptr;
    return CSerialWnd::Open(lpszDevice, hWnd, nMsg, lParam, dwInQueue, dwOutQueue);
}
