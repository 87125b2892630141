// COM names mapped to POSIX ttys, over an openpty pair: the test holds the
// master, the port opens the slave.
#include "CableFixture.h"

#include <compat/Kernel.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>

namespace {

class Tty : public ::testing::Test {
protected:
    void SetUp() override {
        char name[128];
        ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        path = name;
        compat::MapPort("COM7", path);
        port = OpenPort("COM7");
        ASSERT_NE(port, INVALID_HANDLE_VALUE) << GetLastError();
    }
    void TearDown() override {
        if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
        compat::UnmapPort("COM7");
        close(master);
        close(slave);
    }
    // What the port sent, as the master reads it within `ms`.
    std::string ReadMaster(std::size_t size, int ms) {
        std::string got;
        pollfd p{master, POLLIN, 0};
        while (got.size() < size && poll(&p, 1, ms) == 1) {
            char buf[256];
            ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }
    termios SlaveTermios() {
        termios tio{};
        tcgetattr(slave, &tio);
        return tio;
    }

    int master = -1, slave = -1;
    std::string path;
    HANDLE port = INVALID_HANDLE_VALUE;
};

TEST_F(Tty, BytesGoBothWays) {
    ASSERT_TRUE(Write(port, {'p', 'i', 'n', 'g'}));
    EXPECT_EQ(ReadMaster(4, 2000), "ping");

    COMMTIMEOUTS blocking{};
    ASSERT_TRUE(SetCommTimeouts(port, &blocking));
    char buf[4];
    Overlapped r;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(port, buf, 4, &n, r.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    ASSERT_EQ(write(master, "pong", 4), 4);
    ASSERT_TRUE(r.WaitFor(2000));
    ASSERT_TRUE(GetOverlappedResult(port, r.get(), &n, FALSE));
    EXPECT_EQ(std::string(buf, n), "pong");
}

struct TermiosCase {
    const char* name;
    BYTE bits, parity, stop;
    tcflag_t set, clear;  // c_cflag bits the slave must have, and must not
};

void PrintTo(const TermiosCase& c, std::ostream* os) { *os << c.name; }

class TtyTermios : public Tty, public ::testing::WithParamInterface<TermiosCase> {};

// Linux ptys drop the parity flags of c_cflag; only a real tty keeps them.
bool PtyKeepsParity(int slave) {
    termios tio{};
    tcgetattr(slave, &tio);
    termios parity = tio;
    parity.c_cflag |= PARENB;
    tcsetattr(slave, TCSANOW, &parity);
    termios back{};
    tcgetattr(slave, &back);
    tcsetattr(slave, TCSANOW, &tio);
    return (back.c_cflag & PARENB) != 0;
}

TEST_P(TtyTermios, LineSettingsReachTermios) {
    const TermiosCase& c = GetParam();
    ASSERT_TRUE(SetLine(port, 57600, c.bits, c.parity, c.stop, c.parity != NOPARITY));
    const termios tio = SlaveTermios();
    EXPECT_EQ(cfgetospeed(&tio), speed_t{B57600});
    tcflag_t checked = CSIZE | CSTOPB;
    if (PtyKeepsParity(slave)) checked |= PARENB | PARODD | CMSPAR;
    EXPECT_EQ(tio.c_cflag & c.set & checked, c.set & checked);
    EXPECT_EQ(tio.c_cflag & c.clear & checked, tcflag_t{0});
    if (!(checked & PARENB) && c.parity != NOPARITY)
        GTEST_SKIP() << "size and stop bits checked; this kernel's ptys keep no parity flags, so PARENB/PARODD/CMSPAR "
                        "need a real tty";
}

const TermiosCase kTermiosCases[] = {
    {"bits8_none", 8, NOPARITY, ONESTOPBIT, CS8, PARENB | CSTOPB},
    {"bits7_even", 7, EVENPARITY, ONESTOPBIT, CS7 | PARENB, PARODD | CMSPAR},
    {"bits7_odd", 7, ODDPARITY, ONESTOPBIT, CS7 | PARENB | PARODD, CMSPAR},
    {"bits5_mark", 5, MARKPARITY, ONESTOPBIT, CS5 | PARENB | CMSPAR | PARODD, CSTOPB},
    {"bits6_space", 6, SPACEPARITY, ONESTOPBIT, CS6 | PARENB | CMSPAR, PARODD},
    {"bits8_two_stop", 8, NOPARITY, TWOSTOPBITS, CS8 | CSTOPB, PARENB},
};

INSTANTIATE_TEST_SUITE_P(Tty, TtyTermios, ::testing::ValuesIn(kTermiosCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tty, BaudRateTermiosCannotTakeIsRefused) {
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetLine(port, 12345, 8, NOPARITY, ONESTOPBIT, false));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
}

TEST_F(Tty, PtyHasNoModemLines) {
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(EscapeCommFunction(port, SETRTS));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_SUPPORTED});
    DWORD status = 0;
    EXPECT_FALSE(GetCommModemStatus(port, &status));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_SUPPORTED});
    ASSERT_TRUE(SetCommMask(port, EV_RXCHAR | EV_DSR));
    Overlapped w;
    DWORD events = 0;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(WaitCommEvent(port, &events, w.get()));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_SUPPORTED});
    EXPECT_TRUE(EscapeCommFunction(port, SETBREAK)) << "a pty takes a break";
    EXPECT_TRUE(EscapeCommFunction(port, CLRBREAK));
}

TEST_F(Tty, ReadTimesOutAndWaitSeesArrival) {
    COMMTIMEOUTS t{0, 0, 100, 0, 0};
    ASSERT_TRUE(SetCommTimeouts(port, &t));
    char buf[8];
    Overlapped r;
    DWORD n = 99;
    const DWORD start = GetTickCount();
    ASSERT_FALSE(ReadFile(port, buf, 8, &n, r.get()));
    ASSERT_TRUE(r.WaitFor(2000));
    EXPECT_GE(GetTickCount() - start, 99u);
    EXPECT_TRUE(GetOverlappedResult(port, r.get(), &n, FALSE));
    EXPECT_EQ(n, 0u);

    ASSERT_TRUE(SetCommMask(port, EV_RXCHAR));
    Overlapped w;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(port, &events, w.get()));
    ASSERT_EQ(write(master, "!", 1), 1);
    ASSERT_TRUE(w.WaitFor(2000));
    EXPECT_EQ(events, DWORD{EV_RXCHAR});
}

TEST_F(Tty, CancelIoEndsAPendingRead) {
    COMMTIMEOUTS blocking{};
    ASSERT_TRUE(SetCommTimeouts(port, &blocking));
    char buf[8];
    Overlapped r;
    DWORD n = 0;
    ASSERT_FALSE(ReadFile(port, buf, 8, &n, r.get()));
    ASSERT_TRUE(CancelIo(port));
    ASSERT_TRUE(r.WaitFor(2000));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetOverlappedResult(port, r.get(), &n, FALSE));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_OPERATION_ABORTED});
}

TEST_F(Tty, SecondOpenIsRefusedAndUnmappedNameIsGone) {
    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenPort("COM7"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED});
    compat::UnmapPort("COM7");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenPort("COM7"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
}

TEST(TtyMapping, MissingDeviceIsNotFound) {
    compat::MapPort("COM4", "/dev/duoprobe-no-such-tty");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenPort("COM4"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
    compat::UnmapPort("COM4");
}

TEST(TtyMapping, OpenCloseCyclesLeaveNothingBehind) {
    int master = -1, slave = -1;
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    compat::MapPort("COM7", name);
    const compat::KernelCounts before = compat::Counts();
    for (int i = 0; i < 50; ++i) {
        HANDLE h = OpenPort("COM7");
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(Write(h, {BYTE(i)}));
        CloseHandle(h);
    }
    EXPECT_EQ(compat::Counts(), before);
    compat::UnmapPort("COM7");
    close(master);
    close(slave);
}

}  // namespace
