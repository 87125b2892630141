#include "devices/Uart.h"

#include <cmath>

namespace compat::devices {

namespace {

bool ParityBit(BYTE parity, unsigned value, BYTE dataBits) {
    unsigned ones = 0;
    for (BYTE i = 0; i < dataBits; ++i) ones += (value >> i) & 1;
    switch (parity) {
    case ODDPARITY: return (ones % 2) == 0;
    case EVENPARITY: return (ones % 2) == 1;
    case MARKPARITY: return true;
    default: return false;  // SPACEPARITY
    }
}

// Stop bits counted in half bits, so that 1.5 stop bits fit.
unsigned StopHalves(BYTE stopBits) { return stopBits == ONE5STOPBITS ? 3 : stopBits == TWOSTOPBITS ? 4 : 2; }

// The sender's line level in half-bit cells: true is mark (idle, 1).
std::vector<bool> Waveform(const UartFrame& f, const std::vector<int>& slots) {
    std::vector<bool> cells;
    auto bit = [&cells](bool level) { cells.insert(cells.end(), 2, level); };
    for (int slot : slots) {
        unsigned cellsPerFrame = 2 * (1 + f.dataBits + (f.parity != NOPARITY)) + StopHalves(f.stopBits);
        if (slot == kIdleSlot) {
            cells.insert(cells.end(), cellsPerFrame, true);
            continue;
        }
        unsigned value = static_cast<unsigned>(slot) & ((1u << f.dataBits) - 1);
        bit(false);
        for (BYTE i = 0; i < f.dataBits; ++i) bit((value >> i) & 1);
        if (f.parity != NOPARITY) bit(ParityBit(f.parity, value, f.dataBits));
        cells.insert(cells.end(), StopHalves(f.stopBits), true);
    }
    return cells;
}

}  // namespace

double UartFrame::Seconds() const {
    return (1 + dataBits + (parity != NOPARITY) + StopHalves(stopBits) / 2.0) / baud;
}

std::vector<ReceivedChar> Receive(const UartFrame& sender, const UartFrame& receiver,
                                  const std::vector<int>& slots) {
    std::vector<ReceivedChar> out;
    if (sender == receiver) {
        // The common case, exact and cheap: every character arrives whole.
        const double frame = sender.Seconds();
        for (std::size_t i = 0; i < slots.size(); ++i) {
            if (slots[i] == kIdleSlot) continue;
            BYTE value = static_cast<BYTE>(slots[i] & ((1u << sender.dataBits) - 1));
            out.push_back({value, 0, frame * static_cast<double>(i + 1)});
        }
        return out;
    }

    const std::vector<bool> cells = Waveform(sender, slots);
    const double cell = 0.5 / sender.baud;
    const double rxBit = 1.0 / receiver.baud;
    auto level = [&](double t) {
        auto i = static_cast<std::size_t>(std::floor(t / cell));
        return i >= cells.size() || cells[i];
    };
    // A falling edge at or after cell `from`: a low cell after a high one
    // (the line before the first cell is idle, high).
    auto nextStart = [&](std::size_t from) -> std::size_t {
        for (std::size_t i = from; i < cells.size(); ++i)
            if (!cells[i] && (i == 0 || cells[i - 1])) return i;
        return cells.size();
    };

    const unsigned frameBits = 1 + receiver.dataBits + (receiver.parity != NOPARITY) + 1;
    std::size_t search = 0;
    for (;;) {
        std::size_t edge = nextStart(search);
        if (edge >= cells.size()) break;
        const double t0 = edge * cell;
        if (level(t0 + rxBit / 2)) {  // a glitch, not a start bit
            search = edge + 1;
            continue;
        }
        ReceivedChar c;
        unsigned value = 0;
        bool allLow = true;
        for (BYTE i = 0; i < receiver.dataBits; ++i) {
            bool b = level(t0 + rxBit * (i + 1.5));
            value |= static_cast<unsigned>(b) << i;
            allLow = allLow && !b;
        }
        unsigned next = 1 + receiver.dataBits;
        if (receiver.parity != NOPARITY) {
            bool p = level(t0 + rxBit * (next + 0.5));
            allLow = allLow && !p;
            if (p != ParityBit(receiver.parity, value, receiver.dataBits)) c.errors |= CE_RXPARITY;
            ++next;
        }
        const double stopAt = t0 + rxBit * (next + 0.5);
        bool stop = level(stopAt);
        if (!stop) c.errors |= (allLow && value == 0) ? CE_BREAK : CE_FRAME;
        if (c.errors & CE_BREAK) c.errors &= ~CE_RXPARITY;
        c.value = static_cast<BYTE>(value);
        c.at = t0 + rxBit * frameBits;
        out.push_back(c);
        search = static_cast<std::size_t>(std::floor(stopAt / cell)) + 1;
    }
    return out;
}

}  // namespace compat::devices
