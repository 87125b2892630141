// What a receiving UART makes of characters framed by a sender: intact when
// both agree on the frame, otherwise what sampling the sender's waveform at
// the receiver's rate yields, with framing, parity and break conditions.
// Pure functions; the null-modem cable uses them for every transfer.
#pragma once

#include <winbase.h>

#include <vector>

namespace compat::devices {

struct UartFrame {
    DWORD baud = 9600;
    BYTE dataBits = 8;
    BYTE parity = NOPARITY;
    BYTE stopBits = ONESTOPBIT;

    static UartFrame Of(const DCB& dcb) { return {dcb.BaudRate, dcb.ByteSize, dcb.Parity, dcb.StopBits}; }
    bool operator==(const UartFrame& o) const {
        return baud == o.baud && dataBits == o.dataBits && parity == o.parity && stopBits == o.stopBits;
    }
    // Start bit + data + parity + stop bits, in seconds.
    double Seconds() const;
};

struct ReceivedChar {
    BYTE value = 0;
    DWORD errors = 0;   // CE_FRAME, CE_RXPARITY (parity mismatch, whether checked or not), CE_BREAK
    double at = 0;      // seconds after the first start bit when the character is complete
};

// A slot of the sent stream: a character, or a frame's worth of idle line (a
// byte lost on the way).
constexpr int kIdleSlot = -1;

std::vector<ReceivedChar> Receive(const UartFrame& sender, const UartFrame& receiver,
                                  const std::vector<int>& slots);

}  // namespace compat::devices
