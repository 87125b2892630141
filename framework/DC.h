// Device contexts. CDC wraps a handle it does not own; CClientDC and CPaintDC
// obtain one for a window and release it when they go, so that no device
// context outlives the call that drew with it.
#pragma once

#include "GdiObject.h"

class CWnd;

class CDC {
public:
    explicit CDC(HDC hDC = nullptr) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC;

    HGDIOBJ SelectObject(HGDIOBJ hObject) const { return ::SelectObject(m_hDC, hObject); }
    COLORREF SetTextColor(COLORREF color) const { return ::SetTextColor(m_hDC, color); }
    int SetBkMode(int nBkMode) const { return ::SetBkMode(m_hDC, nBkMode); }
    int DrawText(LPCSTR lpszText, LPRECT lpRect, UINT nFormat) const
    {
        return ::DrawTextA(m_hDC, lpszText, -1, lpRect, nFormat);
    }
    void FillRect(LPCRECT lpRect, HBRUSH hBrush) const { ::FillRect(m_hDC, lpRect, hBrush); }
    BOOL DrawIcon(int x, int y, HICON hIcon) const { return ::DrawIcon(m_hDC, x, y, hIcon); }
};

class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : CDC(::GetDC(hWnd)), m_hWnd(hWnd) {}
    ~CClientDC() { ::ReleaseDC(m_hWnd, m_hDC); }

private:
    HWND m_hWnd;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps;
};
