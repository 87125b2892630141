// Resources: the compiled resource file (.res, the 32-bit format windres
// writes) that the build links into an executable as compat_resources. An
// executable without resources still links: the symbols are weak, and every
// look-up then fails as for an image without a resource section.
#include <windows.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

extern "C" const unsigned char compat_resources[] __attribute__((weak));
extern "C" const std::size_t compat_resources_size __attribute__((weak));

namespace {

// A type or a name: an ordinal, or an upper-cased string.
struct Key {
    WORD ordinal = 0;
    std::string name;
};

struct Entry {
    Key type;
    Key name;
    const BYTE* data = nullptr;
    DWORD size = 0;
};

DWORD ReadDword(const BYTE* p)
{
    DWORD v;
    std::memcpy(&v, p, 4);
    return v;
}

WORD ReadWord(const BYTE* p)
{
    WORD v;
    std::memcpy(&v, p, 2);
    return v;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Reads an ordinal (0xFFFF, id) or a zero-terminated UTF-16 string.
const BYTE* ReadKey(const BYTE* p, const BYTE* end, Key* key)
{
    if (p + 2 <= end && ReadWord(p) == 0xFFFF) {
        key->ordinal = ReadWord(p + 2);
        return p + 4;
    }
    std::string s;
    while (p + 2 <= end && ReadWord(p) != 0) {
        const WORD c = ReadWord(p);
        s += c < 0x100 ? static_cast<char>(c) : '?';
        p += 2;
    }
    key->name = Upper(s);
    return p + 2;
}

const std::vector<Entry>& Entries()
{
    static std::vector<Entry> entries;
    static std::once_flag once;
    std::call_once(once, [] {
        if (compat_resources == nullptr || &compat_resources_size == nullptr)
            return;
        const BYTE* p = compat_resources;
        const BYTE* end = p + compat_resources_size;
        while (p + 8 <= end) {
            const DWORD dataSize = ReadDword(p);
            const DWORD headerSize = ReadDword(p + 4);
            if (headerSize < 8 || p + headerSize + dataSize > end)
                break;
            Entry e;
            const BYTE* q = ReadKey(p + 8, p + headerSize, &e.type);
            ReadKey(q, p + headerSize, &e.name);
            e.data = p + headerSize;
            e.size = dataSize;
            // The file starts with an empty entry of type 0.
            if (e.type.ordinal != 0 || !e.type.name.empty())
                entries.push_back(e);
            p += headerSize + ((dataSize + 3) & ~DWORD(3));
        }
    });
    return entries;
}

// An integer id, "#123" or a name.
Key KeyOf(LPCSTR s)
{
    Key k;
    if (IS_INTRESOURCE(s)) {
        k.ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(s));
    } else if (s[0] == '#') {
        k.ordinal = static_cast<WORD>(std::strtoul(s + 1, nullptr, 10));
    } else {
        k.name = Upper(s);
    }
    return k;
}

bool Same(const Key& a, const Key& b)
{
    return a.ordinal == b.ordinal && a.name == b.name;
}

bool OurModule(HMODULE h)
{
    return h == nullptr || h == GetModuleHandleA(nullptr);
}

const Entry* EntryOf(HRSRC h)
{
    const std::vector<Entry>& all = Entries();
    for (const Entry& e : all)
        if (reinterpret_cast<HRSRC>(const_cast<Entry*>(&e)) == h)
            return &e;
    return nullptr;
}

}  // namespace

extern "C" {

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType)
{
    if (!OurModule(hModule) || lpName == nullptr || lpType == nullptr) {
        SetLastError(OurModule(hModule) ? ERROR_INVALID_PARAMETER : ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const std::vector<Entry>& all = Entries();
    if (all.empty()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const Key type = KeyOf(lpType);
    const Key name = KeyOf(lpName);
    bool typeFound = false;
    for (const Entry& e : all) {
        if (!Same(e.type, type))
            continue;
        typeFound = true;
        if (Same(e.name, name))
            return reinterpret_cast<HRSRC>(const_cast<Entry*>(&e));
    }
    SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo)
{
    const Entry* e = OurModule(hModule) ? EntryOf(hResInfo) : nullptr;
    if (e == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<BYTE*>(e->data);
}

LPVOID WINAPI LockResource(HGLOBAL hResData)
{
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo)
{
    const Entry* e = OurModule(hModule) ? EntryOf(hResInfo) : nullptr;
    if (e == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return e->size;
}

}  // extern "C"
