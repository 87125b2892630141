#include "Verdict.h"

namespace {

const COLORREF kGreen = RGB(0, 170, 0);
const COLORREF kRed = RGB(255, 0, 0);

Verdict FromCounts(int green, int red)
{
    if (green > 0 && red > 0)
        return Verdict::Mixed;
    if (green > 0)
        return Verdict::Ok;
    return red > 0 ? Verdict::Ng : Verdict::Blank;
}

} // namespace

std::ostream& operator<<(std::ostream& os, Verdict verdict)
{
    switch (verdict) {
    case Verdict::Blank: return os << "blank";
    case Verdict::Ok: return os << "OK";
    case Verdict::Ng: return os << "NG";
    case Verdict::Mixed: return os << "mixed";
    }
    return os;
}

#ifdef _WIN32

Verdict ReadVerdict(HWND hArea)
{
    RECT rect;
    ::GetClientRect(hArea, &rect);
    HDC hdc = ::GetDC(hArea);
    int green = 0;
    int red = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF pixel = ::GetPixel(hdc, x, y);
            green += pixel == kGreen;
            red += pixel == kRed;
        }
    }
    ::ReleaseDC(hArea, hdc);
    return FromCounts(green, red);
}

#else

#include <compat/Ui.h>

Verdict ReadVerdict(HWND hArea)
{
    int green = 0;
    int red = 0;
    for (const compat::DrawOp& op : compat::Visible(hArea)) {
        if (op.kind == compat::DrawOp::Kind::Text) {
            green += op.color == kGreen;
            red += op.color == kRed;
        }
    }
    return FromCounts(green, red);
}

#endif
