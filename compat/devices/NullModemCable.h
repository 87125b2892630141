// The virtual null-modem cable: two CablePorts under one lock, the wires
// between them, and a clock thread for time-outs and wire time. Tests make
// cables through compat::NullModemCable (<compat/Cable.h>); CreateFileA finds
// the ends by name through Ports.h.
#pragma once

#include <condition_variable>
#include <deque>
#include <string>
#include <thread>

#include "devices/CommPort.h"
#include "devices/Uart.h"

namespace compat::devices {

class Cable;

class CablePort : public CommPort {
public:
    CablePort(Cable& cable, std::mutex& lock) : CommPort(lock), m_cable(cable) {}

    // The test API's faults and readers; each takes the cable's lock.
    void Cut(Line line, bool cut);
    void LoopBack(bool on);
    void Refuse(Refusals settings);
    void Corrupt(std::uint64_t nth, BYTE mask);
    void Drop(std::uint64_t first, std::uint64_t count);
    void Inject(const std::vector<BYTE>& bytes);
    void Unplug();
    void Plug();
    void UnplugAfterSent(std::uint64_t count);
    void UnplugAfterReceived(std::uint64_t count);
    PortState State() const;

private:
    friend class Cable;
    struct InFlight {
        Clock::time_point at;
        ReceivedChar c;
        std::uint64_t write;
    };

    DWORD OnOpen() override;
    void OnClose() override;
    DWORD ApplyState(const DCB& next) override;
    DWORD ApplyTimeouts(const COMMTIMEOUTS&) override;
    DWORD DriveOutputs(bool rts, bool dtr) override;
    DWORD DriveBreak(bool on) override;
    DWORD ReadModemInputs(DWORD* status) override;
    bool HasModemLines() const override { return true; }
    void Transmit() override;
    void AbortWrite(Request& write, Clock::time_point at) override;
    void Wake() override;
    std::optional<Clock::time_point> DeviceDeadline() const override;
    void OnDeviceTime(Clock::time_point now) override;

    bool Driving() const { return IsOpen() && Plugged(); }
    // Whose RX this end's TX reaches, or none.
    CablePort* TxTarget();
    // The slots this end puts on the line for `data`, faults applied; stops
    // early when an unplug is due after a byte (*unplugAfter = its index).
    std::vector<int> Frame(const std::vector<BYTE>& data, std::optional<std::size_t>* unplugAfter);
    void Arrive(const std::vector<ReceivedChar>& chars);
    void SendNow(Request& write);
    void Schedule(Request& write, Clock::time_point now);

    Cable& m_cable;
    bool m_cut[3] = {false, false, false};
    bool m_loop = false;
    bool m_rtsOut = false, m_dtrOut = false, m_breakOut = false;
    bool m_cts = false, m_dsr = false;  // inputs as last propagated
    Refusals m_refusals;
    std::uint64_t m_sent = 0, m_received = 0;
    std::vector<std::pair<std::uint64_t, BYTE>> m_corrupt;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_drop;  // [first, end)
    std::optional<std::uint64_t> m_unplugAfterSent, m_unplugAfterReceived;
    std::optional<Clock::time_point> m_unplugAt;
    std::vector<BYTE> m_staleAtOpen;
    std::deque<InFlight> m_inFlight;
    Clock::time_point m_lineFreeAt{};
};

class Cable {
public:
    Cable();
    ~Cable();
    // Unplugs both ends and stops the clock; the ports live on, dead, for as
    // long as handles refer to them.
    void Shut();
    void SetWireTime(bool on);

    CablePort& Peer(const CablePort& end) { return &end == &m_a ? m_b : m_a; }
    bool WireTime() const { return m_wireTime; }
    // Whose outputs reach this end's inputs: the far end, itself when looped,
    // nobody when the far end is looped.
    CablePort* Source(CablePort& end);
    // Recomputes every end's CTS and DSR and reports the changes (EV_CTS, EV_DSR).
    void UpdateInputs();
    void Wake() { m_tick.notify_one(); }

    CablePort& A() { return m_a; }
    CablePort& B() { return m_b; }

private:
    void Run();

    std::mutex m_lock;
    std::condition_variable m_tick;
    bool m_stop = false;
    bool m_wireTime = false;
    CablePort m_a{*this, m_lock};
    CablePort m_b{*this, m_lock};
    std::thread m_clock;
};

}  // namespace compat::devices
