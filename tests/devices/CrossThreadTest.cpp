// One port used from two threads at once, as the program uses it: the UI
// thread reads, writes, sets state and drives lines while a listener thread
// keeps a WaitCommEvent pending and calls ClearCommError and SetCommMask.
// Run under ThreadSanitizer by the tsan preset; also checks that the idle
// listener is never woken and that open/close cycles leave nothing behind.
#include "CableFixture.h"

#include <compat/Kernel.h>

#include <atomic>

namespace {

// A listener like the program's: the stop event first, the wait's event second.
struct Listener {
    HANDLE port;
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE waitEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE sawEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = nullptr;
    DWORD id = 0;
    DWORD events = 0;
    std::atomic<unsigned> seen{0};
    std::atomic<DWORD> seenBits{0};

    explicit Listener(HANDLE h) : port(h) { thread = CreateThread(nullptr, 0, Run, this, 0, &id); }
    ~Listener() {
        SetEvent(stop);
        EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
        for (HANDLE h : {thread, stop, waitEvent, sawEvent}) CloseHandle(h);
    }

    static DWORD WINAPI Run(LPVOID p) { return static_cast<Listener*>(p)->Loop(); }

    DWORD Loop() {
        OVERLAPPED ov{};
        ov.hEvent = waitEvent;
        HANDLE list[2] = {stop, waitEvent};
        for (;;) {
            if (WaitCommEvent(port, &events, &ov)) SetEvent(waitEvent);
            else if (GetLastError() != ERROR_IO_PENDING) return GetLastError();
            if (WaitForMultipleObjects(2, list, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
            DWORD bits = events, errors = 0;
            ClearCommError(port, &errors, nullptr);
            if (bits) {
                seenBits |= bits;
                ++seen;
                SetEvent(sawEvent);
            }
        }
        // As the program's listener does when it stops: re-apply the mask,
        // which ends the pending wait.
        DWORD mask = 0;
        GetCommMask(port, &mask);
        SetCommMask(port, mask);
        return 0;
    }
};

TEST_F(CableTest, BothThreadsUseOnePort) {
    ASSERT_TRUE(SetCommMask(remote, EV_RXCHAR | EV_CTS | EV_DSR | EV_ERR));
    COMMTIMEOUTS blocking{};
    ASSERT_TRUE(SetCommTimeouts(remote, &blocking));
    Listener listener(remote);
    std::vector<BYTE> buf(64);
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(Write(local, Pattern(64)));
        Overlapped r;
        DWORD n = 0;
        if (!ReadFile(remote, buf.data(), 64, &n, r.get())) {
            ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
            ASSERT_TRUE(r.WaitFor(5000));
            ASSERT_TRUE(GetOverlappedResult(remote, r.get(), &n, FALSE));
        }
        ASSERT_EQ(n, 64u);
        ASSERT_TRUE(EscapeCommFunction(local, i % 2 ? SETRTS : CLRRTS));
        ASSERT_TRUE(SetLine(remote, i % 2 ? 115200 : 9600, 8, NOPARITY, ONESTOPBIT, false));
        ASSERT_TRUE(SetLine(local, i % 2 ? 115200 : 9600, 8, NOPARITY, ONESTOPBIT, false));
        if (i % 10 == 0) {
            ASSERT_TRUE(SetCommMask(remote, EV_RXCHAR | EV_CTS | EV_DSR | EV_ERR));
        }
    }
    // A starved listener may have seen little of the loop, and a mask change
    // drops what it had not yet collected: one byte and one CTS change after
    // the last mask change must reach it however the threads interleaved.
    ASSERT_TRUE(EscapeCommFunction(local, CLRRTS));
    ASSERT_TRUE(Write(local, Pattern(1)));
    const DWORD both = EV_RXCHAR | EV_CTS;
    const DWORD start = GetTickCount();
    while ((listener.seenBits.load() & both) != both && GetTickCount() - start < 5000)
        WaitForSingleObject(listener.sawEvent, 100);
    EXPECT_EQ(listener.seenBits.load() & both, both);
}

TEST_F(CableTest, IdleListenerIsNeverWoken) {
    ASSERT_TRUE(SetCommMask(remote, EV_RXCHAR));
    Listener listener(remote);
    ASSERT_TRUE(compat::WaitUntilBlocked(listener.id, 5000));
    const std::uint64_t idle = compat::WakeUps(listener.id);
    Sleep(200);  // an idle line: nothing happens meanwhile
    EXPECT_EQ(compat::WakeUps(listener.id), idle) << "woken while the line was idle";
    ASSERT_TRUE(Write(local, {0x42}));
    ASSERT_EQ(WaitForSingleObject(listener.sawEvent, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(compat::WakeUps(listener.id), idle + 1) << "one byte, one wake-up";
    EXPECT_EQ(idle, 0u);
}

TEST(CableCycles, OpenCloseLeavesNothingBehind) {
    compat::NullModemCable cable("COM3", "COM1");
    const compat::KernelCounts before = compat::Counts();
    for (int i = 0; i < 100; ++i) {
        HANDLE a = OpenPort("COM3");
        HANDLE b = OpenPort("COM1");
        ASSERT_NE(a, INVALID_HANDLE_VALUE);
        ASSERT_NE(b, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(SetCommMask(b, EV_RXCHAR));
        {
            Listener listener(b);
            ASSERT_TRUE(Write(a, {BYTE(i)}));
            ASSERT_EQ(WaitForSingleObject(listener.sawEvent, 5000), WAIT_OBJECT_0);
        }
        CloseHandle(a);
        CloseHandle(b);
    }
    EXPECT_EQ(compat::Counts(), before);
}

}  // namespace
