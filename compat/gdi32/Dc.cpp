// Device contexts: the attributes text drawing uses, and the objects selected
// into them. GetDC and BeginPaint (user32) make them; the drawing calls record
// into the DC's window.
#include "Gdi.h"

#include <map>
#include <mutex>

namespace compat::gdi {
namespace {

std::mutex g_lock;
std::map<std::uintptr_t, Dc> g_dcs;
std::uintptr_t g_next = 0x00200000;

// Runs `f` on the live DC, under the lock; false when there is none.
template <class F>
bool WithDc(HDC hdc, F f)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_dcs.find(reinterpret_cast<std::uintptr_t>(hdc));
    if (it == g_dcs.end())
        return false;
    f(it->second);
    return true;
}

}  // namespace

HDC CreateDc(HWND hwnd)
{
    Dc dc;
    dc.hwnd = hwnd;
    dc.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    dc.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    std::lock_guard<std::mutex> guard(g_lock);
    const std::uintptr_t h = g_next;
    g_next += 4;
    g_dcs[h] = dc;
    return reinterpret_cast<HDC>(h);
}

bool DeleteDc(HDC hdc)
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_dcs.erase(reinterpret_cast<std::uintptr_t>(hdc)) == 1;
}

bool LookupDc(HDC hdc, Dc* out)
{
    return WithDc(hdc, [&](Dc& dc) { *out = dc; });
}

std::size_t LiveDcs()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_dcs.size();
}

}  // namespace compat::gdi

using namespace compat::gdi;

extern "C" {

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    Object o;
    if (!Lookup(h, &o)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Nothing here draws lines: a pen is accepted and the default pen given back.
    if (o.kind == Kind::Pen)
        return WithDc(hdc, [](Dc&) {}) ? GetStockObject(BLACK_PEN) : nullptr;
    HGDIOBJ previous = nullptr;
    const bool found = WithDc(hdc, [&](Dc& dc) {
        if (o.kind == Kind::Font) {
            previous = dc.font;
            dc.font = static_cast<HFONT>(h);
        } else {
            previous = dc.brush;
            dc.brush = static_cast<HBRUSH>(h);
        }
    });
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return previous;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color)
{
    COLORREF previous = CLR_INVALID;
    WithDc(hdc, [&](Dc& dc) {
        previous = dc.textColor;
        dc.textColor = color;
    });
    return previous;
}

COLORREF WINAPI GetTextColor(HDC hdc)
{
    COLORREF c = CLR_INVALID;
    WithDc(hdc, [&](Dc& dc) { c = dc.textColor; });
    return c;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color)
{
    COLORREF previous = CLR_INVALID;
    WithDc(hdc, [&](Dc& dc) {
        previous = dc.bkColor;
        dc.bkColor = color;
    });
    return previous;
}

COLORREF WINAPI GetBkColor(HDC hdc)
{
    COLORREF c = CLR_INVALID;
    WithDc(hdc, [&](Dc& dc) { c = dc.bkColor; });
    return c;
}

// An unknown mode is refused with 0, the value SetBkMode gives for failure.
int WINAPI SetBkMode(HDC hdc, int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int previous = 0;
    WithDc(hdc, [&](Dc& dc) {
        previous = dc.bkMode;
        dc.bkMode = mode;
    });
    return previous;
}

int WINAPI GetBkMode(HDC hdc)
{
    int mode = 0;
    WithDc(hdc, [&](Dc& dc) { mode = dc.bkMode; });
    return mode;
}

// The screen of the test environment: 1024 x 768 at 96 DPI, 32 bits a pixel.
int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    if (!WithDc(hdc, [](Dc&) {}))
        return 0;
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case HORZRES:
        return 1024;
    case VERTRES:
        return 768;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    default:
        return 0;
    }
}

}  // extern "C"
