// CListBox: thin wrapper of a list box; each call is one message.
#pragma once

#include "Wnd.h"

class CListBox : public CWnd {
    DECLARE_DYNAMIC(CListBox)
public:
    int AddString(LPCSTR lpszItem) const
    {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
    }
    int SetCurSel(int nSelect) const { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    // One tab stop every cxEachStop dialog template units.
    BOOL SetTabStops(const int& cxEachStop) const
    {
        return static_cast<BOOL>(SendMessage(LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&cxEachStop)));
    }
};
