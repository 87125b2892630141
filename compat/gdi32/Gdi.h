// compat's GDI objects and device contexts: the handle tables behind HBRUSH,
// HFONT and HDC, shared by gdi32 and by user32's drawing calls. Handles are
// never reused, so a stale one is recognised as such.
#pragma once

#include <windows.h>

#include <cstddef>

namespace compat::gdi {

enum class Kind { Brush, Font, Pen };

struct Object {
    Kind kind = Kind::Brush;
    bool stock = false;
    COLORREF color = 0;   // brush, pen
    bool hollow = false;  // NULL_BRUSH, NULL_PEN
    LOGFONTA font{};      // font
};

// Copies the object out; false for a handle that names no live object.
bool Lookup(HGDIOBJ handle, Object* out);
// A stock-like brush of a system colour, made once and never deleted.
HBRUSH SystemBrush(COLORREF color);

struct Dc {
    HWND hwnd = nullptr;  // the window it draws into; null for the screen
    HFONT font = nullptr;
    HBRUSH brush = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
};

HDC CreateDc(HWND hwnd);
bool DeleteDc(HDC hdc);
// Copies the DC's state out; false for a handle that names no live DC.
bool LookupDc(HDC hdc, Dc* out);

std::size_t LiveObjects();
std::size_t LiveDcs();

}  // namespace compat::gdi
