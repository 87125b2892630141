// Events and the waits on kernel objects. A waiting thread blocks on its own
// condition variable, registered with the objects it waits on; only a change
// of one of those objects wakes it, so an idle wait costs no wake-ups.
#include "kernel32/Objects.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <set>

#include <compat/Kernel.h>

namespace compat::kernel {

void Event::Set() {
    m_signalled = true;
    WakeWaiters();
}

void Event::Reset() { m_signalled = false; }

namespace {

// The threads inside a blocking wait; guarded by SignalLock().
struct BlockedThreads {
    std::multiset<DWORD> ids;
    std::condition_variable changed;
};

BlockedThreads& Blocked() {
    static BlockedThreads* blocked = new BlockedThreads;
    return *blocked;
}

}  // namespace

Waiter::Waiter() : thread(GetCurrentThreadId()) {
    Blocked().ids.insert(thread);
    Blocked().changed.notify_all();
}

Waiter::~Waiter() { Blocked().ids.erase(Blocked().ids.find(thread)); }

namespace {

struct WakeUpCounters {
    std::mutex lock;
    std::map<DWORD, std::shared_ptr<std::atomic<std::uint64_t>>> byThread;
};

WakeUpCounters& Counters() {
    static WakeUpCounters* counters = new WakeUpCounters;
    return *counters;
}

std::atomic<std::uint64_t>& CounterOf(DWORD threadId) {
    WakeUpCounters& c = Counters();
    std::lock_guard<std::mutex> guard(c.lock);
    auto& slot = c.byThread[threadId];
    if (!slot) slot = std::make_shared<std::atomic<std::uint64_t>>(0);
    return *slot;
}

std::atomic<unsigned> g_failEventCountdown{0};
std::atomic<DWORD> g_failEventError{0};

bool CreateEventShouldFail(DWORD* error) {
    unsigned n = g_failEventCountdown.load();
    while (n != 0 && !g_failEventCountdown.compare_exchange_weak(n, n - 1)) {
    }
    if (n != 1) return false;
    *error = g_failEventError.load();
    return true;
}

using Objects = std::vector<std::shared_ptr<Object>>;

// Under SignalLock: the index of the object that satisfies the wait, taking
// what it acquires, or -1.
int TrySatisfy(const Objects& objects, bool waitAll) {
    if (waitAll) {
        for (const auto& o : objects)
            if (!o->Signalled()) return -1;
        for (const auto& o : objects) o->Acquire();
        return 0;
    }
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->Signalled()) {
            objects[i]->Acquire();
            return static_cast<int>(i);
        }
    }
    return -1;
}

DWORD Wait(const Objects& objects, bool waitAll, DWORD milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock<std::mutex> lock(SignalLock());
    int index = TrySatisfy(objects, waitAll);
    if (index >= 0) return WAIT_OBJECT_0 + index;
    if (milliseconds == 0) return WAIT_TIMEOUT;

    Waiter waiter;
    for (const auto& o : objects) o->AddWaiter(&waiter);
    bool timedOut = false;
    while (index < 0 && !timedOut) {
        if (milliseconds == INFINITE) {
            waiter.cv.wait(lock);
        } else {
            timedOut = waiter.cv.wait_until(lock, deadline) == std::cv_status::timeout;
        }
        CountWakeUp();
        index = TrySatisfy(objects, waitAll);
    }
    for (const auto& o : objects) o->RemoveWaiter(&waiter);
    return index >= 0 ? WAIT_OBJECT_0 + index : WAIT_TIMEOUT;
}

}  // namespace

void CountWakeUp() {
    thread_local std::atomic<std::uint64_t>* counter = &CounterOf(GetCurrentThreadId());
    counter->fetch_add(1, std::memory_order_relaxed);
}

}  // namespace compat::kernel

namespace compat {

void FailCreateEvent(unsigned nth, DWORD error) {
    kernel::g_failEventError.store(error);
    kernel::g_failEventCountdown.store(nth);
}

std::uint64_t WakeUps(DWORD threadId) { return kernel::CounterOf(threadId).load(); }

bool WaitUntilBlocked(DWORD threadId, DWORD milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock<std::mutex> lock(kernel::SignalLock());
    // A waiter holds the lock from its registration until its condition
    // variable releases it, so a thread seen here is really asleep.
    return kernel::Blocked().changed.wait_until(lock, deadline, [threadId] {
        return kernel::Blocked().ids.count(threadId) != 0;
    });
}

}  // namespace compat

using namespace compat::kernel;

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState,
                           LPCSTR lpName) {
    DWORD error = 0;
    if (CreateEventShouldFail(&error)) {
        SetLastError(error);
        return nullptr;
    }
    // Named events would need a namespace shared across processes; the program
    // creates only unnamed ones.
    if (lpName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    HANDLE h = Insert(std::make_shared<Event>(bManualReset != FALSE, bInitialState != FALSE));
    // A new unnamed event sets the last error to 0, as Windows does.
    SetLastError(ERROR_SUCCESS);
    return h;
}

BOOL WINAPI SetEvent(HANDLE hEvent) {
    auto event = LookupAs<Event>(hEvent);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(SignalLock());
    event->Set();
    return TRUE;
}

BOOL WINAPI ResetEvent(HANDLE hEvent) {
    auto event = LookupAs<Event>(hEvent);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(SignalLock());
    event->Reset();
    return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                    DWORD dwMilliseconds) {
    if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || !lpHandles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<Object>> objects;
    for (DWORD i = 0; i < nCount; ++i) {
        auto object = Lookup(lpHandles[i]);
        if (!object || !object->Waitable()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(std::move(object));
    }
    return Wait(objects, bWaitAll != FALSE, dwMilliseconds);
}
