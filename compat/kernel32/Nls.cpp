// National language support: the ANSI code page and its lead bytes. 1252 has
// none; a test may switch to a double-byte code page to try multibyte-safe
// text handling.
#include <windows.h>

#include <compat/Ui.h>

#include <atomic>

namespace {

std::atomic<UINT> g_acp{1252};

}  // namespace

extern "C" {

UINT WINAPI GetACP(void)
{
    return g_acp;
}

BOOL WINAPI IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar)
{
    switch (CodePage == CP_ACP ? g_acp.load() : CodePage) {
    case 932:  // Shift-JIS
        return (TestChar >= 0x81 && TestChar <= 0x9F) || (TestChar >= 0xE0 && TestChar <= 0xFC);
    case 936:  // GBK
    case 949:  // Unified Hangul
    case 950:  // Big5
        return TestChar >= 0x81 && TestChar <= 0xFE;
    default:
        return FALSE;
    }
}

BOOL WINAPI IsDBCSLeadByte(BYTE TestChar)
{
    return IsDBCSLeadByteEx(CP_ACP, TestChar);
}

}  // extern "C"

namespace compat {

void SetCodePage(UINT codePage)
{
    g_acp = codePage;
}

}  // namespace compat
