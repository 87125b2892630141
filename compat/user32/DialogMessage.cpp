// IsDialogMessageA: the dialog's keyboard interface. Tab and Shift+Tab move
// the focus through the tab stops, Escape gives IDCANCEL, Enter clicks the
// focused push button or else the default button (IDOK when there is none).
// A control keeps the keys it asks for with WM_GETDLGCODE. Every other
// message of the dialog's windows is translated and dispatched.
#include "Window.h"

using namespace compat::user;

namespace {

void Command(HWND dlg, int id, HWND control)
{
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void Enter(HWND dlg)
{
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(dlg, focus) && IsWindowEnabled(focus) &&
        (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        Command(dlg, GetDlgCtrlID(focus), focus);
        return;
    }
    const LRESULT def = SendMessageA(dlg, DM_GETDEFID, 0, 0);
    if (HIWORD(def) == DC_HASDEFID) {
        HWND button = GetDlgItem(dlg, LOWORD(def));
        if (button == nullptr || IsWindowEnabled(button))
            Command(dlg, LOWORD(def), button);
        return;
    }
    Command(dlg, IDOK, GetDlgItem(dlg, IDOK));
}

// True when the key was the dialog's to handle.
bool DialogKey(HWND dlg, const MSG& msg, LRESULT code)
{
    if (code & DLGC_WANTMESSAGE)
        return false;
    switch (msg.wParam) {
    case VK_TAB:
        if (code & DLGC_WANTTAB)
            return false;
        SendMessageA(dlg, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) != 0, 0);
        return true;
    case VK_ESCAPE:
    case VK_CANCEL:
        Command(dlg, IDCANCEL, GetDlgItem(dlg, IDCANCEL));
        return true;
    case VK_RETURN:
    case VK_EXECUTE:
        Enter(dlg);
        return true;
    default:
        return false;
    }
}

}  // namespace

extern "C" {

BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg)
{
    if (lpMsg == nullptr || !IsWindow(hDlg))
        return FALSE;
    if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd))
        return FALSE;
    if (lpMsg->message == WM_KEYDOWN) {
        const LRESULT code = SendMessageA(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam, reinterpret_cast<LPARAM>(lpMsg));
        if (DialogKey(hDlg, *lpMsg, code))
            return TRUE;
    }
    TranslateMessage(lpMsg);
    DispatchMessageA(lpMsg);
    return TRUE;
}

}  // extern "C"
