// A COM port as its driver keeps it: line settings, time-outs, event mask and
// history, input queue, error flags, and the overlapped requests in flight.
// The request rules of Win32 live here once; CablePort and TtyPort add what
// lies behind the UART. kernel32's file and comm calls reach a port through
// this class; every public member takes the port's lock.
#pragma once

#include <winbase.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <compat/Cable.h>

namespace compat::kernel {
class Event;
}

namespace compat::devices {

using Clock = std::chrono::steady_clock;

struct ReceivedChar;

// One overlapped request: what the caller gave and how far it has come.
struct Request {
    enum class Kind { Read, Write, Wait };
    Kind kind = Kind::Read;
    std::uint64_t id = 0;
    std::uint64_t session = 0;
    DWORD thread = 0;
    OVERLAPPED* ov = nullptr;
    std::shared_ptr<kernel::Event> event;      // the record's hEvent, if any
    std::shared_ptr<kernel::Event> fileEvent;  // the handle's own, for records without one

    BYTE* buffer = nullptr;      // read: the caller's buffer
    std::vector<BYTE> data;      // write: the bytes to send
    DWORD size = 0;
    DWORD done = 0;
    DWORD* events = nullptr;     // wait: the caller's events word

    // Read time-outs, set when the read becomes the current one.
    std::optional<Clock::time_point> totalDeadline;
    std::optional<Clock::duration> interval;
    Clock::time_point lastByte;
    bool returnOnFirstBytes = false;
    bool started = false;

    // Wire time: when the write's first byte starts, how long each byte takes,
    // when the last has left, and the write time-out.
    Clock::time_point writeStarts;
    Clock::duration byteTime{};
    std::optional<Clock::time_point> writeEnds;
    std::optional<Clock::time_point> writeDeadline;
};

// How issuing a request went: ended at once (error 0 = success, count bytes),
// failed at once (error), or pending.
struct Issued {
    bool pending = false;
    DWORD error = 0;
    DWORD count = 0;
};

class CommPort {
public:
    explicit CommPort(std::mutex& lock) : m_lock(lock) {}
    virtual ~CommPort() = default;
    CommPort(const CommPort&) = delete;
    CommPort& operator=(const CommPort&) = delete;

    // Each returns 0 or the Win32 error code of the call.
    DWORD Open(std::uint64_t* session);
    void Close(std::uint64_t session);
    DWORD SetupComm(std::uint64_t session, DWORD inQueue, DWORD outQueue);
    DWORD GetState(std::uint64_t session, DCB* dcb);
    DWORD SetState(std::uint64_t session, const DCB& dcb);
    DWORD GetTimeouts(std::uint64_t session, COMMTIMEOUTS* timeouts);
    DWORD SetTimeouts(std::uint64_t session, const COMMTIMEOUTS& timeouts);
    DWORD SetMask(std::uint64_t session, DWORD mask);
    DWORD GetMask(std::uint64_t session, DWORD* mask);
    DWORD ClearError(std::uint64_t session, DWORD* errors, COMSTAT* stat);
    DWORD Escape(std::uint64_t session, DWORD function);
    DWORD ModemStatus(std::uint64_t session, DWORD* status);
    DWORD Purge(std::uint64_t session, DWORD flags);
    Issued Read(Request request);
    Issued Write(Request request);
    Issued WaitEvent(Request request);
    // Ends the requests of `thread` on this session with ERROR_OPERATION_ABORTED.
    DWORD Cancel(std::uint64_t session, DWORD thread);

    // What a fresh open starts from, and what GetDefaultCommConfigA reports.
    static DCB DefaultDcb();
    static COMMCONFIG DefaultConfig();

    // For the device's own thread, with the port's lock held: the earliest
    // moment at which OnTime must run (read time-outs, device deadlines).
    std::optional<Clock::time_point> NextDeadline() const;
    void OnTime(Clock::time_point now);

    void Record(Call call);
    void StartRecording();
    std::vector<Call> Calls() const;
    void ClearCalls();

protected:
    // The hooks below run with the port's lock held.
    virtual DWORD OnOpen() { return 0; }
    virtual void OnClose() {}
    // After Close has let go of the lock: for joining the device's threads.
    virtual void Closed() {}
    // Device-specific acceptance of new settings (refusals, what termios can do).
    virtual DWORD ApplyState(const DCB& next) = 0;
    // Device-specific acceptance of new time-outs.
    virtual DWORD ApplyTimeouts(const COMMTIMEOUTS&) { return 0; }
    // Drives the modem outputs; false when the device has none.
    virtual DWORD DriveOutputs(bool rts, bool dtr) = 0;
    virtual DWORD DriveBreak(bool on) = 0;
    virtual DWORD ReadModemInputs(DWORD* status) = 0;
    virtual bool HasModemLines() const = 0;
    // The writes in m_writes are to be sent: the device ends them (EndWrite)
    // when their last byte has left, at once or later.
    virtual void Transmit() = 0;
    // A pending write ends early (cancel, purge, time-out) at `at`: count what
    // was sent by then in `done` and forget the rest, so that the count and
    // what arrives agree.
    virtual void AbortWrite(Request&, Clock::time_point /*at*/) {}
    virtual DWORD OutQueueBytes() const;
    // Deadlines changed: the device's thread should look again.
    virtual void Wake() {}

    // For the devices, lock held.
    bool IsOpen() const { return m_open; }
    bool Plugged() const { return !m_unplugged; }
    const DCB& Dcb() const { return m_dcb; }
    void Deliver(const std::vector<ReceivedChar>& chars);
    void RaiseEvents(DWORD events);
    void EndWrite(Request& write, DWORD error, DWORD count, bool timedOut = false);
    virtual std::optional<Clock::time_point> DeviceDeadline() const { return std::nullopt; }
    virtual void OnDeviceTime(Clock::time_point) {}
    void BreakReceived();
    const COMMTIMEOUTS& Timeouts() const { return m_timeouts; }
    void UnplugLocked();
    void PlugLocked();
    std::size_t QueueRoom() const { return m_queueSize - m_queue.size(); }
    std::vector<BYTE> QueuedBytes() const { return {m_queue.begin(), m_queue.end()}; }
    void InjectBytes(const std::vector<BYTE>& bytes);
    void FillState(PortState* state) const;

    std::mutex& m_lock;
    std::deque<Request> m_writes;

private:
    DWORD Check(std::uint64_t session) const;
    void ResetForOpen();
    void ApplyControlLines();
    void Finish(Request& r, DWORD error, DWORD count, bool timedOut);
    void StartRead(Request& r, Clock::time_point now);
    void ServeReads(Clock::time_point now);
    void EndAll(DWORD error, std::uint64_t session, std::optional<DWORD> thread);
    Issued Issue(Request& r);

    bool m_open = false;
    bool m_unplugged = false;
    std::uint64_t m_session = 0;
    std::uint64_t m_nextRequest = 1;
    DCB m_dcb = DefaultDcb();
    COMMTIMEOUTS m_timeouts{};
    DWORD m_mask = 0;
    DWORD m_history = 0;
    DWORD m_errors = 0;
    bool m_rts = false, m_dtr = false;
    std::deque<BYTE> m_queue;
    std::size_t m_queueSize = kDefaultQueueSize;
    std::deque<Request> m_reads;
    std::optional<Request> m_wait;
    // The request being issued, and how it ended if it ended during the call.
    std::uint64_t m_issuing = 0;
    std::optional<Issued> m_issuedOutcome;

    mutable std::mutex m_callsLock;
    bool m_recording = false;
    std::vector<Call> m_calls;

    static constexpr std::size_t kDefaultQueueSize = 4096;
};

}  // namespace compat::devices
