// Dialogs: creation from a DLGTEMPLATEEX or DLGTEMPLATE, dialog units,
// DefDlgProcA with the dialog procedure's conventions, and the control and
// tab-order look-ups.
#include "Window.h"

#include <cstring>

#ifndef ERROR_CONTROL_ID_NOT_FOUND
#define ERROR_CONTROL_ID_NOT_FOUND 1421L
#endif

namespace compat::user {
namespace {

// Reads a template, which is a run of WORD-aligned fields with DWORD-aligned
// control entries.
class TemplateReader {
public:
    explicit TemplateReader(const void* base) : m_base(static_cast<const BYTE*>(base)), m_p(m_base) {}

    WORD Word() { WORD v; std::memcpy(&v, m_p, 2); m_p += 2; return v; }
    DWORD Dword() { DWORD v; std::memcpy(&v, m_p, 4); m_p += 4; return v; }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *m_p++; }
    void Skip(std::size_t n) { m_p += n; }
    void AlignDword() { m_p = m_base + ((m_p - m_base + 3) & ~std::ptrdiff_t(3)); }

    // A UTF-16 string, kept as ANSI (code units past 0xFF become '?').
    std::string String()
    {
        std::string s;
        for (WORD c = Word(); c != 0; c = Word())
            s += c < 0x100 ? static_cast<char>(c) : '?';
        return s;
    }
    // A string or an ordinal (0xFFFF and a WORD); *ordinal is 0 for a string.
    std::string StringOrOrdinal(WORD* ordinal)
    {
        *ordinal = 0;
        WORD first;
        std::memcpy(&first, m_p, 2);
        if (first == 0xFFFF) {
            Skip(2);
            *ordinal = Word();
            return std::string();
        }
        return String();
    }

private:
    const BYTE* m_base;
    const BYTE* m_p;
};

struct ItemTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    LONG id = 0;
    std::string className;
    std::string text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string className;
    std::string title;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = DEFAULT_CHARSET;
    std::string face;
    std::vector<ItemTemplate> items;
};

// windres writes the predefined classes as upper-case names, Microsoft's rc as
// the ordinals 0x80 to 0x85.
std::string ClassOfOrdinal(WORD ordinal)
{
    static const char* const names[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    return ordinal >= 0x80 && ordinal <= 0x85 ? names[ordinal - 0x80] : std::string();
}

DialogTemplate Parse(const void* data)
{
    TemplateReader r(data);
    DialogTemplate t;
    WORD version;
    std::memcpy(&version, data, 2);
    WORD signature;
    std::memcpy(&signature, static_cast<const BYTE*>(data) + 2, 2);
    const bool extended = version == 1 && signature == 0xFFFF;
    WORD count;
    if (extended) {
        r.Skip(4);  // dlgVer, signature
        r.Dword();  // helpID
        t.exStyle = r.Dword();
        t.style = r.Dword();
    } else {
        t.style = r.Dword();
        t.exStyle = r.Dword();
    }
    count = r.Word();
    t.x = r.Short();
    t.y = r.Short();
    t.cx = r.Short();
    t.cy = r.Short();
    WORD ordinal;
    r.StringOrOrdinal(&ordinal);  // menu: dialogs here have none
    t.className = r.StringOrOrdinal(&ordinal);
    if (ordinal != 0)
        t.className = "#" + std::to_string(ordinal);
    t.title = r.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        if (extended) {
            t.weight = r.Word();
            t.italic = r.Byte();
            t.charset = r.Byte();
        }
        t.face = r.String();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        ItemTemplate item;
        if (extended) {
            r.Dword();  // helpID
            item.exStyle = r.Dword();
            item.style = r.Dword();
        } else {
            item.style = r.Dword();
            item.exStyle = r.Dword();
        }
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = extended ? static_cast<LONG>(r.Dword()) : r.Word();
        item.className = r.StringOrOrdinal(&ordinal);
        if (ordinal != 0)
            item.className = ClassOfOrdinal(ordinal);
        item.text = r.StringOrOrdinal(&ordinal);
        r.Skip(r.Word());  // creation data
        t.items.push_back(item);
    }
    return t;
}

HFONT CreateTemplateFont(const DialogTemplate& t)
{
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(t.pointSize, 96, 72);
    lf.lfWeight = t.weight;
    lf.lfItalic = t.italic;
    lf.lfCharSet = t.charset;
    std::strncpy(lf.lfFaceName, t.face.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

bool ReturnsDirectly(UINT msg)
{
    return (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_INITDIALOG ||
           msg == WM_QUERYDRAGICON || msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM;
}

bool TabStop(HWND hwnd)
{
    WindowPtr c = FindQuiet(hwnd);
    return c != nullptr && (c->style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE);
}

// The dialog gives the focus back to the control that had it, or to its first
// tab stop.
void RestoreFocus(const WindowPtr& dlg)
{
    HWND focus = GetFocus();
    if (IsIconic(dlg->handle) || (focus != nullptr && IsChild(dlg->handle, focus)))
        return;
    HWND target = dlg->dialog->savedFocus;
    if (!IsChild(dlg->handle, target) || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = GetNextDlgTabItem(dlg->handle, nullptr, FALSE);
    if (target != nullptr)
        SetFocus(target);
}

LRESULT DefaultDialog(const WindowPtr& w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const HWND hwnd = w->handle;
    DialogState* d = w->dialog.get();
    switch (msg) {
    case WM_ERASEBKGND: {
        // The dialog's colour is what it answers to WM_CTLCOLORDLG.
        HDC hdc = reinterpret_cast<HDC>(wParam);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageA(hwnd, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hwnd)));
        if (brush == nullptr)
            brush = reinterpret_cast<HBRUSH>(DefWindowProcA(hwnd, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hwnd)));
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(hdc, &rc, brush);
        return 1;
    }
    case WM_ACTIVATE:
        if (d == nullptr)
            break;
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (IsChild(hwnd, focus))
                d->savedFocus = focus;
        } else {
            RestoreFocus(w);
        }
        return 0;
    case WM_SETFOCUS:
        if (d != nullptr)
            RestoreFocus(w);
        return 0;
    case DM_SETDEFID:
        if (d != nullptr)
            d->defId = static_cast<int>(wParam);
        return TRUE;
    case DM_GETDEFID:
        return d != nullptr && d->defId != 0 ? MAKELRESULT(d->defId, DC_HASDEFID) : 0;
    case WM_NEXTDLGCTL: {
        HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0);
        if (target != nullptr)
            SetFocus(target);
        return 0;
    }
    case WM_CLOSE: {
        // Cancel, unless a Cancel button is there and disabled.
        HWND cancel = GetDlgItem(hwnd, IDCANCEL);
        if (cancel != nullptr && !IsWindowEnabled(cancel)) {
            MessageBeep(0);
            return 0;
        }
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_SETFONT:
        if (d != nullptr)
            d->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return d != nullptr ? reinterpret_cast<LRESULT>(d->font) : 0;
    case WM_NCDESTROY:
        // The font made from the template dies with the dialog.
        if (d != nullptr && d->ownsFont) {
            DeleteObject(d->templateFont);
            d->ownsFont = false;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A control of the template; null when its class is unknown or it refuses.
HWND CreateControl(const ItemTemplate& item, const WindowPtr& dlg, HINSTANCE instance)
{
    DWORD style = item.style | WS_CHILD;
    DWORD exStyle = item.exStyle | WS_EX_NOPARENTNOTIFY;
    // Dialogs have the 3-D look: a control's border becomes a client edge.
    if (style & WS_BORDER) {
        style &= ~WS_BORDER;
        exStyle |= WS_EX_CLIENTEDGE;
    }
    const DialogState& d = *dlg->dialog;
    const int x = MulDiv(item.x, d.baseX, 4);
    const int y = MulDiv(item.y, d.baseY, 8);
    const int cx = MulDiv(item.cx, d.baseX, 4);
    const int cy = MulDiv(item.cy, d.baseY, 8);
    return CreateWindowExA(exStyle, item.className.c_str(), item.text.c_str(), style, x, y, cx, cy, dlg->handle,
                           reinterpret_cast<HMENU>(static_cast<LONG_PTR>(item.id)), instance, nullptr);
}

LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefDlgProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterDialog()
{
    RegisterSystemClass("#32770", DialogClassProc, DLGWINDOWEXTRA);
}

}  // namespace compat::user

using namespace compat::user;

extern "C" {

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    if (lpTemplate == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    EnsureSystemClasses();
    const DialogTemplate t = Parse(lpTemplate);

    auto state = std::make_unique<DialogState>();
    if (t.style & DS_SETFONT) {
        state->templateFont = CreateTemplateFont(t);
        state->ownsFont = true;
        state->font = state->templateFont;
    }
    const FontMetrics m = MetricsOf(state->font);
    state->baseX = m.aveWidth;
    state->baseY = m.height;

    DWORD style = (t.style | DS_3DLOOK) & ~WS_VISIBLE;
    DWORD exStyle = t.exStyle | WS_EX_CONTROLPARENT | ((t.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    RECT rc = {0, 0, MulDiv(t.cx, state->baseX, 4), MulDiv(t.cy, state->baseY, 8)};
    AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    POINT pos = {MulDiv(t.x, state->baseX, 4), MulDiv(t.y, state->baseY, 8)};
    if (!(style & WS_CHILD) && hWndParent != nullptr && !(style & DS_ABSALIGN))
        ClientToScreen(hWndParent, &pos);
    if (style & DS_CENTER) {
        pos.x = (GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2;
        pos.y = (GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2;
    }
    const char* cls = (t.className.empty() || t.className == "#32770") ? WC_DIALOG : t.className.c_str();
    HWND hwnd = CreateWindowExA(exStyle, cls, t.title.c_str(), style, pos.x, pos.y, rc.right - rc.left,
                                rc.bottom - rc.top, hWndParent, nullptr, hInstance, nullptr);
    if (hwnd == nullptr) {
        if (state->ownsFont)
            DeleteObject(state->templateFont);
        return nullptr;
    }
    WindowPtr dlg = FindQuiet(hwnd);
    if (dlg->extra.size() < DWLP_USER + sizeof(LONG_PTR))
        dlg->extra.resize(DWLP_USER + sizeof(LONG_PTR));
    dlg->dialog = std::move(state);
    SetWindowLongPtrA(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(lpDialogFunc));
    if (dlg->dialog->font != nullptr)
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dlg->dialog->font), 0);

    for (const ItemTemplate& item : t.items) {
        HWND ctl = CreateControl(item, dlg, hInstance);
        if (ctl == nullptr) {
            if (t.style & DS_NOFAILCREATE)
                continue;
            const DWORD error = GetLastError();
            DestroyWindow(hwnd);
            SetLastError(error);
            return nullptr;
        }
        if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && CompareNoCase(item.className, "Button") == 0)
            dlg->dialog->defId = item.id;
        if (dlg->dialog->font != nullptr)
            SendMessageA(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(dlg->dialog->font), 0);
    }

    // TRUE from WM_INITDIALOG gives the focus to the first tab stop, looked up
    // again after the dialog procedure has run.
    HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    const LRESULT focus = SendMessageA(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), dwInitParam);
    if (!IsWindow(hwnd))
        return nullptr;
    if (focus) {
        first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
        if (first != nullptr)
            SetFocus(first);
    }
    if (t.style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOWNORMAL);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

// The dialog procedure sees each message first. TRUE means handled: the result
// is DWLP_MSGRESULT, except for the messages whose result the procedure
// returns directly. FALSE leaves the message to the dialog's defaults.
LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    WindowPtr w = Find(hDlg);
    if (w == nullptr)
        return 0;
    DLGPROC proc = nullptr;
    if (w->extra.size() >= DWLP_DLGPROC + sizeof(LONG_PTR)) {
        proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hDlg, DWLP_DLGPROC));
        SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
    }
    if (proc != nullptr) {
        const INT_PTR result = proc(hDlg, Msg, wParam, lParam);
        if (!IsWindow(hDlg))
            return ReturnsDirectly(Msg) ? result : 0;
        if (result != 0)
            return ReturnsDirectly(Msg) ? result : GetWindowLongPtrA(hDlg, DWLP_MSGRESULT);
    }
    return DefaultDialog(w, Msg, wParam, lParam);
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect)
{
    WindowPtr w = Find(hDlg);
    if (w == nullptr || lpRect == nullptr)
        return FALSE;
    if (w->dialog == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const DialogState& d = *w->dialog;
    lpRect->left = MulDiv(lpRect->left, d.baseX, 4);
    lpRect->right = MulDiv(lpRect->right, d.baseX, 4);
    lpRect->top = MulDiv(lpRect->top, d.baseY, 8);
    lpRect->bottom = MulDiv(lpRect->bottom, d.baseY, 8);
    return TRUE;
}

// The base units of the system font.
LONG WINAPI GetDialogBaseUnits(void)
{
    return MAKELONG(8, 16);
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    WindowPtr w = Find(hDlg);
    if (w == nullptr)
        return nullptr;
    for (HWND c : w->children) {
        WindowPtr child = FindQuiet(c);
        if (child != nullptr && static_cast<int>(child->id) == nIDDlgItem)
            return c;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd)
{
    WindowPtr w = Find(hWnd);
    return w != nullptr && w->IsChild() ? static_cast<int>(w->id) : 0;
}

LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item != nullptr ? SendMessageA(item, Msg, wParam, lParam) : 0;
}

// The next (or previous) visible, enabled WS_TABSTOP control after hCtl, in
// template order and round the end; hCtl itself when there is no other.
HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    WindowPtr w = Find(hDlg);
    if (w == nullptr)
        return nullptr;
    const std::vector<HWND>& list = w->children;
    const int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[i] == hCtl)
            start = i;
    if (start < 0)
        start = bPrevious ? 0 : n - 1;  // so that the first step lands on the last or the first
    const int step = bPrevious ? n - 1 : 1;
    for (int k = 1; k <= n; ++k) {
        HWND c = list[(start + k * step) % n];
        if (c != hCtl && TabStop(c))
            return c;
    }
    return hCtl;
}

}  // extern "C"
