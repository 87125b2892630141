// The Button class: push buttons, check boxes (automatic or not), radio
// buttons and group boxes. A click (mouse, Space on the focused button, or
// BM_CLICK) updates an automatic box first and then sends BN_CLICKED.
#include "Window.h"

namespace compat::user {
namespace {

struct ButtonState : ControlState {
    WPARAM check = BST_UNCHECKED;
    bool pushed = false;
};

ButtonState& StateOf(Window& w)
{
    if (w.control == nullptr)
        w.control = std::make_unique<ButtonState>();
    return static_cast<ButtonState&>(*w.control);
}

DWORD TypeOf(const Window& w)
{
    return w.style & BS_TYPEMASK;
}

bool IsPushButton(DWORD type)
{
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON || type == BS_OWNERDRAW;
}

bool HasCheck(DWORD type)
{
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
           type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

void Click(const WindowPtr& w)
{
    ButtonState& s = StateOf(*w);
    switch (TypeOf(*w)) {
    case BS_AUTOCHECKBOX:
        s.check = s.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        break;
    case BS_AUTO3STATE:
        s.check = (s.check + 1) % 3;
        break;
    case BS_AUTORADIOBUTTON:
        s.check = BST_CHECKED;
        break;
    default:
        break;
    }
    InvalidateRect(w->handle, nullptr, FALSE);
    NotifyParent(*w, BN_CLICKED);
}

void Paint(const WindowPtr& w)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(w->handle, &ps);
    const DWORD type = TypeOf(*w);
    // Push buttons ask their parent with WM_CTLCOLORBTN, the others as statics do.
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        ControlColor(*w, IsPushButton(type) ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC, hdc));
    RECT rc;
    GetClientRect(w->handle, &rc);
    if (IsPushButton(type))
        brush = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(hdc, &rc, brush);
    if (w->style & WS_DISABLED)
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(hdc, TRANSPARENT);
    if (IsPushButton(type)) {
        PaintText(w->handle, hdc, w->text, rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else if (type == BS_GROUPBOX) {
        RECT top = rc;
        top.left += 8;
        PaintText(w->handle, hdc, w->text, top, DT_LEFT | DT_TOP | DT_SINGLELINE);
    } else {
        RECT label = rc;
        label.left += 16;  // the box itself
        PaintText(w->handle, hdc, w->text, label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    EndPaint(w->handle, &ps);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WindowPtr w = Find(hwnd);
    if (w == nullptr)
        return 0;
    ButtonState& s = StateOf(*w);
    const DWORD type = TypeOf(*w);
    switch (msg) {
    case BM_GETCHECK:
        return HasCheck(type) ? static_cast<LRESULT>(s.check) : BST_UNCHECKED;
    case BM_SETCHECK:
        if (HasCheck(type)) {
            const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
            s.check = (wParam == BST_INDETERMINATE && !threeState) ? BST_CHECKED : (wParam & 3);
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case BM_GETSTATE:
        return static_cast<LRESULT>(s.check | (s.pushed ? BST_PUSHED : 0) | (GetFocus() == hwnd ? BST_FOCUS : 0));
    case BM_SETSTATE:
        s.pushed = wParam != 0;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case BM_SETSTYLE:
        w->style = (w->style & ~BS_TYPEMASK) | (wParam & BS_TYPEMASK);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case BM_CLICK:
        // The mouse messages are sent, not input: a disabled button is clicked too.
        SendMessageA(hwnd, WM_LBUTTONDOWN, 0, 0);
        SendMessageA(hwnd, WM_LBUTTONUP, 0, 0);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        s.pushed = true;
        return 0;
    case WM_LBUTTONUP:
        if (s.pushed) {
            s.pushed = false;
            Click(w);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !s.pushed) {
            s.pushed = true;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && s.pushed) {
            s.pushed = false;
            Click(w);
        }
        return 0;
    case WM_KILLFOCUS:
        s.pushed = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_SETFOCUS:
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_GETDLGCODE:
        switch (type) {
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
        }
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_ERASEBKGND:
        return 1;  // all painting happens in WM_PAINT
    case WM_PAINT:
        Paint(w);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

void RegisterButton()
{
    RegisterSystemClass("Button", ButtonProc, 0);
}

}  // namespace compat::user
