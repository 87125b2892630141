// Wire time: a character takes its bits divided by the baud rate on the line.
#include "CableFixture.h"

namespace {

class WireTime : public CableTest {
protected:
    void SetUp() override {
        CableTest::SetUp();
        cable.SetWireTime(true);
        ASSERT_TRUE(SetLine(local, 9600, 8, NOPARITY, ONESTOPBIT, false));
        ASSERT_TRUE(SetLine(remote, 9600, 8, NOPARITY, ONESTOPBIT, false));
    }
};

// 96 characters of 10 bits at 9600 baud: 100 ms on the line.
TEST_F(WireTime, WriteEndsWhenItsLastByteHasLeft) {
    const std::vector<BYTE> sent = Pattern(96);
    Overlapped w;
    DWORD n = 99;
    const DWORD start = GetTickCount();
    ASSERT_FALSE(WriteFile(local, sent.data(), 96, &n, w.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    COMSTAT stat{};
    DWORD errors = 0;
    ASSERT_TRUE(ClearCommError(local, &errors, &stat));
    EXPECT_EQ(stat.cbOutQue, 96u);
    EXPECT_LT(Remote().State().inQueue.size(), 96u) << "the bytes are still on the line";

    ASSERT_TRUE(w.WaitFor(5000));
    const DWORD elapsed = GetTickCount() - start;
    ASSERT_TRUE(GetOverlappedResult(local, w.get(), &n, FALSE));
    EXPECT_EQ(n, 96u);
    EXPECT_GE(elapsed, 99u);
    EXPECT_LT(elapsed, 2000u);
    EXPECT_EQ(ReadQueued(remote), sent) << "all there once the write has ended";
}

TEST_F(WireTime, ReaderSeesBytesAsTheyArrive) {
    COMMTIMEOUTS t{MAXDWORD, MAXDWORD, 1000, 0, 0};  // return with the first bytes to arrive
    ASSERT_TRUE(SetCommTimeouts(remote, &t));
    std::vector<BYTE> buf(96);
    Overlapped r, w;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(remote, buf.data(), 96, &n, r.get()));
    ASSERT_FALSE(WriteFile(local, Pattern(96).data(), 96, &n, w.get()));
    ASSERT_TRUE(r.WaitFor(5000));
    ASSERT_TRUE(GetOverlappedResult(remote, r.get(), &n, FALSE));
    EXPECT_GE(n, 1u);
    EXPECT_LT(n, 96u) << "the read ended with the first bytes, long before the last";
    ASSERT_TRUE(w.WaitFor(5000));
}

TEST_F(WireTime, WriteTimeoutSendsOnlyWhatFitsInIt) {
    COMMTIMEOUTS t{0, 0, 0, 0, 50};  // 50 ms for a 100 ms write
    ASSERT_TRUE(SetCommTimeouts(local, &t));
    DWORD written = 0;
    EXPECT_TRUE(Write(local, Pattern(96), &written)) << "a write time-out is no error";
    EXPECT_GE(written, 40u);
    EXPECT_LT(written, 96u);
    EXPECT_EQ(Remote().State().inQueue.size(), written) << "what timed out never arrives";
}

TEST_F(WireTime, UnplugMidTransfer) {
    Local().UnplugAfterSent(10);
    DWORD written = 0;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(Write(local, Pattern(96), &written));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_OPERATION_ABORTED});
    EXPECT_EQ(written, 10u);
    std::vector<BYTE> head = Pattern(96);
    head.resize(10);
    EXPECT_EQ(Remote().State().inQueue, head);
}

// A write ended early reports the bytes that had left, and exactly those arrive.
struct EarlyEnd {
    const char* name;
    BOOL (*end)(HANDLE port);
};

class WriteEndedEarly : public WireTime, public testing::WithParamInterface<EarlyEnd> {};

TEST_P(WriteEndedEarly, CountsWhatArrives) {
    const std::vector<BYTE> sent = Pattern(96);
    Overlapped w;
    DWORD n = 0;
    const DWORD start = GetTickCount();
    ASSERT_FALSE(WriteFile(local, sent.data(), 96, &n, w.get()));
    while (Remote().State().inQueue.size() < 20 && GetTickCount() - start < 5000) Sleep(1);
    ASSERT_TRUE(GetParam().end(local));
    ASSERT_TRUE(w.WaitFor(5000));
    EXPECT_FALSE(GetOverlappedResult(local, w.get(), &n, FALSE));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_OPERATION_ABORTED});
    EXPECT_GE(n, 20u);
    EXPECT_LT(n, 96u);
    Sleep(150);  // past the end the whole write would have had: nothing more may arrive
    std::vector<BYTE> head = sent;
    head.resize(n);
    EXPECT_EQ(Remote().State().inQueue, head) << "what was counted arrived, and nothing else";
}

const EarlyEnd kEarlyEnds[] = {
    {"cancel", [](HANDLE port) { return CancelIo(port); }},
    {"purge", [](HANDLE port) { return PurgeComm(port, PURGE_TXABORT); }},
};

INSTANTIATE_TEST_SUITE_P(WireTime, WriteEndedEarly, testing::ValuesIn(kEarlyEnds),
                         [](const testing::TestParamInfo<EarlyEnd>& info) { return info.param.name; });

}  // namespace
