#include "TesterApp.h"

#include "TesterDlg.h"

#include <commctrl.h>

BEGIN_MESSAGE_MAP(CTesterApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CTesterApp::InitInstance()
{
    // Registers the progress bar's window class.
    ::InitCommonControls();
    CWinApp::InitInstance();

    CTesterDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // No message loop of the application's own: the process ends.
    return FALSE;
}
