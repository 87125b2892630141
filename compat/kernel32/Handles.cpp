// The handle table and CloseHandle.
#include "kernel32/Objects.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace compat::kernel {

namespace {

struct HandleTable {
    std::mutex lock;
    std::unordered_map<std::uintptr_t, std::shared_ptr<Object>> objects;
    std::uintptr_t next = 0x40;
};

// Never destroyed: threads still running at process exit may close handles.
HandleTable& Table() {
    static HandleTable* table = new HandleTable;
    return *table;
}

}  // namespace

std::mutex& SignalLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

void Object::RemoveWaiter(Waiter* w) {
    m_waiters.erase(std::remove(m_waiters.begin(), m_waiters.end(), w), m_waiters.end());
}

void Object::WakeWaiters() {
    for (Waiter* w : m_waiters) w->cv.notify_one();
}

HANDLE Insert(std::shared_ptr<Object> object) {
    HandleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    std::uintptr_t value = t.next;
    t.next += 4;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<Object> Lookup(HANDLE h) {
    HandleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(h));
    return it == t.objects.end() ? nullptr : it->second;
}

std::shared_ptr<Object> Remove(HANDLE h) {
    HandleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(h));
    if (it == t.objects.end()) return nullptr;
    std::shared_ptr<Object> object = std::move(it->second);
    t.objects.erase(it);
    return object;
}

std::size_t HandleCount() {
    HandleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.objects.size();
}

}  // namespace compat::kernel

using namespace compat::kernel;

BOOL WINAPI CloseHandle(HANDLE hObject) {
    // INVALID_HANDLE_VALUE is also the current process's pseudo handle, whose
    // closing succeeds and does nothing.
    if (hObject == INVALID_HANDLE_VALUE) return TRUE;
    // The object goes when its last reference does, outside the table's lock:
    // closing a port handle ends its requests, which sets events.
    std::shared_ptr<Object> object = Remove(hObject);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
