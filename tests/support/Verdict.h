// What the verdict area shows: nothing, the green "OK" or the red "NG".
#pragma once

#include <windows.h>

#include <ostream>

enum class Verdict { Blank, Ok, Ng, Mixed };

std::ostream& operator<<(std::ostream& os, Verdict verdict);

// Natively from what was drawn into the area; on Windows from its pixels,
// counting the exact colours (text is antialiased).
Verdict ReadVerdict(HWND hArea);
