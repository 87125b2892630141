// Window classes: the application's (RegisterClassA) and the system's own
// (Button, Static, ListBox, ComboBox, the dialog class #32770; comctl32 adds
// msctls_progress32). Names compare without regard to case.
#include "Window.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace compat::user {
namespace {

std::mutex g_lock;
std::vector<std::shared_ptr<WindowClass>> g_classes;
ATOM g_nextAtom = 0xC100;

std::shared_ptr<WindowClass> FindLocked(LPCSTR name)
{
    for (auto& c : g_classes) {
        if (IS_INTRESOURCE(name)) {
            if (c->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)))
                return c;
        } else if (CompareNoCase(c->name, name) == 0) {
            return c;
        }
    }
    return nullptr;
}

ATOM AddLocked(std::shared_ptr<WindowClass> cls, ATOM atom)
{
    cls->atom = atom != 0 ? atom : g_nextAtom++;
    g_classes.push_back(cls);
    return cls->atom;
}

}  // namespace

int CompareNoCase(const std::string& a, const std::string& b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        int x = static_cast<unsigned char>(a[i]);
        int y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

std::shared_ptr<WindowClass> FindClass(LPCSTR name)
{
    if (name == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> guard(g_lock);
    return FindLocked(name);
}

void RegisterSystemClass(const char* name, WNDPROC proc, int cbWndExtra, UINT style)
{
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->proc = proc;
    cls->cbWndExtra = cbWndExtra;
    cls->style = style;
    cls->system = true;
    std::lock_guard<std::mutex> guard(g_lock);
    if (FindLocked(name) != nullptr)
        return;
    // The dialog class answers to WC_DIALOG, its atom in Windows.
    AddLocked(cls, std::strcmp(name, "#32770") == 0 ? 0x8002 : 0);
}

void EnsureSystemClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterButton();
        RegisterStatic();
        RegisterListBox();
        RegisterComboBox();
        RegisterDialog();
    });
}

}  // namespace compat::user

using namespace compat::user;

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass)
{
    EnsureSystemClasses();
    if (lpWndClass == nullptr || lpWndClass->lpszClassName == nullptr ||
        IS_INTRESOURCE(lpWndClass->lpszClassName) || lpWndClass->cbWndExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = lpWndClass->lpszClassName;
    cls->style = lpWndClass->style;
    cls->proc = lpWndClass->lpfnWndProc;
    cls->cbWndExtra = lpWndClass->cbWndExtra;
    cls->instance = lpWndClass->hInstance;
    cls->icon = lpWndClass->hIcon;
    cls->background = lpWndClass->hbrBackground;
    std::lock_guard<std::mutex> guard(g_lock);
    if (auto existing = FindLocked(lpWndClass->lpszClassName); existing != nullptr && !existing->system) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    return AddLocked(cls, 0);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE)
{
    std::lock_guard<std::mutex> guard(g_lock);
    for (auto it = g_classes.begin(); it != g_classes.end(); ++it) {
        auto& c = *it;
        const bool match = IS_INTRESOURCE(lpClassName)
                               ? c->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(lpClassName))
                               : CompareNoCase(c->name, lpClassName) == 0;
        if (match && !c->system) {
            g_classes.erase(it);
            return TRUE;
        }
    }
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
}

int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr || lpClassName == nullptr || nMaxCount <= 0)
        return 0;
    const std::size_t n = std::min<std::size_t>(w->cls->name.size(), nMaxCount - 1);
    std::memcpy(lpClassName, w->cls->name.data(), n);
    lpClassName[n] = '\0';
    return static_cast<int>(n);
}

}  // extern "C"
