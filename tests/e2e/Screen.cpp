#include "Screen.h"

#include <stdexcept>

namespace e2e {

namespace {

const COLORREF kGreen = RGB(0, 170, 0);
const COLORREF kRed = RGB(255, 0, 0);

} // namespace

CImage CaptureScreen(const RECT& rect)
{
    CImage image;
    image.width = rect.right - rect.left;
    image.height = rect.bottom - rect.top;
    if (image.width <= 0 || image.height <= 0)
        return image;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC hScreen = ::GetDC(nullptr);
    HDC hMemory = ::CreateCompatibleDC(hScreen);
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(hScreen, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    bool bCopied = false;
    if (hMemory != nullptr && hBitmap != nullptr) {
        const HGDIOBJ hOld = ::SelectObject(hMemory, hBitmap);
        bCopied = ::BitBlt(hMemory, 0, 0, image.width, image.height, hScreen, rect.left, rect.top, SRCCOPY) != FALSE;
        ::SelectObject(hMemory, hOld);
    }
    if (bCopied) {
        // A 32-bit DIB holds blue, green, red and an unused byte per pixel.
        const auto* p = static_cast<const BYTE*>(pBits);
        image.pixels.reserve(static_cast<size_t>(image.width) * image.height);
        for (int i = 0; i < image.width * image.height; ++i, p += 4)
            image.pixels.push_back(RGB(p[2], p[1], p[0]));
    }
    if (hBitmap != nullptr)
        ::DeleteObject(hBitmap);
    if (hMemory != nullptr)
        ::DeleteDC(hMemory);
    ::ReleaseDC(nullptr, hScreen);
    if (!bCopied)
        throw std::runtime_error("cannot copy the screen");
    return image;
}

RECT WindowRect(HWND hWnd)
{
    RECT rect = {};
    ::GetWindowRect(hWnd, &rect);
    return rect;
}

RECT ClientRectOnScreen(HWND hWnd)
{
    RECT rect = {};
    ::GetClientRect(hWnd, &rect);
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT Union(const RECT& a, const RECT& b)
{
    RECT rect;
    ::UnionRect(&rect, &a, &b);
    return rect;
}

std::ostream& operator<<(std::ostream& os, Verdict verdict)
{
    switch (verdict) {
    case Verdict::Blank: return os << "blank";
    case Verdict::Ok: return os << "OK";
    case Verdict::Ng: return os << "NG";
    case Verdict::Mixed: return os << "mixed";
    case Verdict::Unpainted: return os << "unpainted";
    }
    return os;
}

Verdict ReadVerdict(const CImage& area)
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    size_t green = 0;
    size_t red = 0;
    size_t blank = 0;
    for (COLORREF pixel : area.pixels) {
        green += pixel == kGreen;
        red += pixel == kRed;
        blank += pixel == face;
    }
    if (green > 0 && red > 0)
        return Verdict::Mixed;
    if (green > 0)
        return Verdict::Ok;
    if (red > 0)
        return Verdict::Ng;
    // Blank is the face colour wall to wall.
    return !area.pixels.empty() && blank == area.pixels.size() ? Verdict::Blank : Verdict::Unpainted;
}

Verdict ReadVerdict(HWND hArea)
{
    return ReadVerdict(CaptureScreen(ClientRectOnScreen(hArea)));
}

} // namespace e2e
