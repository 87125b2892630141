// Painting: update regions (kept as one rectangle a window), WM_PAINT and
// WM_ERASEBKGND, device contexts for windows, and the drawing calls of user32
// (FillRect, DrawTextA, DrawIcon), which record into the DC's window.
#include "Window.h"

#include "../gdi32/Gdi.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace compat::user {
namespace {

std::atomic<std::uint64_t> g_seq{0};

RECT ClientRectOf(const Window& w)
{
    const SIZE s = ClientSize(w);
    return {0, 0, s.cx, s.cy};
}

// The part of a parent's client rectangle `area` that falls into a child's
// client area, in the child's client coordinates.
bool AreaInChild(const Window& child, const RECT& area, RECT* out)
{
    const RECT in = NonClientInsets(child.style, child.exStyle);
    RECT r;
    if (!IntersectRect(&r, &area, &child.rect))
        return false;
    OffsetRect(&r, -(child.rect.left + in.left), -(child.rect.top + in.top));
    const RECT client = ClientRectOf(child);
    return IntersectRect(out, &r, &client) != FALSE;
}

bool Covers(const RECT& outer, const RECT& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

HWND FirstToPaint(const WindowPtr& w, HWND filter)
{
    if (!(w->style & WS_VISIBLE))
        return nullptr;
    if (w->updatePending && (filter == nullptr || w->handle == filter || IsDescendant(filter, w->handle)))
        return w->handle;
    for (HWND c : w->children)
        if (WindowPtr child = FindQuiet(c))
            if (HWND h = FirstToPaint(child, filter))
                return h;
    return nullptr;
}

void PaintNow(const WindowPtr& w, bool children)
{
    if (w->updatePending && IsWindowVisible(w->handle))
        CallProc(w, WM_PAINT, 0, 0);
    if (!children || !IsWindow(w->handle))
        return;
    const std::vector<HWND> list = w->children;
    for (HWND c : list)
        if (WindowPtr child = FindQuiet(c))
            PaintNow(child, true);
}

}  // namespace

void InvalidateTree(const WindowPtr& w, const RECT* rect, bool erase, bool children)
{
    if (!IsWindowVisible(w->handle))
        return;
    const RECT client = ClientRectOf(*w);
    RECT area = client;
    if (rect != nullptr && !IntersectRect(&area, rect, &client))
        return;
    if (w->updatePending) {
        UnionRect(&w->update, &w->update, &area);
    } else {
        w->update = area;
        w->updatePending = true;
    }
    w->erasePending = w->erasePending || erase;
    // A parent that does not clip its children paints over them: they are
    // invalidated with it.
    if (!children && (w->style & WS_CLIPCHILDREN))
        return;
    const std::vector<HWND> list = w->children;
    for (HWND c : list) {
        WindowPtr child = FindQuiet(c);
        RECT inChild;
        if (child != nullptr && AreaInChild(*child, area, &inChild))
            InvalidateTree(child, &inChild, erase, children);
    }
}

HWND NextWindowToPaint(HWND filter)
{
    for (auto& w : TopLevelWindowsOfThread(GetCurrentThreadId()))
        if (HWND h = FirstToPaint(w, filter))
            return h;
    return nullptr;
}

void Record(HWND hwnd, compat::DrawOp op)
{
    WindowPtr w = FindQuiet(hwnd);
    if (w == nullptr)
        return;
    op.seq = ++g_seq;
    w->record.push_back(std::move(op));
}

FontMetrics MetricsOf(HFONT font)
{
    gdi::Object o;
    if (!gdi::Lookup(font, &o) || o.kind != gdi::Kind::Font || std::strcmp(o.font.lfFaceName, "System") == 0)
        return {16, 8};
    // A character height (negative lfHeight) gives a cell about 13/11 as tall,
    // as for "MS Shell Dlg" 8 pt: -11 -> 13 pixels, base units 6 x 13.
    const LONG h = o.font.lfHeight;
    const int height = h < 0 ? static_cast<int>((-h * 13 + 5) / 11) : (h > 0 ? static_cast<int>(h) : 16);
    return {height, (height * 6 + 6) / 13};
}

HFONT ControlFont(const Window& w)
{
    return w.font != nullptr ? w.font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

void NotifyParent(const Window& w, WORD code)
{
    if (w.IsChild())
        SendMessageA(w.parent, WM_COMMAND, MAKEWPARAM(w.id, code), reinterpret_cast<LPARAM>(w.handle));
}

// The parent chooses a control's colours; when it does not, the defaults.
LRESULT ControlColor(const Window& w, UINT msg, HDC hdc)
{
    LRESULT brush = 0;
    if (w.IsChild())
        brush = SendMessageA(w.parent, msg, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(w.handle));
    return brush != 0 ? brush : DefaultControlColor(msg, hdc);
}

void PaintText(HWND hwnd, HDC hdc, const std::string& text, RECT rc, UINT format)
{
    WindowPtr w = FindQuiet(hwnd);
    if (w == nullptr || text.empty())
        return;
    HGDIOBJ old = SelectObject(hdc, ControlFont(*w));
    DrawTextA(hdc, text.c_str(), -1, &rc, format);
    SelectObject(hdc, old);
}

}  // namespace compat::user

using namespace compat::user;

extern "C" {

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    return RedrawWindow(hWnd, lpRect, nullptr, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect)
{
    return RedrawWindow(hWnd, lpRect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

// Regions are not modelled: hrgnUpdate is ignored, and validating part of
// the update rectangle leaves all of it pending.
BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN, UINT flags)
{
    if (hWnd == nullptr) {
        for (auto& w : TopLevelWindowsOfThread(GetCurrentThreadId()))
            RedrawWindow(w->handle, lprcUpdate, nullptr, flags);
        return TRUE;
    }
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return FALSE;
    if (w->thread != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const bool all = (flags & RDW_ALLCHILDREN) != 0;
    if (flags & RDW_INVALIDATE) {
        if (flags & RDW_NOCHILDREN) {
            const DWORD style = w->style;
            w->style |= WS_CLIPCHILDREN;
            InvalidateTree(w, lprcUpdate, (flags & RDW_ERASE) != 0, false);
            w->style = style;
        } else {
            InvalidateTree(w, lprcUpdate, (flags & RDW_ERASE) != 0, all);
        }
    }
    if (flags & RDW_VALIDATE) {
        if (lprcUpdate == nullptr || Covers(*lprcUpdate, w->update)) {
            w->updatePending = false;
            w->erasePending = false;
        }
    }
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
        PaintNow(w, !(flags & RDW_NOCHILDREN));
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd)
{
    return RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return FALSE;
    if (lpRect != nullptr) {
        if (w->updatePending)
            *lpRect = w->update;
        else
            SetRectEmpty(lpRect);
    }
    return w->updatePending;
}

// BeginPaint validates the window and then, when erasing is due, sends
// WM_ERASEBKGND; fErase tells whether the background still needs erasing.
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr || lpPaint == nullptr)
        return nullptr;
    std::memset(lpPaint, 0, sizeof *lpPaint);
    HDC hdc = compat::gdi::CreateDc(hWnd);
    lpPaint->hdc = hdc;
    if (w->updatePending)
        lpPaint->rcPaint = w->update;
    const bool erase = w->erasePending;
    w->updatePending = false;
    w->erasePending = false;
    if (erase)
        lpPaint->fErase = CallProc(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    return hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* lpPaint)
{
    if (lpPaint == nullptr)
        return FALSE;
    compat::gdi::DeleteDc(lpPaint->hdc);
    return TRUE;
}

// A null window gives a DC of the screen, which records nothing.
HDC WINAPI GetDC(HWND hWnd)
{
    if (hWnd != nullptr && Find(hWnd) == nullptr)
        return nullptr;
    return compat::gdi::CreateDc(hWnd);
}

int WINAPI ReleaseDC(HWND, HDC hDC)
{
    return compat::gdi::DeleteDc(hDC) ? 1 : 0;
}

HWND WINAPI WindowFromDC(HDC hDC)
{
    compat::gdi::Dc dc;
    return compat::gdi::LookupDc(hDC, &dc) ? dc.hwnd : nullptr;
}

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    compat::gdi::Dc dc;
    if (lprc == nullptr || !compat::gdi::LookupDc(hDC, &dc))
        return 0;
    // FillRect also takes a system colour index plus one as its brush.
    if (reinterpret_cast<ULONG_PTR>(hbr) != 0 && reinterpret_cast<ULONG_PTR>(hbr) <= COLOR_MENUBAR + 1)
        hbr = GetSysColorBrush(static_cast<int>(reinterpret_cast<ULONG_PTR>(hbr)) - 1);
    compat::gdi::Object brush;
    if (!compat::gdi::Lookup(hbr, &brush) || brush.kind != compat::gdi::Kind::Brush) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    compat::DrawOp op;
    op.kind = compat::DrawOp::Kind::Fill;
    op.rect = *lprc;
    op.color = brush.color;
    op.hollow = brush.hollow;
    Record(dc.hwnd, op);
    return 1;
}

// Text is not laid out: the call is recorded with its rectangle and flags, and
// the height of one line of the font is returned (DT_CALCRECT also sets the
// rectangle from the font's average width).
int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format)
{
    compat::gdi::Dc dc;
    if (lpchText == nullptr || lprc == nullptr || !compat::gdi::LookupDc(hdc, &dc))
        return 0;
    const std::string text = cchText < 0 ? std::string(lpchText) : std::string(lpchText, cchText);
    const FontMetrics m = MetricsOf(dc.font);
    if (format & DT_CALCRECT) {
        lprc->right = lprc->left + static_cast<LONG>(text.size()) * m.aveWidth;
        lprc->bottom = lprc->top + m.height;
        return m.height;
    }
    compat::gdi::Object font;
    compat::gdi::Lookup(dc.font, &font);
    compat::DrawOp op;
    op.kind = compat::DrawOp::Kind::Text;
    op.rect = *lprc;
    op.color = dc.textColor;
    op.text = text;
    op.format = format;
    op.bkMode = dc.bkMode;
    op.bkColor = dc.bkColor;
    op.fontFace = font.font.lfFaceName;
    op.fontHeight = font.font.lfHeight;
    op.fontWeight = font.font.lfWeight;
    op.fontItalic = font.font.lfItalic != 0;
    Record(dc.hwnd, op);
    return m.height;
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon)
{
    compat::gdi::Dc dc;
    const compat::IconDescription icon = compat::DescribeIcon(hIcon);
    if (!icon.valid || !compat::gdi::LookupDc(hDC, &dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    compat::DrawOp op;
    op.kind = compat::DrawOp::Kind::Icon;
    op.icon = hIcon;
    op.x = X;
    op.y = Y;
    op.rect = {X, Y, X + icon.width, Y + icon.height};
    Record(dc.hwnd, op);
    return TRUE;
}

}  // extern "C"

namespace compat {

std::vector<DrawOp> DrawRecord(HWND hwnd)
{
    WindowPtr w = FindQuiet(hwnd);
    return w != nullptr ? w->record : std::vector<DrawOp>();
}

void ClearDrawRecord(HWND hwnd)
{
    if (hwnd == nullptr) {
        for (auto& w : AllWindows())
            w->record.clear();
    } else if (WindowPtr w = FindQuiet(hwnd)) {
        w->record.clear();
    }
}

std::vector<DrawOp> Visible(HWND hwnd)
{
    WindowPtr w = FindQuiet(hwnd);
    if (w == nullptr)
        return {};
    const POINT origin = ClientOrigin(*w);
    const RECT client = ClientRectOf(*w);
    // The last opaque fill that covered the whole client area, here or in an
    // ancestor that paints over its children.
    std::uint64_t cover = 0;
    for (WindowPtr a = w; a != nullptr;) {
        if (a != w && (a->style & WS_CLIPCHILDREN))
            break;
        const POINT ao = ClientOrigin(*a);
        for (const DrawOp& op : a->record) {
            if (op.kind != DrawOp::Kind::Fill || op.hollow)
                continue;
            RECT r = op.rect;
            OffsetRect(&r, ao.x - origin.x, ao.y - origin.y);
            if (Covers(r, client))
                cover = std::max(cover, op.seq);
        }
        a = a->IsChild() ? FindQuiet(a->parent) : nullptr;
    }
    std::vector<DrawOp> shown;
    for (const DrawOp& op : w->record)
        if (op.kind != DrawOp::Kind::Fill && op.seq > cover)
            shown.push_back(op);
    return shown;
}

}  // namespace compat
