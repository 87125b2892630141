// Conformance of kernel32's events, waits, threads, last error and time,
// natively against compat and under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

namespace {

// Wine's tick counter moves in steps of about 16 ms.
#ifdef _WIN32
constexpr DWORD kTickSlack = 20;
#else
constexpr DWORD kTickSlack = 2;
#endif

struct Event {
    HANDLE h;
    Event(BOOL manual, BOOL initial) : h(CreateEventA(nullptr, manual, initial, nullptr)) {}
    ~Event() { CloseHandle(h); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
};

TEST(Events, CreationSetsLastErrorToZero) {
    SetLastError(0xdeadbeef);
    Event e(TRUE, FALSE);
    ASSERT_NE(e.h, nullptr);
    EXPECT_EQ(GetLastError(), 0u);
}

struct ResetCase {
    const char* name;
    BOOL manual;
    BOOL initial;
    DWORD firstWait;
    DWORD secondWait;  // an auto-reset event is taken by the first wait
};

void PrintTo(const ResetCase& c, std::ostream* os) { *os << c.name; }

class EventReset : public ::testing::TestWithParam<ResetCase> {};

TEST_P(EventReset, WaitsSeeTheState) {
    const ResetCase& c = GetParam();
    Event e(c.manual, c.initial);
    EXPECT_EQ(WaitForSingleObject(e.h, 0), c.firstWait);
    EXPECT_EQ(WaitForSingleObject(e.h, 0), c.secondWait);
    ASSERT_TRUE(SetEvent(e.h));
    EXPECT_EQ(WaitForSingleObject(e.h, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(ResetEvent(e.h));
    EXPECT_EQ(WaitForSingleObject(e.h, 0), DWORD{WAIT_TIMEOUT});
}

const ResetCase kResetCases[] = {
    {"manual_set", TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0},
    {"manual_clear", TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
    {"auto_set", FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT},
    {"auto_clear", FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
};

INSTANTIATE_TEST_SUITE_P(Events, EventReset, ::testing::ValuesIn(kResetCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Waits, TimeOutLeavesLastErrorAlone) {
    Event e(TRUE, FALSE);
    const DWORD start = GetTickCount();
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WaitForSingleObject(e.h, 100), DWORD{WAIT_TIMEOUT});
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
    EXPECT_GE(elapsed, 100 - kTickSlack);
    EXPECT_LT(elapsed, 2000u);
}

TEST(Waits, LowestSignalledIndexWinsAndOnlyItIsTaken) {
    Event first(FALSE, FALSE), second(FALSE, TRUE), third(FALSE, TRUE);
    HANDLE list[] = {first.h, second.h, third.h};
    EXPECT_EQ(WaitForMultipleObjects(3, list, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForSingleObject(second.h, 0), DWORD{WAIT_TIMEOUT}) << "the winner, auto-reset, is taken";
    EXPECT_EQ(WaitForSingleObject(third.h, 0), WAIT_OBJECT_0) << "the others stay signalled";
    EXPECT_EQ(WaitForMultipleObjects(3, list, FALSE, 0), DWORD{WAIT_TIMEOUT});
}

TEST(Waits, WaitAllNeedsEveryObject) {
    Event x(TRUE, TRUE), y(FALSE, FALSE);
    HANDLE list[] = {x.h, y.h};
    EXPECT_EQ(WaitForMultipleObjects(2, list, TRUE, 0), DWORD{WAIT_TIMEOUT});
    SetEvent(y.h);
    EXPECT_EQ(WaitForMultipleObjects(2, list, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(y.h, 0), DWORD{WAIT_TIMEOUT});
}

TEST(Waits, BadHandlesFail) {
    Event e(TRUE, TRUE);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    HANDLE list[] = {e.h, nullptr};
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WaitForMultipleObjects(2, list, FALSE, 0), WAIT_FAILED) << "even with a signalled object first";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WaitForMultipleObjects(0, list, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetEvent(nullptr));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

struct Handoff {
    HANDLE go;
    HANDLE started;
    DWORD seenId = 0;
};

DWORD WINAPI WaitForGo(LPVOID p) {
    auto* h = static_cast<Handoff*>(p);
    h->seenId = GetCurrentThreadId();
    SetLastError(1234);  // the last error is the thread's own
    SetEvent(h->started);
    return WaitForSingleObject(h->go, 5000) == WAIT_OBJECT_0 ? 42 : 1;
}

TEST(Threads, ExitCodeAndSignalledHandle) {
    Event go(TRUE, FALSE), started(TRUE, FALSE);
    Handoff handoff{go.h, started.h};
    DWORD id = 0;
    SetLastError(0xdeadbeef);
    HANDLE t = CreateThread(nullptr, 0, WaitForGo, &handoff, 0, &id);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(WaitForSingleObject(started.h, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(handoff.seenId, id) << "CreateThread reports the id the thread sees";
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(GetLastError(), 0xdeadbeefu) << "the other thread's SetLastError does not reach this one";
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(code, DWORD{STILL_ACTIVE});
    EXPECT_EQ(WaitForSingleObject(t, 0), DWORD{WAIT_TIMEOUT});
    SetEvent(go.h);
    ASSERT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_TRUE(CloseHandle(t));
}

TEST(Threads, ExitCodeOfANonThreadFails) {
    Event e(TRUE, FALSE);
    DWORD code = 0;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetExitCodeThread(e.h, &code));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

TEST(Handles, CloseHandle) {
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    // INVALID_HANDLE_VALUE is the current process's pseudo handle.
    SetLastError(0xdeadbeef);
    EXPECT_TRUE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(CloseHandle(e));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(CloseHandle(e));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

TEST(Time, TickCountFollowsSleep) {
    const DWORD start = GetTickCount();
    Sleep(50);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 50 - kTickSlack);
    EXPECT_LT(elapsed, 2000u);
}

struct MulDivCase {
    const char* name;
    int a, b, c, expected;
};

void PrintTo(const MulDivCase& c, std::ostream* os) { *os << c.name; }

class MulDivTest : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, Computes) {
    const MulDivCase& m = GetParam();
    EXPECT_EQ(MulDiv(m.a, m.b, m.c), m.expected);
}

const MulDivCase kMulDivCases[] = {
    {"exact", 10, 6, 3, 20},
    {"rounds_half_up", 5, 3, 2, 8},
    {"rounds_down", 7, 1, 3, 2},
    {"negative_rounds_away", -5, 3, 2, -8},
    {"negative_divisor", 5, 3, -2, -8},
    {"large_intermediate", 1 << 30, 8, 16, 1 << 29},
    {"divide_by_zero", 1, 1, 0, -1},
    {"overflow", INT_MAX, 4, 1, -1},
    {"point_size", 10, 96, 72, 13},
};

INSTANTIATE_TEST_SUITE_P(Math, MulDivTest, ::testing::ValuesIn(kMulDivCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
