// Messages: the per-thread queues, posting from any thread, sending within a
// thread, taking messages in Windows' order (posted, then the quit message,
// then input, then WM_PAINT for windows that need painting), translating and
// dispatching; registered messages; the keyboard state.
#include "Window.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace compat::user {
namespace {

std::mutex g_queuesLock;
std::map<DWORD, std::shared_ptr<Queue>> g_queues;

// Windows refuses a post once a queue holds this many messages.
const std::size_t kQueueLimit = 10000;
// GetMessageA gives up when nothing arrives for this long: a test that forgot
// to end its dialog fails with a diagnostic instead of hanging.
std::atomic<DWORD> g_getMessageBoundMs{60000};

// Drops the thread's queue when the thread ends.
struct QueueOwner {
    DWORD thread = 0;
    ~QueueOwner()
    {
        if (thread == 0)
            return;
        std::lock_guard<std::mutex> guard(g_queuesLock);
        g_queues.erase(thread);
    }
};
thread_local QueueOwner t_queueOwner;
thread_local ThreadState t_state;

bool InRange(UINT msg, UINT min, UINT max)
{
    return (min == 0 && max == 0) || (msg >= min && msg <= max);
}

bool ForFilter(HWND msgWnd, HWND filter)
{
    if (filter == nullptr)
        return true;
    if (filter == reinterpret_cast<HWND>(-1))
        return msgWnd == nullptr;
    return msgWnd == filter || IsDescendant(filter, msgWnd);
}

void TrackKeys(const MSG& m)
{
    BYTE& key = t_state.keys[m.wParam & 0xff];
    if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
        if (!(key & 0x80))
            key ^= 0x01;
        key |= 0x80;
    } else if (m.message == WM_KEYUP || m.message == WM_SYSKEYUP) {
        key &= ~0x80;
    }
}

// Keyboard input goes to the window that has the focus when it is taken; with
// no focus, to the active window as WM_SYSKEYDOWN and WM_SYSKEYUP.
MSG ResolveInput(MSG m)
{
    if (m.hwnd != nullptr)
        return m;
    if (IsWindow(t_state.focus)) {
        m.hwnd = t_state.focus;
    } else if (IsWindow(t_state.active)) {
        m.hwnd = t_state.active;
        if (m.message == WM_KEYDOWN)
            m.message = WM_SYSKEYDOWN;
        else if (m.message == WM_KEYUP)
            m.message = WM_SYSKEYUP;
    }
    return m;
}

}  // namespace

MSG MakeMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MSG m{};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    return m;
}

namespace {

// One step of taking a message. Tasks that reach the front of the queue run
// here, outside the lock, whatever the filter.
bool Take(MSG* out, HWND filter, UINT min, UINT max, bool remove)
{
    std::shared_ptr<Queue> q = QueueOf(GetCurrentThreadId(), true);
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> guard(q->lock);
            if (!q->posted.empty() && q->posted.front().task) {
                task = std::move(q->posted.front().task);
                q->posted.pop_front();
            } else {
                for (auto it = q->posted.begin(); it != q->posted.end(); ++it) {
                    if (it->task || !ForFilter(it->msg.hwnd, filter) || !InRange(it->msg.message, min, max))
                        continue;
                    *out = it->msg;
                    if (remove)
                        q->posted.erase(it);
                    return true;
                }
                // The quit message comes once the posted messages are gone,
                // whatever the message range asked for.
                if (q->quit && (filter == nullptr || filter == reinterpret_cast<HWND>(-1))) {
                    *out = MakeMsg(nullptr, WM_QUIT, static_cast<WPARAM>(q->quitCode), 0);
                    if (remove)
                        q->quit = false;
                    return true;
                }
                for (auto it = q->input.begin(); it != q->input.end(); ++it) {
                    const MSG m = ResolveInput(*it);
                    if (!ForFilter(m.hwnd, filter) || !InRange(m.message, min, max))
                        continue;
                    *out = m;
                    if (remove) {
                        q->input.erase(it);
                        TrackKeys(*out);
                    }
                    return true;
                }
            }
        }
        if (!task)
            break;
        task();
    }
    if (InRange(WM_PAINT, min, max)) {
        if (HWND h = NextWindowToPaint(filter)) {
            *out = MakeMsg(h, WM_PAINT, 0, 0);
            return true;
        }
    }
    return false;
}

// The character a key makes, as TranslateMessage posts it; 0 for none.
WPARAM CharOf(WPARAM vk)
{
    const bool shift = (t_state.keys[VK_SHIFT] & 0x80) != 0;
    const bool control = (t_state.keys[VK_CONTROL] & 0x80) != 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (control)
            return vk - 'A' + 1;
        return shift ? vk : vk - 'A' + 'a';
    }
    if (vk >= '0' && vk <= '9')
        return vk;
    switch (vk) {
    case VK_RETURN:
        return '\r';
    case VK_ESCAPE:
        return 0x1b;
    case VK_TAB:
        return '\t';
    case VK_SPACE:
        return ' ';
    case VK_BACK:
        return '\b';
    default:
        return 0;
    }
}

}  // namespace

ThreadState& Current()
{
    return t_state;
}

std::shared_ptr<Queue> QueueOf(DWORD thread, bool create)
{
    std::lock_guard<std::mutex> guard(g_queuesLock);
    auto it = g_queues.find(thread);
    if (it != g_queues.end())
        return it->second;
    if (!create)
        return nullptr;
    auto q = std::make_shared<Queue>();
    g_queues[thread] = q;
    if (thread == GetCurrentThreadId())
        t_queueOwner.thread = thread;
    return q;
}

bool PostTo(DWORD thread, const MSG& msg, std::function<void()> task)
{
    std::shared_ptr<Queue> q = QueueOf(thread, thread == GetCurrentThreadId());
    if (q == nullptr) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(q->lock);
        if (q->posted.size() >= kQueueLimit) {
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return false;
        }
        q->posted.push_back({msg, std::move(task)});
    }
    q->arrived.notify_all();
    return true;
}

void PostInput(DWORD thread, const MSG& msg)
{
    std::shared_ptr<Queue> q = QueueOf(thread, true);
    {
        std::lock_guard<std::mutex> guard(q->lock);
        q->input.push_back(msg);
    }
    q->arrived.notify_all();
}

// Messages posted to a window die with it.
void DiscardMessagesOf(HWND hwnd)
{
    std::shared_ptr<Queue> q = QueueOf(GetCurrentThreadId(), false);
    if (q == nullptr)
        return;
    std::lock_guard<std::mutex> guard(q->lock);
    for (auto it = q->posted.begin(); it != q->posted.end();)
        it = (!it->task && it->msg.hwnd == hwnd) ? q->posted.erase(it) : it + 1;
    for (auto it = q->input.begin(); it != q->input.end();)
        it = it->hwnd == hwnd ? q->input.erase(it) : it + 1;
}

}  // namespace compat::user

using namespace compat::user;

extern "C" {

// Registered messages share one table of names that compare without regard to case.
UINT WINAPI RegisterWindowMessageA(LPCSTR lpString)
{
    static std::mutex lock;
    static std::map<std::string, UINT> ids;
    if (lpString == nullptr || *lpString == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string key(lpString);
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    std::lock_guard<std::mutex> guard(lock);
    auto it = ids.find(key);
    if (it != ids.end())
        return it->second;
    const UINT id = 0xC000 + static_cast<UINT>(ids.size());
    if (id > 0xFFFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    ids[key] = id;
    return id;
}

BOOL WINAPI PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return PostTo(idThread, MakeMsg(nullptr, Msg, wParam, lParam)) ? TRUE : FALSE;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd == nullptr)
        return PostThreadMessageA(GetCurrentThreadId(), Msg, wParam, lParam);
    if (hWnd == HWND_BROADCAST) {
        for (auto& w : AllWindows())
            if (!w->IsChild())
                PostTo(w->thread, MakeMsg(w->handle, Msg, wParam, lParam));
        return TRUE;
    }
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return FALSE;
    return PostTo(w->thread, MakeMsg(hWnd, Msg, wParam, lParam)) ? TRUE : FALSE;
}

// Within the window's thread a sent message is a direct call. compat does not
// carry sent messages across threads: that fails with ERROR_NOT_SUPPORTED and a
// diagnostic, where Windows would block until the other thread takes it.
LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    WindowPtr w = Find(hWnd);
    if (w == nullptr)
        return 0;
    if (w->thread != GetCurrentThreadId()) {
        std::fprintf(stderr, "compat: SendMessageA(%p, 0x%04x) from another thread is not supported\n",
                     static_cast<void*>(hWnd), Msg);
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    return CallProc(w, Msg, wParam, lParam);
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    MSG m;
    if (!Take(&m, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0))
        return FALSE;
    if (lpMsg != nullptr)
        *lpMsg = m;
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (lpMsg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hWnd != nullptr && hWnd != reinterpret_cast<HWND>(-1) && Find(hWnd) == nullptr)
        return -1;
    std::shared_ptr<Queue> q = QueueOf(GetCurrentThreadId(), true);
    const auto bound = std::chrono::milliseconds(g_getMessageBoundMs.load());
    auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        if (Take(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true))
            return lpMsg->message != WM_QUIT;
        std::unique_lock<std::mutex> guard(q->lock);
        const bool arrived = q->arrived.wait_until(guard, deadline, [&] {
            return !q->posted.empty() || !q->input.empty() || q->quit;
        });
        if (!arrived) {
            std::fprintf(stderr,
                         "compat: GetMessageA waited %lld ms with nothing to take: a dialog or message "
                         "loop was left running (end it, or post WM_QUIT)\n",
                         static_cast<long long>(bound.count()));
            std::abort();
        }
        deadline = std::chrono::steady_clock::now() + bound;
    }
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg)
{
    if (lpMsg == nullptr)
        return FALSE;
    const UINT m = lpMsg->message;
    if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN)
        return m == WM_KEYUP || m == WM_SYSKEYUP;
    const WPARAM ch = CharOf(lpMsg->wParam);
    if (ch != 0) {
        const UINT charMsg = m == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
        HWND target = lpMsg->hwnd;
        WindowPtr w = FindQuiet(target);
        PostTo(w != nullptr ? w->thread : GetCurrentThreadId(), MakeMsg(target, charMsg, ch, lpMsg->lParam));
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg)
{
    if (lpMsg == nullptr || lpMsg->hwnd == nullptr)
        return 0;
    WindowPtr w = Find(lpMsg->hwnd);
    if (w == nullptr)
        return 0;
    if (w->thread != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    return CallProc(w, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

void WINAPI PostQuitMessage(int nExitCode)
{
    std::shared_ptr<Queue> q = QueueOf(GetCurrentThreadId(), true);
    {
        std::lock_guard<std::mutex> guard(q->lock);
        q->quit = true;
        q->quitCode = nExitCode;
    }
    q->arrived.notify_all();
}

SHORT WINAPI GetKeyState(int nVirtKey)
{
    const BYTE key = t_state.keys[nVirtKey & 0xff];
    return static_cast<SHORT>(((key & 0x80) ? 0xff80 : 0) | (key & 0x01));
}

BOOL WINAPI GetKeyboardState(PBYTE lpKeyState)
{
    if (lpKeyState == nullptr)
        return FALSE;
    std::copy(t_state.keys, t_state.keys + 256, lpKeyState);
    return TRUE;
}

BOOL WINAPI SetKeyboardState(LPBYTE lpKeyState)
{
    if (lpKeyState == nullptr)
        return FALSE;
    std::copy(lpKeyState, lpKeyState + 256, t_state.keys);
    return TRUE;
}

}  // extern "C"

namespace compat {

void SetGetMessageBound(DWORD milliseconds)
{
    user::g_getMessageBoundMs = milliseconds;
}

void PostTask(std::function<void()> task)
{
    user::PostTo(GetCurrentThreadId(), user::MakeMsg(nullptr, WM_NULL, 0, 0), std::move(task));
}

int PumpPending(HWND dialog)
{
    // A window whose WM_PAINT never validates would come back for ever.
    const int kBound = 100000;
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (++count > kBound) {
            std::fprintf(stderr, "compat: PumpPending dispatched %d messages without emptying the queue "
                                 "(last 0x%04x to %p)\n", kBound, msg.message, static_cast<void*>(msg.hwnd));
            std::abort();
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageA(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return count;
}

}  // namespace compat
