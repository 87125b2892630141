// Test API of compat's COM ports: virtual null-modem cables with injectable
// faults, readers of a port's state, recording of the Win32 calls made on a
// port, and mapping of COM names to POSIX ttys. Native build only.
//
//   compat::NullModemCable cable("COM3", "COM1");   // CreateFileA("COM3") now opens one end
//   cable.End("COM3").Cut(compat::Line::Rts);       // COM1 no longer sees COM3's RTS
//   cable.End("COM1").Corrupt(compat::NthByte{10}, 0x01);
//
// Wiring by default: each end's TX to the other's RX, RTS to the other's CTS,
// DTR to the other's DSR. A port that is not open drives RTS and DTR low and
// receives nothing: bytes sent to it are lost.
#pragma once

#include <winbase.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace compat {

namespace devices {
class Cable;
class CablePort;
}  // namespace devices

// An output of a cable end and the wire that carries it to the far end:
// Tx to the far RX, Rts to the far CTS, Dtr to the far DSR.
enum class Line { Tx, Rts, Dtr };

// Counts bytes from the moment a fault is set: NthByte{0} is the next byte.
struct NthByte {
    std::uint64_t n;
};

// Settings an end refuses in SetCommState (ERROR_INVALID_PARAMETER), as a
// device that cannot do them would. Empty lists refuse nothing.
struct Refusals {
    std::vector<DWORD> baudRates;
    std::vector<BYTE> dataBits;
    std::vector<BYTE> parities;
    bool timeouts = false;  // SetCommTimeouts refused as well
};

// One Win32 call made on a port: its arguments by their Win32 parameter
// names (struct arguments by their field names), in call order.
struct Call {
    std::string function;
    std::string text;  // the name argument of CreateFileA / GetDefaultCommConfigA
    std::vector<std::pair<std::string, std::uint64_t>> args;
    BOOL result = FALSE;
    DWORD error = 0;   // GetLastError after a failed call, else 0

    bool Has(const std::string& name) const;
    // The argument's value; a missing name fails the calling test's expectation
    // through the value ~0.
    std::uint64_t Arg(const std::string& name) const;
};

// What an end holds right now.
struct PortState {
    bool open = false;
    bool plugged = true;
    DCB dcb{};
    COMMTIMEOUTS timeouts{};
    DWORD eventMask = 0;
    DWORD errors = 0;          // CE_* flags not yet cleared by ClearCommError
    bool rts = false, dtr = false, breakOn = false;   // outputs
    bool cts = false, dsr = false;                    // inputs, as wired
    std::vector<BYTE> inQueue;                        // received, not yet read
    DWORD inQueueSize = 0;                            // capacity (SetupComm grows it)
};

// One end of a cable: faults, state and recorded calls. Obtained from the
// cable, valid while the cable lives.
class CableEnd {
public:
    // Wires from this end's outputs; cutting Tx loses what this end sends.
    void Cut(Line line);
    void Mend(Line line);
    // A loopback plug instead of the cable: this end's TX, RTS and DTR feed its
    // own RX, CTS and DSR; the far end sees nothing of it and it nothing of the far end.
    void LoopBack(bool on);

    void Refuse(Refusals settings);
    // The n-th byte this end sends arrives XORed with mask.
    void Corrupt(NthByte byte, BYTE xorMask);
    // `count` bytes this end sends, starting with the n-th, are lost on the line.
    void Drop(NthByte first, std::uint64_t count = 1);
    // Bytes that sit in this end's input queue as if received earlier (stale data).
    void Inject(const std::vector<BYTE>& bytes);

    // Pulls the device out: pending requests end with ERROR_OPERATION_ABORTED,
    // every later call on its handle fails with ERROR_BAD_COMMAND, and
    // CreateFileA of the name fails with ERROR_FILE_NOT_FOUND until Plug.
    void Unplug();
    void Plug();
    // Unplugs this end right after it has sent (or received) `count` more bytes.
    void UnplugAfterSent(std::uint64_t count);
    void UnplugAfterReceived(std::uint64_t count);

    PortState State() const;

    // Recording of the Win32 calls made on this end (off until started).
    void StartRecording();
    std::vector<Call> Calls() const;
    // The recorded calls of one function, in order.
    std::vector<Call> Calls(const std::string& function) const;
    void ClearCalls();

private:
    friend class NullModemCable;
    explicit CableEnd(std::shared_ptr<devices::CablePort> port) : m_port(std::move(port)) {}
    std::shared_ptr<devices::CablePort> m_port;
};

// A cable between two COM names, registered for as long as the object lives.
// Destroying it with ports still open unplugs them first.
class NullModemCable {
public:
    NullModemCable(const std::string& nameA, const std::string& nameB);
    ~NullModemCable();
    NullModemCable(const NullModemCable&) = delete;
    NullModemCable& operator=(const NullModemCable&) = delete;

    CableEnd& End(const std::string& name);
    CableEnd& A() { return m_a; }
    CableEnd& B() { return m_b; }

    // Wire time: a character takes (start + data + parity + stop bits) / baud
    // seconds on the line; a write ends when its last byte has left and the
    // reader sees bytes as they arrive. Off by default: bytes arrive at once.
    void SetWireTime(bool on);

private:
    std::shared_ptr<devices::Cable> m_cable;
    CableEnd m_a, m_b;
    std::string m_nameA, m_nameB;
};

// A COM name that no cable holds opens this tty (termios settings, TIOCM*
// modem lines). The environment variable DUOPROBE_COMPAT_PORTS, read when a
// name is first resolved, maps names too: "COM5=/dev/pts/3;COM6=/dev/pts/4".
void MapPort(const std::string& comName, const std::string& ttyPath);
void UnmapPort(const std::string& comName);

}  // namespace compat
