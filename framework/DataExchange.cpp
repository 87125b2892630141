#include "DataExchange.h"

#include <vector>

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hCombo = pDX->Control(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        ::SendMessageA(hCombo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<LPCSTR>(value)));
        return;
    }
    const LRESULT sel = ::SendMessageA(hCombo, CB_GETCURSEL, 0, 0);
    const LRESULT length = sel == CB_ERR ? CB_ERR : ::SendMessageA(hCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
    if (length == CB_ERR) {
        value.Empty();
        return;
    }
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text.data()));
    value = text.data();
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hButton = pDX->Control(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ::SendMessageA(hButton, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else
        ::SendMessageA(hButton, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == nullptr)
        rControl.Attach(pDX->Control(nIDC));
}
