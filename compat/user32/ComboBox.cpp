// The ComboBox class as a drop-down list (CBS_DROPDOWNLIST): a choice among
// its items and nothing else, so WM_SETTEXT is refused and WM_GETTEXT gives the
// selected item. CBS_SORT keeps the items sorted without regard to case. The
// list never drops down here; the window keeps the height of the closed box.
#include "ItemList.h"

#include <algorithm>

namespace compat::user {
namespace {

struct ComboBoxState : ControlState {
    ItemList items;
    int selection = -1;
    int itemHeight = 16;
    int fieldHeight = 20;
};

ComboBoxState& StateOf(Window& w)
{
    if (w.control == nullptr)
        w.control = std::make_unique<ComboBoxState>();
    return static_cast<ComboBoxState&>(*w.control);
}

// The selection field is 4 pixels taller than an item, and the closed box 4
// more for its edge, as Wine lays them out.
void SetHeights(Window& w, ComboBoxState& s)
{
    s.itemHeight = MetricsOf(ControlFont(w)).height;
    s.fieldHeight = s.itemHeight + 4;
    w.rect.bottom = w.rect.top + s.fieldHeight + 4;
}

void Select(const WindowPtr& w, ComboBoxState& s, int index, bool notify)
{
    if (index == s.selection)
        return;
    s.selection = index;
    InvalidateRect(w->handle, nullptr, TRUE);
    if (notify)
        NotifyParent(*w, CBN_SELCHANGE);
}

LRESULT InsertAt(const WindowPtr& w, ComboBoxState& s, int index, const std::string& text)
{
    s.items.Insert(index, text);
    if (s.selection >= index)
        ++s.selection;
    InvalidateRect(w->handle, nullptr, TRUE);
    return index;
}

std::string SelectedText(const ComboBoxState& s)
{
    return s.selection >= 0 ? s.items.Text(s.selection) : std::string();
}

void Paint(const WindowPtr& w, ComboBoxState& s)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(w->handle, &ps);
    HBRUSH brush = reinterpret_cast<HBRUSH>(ControlColor(*w, WM_CTLCOLORLISTBOX, hdc));
    RECT rc;
    GetClientRect(w->handle, &rc);
    FillRect(hdc, &rc, brush);
    RECT field = rc;
    field.right -= GetSystemMetrics(SM_CXVSCROLL);  // the drop-down button
    PaintText(w->handle, hdc, SelectedText(s), field, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    EndPaint(w->handle, &ps);
}

// The arrow keys move the selection; a typed character selects the next item
// that begins with it.
void Key(const WindowPtr& w, ComboBoxState& s, UINT msg, WPARAM key)
{
    const int n = s.items.Count();
    if (n == 0)
        return;
    int target = s.selection;
    if (msg == WM_CHAR) {
        target = s.items.Find(static_cast<WPARAM>(s.selection), std::string(1, static_cast<char>(key)), false);
    } else if (key == VK_UP) {
        target = std::max(0, s.selection - 1);
    } else if (key == VK_DOWN) {
        target = std::min(n - 1, s.selection + 1);
    } else if (key == VK_HOME) {
        target = 0;
    } else if (key == VK_END) {
        target = n - 1;
    }
    if (target >= 0)
        Select(w, s, target, true);
}

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WindowPtr w = Find(hwnd);
    if (w == nullptr)
        return 0;
    ComboBoxState& s = StateOf(*w);
    const int n = s.items.Count();
    switch (msg) {
    case WM_CREATE:
        // The scroll bars of the template belong to the list, not to the box.
        w->style &= ~(WS_VSCROLL | WS_HSCROLL);
        SetHeights(*w, s);
        return 0;
    case CB_ADDSTRING: {
        const std::string text = TextArg(lParam);
        return InsertAt(w, s, (w->style & CBS_SORT) ? s.items.SortedPosition(text) : n, text);
    }
    case CB_INSERTSTRING: {
        // Inserts where it is told, sorted or not.
        const int index = static_cast<int>(wParam);
        if (index != -1 && (index < 0 || index > n))
            return CB_ERR;
        return InsertAt(w, s, index == -1 ? n : index, TextArg(lParam));
    }
    case CB_DELETESTRING: {
        if (!s.items.Valid(wParam))
            return CB_ERR;
        const int index = static_cast<int>(wParam);
        s.items.Erase(index);
        if (s.selection == index)
            s.selection = -1;
        else if (s.selection > index)
            --s.selection;
        InvalidateRect(hwnd, nullptr, TRUE);
        return s.items.Count();
    }
    case CB_RESETCONTENT:
        s.items.Clear();
        s.selection = -1;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;  // documented as CB_OKAY; Wine answers TRUE
    case CB_GETCOUNT:
        return n;
    case CB_GETCURSEL:
        return s.selection;
    case CB_SETCURSEL:
        // An index out of range, -1 included, clears the selection and answers CB_ERR.
        if (!s.items.Valid(wParam)) {
            Select(w, s, -1, false);
            return CB_ERR;
        }
        Select(w, s, static_cast<int>(wParam), false);
        return s.selection;
    case CB_GETLBTEXT:
        return s.items.Valid(wParam) ? CopyItemText(s.items.Text(static_cast<int>(wParam)), lParam) : CB_ERR;
    case CB_GETLBTEXTLEN:
        return s.items.Valid(wParam) ? static_cast<LRESULT>(s.items.Text(static_cast<int>(wParam)).size()) : CB_ERR;
    case CB_GETITEMDATA:
        return s.items.Valid(wParam) ? s.items.Data(static_cast<int>(wParam)) : CB_ERR;
    case CB_SETITEMDATA:
        if (!s.items.Valid(wParam))
            return CB_ERR;
        s.items.Data(static_cast<int>(wParam)) = lParam;
        return TRUE;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT: {
        const int i = s.items.Find(wParam, TextArg(lParam), msg == CB_FINDSTRINGEXACT);
        return i >= 0 ? i : CB_ERR;
    }
    case CB_SELECTSTRING: {
        // No match leaves the selection as it was.
        const int i = s.items.Find(wParam, TextArg(lParam), false);
        if (i < 0)
            return CB_ERR;
        Select(w, s, i, false);
        return i;
    }
    case CB_GETITEMHEIGHT:
        return static_cast<int>(wParam) == -1 ? s.fieldHeight : s.itemHeight;
    case CB_SHOWDROPDOWN:
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return FALSE;
    case WM_SETTEXT:
        return (w->style & 3) == CBS_DROPDOWNLIST ? CB_ERR : DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0)
            return 0;
        const std::string text = SelectedText(s).substr(0, wParam - 1);
        return CopyItemText(text, lParam);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(SelectedText(s).size());
    case WM_KEYDOWN:
    case WM_CHAR:
        Key(w, s, msg, wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        SetHeights(*w, s);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(w, s);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

void RegisterComboBox()
{
    RegisterSystemClass("ComboBox", ComboBoxProc, 0);
}

}  // namespace compat::user
