// Conformance of the serial communications calls on a pair of wired ports:
// the same cases natively (compat, over a virtual cable and over ptys) and
// under Wine (over socat's pty pair).
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "PortPair.h"

namespace {

constexpr DWORD kStatusCancelled = 0xC0000120;

// Wine's tick counter moves in steps of about 16 ms.
#ifdef _WIN32
constexpr DWORD kTickSlack = 20;
#else
constexpr DWORD kTickSlack = 2;
#endif

std::vector<BYTE> Pattern(std::size_t size) {
    std::vector<BYTE> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 7 + 3);
    return bytes;
}

using CommTest = PortPairTest;

TEST_P(CommTest, SettingsRoundTrip) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(a, &dcb));
    EXPECT_EQ(dcb.DCBlength, 28u);
    dcb.BaudRate = 57600;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.fParity = 1;
    dcb.StopBits = ONESTOPBIT;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    ASSERT_TRUE(SetCommState(a, &dcb)) << GetLastError();
    DCB back{};
    back.DCBlength = sizeof back;
    ASSERT_TRUE(GetCommState(a, &back));
    EXPECT_EQ(back.BaudRate, 57600u);
    EXPECT_EQ(back.StopBits, ONESTOPBIT);
    // Wine reads the state back from termios, where a pty keeps its baud rate
    // but neither character size nor parity.
    const char* kPtyTermios = "Wine's GetCommState reads termios back, and a pty keeps no size or parity";
    const Differs<BYTE> size{8, 7, kPtyTermios}, parity{NOPARITY, EVENPARITY, kPtyTermios};
    const Differs<DWORD> checked{0, 1, kPtyTermios};
    EXPECT_EQ(back.ByteSize, size.Expected()) << size.reason;
    EXPECT_EQ(back.Parity, parity.Expected()) << parity.reason;
    EXPECT_EQ(back.fParity, checked.Expected()) << checked.reason;

    COMMTIMEOUTS t{MAXDWORD, 0, 0, 7, 300};
    ASSERT_TRUE(SetCommTimeouts(a, &t));
    COMMTIMEOUTS tb{};
    ASSERT_TRUE(GetCommTimeouts(a, &tb));
    EXPECT_EQ(tb.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(tb.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(tb.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(tb.WriteTotalTimeoutMultiplier, 7u);
    EXPECT_EQ(tb.WriteTotalTimeoutConstant, 300u);

    ASSERT_TRUE(SetCommMask(a, EV_RXCHAR | EV_BREAK | EV_ERR));
    DWORD mask = 0;
    ASSERT_TRUE(GetCommMask(a, &mask));
    EXPECT_EQ(mask, DWORD{EV_RXCHAR | EV_BREAK | EV_ERR});
}

TEST_P(CommTest, BlockTransfersIntactBothWays) {
    const std::vector<BYTE> sent = Pattern(512);
    for (auto [from, to] : {std::pair{a, b}, std::pair{b, a}}) {
        ASSERT_TRUE(SetReadTimeouts(to, 0, 0, 0));  // wait for the full count
        std::vector<BYTE> got(512);
        Overlapped r;
        DWORD n = 0;
        BOOL done = ReadFile(to, got.data(), 512, &n, r.get());
        ASSERT_TRUE(done || GetLastError() == ERROR_IO_PENDING) << GetLastError();
        EXPECT_EQ(WriteAll(from, sent.data(), 512), 512u);
        ASSERT_TRUE(r.WaitFor(5000)) << "the read did not end";
        ASSERT_TRUE(GetOverlappedResult(to, r.get(), &n, FALSE)) << GetLastError();
        EXPECT_EQ(n, 512u);
        EXPECT_EQ(got, sent);
    }
}

TEST_P(CommTest, ReadTimesOutAfterTotalTimeout) {
    ASSERT_TRUE(SetReadTimeouts(b, 0, 0, 200));
    BYTE buf[16];
    Overlapped r;
    DWORD n = 99;
    const DWORD start = GetTickCount();
    SetLastError(0xdeadbeef);
    ASSERT_FALSE(ReadFile(b, buf, sizeof buf, &n, r.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    EXPECT_EQ(n, 0u) << "ReadFile zeroes the count first";
    EXPECT_EQ(InternalOf(r.ov), ULONG_PTR{STATUS_PENDING});
    ASSERT_TRUE(r.WaitFor(3000));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 200 - kTickSlack);
    EXPECT_LT(elapsed, 1500u);
    EXPECT_EQ(InternalOf(r.ov), ULONG_PTR{STATUS_TIMEOUT});
    SetLastError(0xdeadbeef);
    const Differs<BOOL> result{FALSE, TRUE,
                               "Wine's GetOverlappedResult fails an empty timed-out read with ERROR_TIMEOUT; on Windows "
                               "STATUS_TIMEOUT is a success and the read succeeds with 0 bytes"};
    EXPECT_EQ(GetOverlappedResult(b, r.get(), &n, FALSE), result.Expected()) << result.reason;
    if (!result.Expected()) {
        EXPECT_EQ(GetLastError(), DWORD{ERROR_TIMEOUT});
    }
    EXPECT_EQ(n, 0u);
}

TEST_P(CommTest, TimedOutReadKeepsWhatArrived) {
    ASSERT_TRUE(SetReadTimeouts(b, 0, 0, 300));
    BYTE buf[16];
    Overlapped r;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(b, buf, sizeof buf, &n, r.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    ASSERT_EQ(WriteAll(a, "hello", 5), 5u);
    ASSERT_TRUE(r.WaitFor(3000));
    ASSERT_TRUE(GetOverlappedResult(b, r.get(), &n, FALSE)) << GetLastError();
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), n), "hello");
}

TEST_P(CommTest, IntervalTimeoutEndsReadAfterLastByte) {
    ASSERT_TRUE(SetReadTimeouts(b, 50, 0, 0));
    BYTE buf[16];
    Overlapped r;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(b, buf, sizeof buf, &n, r.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    EXPECT_FALSE(r.WaitFor(100)) << "no interval time-out before the first byte";
    ASSERT_EQ(WriteAll(a, "abcd", 4), 4u);
    ASSERT_TRUE(r.WaitFor(3000));
    ASSERT_TRUE(GetOverlappedResult(b, r.get(), &n, FALSE)) << GetLastError();
    EXPECT_EQ(n, 4u);
}

TEST_P(CommTest, NonBlockingReadReturnsWhatIsThere) {
    ASSERT_TRUE(SetReadTimeouts(b, MAXDWORD, 0, 0));
    ASSERT_EQ(WriteAll(a, "xyz", 3), 3u);
    ASSERT_EQ(WaitForInQueue(b, 3, 3000), 3u);
    BYTE buf[16];
    Overlapped r;
    DWORD n = 0;
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(ReadFile(b, buf, sizeof buf, &n, r.get())) << GetLastError();
    EXPECT_EQ(n, 3u);
    EXPECT_TRUE(r.Signalled()) << "a request completed at once leaves its event signalled";
    EXPECT_EQ(GetLastError(), 0xdeadbeefu) << "success leaves the last error alone";

    // Nothing received: Windows completes at once with 0 bytes.
    Overlapped empty;
    n = 99;
    const Differs<BOOL> result{FALSE, TRUE, "Wine leaves a MAXDWORD/0/0 read on an empty queue pending"};
    EXPECT_EQ(ReadFile(b, buf, sizeof buf, &n, empty.get()), result.Expected()) << result.reason;
    EXPECT_EQ(n, 0u);
    Retire(b, empty);
}

TEST_P(CommTest, CancelIoEndsPendingRead) {
    ASSERT_TRUE(SetReadTimeouts(b, 0, 0, 0));
    BYTE buf[16];
    Overlapped r;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(b, buf, sizeof buf, &n, r.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetOverlappedResult(b, r.get(), &n, FALSE));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_IO_INCOMPLETE});
    EXPECT_FALSE(r.Signalled());

    ASSERT_TRUE(CancelIo(b));
    ASSERT_TRUE(r.WaitFor(3000)) << "the cancelled read signals its event";
    EXPECT_EQ(InternalOf(r.ov), ULONG_PTR{kStatusCancelled}) << "the record is retired";
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetOverlappedResult(b, r.get(), &n, FALSE));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_OPERATION_ABORTED});
    EXPECT_EQ(n, 0u);
}

DWORD WINAPI CancelOnOtherThread(LPVOID port) { return CancelIo(static_cast<HANDLE>(port)); }

TEST_P(CommTest, CancelIoLeavesOtherThreadsRequests) {
    ASSERT_TRUE(SetReadTimeouts(b, 0, 0, 0));
    BYTE buf[4];
    Overlapped r;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(b, buf, sizeof buf, &n, r.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    HANDLE t = CreateThread(nullptr, 0, CancelOnOtherThread, b, 0, nullptr);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(WaitForSingleObject(t, 3000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(code, DWORD{TRUE});
    CloseHandle(t);
    EXPECT_FALSE(r.WaitFor(100)) << "another thread's CancelIo ended this thread's read";
    ASSERT_EQ(WriteAll(a, "1234", 4), 4u);
    ASSERT_TRUE(r.WaitFor(3000));
    EXPECT_TRUE(GetOverlappedResult(b, r.get(), &n, FALSE)) << GetLastError();
    EXPECT_EQ(n, 4u);
}

TEST_P(CommTest, PendingWaitEndsWithArrivingByte) {
    ASSERT_TRUE(SetCommMask(b, EV_RXCHAR));
    Overlapped w;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(b, &events, w.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    ASSERT_EQ(WriteAll(a, "!", 1), 1u);
    ASSERT_TRUE(w.WaitFor(3000));
    DWORD n = 0;
    const char* kWineAborts = "over a pty Wine ends every pending WaitCommEvent by itself within milliseconds, as "
                              "cancelled (ERROR_OPERATION_ABORTED) with no events";
    const Differs<BOOL> result{FALSE, TRUE, kWineAborts};
    const Differs<DWORD> seen{0, EV_RXCHAR, kWineAborts};
    EXPECT_EQ(GetOverlappedResult(b, w.get(), &n, FALSE), result.Expected()) << result.reason;
    EXPECT_EQ(events, seen.Expected()) << seen.reason;
}

TEST_P(CommTest, EventSeenWithoutWaitEndsNextWaitAtOnce) {
    ASSERT_TRUE(SetCommMask(b, EV_RXCHAR));
    ASSERT_EQ(WriteAll(a, "?", 1), 1u);
    ASSERT_EQ(WaitForInQueue(b, 1, 3000), 1u);
    Overlapped w;
    DWORD events = 0;
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(WaitCommEvent(b, &events, w.get())) << GetLastError();
    EXPECT_EQ(events, DWORD{EV_RXCHAR});
    EXPECT_TRUE(w.Signalled());
}

TEST_P(CommTest, SetCommMaskEndsPendingWaitWithNoEvents) {
    ASSERT_TRUE(SetCommMask(b, EV_RXCHAR));
    Overlapped w;
    DWORD events = 0x55;
    ASSERT_FALSE(WaitCommEvent(b, &events, w.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    ASSERT_TRUE(SetCommMask(b, EV_RXCHAR | EV_ERR));
    ASSERT_TRUE(w.WaitFor(3000)) << "SetCommMask ends the pending wait at once";
    EXPECT_EQ(events, 0u);
    DWORD n = 0;
    SetLastError(0xdeadbeef);
    const Differs<BOOL> result{FALSE, TRUE,
                               "Wine ends the wait as cancelled (ERROR_OPERATION_ABORTED; over a pty it does so even "
                               "by itself); Windows documents a successful end with an events word of 0"};
    EXPECT_EQ(GetOverlappedResult(b, w.get(), &n, FALSE), result.Expected()) << result.reason;
    if (!result.Expected()) {
        EXPECT_EQ(GetLastError(), DWORD{ERROR_OPERATION_ABORTED});
    }
}

TEST_P(CommTest, WriteCompletedAtOnceSignalsItsEvent) {
    Overlapped w;
    DWORD n = 99;
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(WriteFile(a, "abc", 3, &n, w.get())) << GetLastError();
    EXPECT_EQ(n, 3u);
    EXPECT_TRUE(w.Signalled());
    EXPECT_EQ(InternalOf(w.ov), 0u);
    EXPECT_EQ(w.ov.InternalHigh, 3u);

    // Zero bytes complete at once too.
    Overlapped z;
    n = 99;
    ASSERT_TRUE(WriteFile(a, "", 0, &n, z.get()));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(z.Signalled());
}

TEST_P(CommTest, GetOverlappedResultWaitsWhenAsked) {
    ASSERT_TRUE(SetReadTimeouts(b, 0, 0, 0));
    BYTE buf[2];
    Overlapped r;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(b, buf, 2, &n, r.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    ASSERT_EQ(WriteAll(a, "12", 2), 2u);
    ASSERT_TRUE(r.WaitFor(3000));  // bounds the wait below
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(GetOverlappedResult(b, r.get(), &n, TRUE));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
}

TEST_P(CommTest, RequestsNeedARecordOnAnOverlappedHandle) {
    BYTE buf[4];
    DWORD n = 99;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(ReadFile(b, buf, 4, &n, nullptr));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_EQ(n, 0u);
}

TEST_P(CommTest, ClearCommErrorCountsQueuedBytesAndPurgeEmptiesThem) {
    const std::vector<BYTE> sent = Pattern(10);
    ASSERT_EQ(WriteAll(a, sent.data(), 10), 10u);
    ASSERT_EQ(WaitForInQueue(b, 10, 3000), 10u);
    DWORD errors = 77;
    COMSTAT stat{};
    ASSERT_TRUE(ClearCommError(b, &errors, &stat));
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(stat.cbInQue, 10u);
    EXPECT_EQ(stat.cbOutQue, 0u);
    ASSERT_TRUE(PurgeComm(b, PURGE_RXCLEAR));
    ASSERT_TRUE(ClearCommError(b, &errors, &stat));
    EXPECT_EQ(stat.cbInQue, 0u);
}

TEST_P(CommTest, ModemLines) {
    SetLastError(0xdeadbeef);
    if (!pair->HasModemLines()) {
        // A pty has no modem lines, under Wine as natively.
        EXPECT_FALSE(EscapeCommFunction(a, CLRRTS));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_SUPPORTED});
        DWORD status = 0;
        EXPECT_FALSE(GetCommModemStatus(a, &status));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_SUPPORTED});
        ASSERT_TRUE(SetCommMask(b, EV_CTS | EV_DSR));
        Overlapped w;
        DWORD events = 0;
        EXPECT_FALSE(WaitCommEvent(b, &events, w.get())) << "a wait on modem events fails at once";
        EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_SUPPORTED});
        return;
    }
    DWORD status = 0;
    ASSERT_TRUE(GetCommModemStatus(b, &status));
    EXPECT_EQ(status, DWORD{MS_CTS_ON | MS_DSR_ON});
    ASSERT_TRUE(SetCommMask(b, EV_CTS | EV_DSR));
    Overlapped w;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(b, &events, w.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    ASSERT_TRUE(EscapeCommFunction(a, CLRRTS));
    ASSERT_TRUE(w.WaitFor(3000));
    EXPECT_EQ(events, DWORD{EV_CTS});
    ASSERT_TRUE(GetCommModemStatus(b, &status));
    EXPECT_EQ(status, DWORD{MS_DSR_ON});
    ASSERT_TRUE(EscapeCommFunction(a, CLRDTR));
    ASSERT_TRUE(GetCommModemStatus(b, &status));
    EXPECT_EQ(status, 0u);
}

TEST_P(CommTest, EscapeCommFunctionRefusesUnknownCodes) {
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(EscapeCommFunction(a, 77));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_TRUE(EscapeCommFunction(a, SETBREAK));
    EXPECT_TRUE(EscapeCommFunction(a, CLRBREAK));
}

TEST_P(CommTest, DefaultCommConfigIsAcceptedBySetCommConfig) {
    COMMCONFIG cc{};
    cc.dwSize = sizeof cc;
    DWORD size = sizeof cc;
    ASSERT_TRUE(GetDefaultCommConfigA(PortPair::kA, &cc, &size)) << GetLastError();
    EXPECT_EQ(size, 52u);
    EXPECT_EQ(cc.dwSize, 52u);
    EXPECT_EQ(cc.dcb.DCBlength, 28u);
    EXPECT_EQ(cc.dwProviderSubType, DWORD{PST_RS232});
    SetLastError(0xdeadbeef);
    EXPECT_TRUE(SetCommConfig(a, &cc, size)) << GetLastError();

    DWORD small = 10;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetDefaultCommConfigA(PortPair::kA, &cc, &small));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER});
    EXPECT_EQ(small, 52u);
}

TEST_P(CommTest, ClosedHandleIsInvalid) {
    ASSERT_TRUE(CloseHandle(a));
    HANDLE closed = a;
    a = INVALID_HANDLE_VALUE;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetCommState(closed, &dcb));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(CloseHandle(closed));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

TEST_P(CommTest, SecondOpenIsRefused) {
#ifdef _WIN32
    GTEST_SKIP() << "Wine lets an exclusive (share mode 0) COM port be opened twice; Windows refuses the second open "
                    "with ERROR_ACCESS_DENIED, which the native build checks";
#endif
    SetLastError(0xdeadbeef);
    HANDLE again = OpenPort(PortPair::kA);
    EXPECT_EQ(again, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED});
    if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
}

INSTANTIATE_TEST_SUITE_P(Comm, CommTest, PORT_BACKENDS, BackendParamName);

// A port that does not exist, and names of it that Windows accepts.
class OpenTest : public ::testing::TestWithParam<Backend> {};

TEST_P(OpenTest, MissingPortIsNotFound) {
    PortPair pair(GetParam());
    SetLastError(0xdeadbeef);
    HANDLE h = OpenPort(PortPair::kMissing);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
}

TEST_P(OpenTest, DevicePathNamesThePort) {
    PortPair pair(GetParam());
    SetLastError(0xdeadbeef);
    HANDLE h = OpenPort("\\\\.\\COM5");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_EQ(GetLastError(), 0u) << "a successful open sets the last error to 0";
    EXPECT_TRUE(CloseHandle(h));
}

TEST_P(OpenTest, DefaultCommConfigOfMissingPort) {
    PortPair pair(GetParam());
    COMMCONFIG cc{};
    cc.dwSize = sizeof cc;
    DWORD size = sizeof cc;
    const Differs<BOOL> result{TRUE, FALSE,
                               "Wine reports a default configuration for any COMn name; compat only for ports it "
                               "has, failing others with ERROR_BADKEY as Wine does for non-COM names"};
    EXPECT_EQ(GetDefaultCommConfigA(PortPair::kMissing, &cc, &size), result.Expected()) << result.reason;
}

INSTANTIATE_TEST_SUITE_P(Comm, OpenTest, PORT_BACKENDS, BackendParamName);

// SetCommState's refusals. Rows name the setting; Wine reports some values
// differently from serial.sys, which compat follows.
struct BadState {
    const char* name;
    BYTE bits;
    BYTE parity;
    BYTE stop;
    DWORD baud;            // kKeepBaud: the port's own
    Differs<DWORD> error;  // 0: accepted
};

constexpr DWORD kKeepBaud = MAXDWORD;

void PrintTo(const BadState& s, std::ostream* os) { *os << s.name; }

constexpr const char* kWineNotSupported = "Wine reports values termios cannot take as ERROR_NOT_SUPPORTED; serial.sys "
                                          "reports ERROR_INVALID_PARAMETER";
constexpr const char* kWineAccepts = "Wine accepts what serial.sys refuses";

const BadState kBadStates[] = {
    {"bits4", 4, NOPARITY, ONESTOPBIT, kKeepBaud, {ERROR_NOT_SUPPORTED, ERROR_INVALID_PARAMETER, kWineNotSupported}},
    {"bits9", 9, NOPARITY, ONESTOPBIT, kKeepBaud, {ERROR_NOT_SUPPORTED, ERROR_INVALID_PARAMETER, kWineNotSupported}},
    {"parity5", 8, 5, ONESTOPBIT, kKeepBaud, {ERROR_NOT_SUPPORTED, ERROR_INVALID_PARAMETER, kWineNotSupported}},
    {"stop3", 8, NOPARITY, 3, kKeepBaud, {ERROR_NOT_SUPPORTED, ERROR_INVALID_PARAMETER, kWineNotSupported}},
    {"bits5_two_stop", 5, NOPARITY, TWOSTOPBITS, kKeepBaud, {0, ERROR_INVALID_PARAMETER, kWineAccepts}},
    {"bits8_one5_stop", 8, NOPARITY, ONE5STOPBITS, kKeepBaud, {0, ERROR_INVALID_PARAMETER, kWineAccepts}},
    {"baud0", 8, NOPARITY, ONESTOPBIT, 0, {0, ERROR_INVALID_PARAMETER, kWineAccepts}},
};

class SetCommStateTest : public ::testing::TestWithParam<std::tuple<Backend, BadState>> {};

TEST_P(SetCommStateTest, RefusesBadValues) {
    const auto& [backend, row] = GetParam();
    PortPair pair(backend);
    HANDLE h = OpenPort(PortPair::kA);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(h, &dcb));
    const DCB before = dcb;
    dcb.ByteSize = row.bits;
    dcb.Parity = row.parity;
    dcb.StopBits = row.stop;
    if (row.baud != kKeepBaud) dcb.BaudRate = row.baud;
    SetLastError(0xdeadbeef);
    BOOL ok = SetCommState(h, &dcb);
    const DWORD expected = row.error.Expected();
    EXPECT_EQ(ok, expected == 0) << row.error.reason;
    if (expected) {
        EXPECT_EQ(GetLastError(), expected) << row.error.reason;
        DCB after{};
        after.DCBlength = sizeof after;
        ASSERT_TRUE(GetCommState(h, &after));
        EXPECT_EQ(after.ByteSize, before.ByteSize) << "a refused state changes nothing";
        EXPECT_EQ(after.BaudRate, before.BaudRate);
    }
    CloseHandle(h);
}

INSTANTIATE_TEST_SUITE_P(Comm, SetCommStateTest, ::testing::Combine(PORT_BACKENDS, ::testing::ValuesIn(kBadStates)),
                         [](const auto& info) {
                             return BackendName(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
                         });

}  // namespace
