// MulDiv: a * b / c over 64 bits, rounded half away from zero; -1 when c is 0
// or the result does not fit an int, as kernel32 documents.
#include <winbase.h>

#include <climits>
#include <cstdint>

int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) return -1;
    std::int64_t product = static_cast<std::int64_t>(nNumber) * nNumerator;
    std::int64_t divisor = nDenominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    std::int64_t half = divisor / 2;
    std::int64_t result = (product >= 0 ? product + half : product - half) / divisor;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}
