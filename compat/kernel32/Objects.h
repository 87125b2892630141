// compat's kernel objects: what a HANDLE from kernel32 stands for, the handle
// table, and the one lock under which every waitable object changes state.
// Used by the kernel32 sources and by compat/devices (to end requests).
#pragma once

#include <winbase.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace compat::kernel {

// Guards the signalled state of every waitable object and the waiter lists. A
// leaf lock: nothing is called while it is held, so device code may take it
// (through Event::Set) while holding its own lock.
std::mutex& SignalLock();

// A thread blocked in a wait; registered with each object it waits on. Made
// and destroyed under SignalLock(), it also marks its thread as blocked, so a
// test can tell when a thread waits (compat::WaitUntilBlocked).
struct Waiter {
    Waiter();
    ~Waiter();
    Waiter(const Waiter&) = delete;
    Waiter& operator=(const Waiter&) = delete;

    std::condition_variable cv;
    const DWORD thread;
};

class Object {
public:
    virtual ~Object() = default;
    virtual bool Waitable() const { return false; }

    // The following run under SignalLock().
    virtual bool Signalled() const { return false; }
    // A wait satisfied by this object takes it (an auto-reset event resets).
    virtual void Acquire() {}
    void AddWaiter(Waiter* w) { m_waiters.push_back(w); }
    void RemoveWaiter(Waiter* w);

protected:
    // Wakes only the threads waiting on this object, and only when it changed.
    void WakeWaiters();

private:
    std::vector<Waiter*> m_waiters;
};

class Event : public Object {
public:
    Event(bool manualReset, bool initialState) : m_manual(manualReset), m_signalled(initialState) {}
    bool Waitable() const override { return true; }
    bool Signalled() const override { return m_signalled; }
    void Acquire() override {
        if (!m_manual) m_signalled = false;
    }
    void Set();
    void Reset();

private:
    const bool m_manual;
    bool m_signalled;
};

// Handle table. Values are multiples of 4 and never reused, so a stale handle
// fails with ERROR_INVALID_HANDLE instead of reaching a newer object.
HANDLE Insert(std::shared_ptr<Object> object);
std::shared_ptr<Object> Lookup(HANDLE h);
std::shared_ptr<Object> Remove(HANDLE h);
std::size_t HandleCount();

template <class T>
std::shared_ptr<T> LookupAs(HANDLE h) {
    return std::dynamic_pointer_cast<T>(Lookup(h));
}

// The wake-up counter of the calling thread (see compat::WakeUps).
void CountWakeUp();

// Blocks the calling thread until `done()` holds, woken only by changes of
// `object`. Takes SignalLock() itself; `done` runs under it.
template <class Done>
void BlockUntil(Object& object, Done done) {
    std::unique_lock<std::mutex> lock(SignalLock());
    Waiter waiter;
    object.AddWaiter(&waiter);
    while (!done()) {
        waiter.cv.wait(lock);
        CountWakeUp();
    }
    object.RemoveWaiter(&waiter);
}

}  // namespace compat::kernel
