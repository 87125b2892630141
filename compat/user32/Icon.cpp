// Icons: LoadIconA from the program's RT_GROUP_ICON and RT_ICON resources, or
// the system's IDI_ icons. A loaded icon is shared: the same resource gives the
// same handle each time, and it lives as long as the process.
#include "Window.h"

#include <cstring>
#include <map>

namespace compat::user {
namespace {

std::mutex g_lock;
std::map<std::uintptr_t, compat::IconDescription> g_icons;
std::map<std::pair<bool, int>, HICON> g_loaded;  // (standard, id) -> handle
std::uintptr_t g_next = 0x00300000;

HICON Add(bool standard, int id, int width, int height)
{
    std::lock_guard<std::mutex> guard(g_lock);
    HICON& h = g_loaded[{standard, id}];
    if (h == nullptr) {
        h = reinterpret_cast<HICON>(g_next);
        g_next += 4;
        compat::IconDescription d;
        d.valid = true;
        d.standard = standard;
        d.resourceId = id;
        d.width = width;
        d.height = height;
        g_icons[reinterpret_cast<std::uintptr_t>(h)] = d;
    }
    return h;
}

// The group's entry for the 32 x 32 image (else its first): its RT_ICON id and size.
bool PickImage(const BYTE* group, DWORD size, WORD* id, int* width, int* height)
{
    if (size < 6)
        return false;
    WORD count;
    std::memcpy(&count, group + 4, 2);
    const std::size_t kEntry = 14;
    if (count == 0 || size < 6 + count * kEntry)
        return false;
    std::size_t chosen = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (group[6 + i * kEntry] == 32)
            chosen = i;
    const BYTE* e = group + 6 + chosen * kEntry;
    *width = e[0] != 0 ? e[0] : 256;
    *height = e[1] != 0 ? e[1] : 256;
    std::memcpy(id, e + 12, 2);
    return true;
}

}  // namespace
}  // namespace compat::user

using namespace compat::user;

extern "C" {

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName)
{
    if (hInstance == nullptr) {
        const ULONG_PTR id = reinterpret_cast<ULONG_PTR>(lpIconName);
        if (IS_INTRESOURCE(lpIconName) && id >= 32512 && id <= 32518)
            return Add(true, static_cast<int>(id), 32, 32);
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    HRSRC group = FindResourceA(hInstance, lpIconName, RT_GROUP_ICON);
    if (group == nullptr)
        return nullptr;
    const DWORD size = SizeofResource(hInstance, group);
    auto data = static_cast<const BYTE*>(LockResource(LoadResource(hInstance, group)));
    WORD imageId = 0;
    int width = 0;
    int height = 0;
    if (data == nullptr || !PickImage(data, size, &imageId, &width, &height)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    if (FindResourceA(hInstance, MAKEINTRESOURCEA(imageId), RT_ICON) == nullptr)
        return nullptr;
    const int id = IS_INTRESOURCE(lpIconName) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(lpIconName)) : 0;
    return Add(false, id, width, height);
}

}  // extern "C"

namespace compat {

IconDescription DescribeIcon(HICON icon)
{
    std::lock_guard<std::mutex> guard(user::g_lock);
    auto it = user::g_icons.find(reinterpret_cast<std::uintptr_t>(icon));
    return it != user::g_icons.end() ? it->second : IconDescription();
}

}  // namespace compat
