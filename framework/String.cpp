#include "String.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

int CString::Find(LPCSTR psz) const
{
    const size_t needle = std::strlen(psz);
    const size_t size = m_str.size();
    size_t i = 0;
    // Character by character, so that only character boundaries are tried.
    while (i + needle <= size) {
        if (m_str.compare(i, needle, psz) == 0)
            return static_cast<int>(i);
        i += (::IsDBCSLeadByte(static_cast<BYTE>(m_str[i])) && i + 1 < size) ? 2 : 1;
    }
    return -1;
}

CString CString::Left(int nCount) const
{
    CString result;
    if (nCount > 0)
        result.m_str = m_str.substr(0, static_cast<size_t>(nCount));
    return result;
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (length < 0) {
        m_str.clear();
    } else {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), pszFormat, args);
        m_str.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
}

CString& CString::operator+=(LPCSTR psz)
{
    m_str += psz;
    return *this;
}

CString operator+(const CString& a, LPCSTR b)
{
    CString result(a);
    result += b;
    return result;
}

bool operator==(const CString& a, LPCSTR b)
{
    return a.m_str == b;
}
