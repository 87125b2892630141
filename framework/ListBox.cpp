#include "ListBox.h"

IMPLEMENT_DYNAMIC(CListBox, CWnd)
