#include "Controls.h"

#include <commctrl.h>

namespace {

std::string ItemText(HWND hWnd, UINT lenMsg, UINT textMsg, WPARAM index)
{
    const LRESULT length = ::SendMessageA(hWnd, lenMsg, index, 0);
    if (length < 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(hWnd, textMsg, index, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

} // namespace

std::vector<std::string> ListLines(HWND hList)
{
    std::vector<std::string> lines;
    const LRESULT count = ::SendMessageA(hList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        lines.push_back(ItemText(hList, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(i)));
    return lines;
}

std::vector<std::string> ComboItems(HWND hCombo)
{
    std::vector<std::string> items;
    const LRESULT count = ::SendMessageA(hCombo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        items.push_back(ItemText(hCombo, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(i)));
    return items;
}

std::string ComboSelection(HWND hCombo)
{
    const LRESULT sel = ::SendMessageA(hCombo, CB_GETCURSEL, 0, 0);
    return sel == CB_ERR ? std::string() : ItemText(hCombo, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(sel));
}

bool IsChecked(HWND hButton)
{
    return ::SendMessageA(hButton, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string WindowText(HWND hWnd)
{
    char text[256] = "";
    ::GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

ProgressState Progress(HWND hProgress)
{
    PBRANGE range = {0, 0};
    ::SendMessageA(hProgress, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const int pos = static_cast<int>(::SendMessageA(hProgress, PBM_GETPOS, 0, 0));
    return {pos, range.iLow, range.iHigh};
}
