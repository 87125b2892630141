// compat's window manager: what an HWND stands for, the window and class
// tables, the per-thread message queues and the helpers that the user32 and
// comctl32 sources share. Windows belong to the thread that created them; only
// that thread touches a window's fields. The tables and the queues are guarded,
// so that any thread may post and ask IsWindow.
#pragma once

#include <windows.h>

#include <compat/Ui.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace compat::user {

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int cbWndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HBRUSH background = nullptr;
    bool system = false;  // one of the classes compat itself provides
};

// What a control class keeps beyond the common window fields.
struct ControlState {
    virtual ~ControlState() = default;
};

struct DialogState {
    HFONT font = nullptr;          // WM_GETFONT's answer
    HFONT templateFont = nullptr;  // made from the template's DS_SETFONT entry
    bool ownsFont = false;
    int baseX = 8;             // dialog base units of the dialog's font
    int baseY = 16;
    int defId = IDOK;          // DM_GETDEFID starts with IDOK, as in Windows
    HWND savedFocus = nullptr; // the control to give the focus back to
};

struct Window {
    HWND handle = nullptr;
    DWORD thread = 0;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    HWND parent = nullptr;  // for a child; the owner for a top-level window
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    std::vector<unsigned char> extra;
    std::string text;
    RECT rect{};           // window rectangle in the parent's client coordinates (screen for top level)
    RECT restoreRect{};    // the rectangle before minimising
    std::vector<HWND> children;  // in creation order, which is also the tab order
    HFONT font = nullptr;
    HICON iconBig = nullptr;
    HICON iconSmall = nullptr;
    bool destroying = false;

    bool updatePending = false;
    bool erasePending = false;
    RECT update{};

    std::vector<compat::DrawOp> record;
    std::unique_ptr<ControlState> control;
    std::unique_ptr<DialogState> dialog;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
};

using WindowPtr = std::shared_ptr<Window>;

// Looks a window up; null (and ERROR_INVALID_WINDOW_HANDLE) when there is none.
WindowPtr Find(HWND hwnd);
WindowPtr FindQuiet(HWND hwnd);
// The windows of the calling thread, top level ones, in creation order.
std::vector<WindowPtr> TopLevelWindowsOfThread(DWORD thread);
std::vector<WindowPtr> AllWindows();

// Classes
std::shared_ptr<WindowClass> FindClass(LPCSTR name);
void RegisterSystemClass(const char* name, WNDPROC proc, int cbWndExtra, UINT style = 0);
void EnsureSystemClasses();

// Non-client insets of a window of this style: border, frame and caption.
RECT NonClientInsets(DWORD style, DWORD exStyle);
// The client rectangle's size.
SIZE ClientSize(const Window& w);
// Origin of the client area in screen coordinates.
POINT ClientOrigin(const Window& w);

LRESULT CallProc(const WindowPtr& w, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The parent of a child window, otherwise null.
HWND ParentOf(const Window& w);
bool IsDescendant(HWND ancestor, HWND hwnd);

// Messages and queues
struct QueuedMessage {
    MSG msg{};
    std::function<void()> task;  // a test's task: run when it reaches the front
};

struct Queue {
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<QueuedMessage> posted;
    std::deque<MSG> input;  // keyboard input, after posted messages as in Windows
    bool quit = false;
    int quitCode = 0;
};

std::shared_ptr<Queue> QueueOf(DWORD thread, bool create);
MSG MakeMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
bool PostTo(DWORD thread, const MSG& msg, std::function<void()> task = nullptr);
// Keyboard input; a null hwnd is resolved to the focus when the message is taken.
void PostInput(DWORD thread, const MSG& msg);
void DiscardMessagesOf(HWND hwnd);

// Per thread: focus, active window and the keyboard state of the messages taken.
struct ThreadState {
    HWND focus = nullptr;
    HWND active = nullptr;
    BYTE keys[256] = {};
};
ThreadState& Current();

// Painting
void InvalidateTree(const WindowPtr& w, const RECT* rect, bool erase, bool children);
HWND NextWindowToPaint(HWND filter);
void Record(HWND hwnd, compat::DrawOp op);

// Shared by the controls
HFONT ControlFont(const Window& w);
void NotifyParent(const Window& w, WORD code);
LRESULT ControlColor(const Window& w, UINT msg, HDC hdc);
// What DefWindowProcA answers to WM_CTLCOLOR*: the system's colours.
LRESULT DefaultControlColor(UINT msg, HDC hdc);
// Draws a control's text into its client area: what its WM_PAINT shows.
void PaintText(HWND hwnd, HDC hdc, const std::string& text, RECT rc, UINT format);
// Case-insensitive compare of ANSI strings, as the list controls sort and search.
int CompareNoCase(const std::string& a, const std::string& b);
bool StartsWithNoCase(const std::string& text, const std::string& prefix);

// Font metrics that the dialog manager and the list controls use.
struct FontMetrics {
    int height;   // tmHeight
    int aveWidth; // the dialog base unit across
};
FontMetrics MetricsOf(HFONT font);

void RegisterButton();
void RegisterStatic();
void RegisterListBox();
void RegisterComboBox();
void RegisterDialog();
void RegisterProgress();

}  // namespace compat::user
