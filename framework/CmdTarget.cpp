#include "CmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

static bool Matches(const AFX_MSGMAP_ENTRY& entry, UINT nMsg, WPARAM wParam)
{
    if (entry.pnRegistered != nullptr)
        return *entry.pnRegistered == nMsg;
    if (nMsg >= WM_CTLCOLORMSGBOX && nMsg <= WM_CTLCOLORSTATIC)
        return entry.nMessage == AFX_WM_CTLCOLOR;
    if (entry.nMessage != nMsg)
        return false;
    return nMsg != WM_COMMAND || (entry.nID == LOWORD(wParam) && entry.nCode == HIWORD(wParam));
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT nMsg, WPARAM wParam) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn != nullptr; ++entry) {
            if (Matches(*entry, nMsg, wParam))
                return entry;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT nID, UINT nCode)
{
    const AFX_MSGMAP_ENTRY* entry = FindEntry(WM_COMMAND, MAKEWPARAM(nID, nCode));
    if (entry == nullptr)
        return false;
    entry->pfn(this, WM_COMMAND, MAKEWPARAM(nID, nCode), 0);
    return true;
}
