// The progress bar (msctls_progress32): a range, a position kept within it,
// and a step. PBM_STEPIT past either end starts over from the other, as
// Windows does; PBM_SETPOS and PBM_DELTAPOS clamp.
#include "../user32/Window.h"

#include <commctrl.h>

namespace compat::user {
namespace {

struct ProgressState : ControlState {
    int low = 0;
    int high = 100;
    int pos = 0;
    int step = 10;
};

ProgressState& StateOf(Window& w)
{
    if (w.control == nullptr)
        w.control = std::make_unique<ProgressState>();
    return static_cast<ProgressState&>(*w.control);
}

int Clamp(const ProgressState& s, int pos)
{
    return pos < s.low ? s.low : (pos > s.high ? s.high : pos);
}

// Returns the previous position.
LRESULT MoveTo(HWND hwnd, ProgressState& s, int pos)
{
    const int old = s.pos;
    s.pos = pos;
    if (s.pos != old)
        InvalidateRect(hwnd, nullptr, TRUE);
    return old;
}

// Returns the previous range, as two 16-bit halves.
LRESULT SetRange(HWND hwnd, ProgressState& s, int low, int high)
{
    const LRESULT old = MAKELRESULT(s.low, s.high);
    s.low = low;
    s.high = high;
    s.pos = Clamp(s, s.pos);
    InvalidateRect(hwnd, nullptr, TRUE);
    return old;
}

int Wrapped(const ProgressState& s, int pos)
{
    if (pos >= s.low && pos <= s.high)
        return pos;
    const int span = s.high - s.low;
    if (span <= 0)
        return s.low;
    return ((pos - s.low) % span + span) % span + s.low;
}

// The bar in COLOR_HIGHLIGHT over the part done, the rest in the face colour.
void Paint(const WindowPtr& w, const ProgressState& s)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(w->handle, &ps);
    RECT rc;
    GetClientRect(w->handle, &rc);
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DFACE));
    const int span = s.high - s.low;
    if (span > 0 && s.pos > s.low) {
        RECT done = rc;
        done.right = rc.left + MulDiv(rc.right - rc.left, s.pos - s.low, span);
        FillRect(hdc, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    EndPaint(w->handle, &ps);
}

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WindowPtr w = Find(hwnd);
    if (w == nullptr)
        return 0;
    ProgressState& s = StateOf(*w);
    switch (msg) {
    case WM_CREATE:
        // The bar draws its own frame: no window edge, as Wine shows it.
        w->style &= ~WS_BORDER;
        w->exStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE);
        return 0;
    case PBM_SETRANGE:
        return SetRange(hwnd, s, LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32:
        return SetRange(hwnd, s, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
        if (lParam != 0)
            *reinterpret_cast<PBRANGE*>(lParam) = {s.low, s.high};
        return wParam ? s.low : s.high;
    case PBM_SETPOS:
        return MoveTo(hwnd, s, Clamp(s, static_cast<int>(wParam)));
    case PBM_DELTAPOS:
        return MoveTo(hwnd, s, Clamp(s, s.pos + static_cast<int>(wParam)));
    case PBM_SETSTEP: {
        const int old = s.step;
        s.step = static_cast<int>(wParam);
        return old;
    }
    case PBM_STEPIT:
        return MoveTo(hwnd, s, Wrapped(s, s.pos + s.step));
    case PBM_GETPOS:
        return s.pos;
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
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

void RegisterProgress()
{
    RegisterSystemClass(PROGRESS_CLASSA, ProgressProc, 0);
}

}  // namespace compat::user

extern "C" {

// Registers the progress bar's class, the one common control compat has.
void WINAPI InitCommonControls(void)
{
    compat::user::EnsureSystemClasses();
    compat::user::RegisterProgress();
}

}  // extern "C"
