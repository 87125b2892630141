// GDI objects: stock objects, solid brushes and fonts; DeleteObject and
// SelectObject. A handle is a number from one table, never reused.
#include "Gdi.h"

#include <cstring>
#include <map>
#include <mutex>

namespace compat::gdi {
namespace {

std::mutex g_lock;
std::map<std::uintptr_t, Object> g_objects;
std::uintptr_t g_next = 0x00100000;
std::size_t g_live = 0;
HGDIOBJ g_stock[DEFAULT_GUI_FONT + 1];
std::map<COLORREF, HBRUSH> g_systemBrushes;

HGDIOBJ AddLocked(const Object& o)
{
    const std::uintptr_t h = g_next;
    g_next += 4;
    g_objects[h] = o;
    if (!o.stock)
        ++g_live;
    return reinterpret_cast<HGDIOBJ>(h);
}

LOGFONTA MakeFont(const char* face, LONG height, LONG weight)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

// Under g_lock.
void EnsureStockLocked()
{
    if (g_stock[WHITE_BRUSH] != nullptr)
        return;
    auto brush = [](COLORREF c, bool hollow = false) {
        Object o;
        o.kind = Kind::Brush;
        o.stock = true;
        o.color = c;
        o.hollow = hollow;
        return AddLocked(o);
    };
    auto pen = [](COLORREF c, bool hollow = false) {
        Object o;
        o.kind = Kind::Pen;
        o.stock = true;
        o.color = c;
        o.hollow = hollow;
        return AddLocked(o);
    };
    auto font = [](const char* face, LONG height, LONG weight) {
        Object o;
        o.kind = Kind::Font;
        o.stock = true;
        o.font = MakeFont(face, height, weight);
        return AddLocked(o);
    };
    g_stock[WHITE_BRUSH] = brush(RGB(255, 255, 255));
    g_stock[LTGRAY_BRUSH] = brush(RGB(192, 192, 192));
    g_stock[GRAY_BRUSH] = brush(RGB(128, 128, 128));
    g_stock[DKGRAY_BRUSH] = brush(RGB(64, 64, 64));
    g_stock[BLACK_BRUSH] = brush(RGB(0, 0, 0));
    g_stock[NULL_BRUSH] = brush(0, true);
    g_stock[WHITE_PEN] = pen(RGB(255, 255, 255));
    g_stock[BLACK_PEN] = pen(RGB(0, 0, 0));
    g_stock[NULL_PEN] = pen(0, true);
    g_stock[OEM_FIXED_FONT] = font("Terminal", 12, FW_NORMAL);
    g_stock[ANSI_FIXED_FONT] = font("Courier", 12, FW_NORMAL);
    g_stock[ANSI_VAR_FONT] = font("MS Sans Serif", 12, FW_NORMAL);
    g_stock[SYSTEM_FONT] = font("System", 16, FW_BOLD);
    g_stock[DEVICE_DEFAULT_FONT] = font("System", 16, FW_BOLD);
    g_stock[SYSTEM_FIXED_FONT] = font("Fixedsys", 15, FW_NORMAL);
    g_stock[DEFAULT_GUI_FONT] = font("MS Shell Dlg", -11, FW_NORMAL);
}

}  // namespace

bool Lookup(HGDIOBJ handle, Object* out)
{
    std::lock_guard<std::mutex> guard(g_lock);
    EnsureStockLocked();
    auto it = g_objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == g_objects.end())
        return false;
    if (out != nullptr)
        *out = it->second;
    return true;
}

HBRUSH SystemBrush(COLORREF color)
{
    std::lock_guard<std::mutex> guard(g_lock);
    EnsureStockLocked();
    HBRUSH& b = g_systemBrushes[color];
    if (b == nullptr) {
        Object o;
        o.kind = Kind::Brush;
        o.stock = true;
        o.color = color;
        b = static_cast<HBRUSH>(AddLocked(o));
    }
    return b;
}

std::size_t LiveObjects()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_live;
}

}  // namespace compat::gdi

using namespace compat::gdi;

extern "C" {

HGDIOBJ WINAPI GetStockObject(int i)
{
    std::lock_guard<std::mutex> guard(g_lock);
    EnsureStockLocked();
    if (i < 0 || i > DEFAULT_GUI_FONT)
        return nullptr;
    return g_stock[i];
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    Object o;
    o.kind = Kind::Brush;
    o.color = color & 0x00ffffff;
    std::lock_guard<std::mutex> guard(g_lock);
    EnsureStockLocked();
    return static_cast<HBRUSH>(AddLocked(o));
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf)
{
    if (lplf == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Object o;
    o.kind = Kind::Font;
    o.font = *lplf;
    o.font.lfFaceName[LF_FACESIZE - 1] = '\0';
    std::lock_guard<std::mutex> guard(g_lock);
    EnsureStockLocked();
    return static_cast<HFONT>(AddLocked(o));
}

int WINAPI GetObjectA(HGDIOBJ h, int c, LPVOID pv)
{
    Object o;
    if (!Lookup(h, &o)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (o.kind != Kind::Font)
        return 0;
    if (pv == nullptr)
        return sizeof(LOGFONTA);
    const int n = c < static_cast<int>(sizeof(LOGFONTA)) ? c : static_cast<int>(sizeof(LOGFONTA));
    std::memcpy(pv, &o.font, n);
    return n;
}

// Stock objects survive DeleteObject, which still reports success for them.
BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_objects.find(reinterpret_cast<std::uintptr_t>(ho));
    if (it == g_objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (it->second.stock)
        return TRUE;
    g_objects.erase(it);
    --g_live;
    return TRUE;
}

}  // extern "C"
