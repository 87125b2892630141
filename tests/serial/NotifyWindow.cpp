#include "NotifyWindow.h"

#include "PortProbe.h"

namespace {

const char kClassName[] = "DuoprobeTestNotifyWindow";

} // namespace

void NotifyWindow::RegisterOnce()
{
    static const ATOM atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &NotifyWindow::WndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kClassName;
        return ::RegisterClassA(&wc);
    }();
    (void)atom;
}

NotifyWindow::NotifyWindow()
{
    RegisterOnce();
    m_hWnd = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 10, 10, nullptr, nullptr, ::GetModuleHandleA(nullptr),
                               nullptr);
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NotifyWindow::~NotifyWindow()
{
    ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK NotifyWindow::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto self = reinterpret_cast<NotifyWindow*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (self != nullptr && msg >= WM_USER) {
        self->m_received.push_back({msg, wParam, lParam});
        return 0;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

const std::vector<Notification>& NotifyWindow::Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return m_received;
}

const std::vector<Notification>& NotifyWindow::WaitFor(size_t count, int timeoutMs)
{
    WaitUntil([&] { return Pump().size() >= count; }, timeoutMs);
    return m_received;
}
