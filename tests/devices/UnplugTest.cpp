// An end pulled out: pending requests end with ERROR_OPERATION_ABORTED, later
// calls on the handle fail with ERROR_BAD_COMMAND, the name is gone until the
// end is plugged in again; also when the unplug comes in mid-transfer, and
// when the cable object itself goes while ports are open.
#include "CableFixture.h"

#include <memory>

namespace {

struct Outcome {
    BOOL result;
    DWORD error;
};

// Runs one call with the last error preset, and reports what it did.
template <class F>
Outcome Try(F call) {
    SetLastError(0xdeadbeef);
    BOOL r = call();
    return {r, GetLastError()};
}

TEST_F(CableTest, UnplugEndsPendingRequestsAndFailsLaterCalls) {
    COMMTIMEOUTS blocking{};
    ASSERT_TRUE(SetCommTimeouts(remote, &blocking));
    BYTE buf[8];
    Overlapped read, wait;
    DWORD n = 0, events = 0;
    ASSERT_FALSE(ReadFile(remote, buf, sizeof buf, &n, read.get()));
    ASSERT_TRUE(SetCommMask(remote, EV_RXCHAR));
    ASSERT_FALSE(WaitCommEvent(remote, &events, wait.get()));

    ASSERT_TRUE(SetCommMask(local, EV_DSR));
    Overlapped farWait;
    DWORD farEvents = 0;
    ASSERT_FALSE(WaitCommEvent(local, &farEvents, farWait.get()));

    Remote().Unplug();
    ASSERT_TRUE(read.WaitFor(1000));
    ASSERT_TRUE(wait.WaitFor(1000));
    EXPECT_EQ((Try([&] { return GetOverlappedResult(remote, read.get(), &n, FALSE); }).error),
              DWORD{ERROR_OPERATION_ABORTED});
    EXPECT_EQ((Try([&] { return GetOverlappedResult(remote, wait.get(), &n, FALSE); }).error),
              DWORD{ERROR_OPERATION_ABORTED});
    ASSERT_TRUE(farWait.WaitFor(1000)) << "the far end sees DSR drop";
    EXPECT_EQ(farEvents, DWORD{EV_DSR});
    EXPECT_FALSE(Remote().State().plugged);

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS t{};
    DWORD value = 0;
    Overlapped o;
    const struct {
        const char* call;
        Outcome outcome;
    } calls[] = {
        {"GetCommState", Try([&] { return GetCommState(remote, &dcb); })},
        {"SetCommState", Try([&] { return SetCommState(remote, &dcb); })},
        {"GetCommTimeouts", Try([&] { return GetCommTimeouts(remote, &t); })},
        {"SetCommMask", Try([&] { return SetCommMask(remote, EV_RXCHAR); })},
        {"SetupComm", Try([&] { return SetupComm(remote, 4096, 4096); })},
        {"ClearCommError", Try([&] { return ClearCommError(remote, &value, nullptr); })},
        {"EscapeCommFunction", Try([&] { return EscapeCommFunction(remote, SETDTR); })},
        {"GetCommModemStatus", Try([&] { return GetCommModemStatus(remote, &value); })},
        {"PurgeComm", Try([&] { return PurgeComm(remote, PURGE_RXCLEAR); })},
        {"ReadFile", Try([&] { return ReadFile(remote, buf, 4, &value, o.get()); })},
        {"WriteFile", Try([&] { return WriteFile(remote, buf, 4, &value, o.get()); })},
        {"WaitCommEvent", Try([&] { return WaitCommEvent(remote, &value, o.get()); })},
        {"CancelIo", Try([&] { return CancelIo(remote); })},
    };
    for (const auto& c : calls) {
        EXPECT_FALSE(c.outcome.result) << c.call;
        EXPECT_EQ(c.outcome.error, DWORD{ERROR_BAD_COMMAND}) << c.call;
    }

    EXPECT_EQ(Try([] { return BOOL(OpenPort(kRemote) != INVALID_HANDLE_VALUE); }).error, DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_TRUE(CloseHandle(remote)) << "a dead handle still closes";
    remote = INVALID_HANDLE_VALUE;

    Remote().Plug();
    remote = OpenPort(kRemote);
    ASSERT_NE(remote, INVALID_HANDLE_VALUE) << "plugged in again, it opens anew";
    ASSERT_TRUE(Write(local, Pattern(4)));
    EXPECT_EQ(ReadQueued(remote), Pattern(4));
}

TEST_F(CableTest, PlugGivesANewDeviceThatOldHandlesDoNotReach) {
    Remote().Unplug();
    Remote().Plug();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetCommState(remote, &dcb));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_BAD_COMMAND});
    HANDLE fresh = OpenPort(kRemote);
    ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(GetCommState(fresh, &dcb));
    CloseHandle(fresh);
}

TEST_F(CableTest, UnplugAfterSentCutsATransferShort) {
    Local().UnplugAfterSent(100);
    DWORD written = 0;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(Write(local, Pattern(512), &written));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_OPERATION_ABORTED}) << "the write was in flight";
    std::vector<BYTE> head = Pattern(512);
    head.resize(100);
    EXPECT_EQ(ReadQueued(remote), head);
    EXPECT_FALSE(Local().State().plugged);
    EXPECT_FALSE(Remote().State().cts);
}

TEST_F(CableTest, UnplugAfterReceivedCutsAReaderOff) {
    COMMTIMEOUTS blocking{};
    ASSERT_TRUE(SetCommTimeouts(remote, &blocking));
    std::vector<BYTE> buf(512);
    Overlapped read;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(remote, buf.data(), 512, &n, read.get()));
    Remote().UnplugAfterReceived(50);
    EXPECT_TRUE(Write(local, Pattern(512))) << "the sender does not notice";
    ASSERT_TRUE(read.WaitFor(1000));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetOverlappedResult(remote, read.get(), &n, FALSE));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_OPERATION_ABORTED});
    EXPECT_EQ(n, 50u) << "what had arrived before the unplug";
    buf.resize(50);
    std::vector<BYTE> head = Pattern(512);
    head.resize(50);
    EXPECT_EQ(buf, head);
}

TEST(CableLifetime, DestroyingTheCableWithPortsOpenIsSafe) {
    auto cable = std::make_unique<compat::NullModemCable>("COM7", "COM8");
    HANDLE a = OpenPort("COM7");
    ASSERT_NE(a, INVALID_HANDLE_VALUE);
    COMMTIMEOUTS blocking{};
    ASSERT_TRUE(SetCommTimeouts(a, &blocking));
    BYTE buf[4];
    Overlapped read;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(a, buf, 4, &n, read.get()));
    cable.reset();
    ASSERT_TRUE(read.WaitFor(1000));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetCommState(a, &dcb));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_BAD_COMMAND});
    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenPort("COM7"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_TRUE(CloseHandle(a));

    compat::NullModemCable again("COM7", "COM8");
    HANDLE b = OpenPort("COM7");
    EXPECT_NE(b, INVALID_HANDLE_VALUE) << "the names can be used again";
    CloseHandle(b);
}

}  // namespace
