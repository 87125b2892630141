#include "GdiObject.h"

#include "DC.h"

#include <cstring>

CGdiObject::~CGdiObject()
{
    Reset(nullptr);
}

void CGdiObject::Reset(HGDIOBJ hObject)
{
    if (m_hObject != nullptr)
        ::DeleteObject(m_hObject);
    m_hObject = hObject;
}

CBrush::CBrush(COLORREF color)
{
    Reset(::CreateSolidBrush(color));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC)
{
    HDC hDC = pDC != nullptr ? pDC->m_hDC : ::GetDC(nullptr);
    const int pixelsPerInch = ::GetDeviceCaps(hDC, LOGPIXELSY);
    if (pDC == nullptr)
        ::ReleaseDC(nullptr, hDC);

    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    // Tenths of a point to pixels: 720 tenths to the inch. A negative height
    // asks for the character height rather than the cell height.
    lf.lfHeight = -::MulDiv(nPointSize, pixelsPerInch, 720);
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, lpszFaceName, LF_FACESIZE - 1);
    Reset(::CreateFontIndirectA(&lf));
    return m_hObject != nullptr;
}
