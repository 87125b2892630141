// CSerialWnd reports the listener's events to a window: each batch becomes
// the serial notification, posted (never sent, so the listener never waits
// for the window's thread) with WPARAM = MAKEWPARAM(events, line errors).
#pragma once

#include "SerialListener.h"

// Id of the registered message "CSerialWnd_DefaultComMsg", set during static
// initialisation: the default notification of every CSerialWnd.
extern const UINT g_nSerialNotifyMsg;

class CSerialWnd : public CSerialListener {
public:
    CSerialWnd();
    ~CSerialWnd() override;

    LONG Close() override;
    void OnEvent(DWORD dwEvents, DWORD dwErrors) override;
    // Opens the port and starts the listener. nMsg 0 selects g_nSerialNotifyMsg;
    // lParam is passed unchanged with every notification.
    virtual LONG Open(LPCSTR lpszDevice, HWND hWnd, UINT nMsg, LPARAM lParam, DWORD dwInQueue, DWORD dwOutQueue);

protected:
    // Read by the listener thread while Close clears them on the window's
    // thread: atomics, so that a notification raised meanwhile sees either
    // the target or none.
    std::atomic<HWND> m_hNotifyWnd;
    std::atomic<UINT> m_nNotifyMsg;
    LPARAM m_lNotifyParam;
};
