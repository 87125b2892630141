// A plain window class for the message and window tests: its procedure
// records what it is sent, and validates on WM_PAINT through BeginPaint.
#pragma once

#include <windows.h>

#include <vector>

struct WindowMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message the plain windows were sent, in order.
std::vector<WindowMessage>& SentMessages();
std::vector<WindowMessage> SentOf(UINT msg);

// Creates a window of the plain class (registered on first use).
HWND CreatePlain(DWORD style, HWND parent = nullptr, int id = 0, int cx = 200, int cy = 100);

// Takes and dispatches everything queued, bounded; false when WM_QUIT was met
// (it is put back).
bool PumpAll();
