// Dialog data exchange: one DDX_ call binds a member to a control. The same
// calls copy members to controls (initialisation) or controls to members.
#pragma once

#include "String.h"
#include "Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate; // TRUE: controls to members
    CWnd* m_pDlgWnd;

    HWND Control(int nIDC) const { return m_pDlgWnd->GetDlgItem(nIDC); }
};

// Drop-down list text. To the control: select the first item that begins with
// the text, ignoring case (no match: the selection stays). From the control:
// the selected item's text, or "" when none is selected.
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
// Check box: 1 ticked, 0 clear.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Attaches rControl to the control on the first exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
