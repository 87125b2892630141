// System metrics and colours: a 1024 x 768 screen at 96 DPI with Windows 10's
// default colours and the classic frame sizes that Wine also uses.
#include "Window.h"

#include "../gdi32/Gdi.h"

extern "C" {

int WINAPI GetSystemMetrics(int nIndex)
{
    switch (nIndex) {
    case SM_CXSCREEN:
        return 1024;
    case SM_CYSCREEN:
        return 768;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 17;
    case SM_CYCAPTION:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXMINIMIZED:
        return 160;
    case SM_CYMINIMIZED:
        return 24;
    default:
        return 0;
    }
}

DWORD WINAPI GetSysColor(int nIndex)
{
    static const COLORREF colours[] = {
        RGB(200, 200, 200),  // COLOR_SCROLLBAR
        RGB(0, 0, 0),        // COLOR_BACKGROUND
        RGB(153, 180, 209),  // COLOR_ACTIVECAPTION
        RGB(191, 205, 219),  // COLOR_INACTIVECAPTION
        RGB(240, 240, 240),  // COLOR_MENU
        RGB(255, 255, 255),  // COLOR_WINDOW
        RGB(100, 100, 100),  // COLOR_WINDOWFRAME
        RGB(0, 0, 0),        // COLOR_MENUTEXT
        RGB(0, 0, 0),        // COLOR_WINDOWTEXT
        RGB(0, 0, 0),        // COLOR_CAPTIONTEXT
        RGB(180, 180, 180),  // COLOR_ACTIVEBORDER
        RGB(244, 247, 252),  // COLOR_INACTIVEBORDER
        RGB(171, 171, 171),  // COLOR_APPWORKSPACE
        RGB(0, 120, 215),    // COLOR_HIGHLIGHT
        RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
        RGB(240, 240, 240),  // COLOR_BTNFACE
        RGB(160, 160, 160),  // COLOR_BTNSHADOW
        RGB(109, 109, 109),  // COLOR_GRAYTEXT
        RGB(0, 0, 0),        // COLOR_BTNTEXT
        RGB(0, 0, 0),        // COLOR_INACTIVECAPTIONTEXT
        RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
        RGB(105, 105, 105),  // COLOR_3DDKSHADOW
        RGB(227, 227, 227),  // COLOR_3DLIGHT
        RGB(0, 0, 0),        // COLOR_INFOTEXT
        RGB(255, 255, 225),  // COLOR_INFOBK
        RGB(0, 0, 0),        // 25, unused
        RGB(0, 102, 204),    // COLOR_HOTLIGHT
        RGB(185, 209, 234),  // COLOR_GRADIENTACTIVECAPTION
        RGB(215, 228, 242),  // COLOR_GRADIENTINACTIVECAPTION
        RGB(51, 153, 255),   // COLOR_MENUHILIGHT
        RGB(240, 240, 240),  // COLOR_MENUBAR
    };
    if (nIndex < 0 || nIndex >= static_cast<int>(sizeof colours / sizeof colours[0]))
        return 0;
    return colours[nIndex];
}

// The brushes of the system colours belong to the system: DeleteObject leaves them.
HBRUSH WINAPI GetSysColorBrush(int nIndex)
{
    if (nIndex < 0 || nIndex > COLOR_MENUBAR)
        return nullptr;
    return compat::gdi::SystemBrush(GetSysColor(nIndex));
}

BOOL WINAPI MessageBeep(UINT)
{
    return TRUE;
}

}  // extern "C"
