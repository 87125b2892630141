// CWnd: a window handle and the dispatch of its messages through the message
// map. A CWnd does not own its window: the dialog's window is destroyed by the
// dialog, controls with it.
#pragma once

#include "CmdTarget.h"

class CDC;
class CDataExchange;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    ~CWnd() override;

    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    // Help context of this window (a dialog's is its template's number).
    UINT m_nIDHelp = 0;

    operator HWND() const { return m_hWnd; }

    // Ties this object to a window, so that the window's pre-translation and
    // messages reach it; Detach undoes that.
    void Attach(HWND hWnd);
    HWND Detach();
    // The object attached to a window of this thread, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Detaches the objects of every window below hWnd.
    static void DetachDescendants(HWND hWnd);

    LRESULT SendMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL EnableWindow(BOOL bEnable = TRUE) const;
    int GetDlgCtrlID() const;
    HWND GetDlgItem(int nID) const;
    void GetClientRect(LPRECT lpRect) const;
    BOOL IsIconic() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) const;

    // Copies between the controls and their members (bSaveAndValidate TRUE:
    // controls to members).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Gives the window a look at a message before it is dispatched; true when
    // the message was used up.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Dispatches one message through the message map. Returns true when an
    // entry handled it, with the handler's result in *pResult.
    virtual bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Default handlers, for handlers that pass a message on.
    void OnPaint();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // The system's default processing of the message being handled.
    LRESULT Default();

private:
    struct Message {
        UINT nMsg;
        WPARAM wParam;
        LPARAM lParam;
    };
    Message m_current = {0, 0, 0};
};

#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, nullptr, \
     [](CCmdTarget* t, UINT, WPARAM, LPARAM) -> LRESULT { AFX_THIS(t)->OnPaint(); return 0; }},

#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, nullptr, \
     [](CCmdTarget* t, UINT, WPARAM, LPARAM) -> LRESULT { return (LRESULT)AFX_THIS(t)->OnQueryDragIcon(); }},

// One entry for every WM_CTLCOLOR* request; the handler gets the kind of
// control as CTLCOLOR_MSGBOX (0) to CTLCOLOR_STATIC (6).
#define ON_WM_CTLCOLOR() \
    {AFX_WM_CTLCOLOR, 0, 0, nullptr, \
     [](CCmdTarget* t, UINT m, WPARAM w, LPARAM l) -> LRESULT { \
         CDC dc(reinterpret_cast<HDC>(w)); \
         CWnd wnd(reinterpret_cast<HWND>(l)); \
         return (LRESULT)AFX_THIS(t)->OnCtlColor(&dc, &wnd, m - WM_CTLCOLORMSGBOX); }},
