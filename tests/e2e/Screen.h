// What the screen shows: a rectangle of it captured with GDI, and what the
// verdict area holds.
#pragma once

#include <windows.h>

#include <ostream>
#include <vector>

namespace e2e {

struct CImage {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // rows from the top
};

// The screen's pixels inside rect (screen coordinates).
CImage CaptureScreen(const RECT& rect);
// A window's outer rectangle, client area, or the client area of a dialog
// control, in screen coordinates.
RECT WindowRect(HWND hWnd);
RECT ClientRectOnScreen(HWND hWnd);
RECT Union(const RECT& a, const RECT& b);

// Unpainted: nothing of the verdict and not the dialog's face colour either,
// so the area was not drawn yet. Text is antialiased, so only the pixels of
// the exact colours count.
enum class Verdict { Blank, Ok, Ng, Mixed, Unpainted };
std::ostream& operator<<(std::ostream& os, Verdict verdict);
Verdict ReadVerdict(const CImage& area);
// What the verdict area (the client area of that window) shows on the screen.
Verdict ReadVerdict(HWND hArea);

} // namespace e2e
