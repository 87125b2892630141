// The 512-byte loopback pattern: byte i is (i mod 256) with every bit above
// the data width cleared, so that a port delivering each character cut to its
// data width returns it unchanged.
#pragma once

#include <windows.h>

// 2^n - 1 for n data bits from 1 to 8; 1 for 0 bits, 0xFF above 8.
BYTE PatternMask(BYTE bDataBits);
void FillPattern(BYTE* pBuffer, DWORD dwSize, BYTE bDataBits);
