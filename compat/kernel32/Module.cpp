// Modules: the one module is the program itself, named by a path that tests
// may set, so that captions and help-file names read as in the product.
#include <windows.h>

#include <compat/Ui.h>

#include <cstring>
#include <mutex>
#include <string>

#ifndef ERROR_MOD_NOT_FOUND
#define ERROR_MOD_NOT_FOUND 126L
#endif

namespace {

std::mutex g_lock;
std::string g_path = "C:\\Duoprobe\\Duoprobe.exe";

// The handle of the program's image, where a 32-bit executable is loaded.
HMODULE Self()
{
    return reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x00400000));
}

std::string FileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SameNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

}  // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName)
{
    if (lpModuleName == nullptr)
        return Self();
    std::lock_guard<std::mutex> guard(g_lock);
    const std::string name = FileName(lpModuleName);
    if (SameNoCase(name, FileName(g_path)) || SameNoCase(name + ".exe", FileName(g_path)))
        return Self();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

// A buffer too small gets as much of the path as fits, with no terminator;
// the result is then nSize and the error ERROR_INSUFFICIENT_BUFFER, as Wine
// (and Windows XP) do.
DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize)
{
    if (hModule != nullptr && hModule != Self()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (lpFilename == nullptr || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_path.size() < nSize) {
        std::memcpy(lpFilename, g_path.c_str(), g_path.size() + 1);
        return static_cast<DWORD>(g_path.size());
    }
    std::memcpy(lpFilename, g_path.data(), nSize);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

}  // extern "C"

namespace compat {

void SetModuleFileName(const std::string& path)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_path = path;
}

}  // namespace compat
