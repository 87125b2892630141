#include "TestPattern.h"

BYTE PatternMask(BYTE bDataBits)
{
    BYTE mask = 1;
    for (int bit = 0; bit < bDataBits && bit < 8; ++bit)
        mask = static_cast<BYTE>(mask | (1u << bit));
    return mask;
}

void FillPattern(BYTE* pBuffer, DWORD dwSize, BYTE bDataBits)
{
    const BYTE mask = PatternMask(bDataBits);
    for (DWORD i = 0; i < dwSize; ++i)
        pBuffer[i] = static_cast<BYTE>((i % 256) & mask);
}
