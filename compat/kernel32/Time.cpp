// GetTickCount and Sleep over the host's monotonic clock.
#include <winbase.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <compat/Kernel.h>

namespace {

using Clock = std::chrono::steady_clock;

// GetTickCount = (milliseconds since the origin + offset) mod 2^32. The offset
// lets a test start the counter just below the wrap-around.
std::atomic<std::uint32_t> g_tickOffset{0};

std::uint32_t MillisecondsSinceOrigin() {
    static const Clock::time_point origin = Clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - origin);
    return static_cast<std::uint32_t>(ms.count());
}

}  // namespace

DWORD WINAPI GetTickCount(void) { return MillisecondsSinceOrigin() + g_tickOffset.load(); }

void WINAPI Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (dwMilliseconds == INFINITE) {
        // Sleep(INFINITE) never returns; the thread parks for good.
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

namespace compat {

void SetTickCountStart(DWORD start) { g_tickOffset.store(start - MillisecondsSinceOrigin()); }

}  // namespace compat
