// The virtual null-modem cable: default state, wiring, control lines, and
// the faults a test can inject.
#include "CableFixture.h"

namespace {

TEST_F(CableTest, FreshEndHasRealisticDefaults) {
    const compat::PortState s = Local().State();
    EXPECT_TRUE(s.open);
    EXPECT_EQ(s.dcb.BaudRate, 9600u);
    EXPECT_EQ(s.dcb.ByteSize, 8);
    EXPECT_EQ(s.dcb.Parity, NOPARITY);
    EXPECT_EQ(s.dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(s.dcb.fBinary, 1u);
    EXPECT_EQ(s.dcb.fDtrControl, DWORD{DTR_CONTROL_ENABLE});
    EXPECT_EQ(s.dcb.fRtsControl, DWORD{RTS_CONTROL_ENABLE});
    EXPECT_TRUE(s.rts);
    EXPECT_TRUE(s.dtr);
    EXPECT_TRUE(s.cts) << "the remote end is open and raises RTS";
    EXPECT_TRUE(s.dsr);
    EXPECT_EQ(s.eventMask, 0u);
    EXPECT_EQ(s.inQueueSize, 4096u);
    EXPECT_TRUE(s.inQueue.empty());
}

TEST_F(CableTest, ClosedEndDropsItsLinesAndLosesWhatIsSent) {
    ASSERT_TRUE(CloseHandle(remote));
    remote = INVALID_HANDLE_VALUE;
    EXPECT_FALSE(Local().State().cts);
    EXPECT_FALSE(Local().State().dsr);
    ASSERT_TRUE(Write(local, Pattern(8)));
    remote = OpenPort(kRemote);
    ASSERT_NE(remote, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(ReadQueued(remote).empty()) << "bytes sent to a closed port are lost";
    EXPECT_TRUE(Local().State().cts);
}

struct ControlCase {
    const char* name;
    DWORD dtrControl;
    DWORD rtsControl;
    DWORD farEvents;  // what the far end sees change
    bool dsr;
    bool cts;
};

void PrintTo(const ControlCase& c, std::ostream* os) { *os << c.name; }

class ControlLines : public CableTest, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(ControlLines, SetCommStateDrivesTheLines) {
    const ControlCase& c = GetParam();
    ASSERT_TRUE(SetCommMask(remote, EV_CTS | EV_DSR));
    Overlapped w;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(remote, &events, w.get()));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(local, &dcb));
    dcb.fDtrControl = c.dtrControl;
    dcb.fRtsControl = c.rtsControl;
    ASSERT_TRUE(SetCommState(local, &dcb));
    EXPECT_EQ(Remote().State().dsr, c.dsr);
    EXPECT_EQ(Remote().State().cts, c.cts);
    if (c.farEvents) {
        ASSERT_TRUE(w.WaitFor(1000));
        EXPECT_EQ(events, c.farEvents);
    } else {
        EXPECT_FALSE(w.WaitFor(0)) << "no line changed";
        ASSERT_TRUE(SetCommMask(remote, 0));
    }
}

const ControlCase kControlCases[] = {
    {"dtr_disable", DTR_CONTROL_DISABLE, RTS_CONTROL_ENABLE, EV_DSR, false, true},
    {"rts_disable", DTR_CONTROL_ENABLE, RTS_CONTROL_DISABLE, EV_CTS, true, false},
    {"both_disable", DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE, EV_CTS | EV_DSR, false, false},
    {"both_enable", DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE, 0, true, true},
    {"handshake_raises", DTR_CONTROL_HANDSHAKE, RTS_CONTROL_HANDSHAKE, 0, true, true},
    {"rts_toggle_idle_low", DTR_CONTROL_ENABLE, RTS_CONTROL_TOGGLE, EV_CTS, true, false},
};

INSTANTIATE_TEST_SUITE_P(Cable, ControlLines, ::testing::ValuesIn(kControlCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CableTest, EscapeCommFunctionPulsesReachTheFarEnd) {
    ASSERT_TRUE(SetCommMask(remote, EV_CTS | EV_DSR));
    for (DWORD code : {CLRRTS, SETRTS, CLRDTR, SETDTR}) {
        Overlapped w;
        DWORD events = 0;
        ASSERT_FALSE(WaitCommEvent(remote, &events, w.get()));
        ASSERT_TRUE(EscapeCommFunction(local, code));
        ASSERT_TRUE(w.WaitFor(1000)) << "code " << code;
        EXPECT_EQ(events, DWORD(code == CLRRTS || code == SETRTS ? EV_CTS : EV_DSR)) << "code " << code;
    }
    DWORD status = 0;
    ASSERT_TRUE(GetCommModemStatus(remote, &status));
    EXPECT_EQ(status, DWORD{MS_CTS_ON | MS_DSR_ON});
}

TEST_F(CableTest, HandshakeOwnsTheLineItControls) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(local, &dcb));
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    ASSERT_TRUE(SetCommState(local, &dcb));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(EscapeCommFunction(local, CLRRTS));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_TRUE(EscapeCommFunction(local, CLRDTR)) << "DTR stays the program's";
}

TEST_F(CableTest, BreakReachesTheFarEnd) {
    ASSERT_TRUE(SetCommMask(remote, EV_BREAK));
    Overlapped w;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(remote, &events, w.get()));
    ASSERT_TRUE(EscapeCommFunction(local, SETBREAK));
    ASSERT_TRUE(w.WaitFor(1000));
    EXPECT_EQ(events, DWORD{EV_BREAK});
    EXPECT_EQ(TakeErrors(remote), DWORD{CE_BREAK});
    ASSERT_TRUE(EscapeCommFunction(local, CLRBREAK));
}

struct CutCase {
    const char* name;
    compat::Line line;
    bool dataArrives, cts, dsr;
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class CutWire : public CableTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(CutWire, LosesOnlyWhatItCarries) {
    const CutCase& c = GetParam();
    Local().Cut(c.line);
    EXPECT_EQ(Remote().State().cts, c.cts);
    EXPECT_EQ(Remote().State().dsr, c.dsr);
    EXPECT_TRUE(Local().State().cts) << "the wires of the other direction stay";
    ASSERT_TRUE(Write(local, Pattern(4))) << "the sender cannot tell";
    EXPECT_EQ(ReadQueued(remote).size(), c.dataArrives ? 4u : 0u);
    ASSERT_TRUE(Write(remote, Pattern(4)));
    EXPECT_EQ(ReadQueued(local).size(), 4u);

    Local().Mend(c.line);
    EXPECT_TRUE(Remote().State().cts);
    EXPECT_TRUE(Remote().State().dsr);
    ASSERT_TRUE(Write(local, Pattern(4)));
    EXPECT_EQ(ReadQueued(remote).size(), 4u);
}

const CutCase kCutCases[] = {
    {"tx", compat::Line::Tx, false, true, true},
    {"rts", compat::Line::Rts, true, false, true},
    {"dtr", compat::Line::Dtr, true, true, false},
};

INSTANTIATE_TEST_SUITE_P(Cable, CutWire, ::testing::ValuesIn(kCutCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CableTest, LoopBackFeedsAnEndItsOwnOutputs) {
    Local().LoopBack(true);
    EXPECT_FALSE(Remote().State().cts) << "the far end sees nothing of a looped end";
    const std::vector<BYTE> sent = Pattern(16);
    ASSERT_TRUE(Write(local, sent));
    EXPECT_EQ(ReadQueued(local), sent);
    EXPECT_TRUE(ReadQueued(remote).empty());
    ASSERT_TRUE(Write(remote, sent));
    EXPECT_TRUE(ReadQueued(local).empty()) << "nor the looped end anything of the far end";
    ASSERT_TRUE(EscapeCommFunction(local, CLRRTS));
    EXPECT_FALSE(Local().State().cts);
    EXPECT_TRUE(Local().State().dsr);
    Local().LoopBack(false);
    EXPECT_TRUE(Local().State().cts) << "the far end raises RTS";
}

TEST_F(CableTest, RefusedSettingsFailOnlyThemselves) {
    compat::Refusals refusals;
    refusals.baudRates = {57600};
    refusals.dataBits = {5};
    refusals.parities = {MARKPARITY};
    Local().Refuse(refusals);
    struct {
        DWORD baud;
        BYTE bits, parity;
        bool accepted;
    } rows[] = {{57600, 8, NOPARITY, false}, {115200, 8, NOPARITY, true}, {9600, 5, NOPARITY, false},
                {9600, 6, NOPARITY, true},   {9600, 8, MARKPARITY, false}, {9600, 8, SPACEPARITY, true}};
    for (auto& r : rows) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(SetLine(local, r.baud, r.bits, r.parity, ONESTOPBIT, false), BOOL(r.accepted))
            << r.baud << " " << int(r.bits) << " " << int(r.parity);
        if (!r.accepted) {
            EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
        }
    }
    EXPECT_TRUE(SetLine(remote, 57600, 5, MARKPARITY, ONESTOPBIT, true)) << "the other end refuses nothing";
}

TEST_F(CableTest, CorruptedByteArrivesXored) {
    Local().Corrupt(compat::NthByte{3}, 0x81);
    std::vector<BYTE> sent = Pattern(10);
    ASSERT_TRUE(Write(local, sent));
    std::vector<BYTE> expected = sent;
    expected[3] ^= 0x81;
    EXPECT_EQ(ReadQueued(remote), expected);
    ASSERT_TRUE(Write(local, sent));
    EXPECT_EQ(ReadQueued(remote), sent) << "only the one byte";
}

TEST_F(CableTest, DroppedBytesNeverArrive) {
    ASSERT_TRUE(Write(local, Pattern(5)));  // counting starts when the fault is set
    ASSERT_EQ(ReadQueued(remote).size(), 5u);
    Remote().Drop(compat::NthByte{0}, 1);
    Local().Drop(compat::NthByte{2}, 3);
    const std::vector<BYTE> sent = Pattern(8);
    ASSERT_TRUE(Write(local, sent));
    std::vector<BYTE> expected = {sent[0], sent[1], sent[5], sent[6], sent[7]};
    EXPECT_EQ(ReadQueued(remote), expected);
    EXPECT_EQ(TakeErrors(remote), 0u) << "a lost byte leaves no trace at the receiver";
}

TEST_F(CableTest, InjectedBytesWaitInTheInputQueue) {
    Remote().Inject({0x55, 0xAA});
    EXPECT_EQ(Remote().State().inQueue, (std::vector<BYTE>{0x55, 0xAA}));
    ASSERT_TRUE(Write(local, {0x01}));
    EXPECT_EQ(ReadQueued(remote), (std::vector<BYTE>{0x55, 0xAA, 0x01})) << "stale bytes come first";

    // Injected into a closed port, they are there when it opens.
    ASSERT_TRUE(CloseHandle(remote));
    Remote().Inject({0x7E});
    remote = OpenPort(kRemote);
    ASSERT_NE(remote, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadQueued(remote), (std::vector<BYTE>{0x7E}));
}

TEST_F(CableTest, FullInputQueueOverflows) {
    ASSERT_TRUE(Write(local, Pattern(5000)));
    EXPECT_EQ(Remote().State().inQueue.size(), 4096u);
    EXPECT_EQ(TakeErrors(remote), DWORD{CE_RXOVER});
    std::vector<BYTE> head = Pattern(5000);
    head.resize(4096);
    EXPECT_EQ(ReadQueued(remote), head) << "the bytes that found room";

    ASSERT_TRUE(SetupComm(remote, 8192, 8192));
    EXPECT_EQ(Remote().State().inQueueSize, 8192u);
    ASSERT_TRUE(Write(local, Pattern(5000)));
    EXPECT_EQ(ReadQueued(remote).size(), 5000u);
    EXPECT_EQ(TakeErrors(remote), 0u);
}

TEST_F(CableTest, EventCharacterRaisesRxFlag) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(remote, &dcb));
    dcb.EvtChar = '\n';
    ASSERT_TRUE(SetCommState(remote, &dcb));
    ASSERT_TRUE(SetCommMask(remote, EV_RXFLAG));
    Overlapped w;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(remote, &events, w.get()));
    ASSERT_TRUE(Write(local, {'a', 'b'}));
    EXPECT_FALSE(w.WaitFor(0)) << "EV_RXCHAR is not in the mask";
    ASSERT_TRUE(Write(local, {'\n'}));
    ASSERT_TRUE(w.WaitFor(1000));
    EXPECT_EQ(events, DWORD{EV_RXFLAG});
}

TEST_F(CableTest, WritesEndWithTxEmpty) {
    ASSERT_TRUE(SetCommMask(local, EV_TXEMPTY));
    Overlapped w;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(local, &events, w.get()));
    ASSERT_TRUE(Write(local, Pattern(3)));
    ASSERT_TRUE(w.WaitFor(1000));
    EXPECT_EQ(events, DWORD{EV_TXEMPTY});
}

}  // namespace
