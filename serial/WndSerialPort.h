// CWndSerialPort: a CSerialWnd opened with a framework window object.
#pragma once

#include "SerialWnd.h"

class CWnd;

class CWndSerialPort : public CSerialWnd {
public:
    // Closes a listening port.
    ~CWndSerialPort() override;
    // pWnd may be null: the notifications then reach no window. The window
    // handle is read once, here.
    virtual LONG Open(LPCSTR lpszDevice, CWnd* pWnd, UINT nMsg, LPARAM lParam, DWORD dwInQueue, DWORD dwOutQueue);
};
