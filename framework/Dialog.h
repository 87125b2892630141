// CDialog: a modal dialog built from a dialog template of the program's
// resources. DoModal creates the window, runs the modal loop through the
// application's message pump and destroys the window when the dialog ends.
#pragma once

#include "Wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog until it ends; its result (IDOK, IDCANCEL, ...), or -1
    // when the window could not be created or the quit message arrived.
    INT_PTR DoModal();
    void EndDialog(int nResult);

    // Applies the template's initialisation data, then copies the members to
    // the controls. TRUE gives the focus to the first control in tab order.
    virtual BOOL OnInitDialog();
    // Enter: copies the controls to the members and ends the dialog with IDOK.
    virtual void OnOK();
    // Escape and the close box: ends the dialog with IDCANCEL.
    virtual void OnCancel();

    // F1 asks for help; keyboard navigation is the dialog manager's.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) { return CWnd::OnCtlColor(pDC, pWnd, nCtlColor); }
    void OnPaint() { CWnd::OnPaint(); }

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT nMsg, WPARAM wParam, LPARAM lParam);
    BOOL HandleInitDialog();
    void ExecuteDlgInit();
    void CenterWindow();

    bool m_bContinueModal = false;
    INT_PTR m_nModalResult = -1;
};
