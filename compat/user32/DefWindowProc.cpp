// DefWindowProcA: the default handling of every window's messages, and
// CallWindowProcA for windows whose procedure has been replaced.
#include "Window.h"

#include <algorithm>
#include <cstring>

namespace compat::user {

// The colours a control gets when its parent does not answer WM_CTLCOLOR*.
LRESULT DefaultControlColor(UINT msg, HDC hdc)
{
    switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(hdc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLORSCROLLBAR:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
    default:
        SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(hdc, GetSysColor(COLOR_3DFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
    }
}

}  // namespace compat::user

using namespace compat::user;

extern "C" {

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return 0;
    switch (Msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_SETTEXT:
        w->text = lParam != 0 ? reinterpret_cast<LPCSTR>(lParam) : "";
        return TRUE;
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0)
            return 0;
        auto buffer = reinterpret_cast<LPSTR>(lParam);
        const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
        std::memcpy(buffer, w->text.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = w->cls->background;
        if (brush == nullptr)
            return 0;
        // A class brush may be a system colour index plus one.
        if (reinterpret_cast<ULONG_PTR>(brush) <= COLOR_MENUBAR + 1)
            brush = GetSysColorBrush(static_cast<int>(reinterpret_cast<ULONG_PTR>(brush)) - 1);
        RECT rc;
        GetClientRect(hWnd, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        return 1;
    }
    case WM_ICONERASEBKGND:
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return DefaultControlColor(Msg, reinterpret_cast<HDC>(wParam));
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            return SendMessageA(hWnd, WM_CLOSE, 0, 0);
        case SC_MINIMIZE:
            ShowWindow(hWnd, SW_MINIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hWnd, SW_RESTORE);
            return 0;
        default:
            return 0;
        }
    case WM_ACTIVATE: {
        // An activated window takes the focus unless it already holds it.
        HWND focus = GetFocus();
        if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hWnd) && focus != hWnd && !IsChild(hWnd, focus))
            SetFocus(hWnd);
        return 0;
    }
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
        HICON old = slot;
        slot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
        if (wParam == ICON_BIG)
            return reinterpret_cast<LRESULT>(w->iconBig);
        if (wParam == ICON_SMALL)
            return reinterpret_cast<LRESULT>(w->iconSmall);
        return reinterpret_cast<LRESULT>(w->iconSmall != nullptr ? w->iconSmall : w->iconBig);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(w->cls->icon);
    case WM_HELP:
        // Help that a child does not handle goes up to its parent.
        if (w->IsChild())
            return SendMessageA(w->parent, WM_HELP, wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return lpPrevWndFunc != nullptr ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

}  // extern "C"
