// CWinApp: the application object. Exactly one exists, a global constructed
// during static initialisation; the framework's WinMain calls InitInstance.
// It also pumps messages, runs idle processing and answers the Help command.
#pragma once

#include "CmdTarget.h"
#include "String.h"

class CWnd;

// The framework's Help command (F1 in a dialog).
#define ID_HELP 0xE146
// Help contexts of resources (dialogs) start here, plus the template number.
#define HID_BASE_RESOURCE 0x20000

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // Takes the next message (waiting for one), lets the windows it is for
    // pre-translate it, then translates and dispatches it. FALSE when the
    // message was the quit message.
    virtual BOOL PumpMessage();
    // Idle processing, called with 0, 1, 2, ... while it returns TRUE.
    virtual BOOL OnIdle(LONG lCount);

    // Opens the help file at the main window's help topic.
    void OnHelp();

    HICON LoadIcon(UINT nIDResource) const;
    // The executable's file name without its extension: the caption of the
    // program's message boxes.
    CString GetAppName() const;
    // The executable's path with the extension ".HLP".
    CString GetHelpFilePath() const;

    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// A message box owned by the main window, captioned with the application name.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK);
