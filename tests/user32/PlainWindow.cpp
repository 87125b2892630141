#include "PlainWindow.h"

namespace {

const char kClass[] = "DuoprobeTestPlain";

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SentMessages().push_back({hwnd, msg, wParam, lParam});
    if (msg == WM_USER + 100)
        return 0x1234;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

std::vector<WindowMessage>& SentMessages()
{
    static std::vector<WindowMessage> messages;
    return messages;
}

std::vector<WindowMessage> SentOf(UINT msg)
{
    std::vector<WindowMessage> found;
    for (const WindowMessage& m : SentMessages())
        if (m.msg == msg)
            found.push_back(m);
    return found;
}

HWND CreatePlain(DWORD style, HWND parent, int id, int cx, int cy)
{
    static const ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClass;
        return RegisterClassA(&wc);
    }();
    if (atom == 0)
        return nullptr;
    return CreateWindowExA(0, kClass, "plain", style, 10, 10, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

bool PumpAll()
{
    MSG msg;
    for (int n = 0; n < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}
