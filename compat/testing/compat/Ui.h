// Test API of compat's user32, gdi32 and resources: what a test may look into
// or arrange that Win32 itself does not offer. Native build only; product code
// never includes it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace compat {

// One drawing call recorded on the window whose device context it went to
// (GetDC or BeginPaint), in client coordinates of that window.
struct DrawOp {
    enum class Kind { Fill, Text, Icon };
    Kind kind = Kind::Fill;
    std::uint64_t seq = 0;   // order of all drawing, across windows
    RECT rect{};             // Fill and Text: the rectangle; Icon: x, y and the icon's size
    COLORREF color = 0;      // Fill: the brush colour; Text: the text colour
    bool hollow = false;     // Fill with NULL_BRUSH: it paints nothing
    // Text
    std::string text;
    UINT format = 0;         // DT_ flags
    int bkMode = OPAQUE;
    COLORREF bkColor = 0;
    std::string fontFace;
    LONG fontHeight = 0;
    LONG fontWeight = 0;
    bool fontItalic = false;
    // Icon
    HICON icon = nullptr;
    int x = 0;
    int y = 0;
};

// Everything drawn into the window since it was created or last cleared.
std::vector<DrawOp> DrawRecord(HWND hwnd);
// Forgets the window's record; with null, every window's.
void ClearDrawRecord(HWND hwnd = nullptr);
// What the window shows now: the texts and icons drawn after the last opaque
// fill that covered its whole client area, whether that fill went to the window
// itself or to an ancestor that paints over its children (no WS_CLIPCHILDREN).
// Only the window's own texts and icons count, in drawing order.
std::vector<DrawOp> Visible(HWND hwnd);

// Message boxes: each call is recorded. The answer comes from the queue of
// answers if it holds one, else from the handler, else it is IDOK.
struct MessageBoxCall {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
    int answer = 0;
};
using MessageBoxHandler = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxHandler(MessageBoxHandler handler);
void QueueMessageBoxAnswers(const std::vector<int>& answers);
std::vector<MessageBoxCall> MessageBoxes();
void ClearMessageBoxes();

struct WinHelpCall {
    HWND window = nullptr;
    std::string file;
    UINT command = 0;
    ULONG_PTR data = 0;
};
std::vector<WinHelpCall> WinHelpCalls();
void ClearWinHelpCalls();

// Keyboard: presses and releases a key as a user would. The key messages go to
// the input queue of the thread that has the focus (to the focused window, or
// as WM_SYSKEY* to the active window when nothing has the focus), modifiers
// pressed before and released after; TranslateMessage makes WM_CHAR from them
// and GetKeyState follows the messages as they are taken. Returns false when
// the calling thread has neither a focused nor an active window.
enum Modifier : unsigned { kNoModifier = 0, kShift = 1, kControl = 2, kAlt = 4 };
bool PressKey(UINT vk, unsigned modifiers = kNoModifier);

// Runs `task` on the calling thread when its message queue reaches it: a test
// can queue what to do once a modal loop is running.
void PostTask(std::function<void()> task);
// Takes and dispatches what the calling thread's queue holds (posted messages,
// input, paint), through IsDialogMessageA of `dialog` when one is given, until
// nothing is left. Returns how many messages it dispatched.
int PumpPending(HWND dialog = nullptr);

// How long GetMessageA waits with nothing to take before it aborts the test
// with a diagnostic (a dialog or message loop left running): 60 s unless set.
void SetGetMessageBound(DWORD milliseconds);

// Puts a top-level window into the minimised state with the given client size
// (Windows gives a minimised window no client area; this lets a test paint one).
void MinimizeWindow(HWND hwnd, int clientWidth, int clientHeight);

// The pixel positions of a list box's tab stops (LB_SETTABSTOPS converts them
// from dialog template units with the list box's font).
std::vector<int> ListBoxTabStops(HWND listBox);

// What an icon handle stands for.
struct IconDescription {
    bool valid = false;
    bool standard = false;  // one of the system's IDI_ icons
    int resourceId = 0;     // the RT_GROUP_ICON id, or the IDI_ value
    int width = 0;
    int height = 0;
};
IconDescription DescribeIcon(HICON icon);

// What the process holds, for leak tests: live windows, device contexts from
// GetDC or BeginPaint not yet released, and GDI objects created and not deleted.
struct UiCounts {
    std::size_t windows = 0;
    std::size_t dcs = 0;
    std::size_t gdiObjects = 0;

    friend bool operator==(const UiCounts& a, const UiCounts& b) {
        return a.windows == b.windows && a.dcs == b.dcs && a.gdiObjects == b.gdiObjects;
    }
    friend bool operator!=(const UiCounts& a, const UiCounts& b) { return !(a == b); }
    friend std::ostream& operator<<(std::ostream& os, const UiCounts& c) {
        return os << "{windows " << c.windows << ", dcs " << c.dcs << ", gdiObjects " << c.gdiObjects << "}";
    }
};
UiCounts CountUi();

// GetModuleFileNameA's answer; "C:\\Duoprobe\\Duoprobe.exe" unless set.
void SetModuleFileName(const std::string& path);
// The ANSI code page: 1252 (the default) or a double-byte one such as 932.
void SetCodePage(UINT codePage);

}  // namespace compat
