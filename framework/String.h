// CString: an 8-bit text in the ANSI code page, as the program's Win32 calls
// take it. Searching respects double-byte code pages.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR psz) : m_str(psz ? psz : "") {}

    operator LPCSTR() const { return m_str.c_str(); }
    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    // Index of the first occurrence of psz, or -1. In a double-byte code
    // page a match never begins on a trail byte.
    int Find(LPCSTR psz) const;
    CString Left(int nCount) const;

    void Format(LPCSTR pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    CString& operator+=(LPCSTR psz);
    friend CString operator+(const CString& a, LPCSTR b);
    friend bool operator==(const CString& a, LPCSTR b);
    friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }

private:
    std::string m_str;
};
