// Threads: CreateThread, GetExitCodeThread, GetCurrentThreadId. A thread's
// handle is a waitable object that becomes signalled when its procedure returns.
#include "kernel32/Objects.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include <compat/Kernel.h>

namespace compat::kernel {

namespace {

// Ids are handed out by compat, multiples of 4 as on Windows, so that
// CreateThread can report the id before the new thread runs.
std::atomic<DWORD> g_nextThreadId{0x100};

DWORD NewThreadId() { return g_nextThreadId.fetch_add(4); }

thread_local DWORD t_threadId = 0;

class Thread : public Object {
public:
    explicit Thread(DWORD id) : m_id(id) {}
    bool Waitable() const override { return true; }
    bool Signalled() const override { return m_ended; }
    DWORD Id() const { return m_id; }
    DWORD ExitCode() const { return m_ended ? m_exitCode : STILL_ACTIVE; }
    void End(DWORD exitCode) {
        m_exitCode = exitCode;
        m_ended = true;
        WakeWaiters();
    }

private:
    const DWORD m_id;
    DWORD m_exitCode = STILL_ACTIVE;
    bool m_ended = false;
};

struct Running {
    std::mutex lock;
    std::vector<DWORD> ids;
};

Running& RunningThreads() {
    static Running* running = new Running;
    return *running;
}

std::atomic<DWORD> g_failNextCreateThread{0};

void Run(std::shared_ptr<Thread> thread, LPTHREAD_START_ROUTINE proc, LPVOID param) {
    t_threadId = thread->Id();
    DWORD exitCode = proc(param);
    {
        Running& r = RunningThreads();
        std::lock_guard<std::mutex> guard(r.lock);
        r.ids.erase(std::remove(r.ids.begin(), r.ids.end(), thread->Id()), r.ids.end());
    }
    std::lock_guard<std::mutex> guard(SignalLock());
    thread->End(exitCode);
}

}  // namespace

}  // namespace compat::kernel

namespace compat {

KernelCounts Counts() {
    KernelCounts counts;
    counts.handles = kernel::HandleCount();
    counts.threads = RunningThreadIds().size();
    return counts;
}

std::vector<DWORD> RunningThreadIds() {
    kernel::Running& r = kernel::RunningThreads();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.ids;
}

void FailNextCreateThread(DWORD error) { kernel::g_failNextCreateThread.store(error); }

}  // namespace compat

using namespace compat::kernel;

DWORD WINAPI GetCurrentThreadId(void) {
    if (t_threadId == 0) t_threadId = NewThreadId();
    return t_threadId;
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (DWORD error = g_failNextCreateThread.exchange(0)) {
        SetLastError(error);
        return nullptr;
    }
    if (!lpStartAddress || (dwCreationFlags & CREATE_SUSPENDED)) {
        // Suspended threads would need ResumeThread, which the program never calls.
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_shared<Thread>(NewThreadId());
    {
        Running& r = RunningThreads();
        std::lock_guard<std::mutex> guard(r.lock);
        r.ids.push_back(thread->Id());
    }
    HANDLE h = Insert(thread);
    if (lpThreadId) *lpThreadId = thread->Id();
    // Detached: the handle, not the host thread, is what callers wait on, and
    // a Win32 thread may outlive every handle to it.
    std::thread(Run, thread, lpStartAddress, lpParameter).detach();
    return h;
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    auto thread = LookupAs<Thread>(hThread);
    if (!thread || !lpExitCode) {
        SetLastError(thread ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(SignalLock());
    *lpExitCode = thread->ExitCode();
    return TRUE;
}
