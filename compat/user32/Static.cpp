// The Static class: text labels. Its WM_PAINT asks the parent for a brush
// with WM_CTLCOLORSTATIC and fills its client area with it (a NULL_BRUSH
// fills nothing, so what lay there stays), then draws its text.
#include "Window.h"

namespace compat::user {
namespace {

// The DrawText flags of each text style; other styles draw no text.
bool TextFormat(DWORD style, UINT* format)
{
    switch (style & SS_TYPEMASK) {
    case SS_LEFT:
        *format = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK;
        break;
    case SS_CENTER:
        *format = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        *format = DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK;
        break;
    case SS_SIMPLE:
        *format = DT_LEFT | DT_SINGLELINE;
        break;
    case SS_LEFTNOWORDWRAP:
        *format = DT_LEFT | DT_EXPANDTABS;
        break;
    default:
        return false;
    }
    if (style & SS_NOPREFIX)
        *format |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE)
        *format |= DT_VCENTER | DT_SINGLELINE;
    return true;
}

void Paint(const WindowPtr& w)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(w->handle, &ps);
    HBRUSH brush = reinterpret_cast<HBRUSH>(ControlColor(*w, WM_CTLCOLORSTATIC, hdc));
    if (IsWindow(w->handle)) {
        RECT rc;
        GetClientRect(w->handle, &rc);
        FillRect(hdc, &rc, brush);
        UINT format = 0;
        if (TextFormat(w->style, &format)) {
            if (w->style & WS_DISABLED)
                SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
            PaintText(w->handle, hdc, w->text, rc, format);
        }
    }
    EndPaint(w->handle, &ps);
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WindowPtr w = Find(hwnd);
    if (w == nullptr)
        return 0;
    switch (msg) {
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_ERASEBKGND:
        return 1;  // all painting happens in WM_PAINT, as in Windows
    case WM_PAINT:
        Paint(w);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

void RegisterStatic()
{
    RegisterSystemClass("Static", StaticProc, 0);
}

}  // namespace compat::user
