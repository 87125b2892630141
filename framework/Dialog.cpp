#include "Dialog.h"

#include "WinApp.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {

// Resource type of a dialog's initialisation data.
const WORD kRtDlgInit = 240;
// The 16-bit CB_ADDSTRING, which initialisation data has always used.
const WORD kCbAddString16 = 0x0403;

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT nMsg)
{
    return (nMsg >= WM_CTLCOLORMSGBOX && nMsg <= WM_CTLCOLORSTATIC) || nMsg == WM_INITDIALOG ||
           nMsg == WM_QUERYDRAGICON || nMsg == WM_COMPAREITEM || nMsg == WM_VKEYTOITEM ||
           nMsg == WM_CHARTOITEM;
}

const void* LoadProgramResource(UINT nID, LPCSTR lpType, DWORD* pSize)
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    HRSRC hRes = ::FindResourceA(hInst, MAKEINTRESOURCEA(nID), lpType);
    if (hRes == nullptr)
        return nullptr;
    HGLOBAL hData = ::LoadResource(hInst, hRes);
    *pSize = ::SizeofResource(hInst, hRes);
    return hData != nullptr ? ::LockResource(hData) : nullptr;
}

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
    m_nIDHelp = nIDTemplate;
}

INT_PTR CDialog::DoModal()
{
    DWORD size = 0;
    auto dialogTemplate = static_cast<LPCDLGTEMPLATEA>(LoadProgramResource(m_nIDTemplate, RT_DIALOG, &size));
    if (dialogTemplate == nullptr)
        return -1;
    m_nModalResult = -1;
    m_bContinueModal = true;
    HWND hParent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (::CreateDialogIndirectParamA(AfxGetInstanceHandle(), dialogTemplate, hParent, DialogProc,
                                     reinterpret_cast<LPARAM>(this)) == nullptr)
        return -1;

    CWinApp* pApp = AfxGetApp();
    while (m_bContinueModal) {
        if (!pApp->PumpMessage()) {
            // Leave the quit message for the loop that owns the thread.
            ::PostQuitMessage(0);
            m_nModalResult = -1;
            break;
        }
    }
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    // The window stays until the modal loop has ended: a handler that is
    // still running (a test run pumping messages) may end the dialog.
    m_nModalResult = nResult;
    m_bContinueModal = false;
}

BOOL CDialog::OnInitDialog()
{
    ExecuteDlgInit();
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F1 && ::GetKeyState(VK_SHIFT) >= 0 &&
        ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0) {
        SendMessage(WM_COMMAND, ID_HELP, 0);
        return TRUE;
    }
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::ExecuteDlgInit()
{
    DWORD size = 0;
    auto data = static_cast<const BYTE*>(LoadProgramResource(m_nIDTemplate, MAKEINTRESOURCEA(kRtDlgInit), &size));
    if (data == nullptr)
        return;
    // Entries of: control id (WORD), message (WORD), data length (DWORD), data;
    // a control id of 0 ends the list. Entries are packed, so read unaligned.
    const BYTE* end = data + size;
    const BYTE* p = data;
    while (p + 2 <= end) {
        WORD id = 0;
        std::memcpy(&id, p, sizeof id);
        if (id == 0 || p + 8 > end)
            break;
        WORD msg = 0;
        DWORD length = 0;
        std::memcpy(&msg, p + 2, sizeof msg);
        std::memcpy(&length, p + 4, sizeof length);
        p += 8;
        if (length > static_cast<DWORD>(end - p))
            break;
        const UINT nMsg = msg == kCbAddString16 ? CB_ADDSTRING : msg;
        ::SendDlgItemMessageA(m_hWnd, id, nMsg, 0, reinterpret_cast<LPARAM>(p));
        p += length;
    }
}

void CDialog::CenterWindow()
{
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::HandleInitDialog()
{
    RECT before;
    ::GetWindowRect(m_hWnd, &before);
    const BOOL result = OnInitDialog();
    // A template without a placement of its own opens centred on the screen,
    // unless initialisation has moved the window.
    RECT after;
    ::GetWindowRect(m_hWnd, &after);
    const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    if (std::memcmp(&before, &after, sizeof before) == 0 && !(style & (DS_CENTER | DS_ABSALIGN)))
        CenterWindow();
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_INITDIALOG) {
        auto self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->Attach(hDlg);
        return self->HandleInitDialog();
    }
    auto self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hDlg, DWLP_USER));
    if (self == nullptr)
        return FALSE;
    if (nMsg == WM_DESTROY) {
        // The controls go with the dialog: their objects let go of them now,
        // so that a later DoModal attaches the objects to the new controls.
        CWnd::DetachDescendants(hDlg);
    }
    if (nMsg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        self->Detach();
        return FALSE;
    }
    LRESULT result = 0;
    bool handled = self->OnWndMsg(nMsg, wParam, lParam, &result);
    if (!handled && nMsg == WM_COMMAND)
        handled = AfxGetApp() != nullptr && AfxGetApp()->OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
    if (!handled)
        return FALSE;
    if (ReturnsDirectly(nMsg))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, result);
    return TRUE;
}
