#include "SerialWnd.h"

const UINT g_nSerialNotifyMsg = ::RegisterWindowMessageA("CSerialWnd_DefaultComMsg");

CSerialWnd::CSerialWnd() : m_hNotifyWnd(nullptr), m_nNotifyMsg(0), m_lNotifyParam(0)
{
}

CSerialWnd::~CSerialWnd()
{
    if (m_hListenerThread != nullptr) {
        m_hNotifyWnd.store(nullptr, std::memory_order_relaxed);
        m_nNotifyMsg.store(0, std::memory_order_relaxed);
        CSerialListener::Close();
    }
}

LONG CSerialWnd::Open(LPCSTR lpszDevice, HWND hWnd, UINT nMsg, LPARAM lParam, DWORD dwInQueue, DWORD dwOutQueue)
{
    const LONG lResult = CSerialListener::Open(lpszDevice, dwInQueue, dwOutQueue);
    if (lResult != ERROR_SUCCESS)
        return lResult;

    // The target is in place before the listener starts, so that its first
    // notification already has it.
    m_hNotifyWnd.store(hWnd, std::memory_order_relaxed);
    m_nNotifyMsg.store(nMsg != 0 ? nMsg : g_nSerialNotifyMsg, std::memory_order_relaxed);
    m_lNotifyParam = lParam;

    const LONG lStart = StartListener();
    if (lStart != ERROR_SUCCESS) {
        Close();
        return Result(lStart);
    }
    return Result(ERROR_SUCCESS);
}

LONG CSerialWnd::Close()
{
    m_hNotifyWnd.store(nullptr, std::memory_order_relaxed);
    m_nNotifyMsg.store(0, std::memory_order_relaxed);
    return CSerialListener::Close();
}

void CSerialWnd::OnEvent(DWORD dwEvents, DWORD dwErrors)
{
    ::PostMessageA(m_hNotifyWnd.load(std::memory_order_relaxed), m_nNotifyMsg.load(std::memory_order_relaxed),
                   MAKEWPARAM(LOWORD(dwEvents), LOWORD(dwErrors)), m_lNotifyParam);
}
