// GDI objects that the program creates for one drawing call: each wrapper owns
// its object and deletes it when it goes.
#pragma once

#include <windows.h>

class CDC;

class CGdiObject {
public:
    CGdiObject() = default;
    ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

protected:
    void Reset(HGDIOBJ hObject);
};

class CBrush : public CGdiObject {
public:
    explicit CBrush(COLORREF color);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    // A font of nPointSize tenths of a point, its height converted for the
    // vertical resolution of pDC, or of the screen when pDC is null.
    BOOL CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC = nullptr);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};
