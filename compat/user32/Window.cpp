// Windows: creation and destruction, the window table, window longs, text,
// state (enabled, visible, minimised) and geometry.
#include "Window.h"

#include "../gdi32/Gdi.h"

#include <algorithm>
#include <cstring>
#include <map>

#ifndef ERROR_TLW_WITH_WSCHILD
#define ERROR_TLW_WITH_WSCHILD 1406L
#endif

namespace compat::user {
namespace {

std::mutex g_lock;
std::map<std::uintptr_t, WindowPtr> g_windows;
std::uintptr_t g_next = 0x00010010;

const int kCaption = 19;   // SM_CYCAPTION
const int kFixedFrame = 3; // SM_CXFIXEDFRAME
const int kSizeFrame = 4;  // SM_CXSIZEFRAME

void Insert(const WindowPtr& w)
{
    std::lock_guard<std::mutex> guard(g_lock);
    w->handle = reinterpret_cast<HWND>(g_next);
    g_next += 4;
    g_windows[reinterpret_cast<std::uintptr_t>(w->handle)] = w;
}

void Remove(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_windows.erase(reinterpret_cast<std::uintptr_t>(hwnd));
}

// A window of the calling thread, or null with the error Windows gives.
WindowPtr Own(HWND hwnd)
{
    WindowPtr w = Find(hwnd);
    if (w != nullptr && w->thread != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return w;
}

void SendDestroy(const WindowPtr& w)
{
    CallProc(w, WM_DESTROY, 0, 0);
    const std::vector<HWND> children = w->children;
    for (HWND c : children)
        if (WindowPtr child = FindQuiet(c))
            SendDestroy(child);
}

void FreeTree(const WindowPtr& w)
{
    const std::vector<HWND> children = w->children;
    for (HWND c : children)
        if (WindowPtr child = FindQuiet(c))
            FreeTree(child);
    CallProc(w, WM_NCDESTROY, 0, 0);
    if (WindowPtr parent = FindQuiet(ParentOf(*w))) {
        auto& list = parent->children;
        list.erase(std::remove(list.begin(), list.end(), w->handle), list.end());
    }
    ThreadState& ts = Current();
    if (ts.focus == w->handle)
        ts.focus = nullptr;
    if (ts.active == w->handle)
        ts.active = nullptr;
    DiscardMessagesOf(w->handle);
    Remove(w->handle);
}

void Activate(HWND hwnd)
{
    ThreadState& ts = Current();
    if (ts.active == hwnd)
        return;
    HWND old = IsWindow(ts.active) ? ts.active : nullptr;
    ts.active = hwnd;
    if (old != nullptr)
        Send(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    if (hwnd != nullptr)
        Send(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
}

HWND TopLevelOf(HWND hwnd)
{
    WindowPtr w = FindQuiet(hwnd);
    while (w != nullptr && w->IsChild()) {
        WindowPtr p = FindQuiet(w->parent);
        if (p == nullptr)
            break;
        w = p;
    }
    return w != nullptr ? w->handle : nullptr;
}

// The focus leaves a window that is hidden, minimised or destroyed: to the
// parent of a child, to nothing for a top-level window.
void MoveFocusOutOf(const Window& w)
{
    HWND focus = Current().focus;
    if (focus == nullptr || (focus != w.handle && !IsDescendant(w.handle, focus)))
        return;
    SetFocus(w.IsChild() ? w.parent : nullptr);
}

void SizeChanged(const WindowPtr& w, WPARAM kind)
{
    const SIZE s = ClientSize(*w);
    CallProc(w, WM_SIZE, kind, MAKELPARAM(s.cx, s.cy));
}

}  // namespace

WindowPtr FindQuiet(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
    return it != g_windows.end() ? it->second : nullptr;
}

WindowPtr Find(HWND hwnd)
{
    WindowPtr w = FindQuiet(hwnd);
    if (w == nullptr)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

std::vector<WindowPtr> AllWindows()
{
    std::lock_guard<std::mutex> guard(g_lock);
    std::vector<WindowPtr> all;
    for (auto& entry : g_windows)
        all.push_back(entry.second);
    return all;
}

std::vector<WindowPtr> TopLevelWindowsOfThread(DWORD thread)
{
    std::vector<WindowPtr> result;
    for (auto& w : AllWindows())
        if (w->thread == thread && !w->IsChild())
            result.push_back(w);
    return result;
}

HWND ParentOf(const Window& w)
{
    return w.IsChild() ? w.parent : nullptr;
}

bool IsDescendant(HWND ancestor, HWND hwnd)
{
    WindowPtr w = FindQuiet(hwnd);
    while (w != nullptr && w->IsChild()) {
        if (w->parent == ancestor)
            return true;
        w = FindQuiet(w->parent);
    }
    return false;
}

RECT NonClientInsets(DWORD style, DWORD exStyle)
{
    int frame = 0;
    if (style & WS_THICKFRAME)
        frame = kSizeFrame;
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        frame = kFixedFrame;
    else if (style & WS_BORDER)
        frame = 1;
    if (exStyle & WS_EX_CLIENTEDGE)
        frame += 2;
    if (exStyle & WS_EX_STATICEDGE)
        frame += 1;
    RECT r = {frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION)
        r.top += kCaption;
    return r;
}

SIZE ClientSize(const Window& w)
{
    const RECT in = NonClientInsets(w.style, w.exStyle);
    SIZE s = {w.rect.right - w.rect.left - in.left - in.right, w.rect.bottom - w.rect.top - in.top - in.bottom};
    s.cx = std::max<LONG>(s.cx, 0);
    s.cy = std::max<LONG>(s.cy, 0);
    return s;
}

POINT ClientOrigin(const Window& w)
{
    const RECT in = NonClientInsets(w.style, w.exStyle);
    POINT p = {w.rect.left + in.left, w.rect.top + in.top};
    if (WindowPtr parent = FindQuiet(ParentOf(w))) {
        const POINT o = ClientOrigin(*parent);
        p.x += o.x;
        p.y += o.y;
    }
    return p;
}

LRESULT CallProc(const WindowPtr& w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = w->proc;
    return proc != nullptr ? proc(w->handle, msg, wParam, lParam) : 0;
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(hwnd, msg, wParam, lParam);
}

}  // namespace compat::user

using namespace compat::user;

extern "C" {

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam)
{
    EnsureSystemClasses();
    std::shared_ptr<WindowClass> cls = FindClass(lpClassName);
    if (cls == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    WindowPtr parent;
    if (hWndParent != nullptr && hWndParent != HWND_DESKTOP) {
        parent = Find(hWndParent);
        if (parent == nullptr)
            return nullptr;
    } else if (dwStyle & WS_CHILD) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }

    auto w = std::make_shared<Window>();
    w->thread = GetCurrentThreadId();
    w->cls = cls;
    w->proc = cls->proc;
    w->style = dwStyle & ~WS_VISIBLE;
    w->exStyle = dwExStyle;
    if (!(dwStyle & WS_CHILD)) {
        // Top-level windows always clip their siblings; an overlapped one has a caption.
        w->style |= WS_CLIPSIBLINGS;
        if (!(dwStyle & WS_POPUP))
            w->style |= WS_CAPTION;
    }
    if ((w->style & (WS_DLGFRAME | WS_THICKFRAME)) || (w->exStyle & WS_EX_DLGMODALFRAME))
        w->exStyle |= WS_EX_WINDOWEDGE;
    w->id = (dwStyle & WS_CHILD) ? reinterpret_cast<LONG_PTR>(hMenu) : 0;
    w->parent = parent != nullptr ? parent->handle : nullptr;
    w->instance = hInstance;
    w->extra.assign(static_cast<std::size_t>(std::max(cls->cbWndExtra, 0)), 0);
    w->text = lpWindowName != nullptr ? lpWindowName : "";
    // CW_USEDEFAULT places an overlapped window at the origin with a size of 320 x 240.
    if (X == CW_USEDEFAULT) {
        X = 0;
        Y = 0;
    }
    if (nWidth == CW_USEDEFAULT) {
        nWidth = 320;
        nHeight = 240;
    }
    w->rect = {X, Y, X + std::max(nWidth, 0), Y + std::max(nHeight, 0)};
    QueueOf(w->thread, true);
    Insert(w);
    if (parent != nullptr && (dwStyle & WS_CHILD))
        parent->children.push_back(w->handle);

    CREATESTRUCTA cs{};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = hWndParent;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.x = X;
    cs.y = Y;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;
    const HWND hwnd = w->handle;
    if (!CallProc(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        CallProc(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr;
    SizeChanged(w, SIZE_RESTORED);
    CallProc(w, WM_MOVE, 0, MAKELPARAM(w->rect.left, w->rect.top));
    if (dwStyle & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

// WM_DESTROY goes to the window before its children, WM_NCDESTROY to the
// children before the window, as in Windows. Owned windows go first. A window
// that is not there, like one of another thread, fails with
// ERROR_ACCESS_DENIED, as Wine answers.
BOOL WINAPI DestroyWindow(HWND hWnd)
{
    WindowPtr w = Own(hWnd);
    if (w == nullptr) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (w->destroying)
        return TRUE;
    w->destroying = true;
    if (!w->IsChild())
        for (auto& other : AllWindows())
            if (!other->IsChild() && other->parent == hWnd && other->thread == w->thread)
                DestroyWindow(other->handle);
    MoveFocusOutOf(*w);
    if (w->style & WS_VISIBLE) {
        w->style &= ~WS_VISIBLE;
        if (WindowPtr parent = FindQuiet(ParentOf(*w)))
            InvalidateRect(parent->handle, &w->rect, TRUE);
    }
    SendDestroy(w);
    FreeTree(w);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd)
{
    return FindQuiet(hWnd) != nullptr;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd)
{
    return IsDescendant(hWndParent, hWnd);
}

// The parent of a child window, the owner of a top-level one.
HWND WINAPI GetParent(HWND hWnd)
{
    WindowPtr w = Find(hWnd);
    return w != nullptr ? w->parent : nullptr;
}

HWND WINAPI GetDesktopWindow(void)
{
    return nullptr;
}

// Siblings in creation order: GW_CHILD gives the first child, as the first
// control of a dialog template.
HWND WINAPI GetWindow(HWND hWnd, UINT uCmd)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return nullptr;
    if (uCmd == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front();
    if (uCmd == GW_OWNER)
        return w->IsChild() ? nullptr : w->parent;
    std::vector<HWND> siblings;
    if (WindowPtr parent = FindQuiet(ParentOf(*w))) {
        siblings = parent->children;
    } else {
        for (auto& top : AllWindows())
            if (!top->IsChild())
                siblings.push_back(top->handle);
    }
    auto it = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return it != siblings.end() && it + 1 != siblings.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV:
        return it != siblings.end() && it != siblings.begin() ? *(it - 1) : nullptr;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return 0;
    if (lpdwProcessId != nullptr)
        *lpdwProcessId = 1;
    return w->thread;
}

// Top-level windows only; class and title compare without regard to case.
HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName)
{
    std::shared_ptr<WindowClass> cls;
    if (lpClassName != nullptr) {
        EnsureSystemClasses();
        cls = FindClass(lpClassName);
        if (cls == nullptr) {
            SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
            return nullptr;
        }
    }
    for (auto& w : AllWindows()) {
        if (w->IsChild() || (cls != nullptr && w->cls != cls))
            continue;
        if (lpWindowName == nullptr || CompareNoCase(w->text, lpWindowName) == 0)
            return w->handle;
    }
    return nullptr;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return 0;
    switch (nIndex) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->parent);
    case GWLP_ID:
        return w->id;
    case GWL_STYLE:
        return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA:
        return w->userData;
    default:
        break;
    }
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) + sizeof(LONG_PTR) > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR value = 0;
    std::memcpy(&value, w->extra.data() + nIndex, sizeof value);
    return value;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return 0;
    LONG_PTR old = 0;
    switch (nIndex) {
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
        return old;
    case GWLP_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(dwNewLong);
        return old;
    case GWLP_ID:
        old = w->id;
        w->id = dwNewLong;
        return old;
    case GWL_STYLE:
        old = static_cast<LONG>(w->style);
        w->style = static_cast<DWORD>(dwNewLong);
        return old;
    case GWL_EXSTYLE:
        old = static_cast<LONG>(w->exStyle);
        w->exStyle = static_cast<DWORD>(dwNewLong);
        return old;
    case GWLP_USERDATA:
        old = w->userData;
        w->userData = dwNewLong;
        return old;
    default:
        break;
    }
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) + sizeof(LONG_PTR) > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
}

// The 32-bit forms: the same fields, and 32-bit cells of the extra bytes.
LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex)
{
    if (nIndex < 0)
        return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return 0;
    if (static_cast<std::size_t>(nIndex) + sizeof(LONG) > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG value = 0;
    std::memcpy(&value, w->extra.data() + nIndex, sizeof value);
    return value;
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong)
{
    if (nIndex < 0)
        return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, dwNewLong));
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return 0;
    if (static_cast<std::size_t>(nIndex) + sizeof(LONG) > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG old = 0;
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
}

// A window of another thread gives its stored text without a message, as in Windows.
int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr || lpString == nullptr || nMaxCount <= 0)
        return 0;
    if (w->thread == GetCurrentThreadId())
        return static_cast<int>(Send(hWnd, WM_GETTEXT, nMaxCount, reinterpret_cast<LPARAM>(lpString)));
    const std::size_t n = std::min<std::size_t>(w->text.size(), nMaxCount - 1);
    std::memcpy(lpString, w->text.data(), n);
    lpString[n] = '\0';
    return static_cast<int>(n);
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    if (Own(hWnd) == nullptr)
        return FALSE;
    return static_cast<BOOL>(Send(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return 0;
    if (w->thread != GetCurrentThreadId())
        return static_cast<int>(w->text.size());
    return static_cast<int>(Send(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

// Disabling the window that has the focus takes the focus away, as Wine does.
BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable)
{
    WindowPtr w = Own(hWnd);
    if (w == nullptr)
        return FALSE;
    const BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (bEnable && wasDisabled) {
        w->style &= ~WS_DISABLED;
        CallProc(w, WM_ENABLE, TRUE, 0);
        InvalidateRect(hWnd, nullptr, TRUE);
    } else if (!bEnable && !wasDisabled) {
        CallProc(w, WM_CANCELMODE, 0, 0);
        w->style |= WS_DISABLED;
        HWND focus = Current().focus;
        if (focus == hWnd || IsDescendant(hWnd, focus))
            SetFocus(nullptr);
        CallProc(w, WM_ENABLE, FALSE, 0);
        InvalidateRect(hWnd, nullptr, TRUE);
    }
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd)
{
    WindowPtr w = Find(hWnd);
    return w != nullptr && !(w->style & WS_DISABLED);
}

BOOL WINAPI IsWindowVisible(HWND hWnd)
{
    WindowPtr w = FindQuiet(hWnd);
    while (w != nullptr) {
        if (!(w->style & WS_VISIBLE))
            return FALSE;
        if (!w->IsChild())
            return TRUE;
        w = FindQuiet(w->parent);
    }
    return FALSE;
}

BOOL WINAPI IsIconic(HWND hWnd)
{
    WindowPtr w = FindQuiet(hWnd);
    return w != nullptr && (w->style & WS_MINIMIZE) != 0;
}

// Minimising leaves the window no client area, as in Windows; restoring brings
// the rectangle back. Showing a top-level window activates it unless the
// command says otherwise.
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow)
{
    WindowPtr w = Own(hWnd);
    if (w == nullptr)
        return FALSE;
    const BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    if (nCmdShow == SW_HIDE) {
        if (!wasVisible)
            return FALSE;
        CallProc(w, WM_SHOWWINDOW, FALSE, 0);
        w->style &= ~WS_VISIBLE;
        MoveFocusOutOf(*w);
        if (Current().active == hWnd)
            Current().active = nullptr;
        if (WindowPtr parent = FindQuiet(ParentOf(*w)))
            InvalidateRect(parent->handle, &w->rect, TRUE);
        return wasVisible;
    }
    const bool minimise = nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINIMIZED ||
                          nCmdShow == SW_SHOWMINNOACTIVE || nCmdShow == SW_FORCEMINIMIZE;
    const bool restore = nCmdShow == SW_RESTORE || nCmdShow == SW_SHOWNORMAL || nCmdShow == SW_SHOWDEFAULT;
    if (!wasVisible) {
        CallProc(w, WM_SHOWWINDOW, TRUE, 0);
        w->style |= WS_VISIBLE;
        InvalidateTree(w, nullptr, true, true);
    }
    if (minimise && !(w->style & WS_MINIMIZE)) {
        w->restoreRect = w->rect;
        w->style |= WS_MINIMIZE;
        const RECT in = NonClientInsets(w->style, w->exStyle);
        w->rect.right = w->rect.left + in.left + in.right;
        w->rect.bottom = w->rect.top + in.top + in.bottom;
        MoveFocusOutOf(*w);
        SizeChanged(w, SIZE_MINIMIZED);
        InvalidateTree(w, nullptr, true, true);
    } else if (restore && (w->style & WS_MINIMIZE)) {
        w->style &= ~WS_MINIMIZE;
        w->rect = w->restoreRect;
        SizeChanged(w, SIZE_RESTORED);
        InvalidateTree(w, nullptr, true, true);
    }
    const bool activate = nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE &&
                          nCmdShow != SW_SHOWMINNOACTIVE && nCmdShow != SW_FORCEMINIMIZE;
    if (!w->IsChild() && activate)
        Activate(hWnd);
    return wasVisible;
}

HWND WINAPI SetFocus(HWND hWnd)
{
    ThreadState& ts = Current();
    HWND old = IsWindow(ts.focus) ? ts.focus : nullptr;
    if (hWnd == nullptr) {
        ts.focus = nullptr;
        if (old != nullptr)
            Send(old, WM_KILLFOCUS, 0, 0);
        return old;
    }
    WindowPtr w = Own(hWnd);
    if (w == nullptr)
        return nullptr;
    if (hWnd == old)
        return old;
    // Giving a window the focus activates its top-level window first.
    HWND top = TopLevelOf(hWnd);
    if (top != ts.active) {
        Activate(top);
        old = IsWindow(ts.focus) ? ts.focus : nullptr;
        if (hWnd == old)
            return old;
    }
    ts.focus = hWnd;
    if (old != nullptr)
        Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (ts.focus == hWnd && IsWindow(hWnd))
        Send(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND WINAPI GetFocus(void)
{
    HWND focus = Current().focus;
    return IsWindow(focus) ? focus : nullptr;
}

HWND WINAPI GetActiveWindow(void)
{
    HWND active = Current().active;
    return IsWindow(active) ? active : nullptr;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr || lpRect == nullptr)
        return FALSE;
    const SIZE s = ClientSize(*w);
    *lpRect = {0, 0, s.cx, s.cy};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr || lpRect == nullptr)
        return FALSE;
    *lpRect = w->rect;
    if (WindowPtr parent = FindQuiet(ParentOf(*w))) {
        const POINT o = ClientOrigin(*parent);
        OffsetRect(lpRect, o.x, o.y);
    }
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr || lpPoint == nullptr)
        return FALSE;
    const POINT o = ClientOrigin(*w);
    lpPoint->x += o.x;
    lpPoint->y += o.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr || lpPoint == nullptr)
        return FALSE;
    const POINT o = ClientOrigin(*w);
    lpPoint->x -= o.x;
    lpPoint->y -= o.y;
    return TRUE;
}

// The z-order is not modelled: siblings stay in creation order.
BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags)
{
    WindowPtr w = Own(hWnd);
    if (w == nullptr)
        return FALSE;
    RECT r = w->rect;
    if (!(uFlags & SWP_NOMOVE))
        OffsetRect(&r, X - r.left, Y - r.top);
    if (!(uFlags & SWP_NOSIZE)) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    const RECT old = w->rect;
    const bool moved = r.left != old.left || r.top != old.top;
    const bool sized = (r.right - r.left) != (old.right - old.left) || (r.bottom - r.top) != (old.bottom - old.top);
    w->rect = r;
    if (sized)
        SizeChanged(w, SIZE_RESTORED);
    if (moved)
        CallProc(w, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
    if ((moved || sized) && !(uFlags & SWP_NOREDRAW) && IsWindowVisible(hWnd)) {
        InvalidateTree(w, nullptr, true, true);
        if (WindowPtr parent = FindQuiet(ParentOf(*w)))
            InvalidateRect(parent->handle, &old, TRUE);
    }
    if (uFlags & SWP_SHOWWINDOW)
        ShowWindow(hWnd, (uFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    else if (uFlags & SWP_HIDEWINDOW)
        ShowWindow(hWnd, SW_HIDE);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint)
{
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD dwExStyle)
{
    if (lpRect == nullptr)
        return FALSE;
    const RECT in = NonClientInsets(dwStyle, dwExStyle);
    lpRect->left -= in.left;
    lpRect->top -= in.top;
    lpRect->right += in.right;
    lpRect->bottom += in.bottom;
    return TRUE;
}

}  // extern "C"

namespace compat {

void MinimizeWindow(HWND hwnd, int clientWidth, int clientHeight)
{
    ShowWindow(hwnd, SW_MINIMIZE);
    if (WindowPtr w = FindQuiet(hwnd)) {
        w->rect.right += clientWidth;
        w->rect.bottom += clientHeight;
        InvalidateTree(w, nullptr, true, true);
    }
}

UiCounts CountUi()
{
    UiCounts c;
    c.windows = AllWindows().size();
    c.dcs = gdi::LiveDcs();
    c.gdiObjects = gdi::LiveObjects();
    return c;
}

}  // namespace compat
