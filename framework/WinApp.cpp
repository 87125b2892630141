#include "WinApp.h"

#include "Wnd.h"

#include <cstring>

namespace {

CWinApp* g_pApp = nullptr;

CString ModulePath()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Offsets of the file name and its extension within a path.
int FileNameStart(const CString& path)
{
    const char* text = path;
    const char* slash = std::strrchr(text, '\\');
    return slash != nullptr ? static_cast<int>(slash - text) + 1 : 0;
}

int ExtensionStart(const CString& path)
{
    const char* text = path;
    const char* dot = std::strrchr(text + FileNameStart(path), '.');
    return dot != nullptr ? static_cast<int>(dot - text) : path.GetLength();
}

} // namespace

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

BOOL CWinApp::PumpMessage()
{
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0))
        return FALSE;
    // The window the message is for and its parents, innermost first, may
    // use it up (a dialog's keyboard handling does).
    for (HWND hWnd = msg.hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(&msg))
            return TRUE;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return TRUE;
}

BOOL CWinApp::OnIdle(LONG)
{
    return FALSE;
}

void CWinApp::OnHelp()
{
    const HWND hWnd = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
    const UINT nIDHelp = m_pMainWnd != nullptr ? m_pMainWnd->m_nIDHelp : 0;
    ::WinHelpA(hWnd, GetHelpFilePath(), HELP_CONTEXT, HID_BASE_RESOURCE + nIDHelp);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource));
}

CString CWinApp::GetAppName() const
{
    const CString path = ModulePath();
    const int start = FileNameStart(path);
    CString name(static_cast<LPCSTR>(path) + start);
    return name.Left(ExtensionStart(path) - start);
}

CString CWinApp::GetHelpFilePath() const
{
    const CString path = ModulePath();
    return path.Left(ExtensionStart(path)) + ".HLP";
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType)
{
    CWinApp* pApp = AfxGetApp();
    HWND hOwner = pApp != nullptr && pApp->m_pMainWnd != nullptr ? pApp->m_pMainWnd->m_hWnd : nullptr;
    const CString caption = pApp != nullptr ? pApp->GetAppName() : CString();
    return ::MessageBoxA(hOwner, lpszText, caption, nType);
}
