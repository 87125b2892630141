// The test's keyboard: compat::PressKey puts key presses into the input queue
// as the keyboard driver would; the window they reach is chosen when they are
// taken (see ResolveInput).
#include "Window.h"

namespace {

BYTE ScanCode(UINT vk)
{
    switch (vk) {
    case VK_ESCAPE:
        return 0x01;
    case VK_BACK:
        return 0x0E;
    case VK_TAB:
        return 0x0F;
    case VK_RETURN:
        return 0x1C;
    case VK_CONTROL:
        return 0x1D;
    case VK_SHIFT:
        return 0x2A;
    case VK_MENU:
        return 0x38;
    case VK_SPACE:
        return 0x39;
    default:
        return vk >= VK_F1 && vk <= VK_F10 ? static_cast<BYTE>(0x3B + vk - VK_F1) : 0;
    }
}

void Post(UINT vk, bool up, bool alt)
{
    // Keys pressed with Alt held, and Alt and F10 themselves, are system keys.
    const bool sys = alt || vk == VK_MENU || vk == VK_F10;
    const UINT msg = sys ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
    DWORD lParam = 1 | (static_cast<DWORD>(ScanCode(vk)) << 16);
    if (alt)
        lParam |= 1u << 29;
    if (up)
        lParam |= (1u << 30) | (1u << 31);
    compat::user::PostInput(GetCurrentThreadId(), compat::user::MakeMsg(nullptr, msg, vk, static_cast<LPARAM>(lParam)));
}

}  // namespace

namespace compat {

bool PressKey(UINT vk, unsigned modifiers)
{
    if (GetFocus() == nullptr && GetActiveWindow() == nullptr)
        return false;
    const bool alt = (modifiers & kAlt) != 0;
    if (modifiers & kControl)
        Post(VK_CONTROL, false, false);
    if (modifiers & kShift)
        Post(VK_SHIFT, false, false);
    if (alt)
        Post(VK_MENU, false, true);
    Post(vk, false, alt);
    Post(vk, true, alt);
    if (alt)
        Post(VK_MENU, true, true);
    if (modifiers & kShift)
        Post(VK_SHIFT, true, false);
    if (modifiers & kControl)
        Post(VK_CONTROL, true, false);
    return true;
}

}  // namespace compat
