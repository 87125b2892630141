// Test API of compat's kernel32: what a test may look into or arrange that
// Win32 itself does not offer. Native build only; product code never includes it.
#pragma once

#include <winbase.h>

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

namespace compat {

// What the process holds: for leak tests around many open/close cycles.
struct KernelCounts {
    std::size_t handles = 0;  // open kernel handles: events, threads, files
    std::size_t threads = 0;  // threads started by CreateThread that still run

    friend bool operator==(const KernelCounts& a, const KernelCounts& b) {
        return a.handles == b.handles && a.threads == b.threads;
    }
    friend bool operator!=(const KernelCounts& a, const KernelCounts& b) { return !(a == b); }
    friend std::ostream& operator<<(std::ostream& os, const KernelCounts& c) {
        return os << "{handles " << c.handles << ", threads " << c.threads << "}";
    }
};
KernelCounts Counts();

// Ids of the threads started by CreateThread that still run, oldest first.
std::vector<DWORD> RunningThreadIds();

// The next CreateThread fails with `error` and starts nothing.
void FailNextCreateThread(DWORD error);

// The n-th next CreateEventA (1 = the very next) fails with `error`.
void FailCreateEvent(unsigned nth, DWORD error);

// GetTickCount reads `start` now and counts on from there (mod 2^32).
void SetTickCountStart(DWORD start);

// How often the thread with this id has woken up inside a blocking compat call
// (WaitForSingleObject, WaitForMultipleObjects, GetOverlappedResult with bWait):
// every return from blocking counts, whether or not the wait was then satisfied.
std::uint64_t WakeUps(DWORD threadId);

// Waits at most `milliseconds` for the thread with this id to block in one of
// those calls; true once it does. What changes afterwards finds it asleep.
bool WaitUntilBlocked(DWORD threadId, DWORD milliseconds);

}  // namespace compat
