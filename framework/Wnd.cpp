#include "Wnd.h"

#include "DC.h"
#include "DataExchange.h"

#include <map>

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace {

// Windows with an attached object. Only the user-interface thread creates and
// dispatches windows, so the map needs no lock.
std::map<HWND, CWnd*>& PermanentMap()
{
    static std::map<HWND, CWnd*> map;
    return map;
}

} // namespace

CWnd::~CWnd()
{
    if (m_hWnd != nullptr)
        Detach();
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    PermanentMap()[hWnd] = this;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    auto it = PermanentMap().find(hWnd);
    if (it != PermanentMap().end() && it->second == this)
        PermanentMap().erase(it);
    m_hWnd = nullptr;
    return hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto it = PermanentMap().find(hWnd);
    return it == PermanentMap().end() ? nullptr : it->second;
}

void CWnd::DetachDescendants(HWND hWnd)
{
    auto& map = PermanentMap();
    for (auto it = map.begin(); it != map.end();) {
        CWnd* pWnd = it->second;
        ++it; // Detach erases the entry
        if (::IsChild(hWnd, pWnd->m_hWnd))
            pWnd->Detach();
    }
}

LRESULT CWnd::SendMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, nMsg, wParam, lParam);
}

BOOL CWnd::EnableWindow(BOOL bEnable) const
{
    return ::EnableWindow(m_hWnd, bEnable);
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

HWND CWnd::GetDlgItem(int nID) const
{
    return ::GetDlgItem(m_hWnd, nID);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) const
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

bool CWnd::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const AFX_MSGMAP_ENTRY* entry = FindEntry(nMsg, wParam);
    if (entry == nullptr)
        return false;
    // Handlers may nest (a handler that pumps messages dispatches others), so
    // the message being handled is saved around the call for Default().
    const Message outer = m_current;
    m_current = {nMsg, wParam, lParam};
    *pResult = entry->pfn(this, nMsg, wParam, lParam);
    m_current = outer;
    return true;
}

LRESULT CWnd::Default()
{
    return ::DefWindowProcA(m_hWnd, m_current.nMsg, m_current.wParam, m_current.lParam);
}

void CWnd::OnPaint()
{
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT)
{
    return reinterpret_cast<HBRUSH>(Default());
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}
