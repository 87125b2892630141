// National language support for the native build: the ANSI code page, 1252
// unless a test switches to a double-byte one (<compat/Ui.h>).
#pragma once

#include "windef.h"

#define CP_ACP 0

extern "C" {

UINT WINAPI GetACP(void);
BOOL WINAPI IsDBCSLeadByte(BYTE TestChar);
BOOL WINAPI IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);

}  // extern "C"
