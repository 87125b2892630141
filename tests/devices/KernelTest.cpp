// compat's kernel test API: counts, injected failures, the tick start and
// wake-up counts.
#include <windows.h>

#include <compat/Kernel.h>
#include <gtest/gtest.h>

namespace {

DWORD WINAPI WaitOnEvent(LPVOID event) { return WaitForSingleObject(static_cast<HANDLE>(event), 5000); }

TEST(Kernel, CountsFollowHandlesAndThreads) {
    const compat::KernelCounts before = compat::Counts();
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, WaitOnEvent, go, 0, &id);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(compat::Counts().handles, before.handles + 2);
    EXPECT_EQ(compat::Counts().threads, before.threads + 1);
    EXPECT_EQ(compat::RunningThreadIds().back(), id);
    SetEvent(go);
    ASSERT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(compat::Counts().threads, before.threads) << "an ended thread no longer counts";
    CloseHandle(t);
    CloseHandle(go);
    EXPECT_EQ(compat::Counts(), before);
}

TEST(Kernel, NextCreateThreadFails) {
    compat::FailNextCreateThread(ERROR_NOT_ENOUGH_MEMORY);
    const compat::KernelCounts before = compat::Counts();
    HANDLE go = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateThread(nullptr, 0, WaitOnEvent, go, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_ENOUGH_MEMORY});
    EXPECT_EQ(compat::Counts().threads, before.threads) << "nothing started";
    HANDLE t = CreateThread(nullptr, 0, WaitOnEvent, go, 0, nullptr);
    ASSERT_NE(t, nullptr) << "only the next one fails";
    ASSERT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0);
    CloseHandle(t);
    CloseHandle(go);
}

TEST(Kernel, NthCreateEventFails) {
    compat::FailCreateEvent(2, ERROR_ACCESS_DENIED);
    HANDLE first = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetLastError(0xdeadbeef);
    HANDLE second = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD error = GetLastError();
    HANDLE third = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(error, DWORD{ERROR_ACCESS_DENIED});
    EXPECT_NE(third, nullptr);
    CloseHandle(first);
    CloseHandle(third);
}

TEST(Kernel, NamedEventsAreRefused) {
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, "Global\\x"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_SUPPORTED});
}

TEST(Kernel, TickCountWrapsAround) {
    compat::SetTickCountStart(MAXDWORD - 20);
    const DWORD start = GetTickCount();
    EXPECT_GE(start, MAXDWORD - 21);
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(never, 60), DWORD{WAIT_TIMEOUT});
    const DWORD end = GetTickCount();
    EXPECT_LT(end, start) << "the counter has wrapped";
    EXPECT_GE(DWORD(end - start), 60u) << "differences still hold across the wrap";
    EXPECT_LT(DWORD(end - start), 2000u);
    CloseHandle(never);
    compat::SetTickCountStart(0);
}

struct Waiting {
    HANDLE event;
    DWORD result = 0;
};

DWORD WINAPI WaitLong(LPVOID p) {
    auto* w = static_cast<Waiting*>(p);
    w->result = WaitForSingleObject(w->event, 10000);
    return 0;
}

TEST(Kernel, AWaiterWakesOnlyForItsObjects) {
    HANDLE mine = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE other = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Waiting w{mine};
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, WaitLong, &w, 0, &id);
    ASSERT_TRUE(compat::WaitUntilBlocked(id, 5000));
    const std::uint64_t before = compat::WakeUps(id);
    for (int i = 0; i < 100; ++i) {
        SetEvent(other);  // an object nobody waits on changes
        ResetEvent(other);
    }
    SetEvent(mine);
    ASSERT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(w.result, WAIT_OBJECT_0);
    EXPECT_EQ(compat::WakeUps(id) - before, 1u) << "one wake-up, for the event it waited on";
    for (HANDLE h : {t, mine, other}) CloseHandle(h);
}

}  // namespace
