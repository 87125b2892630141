// What the receiving end makes of characters when the two ends' line
// settings agree and when they do not.
#include "CableFixture.h"

namespace {

struct LineSetting {
    DWORD baud;
    BYTE bits, parity, stop;
};

struct FramingCase {
    const char* name;
    LineSetting sender, receiver;
    bool receiverChecksParity;
    std::vector<BYTE> sent;
    std::vector<BYTE> received;
    DWORD errors;        // CE_* flags ClearCommError reports, exactly
    bool exact = true;   // false: `received` is only known not to be what was sent
};

void PrintTo(const FramingCase& c, std::ostream* os) { *os << c.name; }

class Framing : public CableTest, public ::testing::WithParamInterface<FramingCase> {};

TEST_P(Framing, ReceiverGetsWhatItsUartDecodes) {
    const FramingCase& c = GetParam();
    const LineSetting& s = c.sender;
    const LineSetting& r = c.receiver;
    ASSERT_TRUE(SetLine(local, s.baud, s.bits, s.parity, s.stop, s.parity != NOPARITY));
    ASSERT_TRUE(SetLine(remote, r.baud, r.bits, r.parity, r.stop, c.receiverChecksParity));
    ASSERT_TRUE(Write(local, c.sent));
    const std::vector<BYTE> got = ReadQueued(remote);
    if (c.exact)
        EXPECT_EQ(got, c.received);
    else
        EXPECT_NE(got, c.sent);
    EXPECT_EQ(TakeErrors(remote), c.errors);
}

const std::vector<BYTE> kText = {'D', 'u', 'o', 0x00, 0xFF, 0x80, 0x7F};

const FramingCase kFramingCases[] = {
    {"same_115200_8N1", {115200, 8, NOPARITY, ONESTOPBIT}, {115200, 8, NOPARITY, ONESTOPBIT}, false, kText, kText, 0},
    {"bits5_mark", {115200, 5, MARKPARITY, ONESTOPBIT}, {115200, 5, MARKPARITY, ONESTOPBIT}, true,
     {0x21, 0xFF, 0x1F}, {0x01, 0x1F, 0x1F}, 0},
    {"bits7_even_two_stop", {9600, 7, EVENPARITY, TWOSTOPBITS}, {9600, 7, EVENPARITY, TWOSTOPBITS}, true,
     {0x41, 0xC1}, {0x41, 0x41}, 0},
    // Seven data bits read the sender's eighth where the stop bit should be.
    {"rx7_of_8_high_bit", {9600, 8, NOPARITY, ONESTOPBIT}, {9600, 7, NOPARITY, ONESTOPBIT}, false,
     {0x85, 0xC1}, {0x05, 0x41}, 0},
    {"rx7_of_8_low_bit", {9600, 8, NOPARITY, ONESTOPBIT}, {9600, 7, NOPARITY, ONESTOPBIT}, false,
     {0x41}, {0x41}, CE_FRAME},
    {"even_read_as_odd", {19200, 8, EVENPARITY, ONESTOPBIT}, {19200, 8, ODDPARITY, ONESTOPBIT}, true,
     {0x12, 0x34}, {0x12, 0x34}, CE_RXPARITY},
    {"even_read_as_odd_unchecked", {19200, 8, EVENPARITY, ONESTOPBIT}, {19200, 8, ODDPARITY, ONESTOPBIT}, false,
     {0x12, 0x34}, {0x12, 0x34}, 0},
    {"mark_read_as_space", {38400, 8, MARKPARITY, ONESTOPBIT}, {38400, 8, SPACEPARITY, ONESTOPBIT}, true,
     {0x5A}, {0x5A}, CE_RXPARITY},
    // Without parity the receiver takes the parity bit for the stop bit.
    {"parity_bit_as_stop", {57600, 8, EVENPARITY, ONESTOPBIT}, {57600, 8, NOPARITY, ONESTOPBIT}, false,
     {0x01, 0x03}, {0x01, 0x03}, CE_FRAME},
    {"two_stop_read_as_one", {115200, 8, NOPARITY, TWOSTOPBITS}, {115200, 8, NOPARITY, ONESTOPBIT}, false,
     kText, kText, 0},
    // One bit of 57600 lasts two of 115200: 0x0F reads as two characters.
    {"baud_57600_read_at_115200", {57600, 8, NOPARITY, ONESTOPBIT}, {115200, 8, NOPARITY, ONESTOPBIT}, false,
     {0x0F}, {0xFE, 0x80}, 0},
    // Each low bit of 9600 outlasts a whole frame of 115200: breaks.
    {"baud_9600_read_at_115200", {9600, 8, NOPARITY, ONESTOPBIT}, {115200, 8, NOPARITY, ONESTOPBIT}, false,
     {0x55, 0x0F}, {}, CE_BREAK, false},
    {"slow_zero_is_break", {9600, 8, NOPARITY, ONESTOPBIT}, {115200, 8, NOPARITY, ONESTOPBIT}, false,
     {0x00}, {0x00}, CE_BREAK},
    // A slow receiver takes the short start bits of 0xFF for glitches.
    {"fast_ff_unseen_at_9600", {115200, 8, NOPARITY, ONESTOPBIT}, {9600, 8, NOPARITY, ONESTOPBIT}, false,
     {0xFF, 0xFF, 0xFF, 0xFF}, {}, 0},
};

INSTANTIATE_TEST_SUITE_P(Cable, Framing, ::testing::ValuesIn(kFramingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CableTest, LineErrorsRaiseEvErr) {
    ASSERT_TRUE(SetLine(local, 19200, 8, EVENPARITY, ONESTOPBIT, true));
    ASSERT_TRUE(SetLine(remote, 19200, 8, ODDPARITY, ONESTOPBIT, true));
    ASSERT_TRUE(SetCommMask(remote, EV_RXCHAR | EV_ERR));
    Overlapped w;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(remote, &events, w.get()));
    ASSERT_TRUE(Write(local, {0x12}));
    ASSERT_TRUE(w.WaitFor(1000));
    EXPECT_EQ(events, DWORD{EV_RXCHAR | EV_ERR});
}

}  // namespace
