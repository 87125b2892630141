// CButton: a push button or check box of a dialog, bound with DDX_Control.
#pragma once

#include "Wnd.h"

class CButton : public CWnd {
};
