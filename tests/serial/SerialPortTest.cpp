// CSerialPort on a virtual null-modem cable: results, error codes and what
// each operation asks of the platform.
#include "PortProbe.h"

#include <compat/Cable.h>
#include <compat/Kernel.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using Port = CPortProbe<CSerialPort>;

class SerialPortTest : public testing::Test {
protected:
    void OpenBoth()
    {
        ASSERT_EQ(port.Open("COM3", 0, 0), ERROR_SUCCESS);
        ASSERT_EQ(remote.Open("COM1", 0, 0), ERROR_SUCCESS);
    }
    compat::CableEnd& End() { return cable.End("COM3"); }
    // Sends from the remote end and returns how many bytes left it.
    DWORD Send(const std::vector<BYTE>& bytes)
    {
        DWORD written = 0;
        EXPECT_EQ(remote.Write(bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr, 1000), ERROR_SUCCESS);
        return written;
    }

    compat::NullModemCable cable{"COM3", "COM1"};
    Port port;
    Port remote;
};

// Every operation on a port that is not open.
struct ClosedCase {
    const char* name;
    std::function<LONG(Port&, DWORD&)> call;
    LONG result;
};

void PrintTo(const ClosedCase& c, std::ostream* os) { *os << c.name; }

LONG Query(LONG value) { return value; }

const ClosedCase kClosedCases[] = {
    {"Close", [](Port& p, DWORD&) { return p.Close(); }, ERROR_SUCCESS},
    {"Setup", [](Port& p, DWORD&) { return p.Setup(9600, 8, NOPARITY, ONESTOPBIT); }, ERROR_INVALID_HANDLE},
    {"SetEventChar", [](Port& p, DWORD&) { return p.SetEventChar('\n', true); }, ERROR_INVALID_HANDLE},
    {"SetMask", [](Port& p, DWORD&) { return p.SetMask(EV_CTS); }, ERROR_INVALID_HANDLE},
    {"WaitEvent", [](Port& p, DWORD&) { return p.WaitEvent(nullptr, 0); }, ERROR_INVALID_HANDLE},
    {"SetupHandshaking", [](Port& p, DWORD&) { return p.SetupHandshaking(CSerialPort::HandshakeOff); }, ERROR_INVALID_HANDLE},
    {"SetupReadTimeouts", [](Port& p, DWORD&) { return p.SetupReadTimeouts(CSerialPort::ReadBlocking); }, ERROR_INVALID_HANDLE},
    {"GetBaudrate", [](Port& p, DWORD&) { return Query(p.GetBaudrate()); }, -1},
    {"GetDataBits", [](Port& p, DWORD&) { return Query(p.GetDataBits()); }, -1},
    {"GetParity", [](Port& p, DWORD&) { return Query(p.GetParity()); }, -1},
    {"GetStopBits", [](Port& p, DWORD&) { return Query(p.GetStopBits()); }, -1},
    {"GetHandshaking", [](Port& p, DWORD&) { return Query(p.GetHandshaking()); }, -1},
    {"GetEventMask", [](Port& p, DWORD&) { return static_cast<LONG>(p.GetEventMask()); }, 0},
    {"GetEventChar", [](Port& p, DWORD&) { return static_cast<LONG>(p.GetEventChar()); }, 0},
    {"WriteText", [](Port& p, DWORD& n) { return p.Write("text", &n, nullptr, 100); }, ERROR_INVALID_HANDLE},
    {"WriteData", [](Port& p, DWORD& n) { return p.Write("data", 4, &n, nullptr, 100); }, ERROR_INVALID_HANDLE},
    {"Read", [](Port& p, DWORD& n) { char b[4]; return p.Read(b, 4, &n, nullptr, 100); }, ERROR_INVALID_HANDLE},
};

class ClosedPort : public testing::TestWithParam<ClosedCase> {};

TEST_P(ClosedPort, FailsWithInvalidHandleAndLeavesTheCountAtZero)
{
    Port port;
    port.m_lLastError = 1234;
    DWORD count = 77;
    EXPECT_EQ(GetParam().call(port, count), GetParam().result);
    const bool isClose = std::strcmp(GetParam().name, "Close") == 0;
    EXPECT_EQ(port.LastError(), isClose ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
    if (std::strncmp(GetParam().name, "Write", 5) == 0 || std::strcmp(GetParam().name, "Read") == 0)
        EXPECT_EQ(count, 0u);
}

INSTANTIATE_TEST_SUITE_P(SerialPort, ClosedPort, testing::ValuesIn(kClosedCases),
                         [](const testing::TestParamInfo<ClosedCase>& info) { return info.param.name; });

TEST(SerialPort, ClosedPortEdges)
{
    Port port;
    EXPECT_EQ(port.Close(), ERROR_SUCCESS);
    EXPECT_EQ(port.Close(), ERROR_SUCCESS);
    port.m_lLastError = 1234;
    EXPECT_FALSE(port.EscapeFunction(SETRTS));
    EXPECT_EQ(port.LastError(), 1234) << "EscapeFunction leaves the last error alone";
}

TEST_F(SerialPortTest, OpenAsksForAnExclusiveOverlappedDevice)
{
    End().StartRecording();
    ASSERT_EQ(port.Open("COM3", 0, 0), ERROR_SUCCESS);
    const auto opens = End().Calls("CreateFileA");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].text, "COM3");
    EXPECT_EQ(opens[0].Arg("dwDesiredAccess"), GENERIC_READ | GENERIC_WRITE);
    EXPECT_EQ(opens[0].Arg("dwShareMode"), 0u);
    EXPECT_EQ(opens[0].Arg("dwCreationDisposition"), static_cast<std::uint64_t>(OPEN_EXISTING));
    EXPECT_EQ(opens[0].Arg("dwFlagsAndAttributes"), static_cast<std::uint64_t>(FILE_FLAG_OVERLAPPED));
    EXPECT_TRUE(End().Calls("SetupComm").empty()) << "no queue sizes were asked for";
    EXPECT_EQ(End().Calls("GetDefaultCommConfigA").size(), 1u);
    EXPECT_EQ(End().Calls("SetCommConfig").size(), 1u);

    End().ClearCalls();
    EXPECT_EQ(port.GetBaudrate(), 9600);
    const auto reads = End().Calls("GetCommState");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].Arg("DCBlength"), 28u);
}

struct QueueCase {
    const char* name;
    DWORD in, out;
    bool asked;
};

void PrintTo(const QueueCase& c, std::ostream* os) { *os << c.name; }

class QueueSizes : public SerialPortTest, public testing::WithParamInterface<QueueCase> {};

TEST_P(QueueSizes, GoToTheDriverOnlyWhenOneIsNonZero)
{
    End().StartRecording();
    ASSERT_EQ(port.Open("COM3", GetParam().in, GetParam().out), ERROR_SUCCESS);
    const auto calls = End().Calls("SetupComm");
    ASSERT_EQ(calls.size(), GetParam().asked ? 1u : 0u);
    if (GetParam().asked) {
        EXPECT_EQ(calls[0].Arg("dwInQueue"), GetParam().in);
        EXPECT_EQ(calls[0].Arg("dwOutQueue"), GetParam().out);
    }
}

const QueueCase kQueueCases[] = {
    {"none", 0, 0, false},
    {"input_only", 4096, 0, true},
    {"output_only", 0, 2048, true},
    {"both", 1024, 512, true},
};

INSTANTIATE_TEST_SUITE_P(SerialPort, QueueSizes, testing::ValuesIn(kQueueCases),
                         [](const testing::TestParamInfo<QueueCase>& info) { return info.param.name; });

TEST_F(SerialPortTest, OpenSetsTheDefaultMaskAndNonBlockingReads)
{
    ASSERT_EQ(port.Open("COM3", 0, 0), ERROR_SUCCESS);
    EXPECT_EQ(port.GetEventMask(), static_cast<DWORD>(EV_RXCHAR | EV_BREAK | EV_ERR));
    const compat::PortState state = End().State();
    EXPECT_EQ(state.eventMask, static_cast<DWORD>(0x00C1));
    EXPECT_EQ(state.timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(state.timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(state.timeouts.ReadTotalTimeoutConstant, 0u);

    char buffer[16];
    DWORD count = 77;
    EXPECT_EQ(port.Read(buffer, sizeof buffer, &count, nullptr, 1000), ERROR_SUCCESS);
    EXPECT_EQ(count, 0u) << "nothing received, and the read did not wait";
}

TEST_F(SerialPortTest, OpenTwiceKeepsEverything)
{
    ASSERT_EQ(port.Open("COM3", 0, 0), ERROR_SUCCESS);
    ASSERT_EQ(port.Setup(57600, 7, EVENPARITY, ONESTOPBIT), ERROR_SUCCESS);
    HANDLE file = port.m_hFile;
    HANDLE event = port.m_hIoEvent;
    EXPECT_EQ(port.Open("COM3", 0, 0), ERROR_ALREADY_INITIALIZED);
    EXPECT_EQ(port.LastError(), ERROR_ALREADY_INITIALIZED);
    EXPECT_EQ(port.m_hFile, file);
    EXPECT_EQ(port.m_hIoEvent, event);
    EXPECT_EQ(port.GetBaudrate(), 57600);
    EXPECT_EQ(port.GetDataBits(), 7);
}

TEST_F(SerialPortTest, FailedOpenHoldsNothing)
{
    const compat::KernelCounts before = compat::Counts();
    EXPECT_EQ(port.Open("COM9", 0, 0), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(port.m_hFile, nullptr);
    EXPECT_EQ(port.m_hIoEvent, nullptr);
    EXPECT_EQ(compat::Counts(), before);
    EXPECT_EQ(port.Open("COM3", 0, 0), ERROR_SUCCESS) << "a later open of a present port succeeds";
}

TEST_F(SerialPortTest, FailedEventCreationClosesTheDevice)
{
    const compat::KernelCounts before = compat::Counts();
    compat::FailCreateEvent(1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(port.Open("COM3", 0, 0), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(port.m_hFile, nullptr);
    EXPECT_EQ(compat::Counts(), before);
    EXPECT_FALSE(End().State().open);
}

struct ParityCase {
    const char* name;
    BYTE parity;
    DWORD fParity;
};

void PrintTo(const ParityCase& c, std::ostream* os) { *os << c.name; }

class SetupParity : public SerialPortTest, public testing::WithParamInterface<ParityCase> {};

TEST_P(SetupParity, SetsTheFourValuesAndTheParityFlag)
{
    OpenBoth();
    ASSERT_EQ(port.Setup(38400, 7, GetParam().parity, TWOSTOPBITS), ERROR_SUCCESS);
    const DCB dcb = End().State().dcb;
    EXPECT_EQ(dcb.BaudRate, 38400u);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, GetParam().parity);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.fParity, GetParam().fParity);
    EXPECT_EQ(port.GetParity(), GetParam().parity);
    EXPECT_EQ(port.GetStopBits(), TWOSTOPBITS);
}

const ParityCase kParityCases[] = {
    {"none", NOPARITY, 0}, {"odd", ODDPARITY, 1}, {"even", EVENPARITY, 1},
    {"mark", MARKPARITY, 1}, {"space", SPACEPARITY, 1},
};

INSTANTIATE_TEST_SUITE_P(SerialPort, SetupParity, testing::ValuesIn(kParityCases),
                         [](const testing::TestParamInfo<ParityCase>& info) { return info.param.name; });

TEST_F(SerialPortTest, ParityReadsAsNoneWhileTheParityFlagIsClear)
{
    OpenBoth();
    DCB dcb = End().State().dcb;
    dcb.Parity = ODDPARITY;
    dcb.fParity = 0;
    ASSERT_TRUE(::SetCommState(port.m_hFile, &dcb));
    EXPECT_EQ(port.GetParity(), NOPARITY);
}

TEST_F(SerialPortTest, RefusedSetupReportsThePlatformError)
{
    OpenBoth();
    End().Refuse({{}, {5}, {}});
    EXPECT_EQ(port.Setup(115200, 5, NOPARITY, ONESTOPBIT), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(port.LastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(port.GetDataBits(), 8) << "the device kept its setting";
}

struct HandshakeCase {
    const char* name;
    CSerialPort::HandshakeMode mode;
    DWORD ctsFlow, dsrFlow, dtrControl, rtsControl, outX, inX;
};

void PrintTo(const HandshakeCase& c, std::ostream* os) { *os << c.name; }

class Handshaking : public SerialPortTest, public testing::WithParamInterface<HandshakeCase> {};

TEST_P(Handshaking, SetsTheFlowControlFieldsAndReadsBack)
{
    OpenBoth();
    const HandshakeCase& c = GetParam();
    ASSERT_EQ(port.SetupHandshaking(c.mode), ERROR_SUCCESS);
    const DCB dcb = End().State().dcb;
    EXPECT_EQ(dcb.fOutxCtsFlow, c.ctsFlow);
    EXPECT_EQ(dcb.fOutxDsrFlow, c.dsrFlow);
    EXPECT_EQ(dcb.fDtrControl, c.dtrControl);
    EXPECT_EQ(dcb.fRtsControl, c.rtsControl);
    EXPECT_EQ(dcb.fOutX, c.outX);
    EXPECT_EQ(dcb.fInX, c.inX);
    EXPECT_EQ(port.GetHandshaking(), c.mode);
}

const HandshakeCase kHandshakeCases[] = {
    {"off", CSerialPort::HandshakeOff, 0, 0, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE, 0, 0},
    {"hardware", CSerialPort::HandshakeHardware, 1, 1, DTR_CONTROL_HANDSHAKE, RTS_CONTROL_HANDSHAKE, 0, 0},
    {"software", CSerialPort::HandshakeSoftware, 0, 0, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE, 1, 1},
};

INSTANTIATE_TEST_SUITE_P(SerialPort, Handshaking, testing::ValuesIn(kHandshakeCases),
                         [](const testing::TestParamInfo<HandshakeCase>& info) { return info.param.name; });

TEST_F(SerialPortTest, HardwareWinsWhenBothHandshakesAreSet)
{
    OpenBoth();
    DCB dcb = End().State().dcb;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fOutX = 1;
    dcb.fInX = 1;
    ASSERT_TRUE(::SetCommState(port.m_hFile, &dcb));
    EXPECT_EQ(port.GetHandshaking(), CSerialPort::HandshakeHardware);
}

TEST_F(SerialPortTest, OutOfRangeModesAreRefusedAfterTheRead)
{
    OpenBoth();
    const DCB before = End().State().dcb;
    const COMMTIMEOUTS timeoutsBefore = End().State().timeouts;
    EXPECT_EQ(port.SetupHandshaking(static_cast<CSerialPort::HandshakeMode>(3)), E_INVALIDARG);
    EXPECT_EQ(port.SetupReadTimeouts(static_cast<CSerialPort::ReadTimeoutMode>(2)), E_INVALIDARG);
    EXPECT_EQ(port.LastError(), E_INVALIDARG);
    const DCB after = End().State().dcb;
    const COMMTIMEOUTS timeoutsAfter = End().State().timeouts;
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_EQ(std::memcmp(&timeoutsBefore, &timeoutsAfter, sizeof timeoutsBefore), 0);
}

TEST_F(SerialPortTest, ReadTimeoutModesLeaveTheWriteFieldsAlone)
{
    OpenBoth();
    COMMTIMEOUTS timeouts = End().State().timeouts;
    timeouts.WriteTotalTimeoutMultiplier = 7;
    timeouts.WriteTotalTimeoutConstant = 11;
    ASSERT_TRUE(::SetCommTimeouts(port.m_hFile, &timeouts));

    ASSERT_EQ(port.SetupReadTimeouts(CSerialPort::ReadBlocking), ERROR_SUCCESS);
    COMMTIMEOUTS now = End().State().timeouts;
    EXPECT_EQ(now.ReadIntervalTimeout, 0u);
    EXPECT_EQ(now.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(now.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(now.WriteTotalTimeoutMultiplier, 7u);
    EXPECT_EQ(now.WriteTotalTimeoutConstant, 11u);

    ASSERT_EQ(port.SetupReadTimeouts(CSerialPort::ReadNonBlocking), ERROR_SUCCESS);
    now = End().State().timeouts;
    EXPECT_EQ(now.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(now.WriteTotalTimeoutMultiplier, 7u);
    EXPECT_EQ(now.WriteTotalTimeoutConstant, 11u);
}

TEST_F(SerialPortTest, EventCharAddsTheFlagEventOnce)
{
    OpenBoth();
    ASSERT_EQ(port.SetEventChar('\r', false), ERROR_SUCCESS);
    EXPECT_EQ(port.GetEventChar(), '\r');
    EXPECT_EQ(port.GetEventMask(), 0x00C1u) << "without the flag the mask stays";
    ASSERT_EQ(port.SetEventChar('\n', true), ERROR_SUCCESS);
    EXPECT_EQ(port.GetEventMask(), 0x00C3u);
    ASSERT_EQ(port.SetEventChar('\n', true), ERROR_SUCCESS);
    EXPECT_EQ(port.GetEventMask(), 0x00C3u);
    EXPECT_EQ(End().State().dcb.EvtChar, '\n');
    EXPECT_EQ(End().State().eventMask, 0x00C3u);
}

TEST_F(SerialPortTest, BlockingReadThatGetsTooFewBytesTimesOutAndIsRetired)
{
    OpenBoth();
    ASSERT_EQ(port.SetupReadTimeouts(CSerialPort::ReadBlocking), ERROR_SUCCESS);
    ASSERT_EQ(Send(std::vector<BYTE>(100, 0x55)), 100u);
    std::vector<BYTE> buffer(512);
    DWORD count = 77;
    EXPECT_EQ(port.Read(buffer.data(), 512, &count, nullptr, 200), ERROR_TIMEOUT);
    EXPECT_EQ(count, 0u) << "the partial transfer is not reported";
    EXPECT_EQ(port.LastError(), ERROR_TIMEOUT);

    // No request is left behind: what arrives now stays queued for the next read.
    ASSERT_EQ(Send({1, 2, 3}), 3u);
    const std::vector<BYTE> queued = End().State().inQueue;
    ASSERT_GE(queued.size(), 3u);
    EXPECT_EQ(std::vector<BYTE>(queued.end() - 3, queued.end()), (std::vector<BYTE>{1, 2, 3}));
}

TEST_F(SerialPortTest, BlockingReadOfAFullBlock)
{
    OpenBoth();
    ASSERT_EQ(port.SetupReadTimeouts(CSerialPort::ReadBlocking), ERROR_SUCCESS);
    std::vector<BYTE> data(512);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<BYTE>(i);
    ASSERT_EQ(Send(data), 512u);
    std::vector<BYTE> buffer(512);
    DWORD count = 0;
    EXPECT_EQ(port.Read(buffer.data(), 512, &count, nullptr, 3000), ERROR_SUCCESS);
    EXPECT_EQ(count, 512u);
    EXPECT_EQ(buffer, data);
}

TEST_F(SerialPortTest, RequestsThatEndAtOnceLeaveTheirEventSignalled)
{
    OpenBoth();
    ASSERT_EQ(Send({9, 8, 7}), 3u);
    OVERLAPPED ov = {};
    ov.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    BYTE buffer[3];
    DWORD count = 0;
    EXPECT_EQ(port.Read(buffer, 3, &count, &ov, 0), ERROR_SUCCESS);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(::WaitForSingleObject(ov.hEvent, 0), WAIT_OBJECT_0);
    ::CloseHandle(ov.hEvent);

    // The built-in record's event too.
    DWORD written = 0;
    EXPECT_EQ(port.Write("ab", &written, nullptr, 1000), ERROR_SUCCESS);
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(::WaitForSingleObject(port.m_hIoEvent, 0), WAIT_OBJECT_0);
}

TEST_F(SerialPortTest, WaitEventWithTheCallersRecordReturnsAtOnce)
{
    OpenBoth();
    ASSERT_EQ(port.SetMask(EV_CTS | EV_RXCHAR), ERROR_SUCCESS);
    OVERLAPPED ov = {};
    ov.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);

    // Outstanding: the remote end's RTS is the local end's CTS.
    EXPECT_EQ(port.WaitEvent(&ov, INFINITE), ERROR_SUCCESS);
    EXPECT_EQ(::WaitForSingleObject(ov.hEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_TRUE(remote.EscapeFunction(CLRRTS));
    ASSERT_EQ(::WaitForSingleObject(ov.hEvent, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(port.GetEventType(), static_cast<DWORD>(EV_CTS));

    // Already ended: a character arrived before the wait began.
    ASSERT_EQ(Send({42}), 1u);
    ::ResetEvent(ov.hEvent);
    EXPECT_EQ(port.WaitEvent(&ov, INFINITE), ERROR_SUCCESS);
    EXPECT_EQ(::WaitForSingleObject(ov.hEvent, 0), WAIT_OBJECT_0);
    EXPECT_EQ(port.GetEventType(), static_cast<DWORD>(EV_RXCHAR));
    ::CloseHandle(ov.hEvent);
}

TEST_F(SerialPortTest, WaitEventOnTheBuiltInRecordTimesOut)
{
    OpenBoth();
    ASSERT_EQ(port.SetMask(EV_DSR), ERROR_SUCCESS);
    EXPECT_EQ(port.WaitEvent(nullptr, 50), ERROR_TIMEOUT);
    // Retired: a new wait may start at once (a second pending wait would be refused).
    EXPECT_EQ(port.WaitEvent(nullptr, 50), ERROR_TIMEOUT);
}

TEST(SerialPort, EventTypeIsMaskedAndCleared)
{
    Port port;
    port.m_dwPendingEvents = EV_RXCHAR | EV_CTS | EV_BREAK;
    port.m_dwEventMask = EV_CTS | EV_RXCHAR | EV_DSR;
    EXPECT_EQ(port.GetEventType(), static_cast<DWORD>(EV_RXCHAR | EV_CTS));
    EXPECT_EQ(port.GetEventType(), 0u);
}

TEST_F(SerialPortTest, EmptyTextWritesNothing)
{
    OpenBoth();
    End().StartRecording();
    DWORD written = 77;
    EXPECT_EQ(port.Write("", &written, nullptr, 1000), ERROR_SUCCESS);
    EXPECT_EQ(written, 0u);
    const auto writes = End().Calls("WriteFile");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].Arg("nNumberOfBytesToWrite"), 0u);
    EXPECT_TRUE(cable.End("COM1").State().inQueue.empty()) << "not even the terminating zero";
}

TEST_F(SerialPortTest, WriteWithoutACountStillGivesThePlatformOne)
{
    OpenBoth();
    EXPECT_EQ(port.Write("xyz", nullptr, nullptr, 1000), ERROR_SUCCESS);
    EXPECT_EQ(cable.End("COM1").State().inQueue, (std::vector<BYTE>{'x', 'y', 'z'}));
}

TEST_F(SerialPortTest, EscapeFunctionDrivesTheModemLines)
{
    OpenBoth();
    ASSERT_TRUE(port.EscapeFunction(CLRRTS));
    ASSERT_TRUE(port.EscapeFunction(CLRDTR));
    EXPECT_FALSE(cable.End("COM1").State().cts);
    EXPECT_FALSE(cable.End("COM1").State().dsr);
    ASSERT_TRUE(port.EscapeFunction(SETRTS));
    EXPECT_TRUE(cable.End("COM1").State().cts);
    EXPECT_FALSE(cable.End("COM1").State().dsr);
}

TEST_F(SerialPortTest, ManyOpenCloseCyclesLeaveNothingBehind)
{
    const compat::KernelCounts before = compat::Counts();
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(port.Open("COM3", 0, 0), ERROR_SUCCESS);
        ASSERT_EQ(port.Close(), ERROR_SUCCESS);
    }
    EXPECT_EQ(compat::Counts(), before);
}

} // namespace
