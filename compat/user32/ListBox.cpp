// The ListBox class, single selection: items appended, inserted or sorted,
// selection that scrolls the selected item into view, tab stops in dialog
// template units (converted with the list box's font) for LBS_USETABSTOPS.
#include "ItemList.h"

#include <algorithm>

namespace compat::user {
namespace {

struct ListBoxState : ControlState {
    ItemList items;
    int selection = -1;
    int top = 0;
    int itemHeight = 16;
    int aveWidth = 8;
    std::vector<int> tabStops;  // dialog template units; empty: the default every 32
};

ListBoxState& StateOf(Window& w)
{
    if (w.control == nullptr)
        w.control = std::make_unique<ListBoxState>();
    return static_cast<ListBoxState&>(*w.control);
}

int PageSize(const Window& w, const ListBoxState& s)
{
    return std::max<int>(1, ClientSize(w).cy / std::max(1, s.itemHeight));
}

void ShowItem(const Window& w, ListBoxState& s, int index)
{
    const int page = PageSize(w, s);
    if (index < s.top)
        s.top = index;
    else if (index >= s.top + page)
        s.top = index - page + 1;
}

void Changed(const Window& w)
{
    InvalidateRect(w.handle, nullptr, TRUE);
}

void Select(const WindowPtr& w, ListBoxState& s, int index, bool notify)
{
    if (index < 0 || index >= s.items.Count() || index == s.selection)
        return;
    s.selection = index;
    ShowItem(*w, s, index);
    Changed(*w);
    if (notify && (w->style & LBS_NOTIFY))
        NotifyParent(*w, LBN_SELCHANGE);
}

LRESULT InsertAt(Window& w, ListBoxState& s, int index, const std::string& text)
{
    s.items.Insert(index, text);
    if (s.selection >= index)
        ++s.selection;
    Changed(w);
    return index;
}

void Paint(const WindowPtr& w, ListBoxState& s)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(w->handle, &ps);
    HBRUSH brush = reinterpret_cast<HBRUSH>(ControlColor(*w, WM_CTLCOLORLISTBOX, hdc));
    RECT rc;
    GetClientRect(w->handle, &rc);
    FillRect(hdc, &rc, brush);
    const COLORREF text = GetTextColor(hdc);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                        ((w->style & LBS_USETABSTOPS) ? DT_EXPANDTABS | DT_TABSTOP : 0);
    for (int i = s.top; i < s.items.Count(); ++i) {
        RECT item = {0, (i - s.top) * s.itemHeight, rc.right, (i - s.top + 1) * s.itemHeight};
        if (item.top >= rc.bottom)
            break;
        if (i == s.selection) {
            FillRect(hdc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        }
        PaintText(w->handle, hdc, s.items.Text(i), item, format);
        SetTextColor(hdc, text);
    }
    EndPaint(w->handle, &ps);
}

LRESULT KeyDown(const WindowPtr& w, ListBoxState& s, WPARAM vk)
{
    const int n = s.items.Count();
    if (n == 0)
        return 0;
    int target = s.selection;
    switch (vk) {
    case VK_UP:
        target = std::max(0, s.selection - 1);
        break;
    case VK_DOWN:
        target = std::min(n - 1, s.selection + 1);
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = n - 1;
        break;
    default:
        return 0;
    }
    Select(w, s, target, true);
    return 0;
}

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WindowPtr w = Find(hwnd);
    if (w == nullptr)
        return 0;
    ListBoxState& s = StateOf(*w);
    const int n = s.items.Count();
    switch (msg) {
    case LB_ADDSTRING: {
        const std::string text = TextArg(lParam);
        return InsertAt(*w, s, (w->style & LBS_SORT) ? s.items.SortedPosition(text) : n, text);
    }
    case LB_INSERTSTRING: {
        const int index = static_cast<int>(wParam);
        if (index != -1 && (index < 0 || index > n))
            return LB_ERR;
        return InsertAt(*w, s, index == -1 ? n : index, TextArg(lParam));
    }
    case LB_DELETESTRING: {
        if (!s.items.Valid(wParam))
            return LB_ERR;
        const int index = static_cast<int>(wParam);
        s.items.Erase(index);
        if (s.selection == index)
            s.selection = -1;
        else if (s.selection > index)
            --s.selection;
        s.top = std::max(0, std::min(s.top, s.items.Count() - 1));
        Changed(*w);
        return s.items.Count();
    }
    case LB_RESETCONTENT:
        s.items.Clear();
        s.selection = -1;
        s.top = 0;
        Changed(*w);
        return TRUE;
    case LB_GETCOUNT:
        return n;
    case LB_GETTEXT:
        return s.items.Valid(wParam) ? CopyItemText(s.items.Text(static_cast<int>(wParam)), lParam) : LB_ERR;
    case LB_GETTEXTLEN:
        return s.items.Valid(wParam) ? static_cast<LRESULT>(s.items.Text(static_cast<int>(wParam)).size()) : LB_ERR;
    case LB_GETITEMDATA:
        return s.items.Valid(wParam) ? s.items.Data(static_cast<int>(wParam)) : LB_ERR;
    case LB_SETITEMDATA:
        if (!s.items.Valid(wParam))
            return LB_ERR;
        s.items.Data(static_cast<int>(wParam)) = lParam;
        return TRUE;
    case LB_SETCURSEL:
        // -1 clears the selection and still answers LB_ERR, as documented.
        if (static_cast<int>(wParam) == -1) {
            s.selection = -1;
            Changed(*w);
            return LB_ERR;
        }
        if (!s.items.Valid(wParam))
            return LB_ERR;
        s.selection = static_cast<int>(wParam);
        ShowItem(*w, s, s.selection);
        Changed(*w);
        return s.selection;
    case LB_GETCURSEL:
        return s.selection;
    case LB_GETSEL:
        return s.items.Valid(wParam) ? (static_cast<int>(wParam) == s.selection) : LB_ERR;
    case LB_GETTOPINDEX:
        return s.top;
    case LB_SETTOPINDEX:
        // The list does not scroll past its last page; an index beyond the
        // end scrolls there too, as Wine answers, with no error.
        s.top = std::max(0, std::min(static_cast<int>(wParam), n - PageSize(*w, s)));
        Changed(*w);
        return LB_OKAY;
    case LB_GETITEMHEIGHT:
        return s.itemHeight;
    case LB_SETITEMHEIGHT:
        if (LOWORD(lParam) > 255 || LOWORD(lParam) == 0)
            return LB_ERR;
        s.itemHeight = LOWORD(lParam);
        Changed(*w);
        return LB_OKAY;
    case LB_GETITEMRECT: {
        if (!s.items.Valid(wParam) || lParam == 0)
            return LB_ERR;
        const int row = static_cast<int>(wParam) - s.top;
        *reinterpret_cast<RECT*>(lParam) = {0, row * s.itemHeight, ClientSize(*w).cx, (row + 1) * s.itemHeight};
        return 1;
    }
    case LB_SETTABSTOPS: {
        if (!(w->style & LBS_USETABSTOPS))
            return FALSE;
        const int count = static_cast<int>(wParam);
        auto stops = reinterpret_cast<const INT*>(lParam);
        if (count < 0 || (count > 0 && stops == nullptr))
            return FALSE;
        s.tabStops.assign(stops, stops + count);
        Changed(*w);
        return TRUE;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
        const int i = s.items.Find(wParam, TextArg(lParam), msg == LB_FINDSTRINGEXACT);
        return i >= 0 ? i : LB_ERR;
    }
    case LB_SELECTSTRING: {
        const int i = s.items.Find(wParam, TextArg(lParam), false);
        if (i < 0)
            return LB_ERR;
        Select(w, s, i, false);
        return i;
    }
    case WM_KEYDOWN:
        return KeyDown(w, s, wParam);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT: {
        w->font = reinterpret_cast<HFONT>(wParam);
        const FontMetrics m = MetricsOf(ControlFont(*w));
        s.itemHeight = m.height;
        s.aveWidth = m.aveWidth;
        if (LOWORD(lParam))
            Changed(*w);
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Changed(*w);
        if (w->style & LBS_NOTIFY)
            NotifyParent(*w, msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the background
    case WM_PAINT:
        Paint(w, s);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

void RegisterListBox()
{
    RegisterSystemClass("ListBox", ListBoxProc, 0);
}

}  // namespace compat::user

namespace compat {

std::vector<int> ListBoxTabStops(HWND listBox)
{
    user::WindowPtr w = user::FindQuiet(listBox);
    if (w == nullptr || w->control == nullptr || w->cls->name != "ListBox")
        return {};
    auto& s = static_cast<user::ListBoxState&>(*w->control);
    std::vector<int> pixels;
    const std::vector<int> stops = s.tabStops.empty() ? std::vector<int>{32} : s.tabStops;
    for (int du : stops)
        pixels.push_back(MulDiv(du, s.aveWidth, 4));
    return pixels;
}

}  // namespace compat
