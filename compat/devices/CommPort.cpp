#include "devices/CommPort.h"

#include <algorithm>

#include "devices/Status.h"
#include "devices/Uart.h"
#include "kernel32/Objects.h"

namespace compat::devices {

namespace {

constexpr DWORD kModemEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;
constexpr DWORD kLineErrors = CE_FRAME | CE_OVERRUN | CE_RXPARITY;

void StoreStatus(OVERLAPPED* ov, DWORD status) {
    // GetOverlappedResult on another thread reads Internal without the lock.
    __atomic_store_n(&ov->Internal, static_cast<ULONG_PTR>(status), __ATOMIC_RELEASE);
}

}  // namespace

DCB CommPort::DefaultDcb() {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = CBR_9600;
    dcb.fBinary = 1;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return dcb;
}

COMMCONFIG CommPort::DefaultConfig() {
    COMMCONFIG cc{};
    cc.dwSize = sizeof(COMMCONFIG);
    cc.wVersion = 1;
    cc.dcb = DefaultDcb();
    cc.dwProviderSubType = PST_RS232;
    return cc;
}

// Requests and calls on a handle whose device has been pulled out fail as a
// surprise-removed USB serial driver fails them: STATUS_INVALID_DEVICE_STATE,
// which Win32 reports as ERROR_BAD_COMMAND.
DWORD CommPort::Check(std::uint64_t session) const {
    return (m_open && session == m_session && !m_unplugged) ? 0 : ERROR_BAD_COMMAND;
}

void CommPort::ResetForOpen() {
    m_dcb = DefaultDcb();
    m_timeouts = COMMTIMEOUTS{};
    m_mask = m_history = m_errors = 0;
    m_queue.clear();
    m_queueSize = kDefaultQueueSize;
}

DWORD CommPort::Open(std::uint64_t* session) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_unplugged) return ERROR_FILE_NOT_FOUND;
    // A COM port is exclusive whatever the share mode.
    if (m_open) return ERROR_ACCESS_DENIED;
    ResetForOpen();
    if (DWORD error = OnOpen()) return error;
    m_open = true;
    *session = ++m_session;
    ApplyControlLines();
    return 0;
}

void CommPort::Close(std::uint64_t session) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (Check(session) != 0) return;
        // Closing the handle cancels what is still pending on it, as the
        // cleanup of a file object does.
        EndAll(ERROR_OPERATION_ABORTED, session, std::nullopt);
        m_open = false;
        m_rts = m_dtr = false;
        OnClose();
    }
    Closed();
}

DWORD CommPort::SetupComm(std::uint64_t session, DWORD inQueue, DWORD) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    // serial.sys only ever grows its input buffer.
    m_queueSize = std::max<std::size_t>(m_queueSize, inQueue);
    return 0;
}

DWORD CommPort::GetState(std::uint64_t session, DCB* dcb) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    *dcb = m_dcb;
    dcb->DCBlength = sizeof(DCB);
    return 0;
}

DWORD CommPort::SetState(std::uint64_t session, const DCB& dcb) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    // The checks of serial.sys: 5 to 8 data bits, known parity and stop bits,
    // 1.5 stop bits only with 5 data bits and 2 only with more, a baud rate,
    // distinct XON and XOFF characters when XON/XOFF is in use.
    bool valid = dcb.BaudRate != 0 && dcb.ByteSize >= 5 && dcb.ByteSize <= 8 && dcb.Parity <= SPACEPARITY &&
                 dcb.StopBits <= TWOSTOPBITS && !(dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) &&
                 !(dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5) &&
                 !((dcb.fOutX || dcb.fInX) && dcb.XonChar == dcb.XoffChar);
    if (!valid) return ERROR_INVALID_PARAMETER;
    if (DWORD error = ApplyState(dcb)) return error;
    m_dcb = dcb;
    ApplyControlLines();
    return 0;
}

// fDtrControl and fRtsControl drive the lines: DISABLE lowers, ENABLE raises;
// HANDSHAKE raises too, since the input queue has room; TOGGLE leaves RTS low
// between writes.
void CommPort::ApplyControlLines() {
    bool rts = m_dcb.fRtsControl == RTS_CONTROL_ENABLE || m_dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
    bool dtr = m_dcb.fDtrControl != DTR_CONTROL_DISABLE;
    if (DriveOutputs(rts, dtr) == 0) {
        m_rts = rts;
        m_dtr = dtr;
    }
}

DWORD CommPort::GetTimeouts(std::uint64_t session, COMMTIMEOUTS* timeouts) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    *timeouts = m_timeouts;
    return 0;
}

DWORD CommPort::SetTimeouts(std::uint64_t session, const COMMTIMEOUTS& timeouts) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    if (DWORD error = ApplyTimeouts(timeouts)) return error;
    m_timeouts = timeouts;
    return 0;
}

DWORD CommPort::SetMask(std::uint64_t session, DWORD mask) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    // SetCommMask ends a pending WaitCommEvent with an events word of 0, and
    // the events remembered under the old mask are forgotten.
    if (m_wait) {
        *m_wait->events = 0;
        Request wait = std::move(*m_wait);
        m_wait.reset();
        Finish(wait, 0, 0, false);
    }
    m_mask = mask;
    m_history = 0;
    return 0;
}

DWORD CommPort::GetMask(std::uint64_t session, DWORD* mask) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    *mask = m_mask;
    return 0;
}

DWORD CommPort::OutQueueBytes() const {
    DWORD bytes = 0;
    for (const Request& w : m_writes) bytes += w.size - w.done;
    return bytes;
}

DWORD CommPort::ClearError(std::uint64_t session, DWORD* errors, COMSTAT* stat) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    if (errors) *errors = m_errors;
    m_errors = 0;
    if (stat) {
        *stat = COMSTAT{};
        stat->cbInQue = static_cast<DWORD>(m_queue.size());
        stat->cbOutQue = OutQueueBytes();
    }
    return 0;
}

DWORD CommPort::Escape(std::uint64_t session, DWORD function) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    bool rts = m_rts, dtr = m_dtr;
    switch (function) {
    case SETRTS:
    case CLRRTS:
        // The driver owns RTS under handshake or toggle control.
        if (m_dcb.fRtsControl == RTS_CONTROL_HANDSHAKE || m_dcb.fRtsControl == RTS_CONTROL_TOGGLE)
            return ERROR_INVALID_PARAMETER;
        rts = function == SETRTS;
        break;
    case SETDTR:
    case CLRDTR:
        if (m_dcb.fDtrControl == DTR_CONTROL_HANDSHAKE) return ERROR_INVALID_PARAMETER;
        dtr = function == SETDTR;
        break;
    case SETBREAK:
    case CLRBREAK:
        return DriveBreak(function == SETBREAK);
    case SETXOFF:
    case SETXON:
    case RESETDEV:
        return 0;
    default:
        return ERROR_INVALID_PARAMETER;
    }
    if (DWORD error = DriveOutputs(rts, dtr)) return error;
    m_rts = rts;
    m_dtr = dtr;
    return 0;
}

DWORD CommPort::ModemStatus(std::uint64_t session, DWORD* status) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    return ReadModemInputs(status);
}

DWORD CommPort::Purge(std::uint64_t session, DWORD flags) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    if (flags & ~DWORD{PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR})
        return ERROR_INVALID_PARAMETER;
    if (flags & PURGE_TXABORT) {
        while (!m_writes.empty()) {
            Request w = std::move(m_writes.front());
            m_writes.pop_front();
            AbortWrite(w, Clock::now());
            Finish(w, ERROR_OPERATION_ABORTED, w.done, false);
        }
    }
    if (flags & PURGE_RXABORT) {
        while (!m_reads.empty()) {
            Request r = std::move(m_reads.front());
            m_reads.pop_front();
            Finish(r, ERROR_OPERATION_ABORTED, r.done, false);
        }
    }
    // The output buffer is the pending writes themselves: PURGE_TXCLEAR has
    // nothing more to clear.
    if (flags & PURGE_RXCLEAR) m_queue.clear();
    Wake();
    return 0;
}

Issued CommPort::Issue(Request& r) {
    r.id = m_nextRequest++;
    m_issuing = r.id;
    m_issuedOutcome.reset();
    return Issued{true, 0, 0};
}

Issued CommPort::Read(Request r) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(r.session)) return {false, error, 0};
    Issued pending = Issue(r);
    r.kind = Request::Kind::Read;
    m_reads.push_back(std::move(r));
    if (m_reads.size() == 1) {
        auto now = Clock::now();
        StartRead(m_reads.front(), now);
        ServeReads(now);
    }
    Wake();
    return m_issuedOutcome.value_or(pending);
}

// COMMTIMEOUTS, taken when a read becomes the current one:
//  - MAXDWORD, 0, 0: return at once with what has been received;
//  - MAXDWORD, MAXDWORD, 0 < c < MAXDWORD: return at once with what is there,
//    else with the first bytes to arrive, else time out after c ms;
//  - otherwise a total time-out of multiplier * size + constant ms (none when
//    both are 0) and, once a byte has come, an interval time-out between bytes.
void CommPort::StartRead(Request& r, Clock::time_point now) {
    const COMMTIMEOUTS& t = m_timeouts;
    r.started = true;
    r.lastByte = now;
    auto ms = [](std::uint64_t v) { return std::chrono::milliseconds(v); };
    if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0) {
        r.totalDeadline = now;
        return;
    }
    if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD &&
        t.ReadTotalTimeoutConstant != 0 && t.ReadTotalTimeoutConstant != MAXDWORD) {
        r.returnOnFirstBytes = true;
        r.totalDeadline = now + ms(t.ReadTotalTimeoutConstant);
        return;
    }
    if (t.ReadTotalTimeoutMultiplier != 0 || t.ReadTotalTimeoutConstant != 0)
        r.totalDeadline = now + ms(std::uint64_t{t.ReadTotalTimeoutMultiplier} * r.size + t.ReadTotalTimeoutConstant);
    if (t.ReadIntervalTimeout != 0 && t.ReadIntervalTimeout != MAXDWORD) r.interval = ms(t.ReadIntervalTimeout);
}

// Moves queued bytes into the current reads, ending those that are satisfied.
void CommPort::ServeReads(Clock::time_point now) {
    while (!m_reads.empty()) {
        Request& r = m_reads.front();
        if (!r.started) StartRead(r, now);
        DWORD take = std::min<DWORD>(r.size - r.done, static_cast<DWORD>(m_queue.size()));
        if (take > 0) {
            std::copy_n(m_queue.begin(), take, r.buffer + r.done);
            m_queue.erase(m_queue.begin(), m_queue.begin() + take);
            r.done += take;
            r.lastByte = now;
        }
        bool complete = r.done == r.size || (r.returnOnFirstBytes && r.done > 0);
        bool expired = r.totalDeadline && *r.totalDeadline <= now;
        bool quiet = r.interval && r.done > 0 && r.lastByte + *r.interval <= now;
        if (!complete && !expired && !quiet) return;
        Request ended = std::move(r);
        m_reads.pop_front();
        Finish(ended, 0, ended.done, !complete);
    }
}

Issued CommPort::Write(Request r) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(r.session)) return {false, error, 0};
    Issued pending = Issue(r);
    r.kind = Request::Kind::Write;
    if (r.size == 0) {
        Finish(r, 0, 0, false);
        return *m_issuedOutcome;
    }
    m_writes.push_back(std::move(r));
    Transmit();
    Wake();
    return m_issuedOutcome.value_or(pending);
}

void CommPort::EndWrite(Request& write, DWORD error, DWORD count, bool timedOut) {
    const std::uint64_t id = write.id;
    Request ended = std::move(write);
    m_writes.erase(std::remove_if(m_writes.begin(), m_writes.end(), [id](const Request& w) { return w.id == id; }),
                   m_writes.end());
    Finish(ended, error, count, timedOut);
    if (error == 0 && m_writes.empty()) RaiseEvents(EV_TXEMPTY);
}

Issued CommPort::WaitEvent(Request r) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(r.session)) return {false, error, 0};
    // One WaitCommEvent at a time: a second fails at once.
    if (m_wait) return {false, ERROR_INVALID_PARAMETER, 0};
    // A device without modem lines (a pty) cannot watch them.
    if ((m_mask & kModemEvents) && !HasModemLines()) return {false, ERROR_NOT_SUPPORTED, 0};
    Issued pending = Issue(r);
    r.kind = Request::Kind::Wait;
    if (DWORD seen = m_history & m_mask) {
        m_history = 0;
        *r.events = seen;
        Finish(r, 0, 0, false);
        return *m_issuedOutcome;
    }
    m_wait = std::move(r);
    return pending;
}

DWORD CommPort::Cancel(std::uint64_t session, DWORD thread) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (DWORD error = Check(session)) return error;
    EndAll(ERROR_OPERATION_ABORTED, session, thread);
    Wake();
    return 0;
}

// Ends the pending requests of a session (of one thread, if given).
void CommPort::EndAll(DWORD error, std::uint64_t session, std::optional<DWORD> thread) {
    auto ours = [&](const Request& r) { return r.session == session && (!thread || r.thread == *thread); };
    if (m_wait && ours(*m_wait)) {
        Request wait = std::move(*m_wait);
        m_wait.reset();
        Finish(wait, error, 0, false);
    }
    for (auto* list : {&m_reads, &m_writes}) {
        std::deque<Request> kept;
        while (!list->empty()) {
            Request r = std::move(list->front());
            list->pop_front();
            if (!ours(r)) {
                kept.push_back(std::move(r));
                continue;
            }
            if (r.kind == Request::Kind::Write) AbortWrite(r, Clock::now());
            Finish(r, error, r.done, false);
        }
        *list = std::move(kept);
    }
    ServeReads(Clock::now());
}

void CommPort::Finish(Request& r, DWORD error, DWORD count, bool timedOut) {
    OVERLAPPED* ov = r.ov;
    ov->InternalHigh = count;
    StoreStatus(ov, error ? ToStatus(error) : timedOut ? STATUS_TIMEOUT : kStatusSuccess);
    if (r.id == m_issuing) m_issuedOutcome = Issued{false, error, count};
    std::lock_guard<std::mutex> guard(kernel::SignalLock());
    if (r.event) r.event->Set();
    if (r.fileEvent) r.fileEvent->Set();
}

void CommPort::Deliver(const std::vector<ReceivedChar>& chars) {
    if (chars.empty()) return;
    DWORD events = 0;
    const std::size_t nearlyFull = m_queueSize * 8 / 10;
    for (const ReceivedChar& c : chars) {
        DWORD errors = c.errors;
        // Parity is reported only when the DCB asks for checking.
        if (!m_dcb.fParity) errors &= ~DWORD{CE_RXPARITY};
        m_errors |= errors;
        if (errors & kLineErrors) events |= EV_ERR;
        if (errors & CE_BREAK) events |= EV_BREAK;
        BYTE value = c.value;
        if ((errors & CE_RXPARITY) && m_dcb.fErrorChar) value = static_cast<BYTE>(m_dcb.ErrorChar);
        if (m_dcb.fNull && value == 0) continue;
        if (m_queue.size() >= m_queueSize) {
            m_errors |= CE_RXOVER;
            continue;
        }
        bool wasBelow = m_queue.size() < nearlyFull;
        m_queue.push_back(value);
        events |= EV_RXCHAR;
        if (value == static_cast<BYTE>(m_dcb.EvtChar)) events |= EV_RXFLAG;
        if (wasBelow && m_queue.size() >= nearlyFull) events |= EV_RX80FULL;
    }
    RaiseEvents(events);
    ServeReads(Clock::now());
    Wake();
}

void CommPort::InjectBytes(const std::vector<BYTE>& bytes) {
    std::vector<ReceivedChar> chars;
    for (BYTE b : bytes) chars.push_back({b, 0, 0});
    Deliver(chars);
}

void CommPort::BreakReceived() {
    m_errors |= CE_BREAK;
    RaiseEvents(EV_BREAK);
}

void CommPort::RaiseEvents(DWORD events) {
    events &= m_mask;
    if (!events) return;
    if (m_wait) {
        *m_wait->events = events;
        Request wait = std::move(*m_wait);
        m_wait.reset();
        Finish(wait, 0, 0, false);
        return;
    }
    // Remembered until the next WaitCommEvent, which then ends at once.
    m_history |= events;
}

std::optional<Clock::time_point> CommPort::NextDeadline() const {
    std::optional<Clock::time_point> next = DeviceDeadline();
    auto consider = [&next](Clock::time_point t) {
        if (!next || t < *next) next = t;
    };
    if (!m_reads.empty() && m_reads.front().started) {
        const Request& r = m_reads.front();
        if (r.totalDeadline) consider(*r.totalDeadline);
        if (r.interval && r.done > 0) consider(r.lastByte + *r.interval);
    }
    return next;
}

void CommPort::OnTime(Clock::time_point now) {
    OnDeviceTime(now);
    ServeReads(now);
}

void CommPort::UnplugLocked() {
    if (m_unplugged) return;
    m_unplugged = true;
    if (m_open) EndAll(ERROR_OPERATION_ABORTED, m_session, std::nullopt);
    m_rts = m_dtr = false;
    Wake();
}

// The device comes back as a new one: handles opened before stay dead.
void CommPort::PlugLocked() {
    if (!m_unplugged) return;
    m_unplugged = false;
    if (m_open) {
        m_open = false;
        OnClose();
    }
}

void CommPort::FillState(PortState* s) const {
    s->open = m_open && !m_unplugged;
    s->plugged = !m_unplugged;
    s->dcb = m_dcb;
    s->timeouts = m_timeouts;
    s->eventMask = m_mask;
    s->errors = m_errors;
    s->rts = m_rts;
    s->dtr = m_dtr;
    s->inQueue.assign(m_queue.begin(), m_queue.end());
    s->inQueueSize = static_cast<DWORD>(m_queueSize);
}

void CommPort::Record(Call call) {
    std::lock_guard<std::mutex> guard(m_callsLock);
    if (m_recording) m_calls.push_back(std::move(call));
}

void CommPort::StartRecording() {
    std::lock_guard<std::mutex> guard(m_callsLock);
    m_recording = true;
}

std::vector<Call> CommPort::Calls() const {
    std::lock_guard<std::mutex> guard(m_callsLock);
    return m_calls;
}

void CommPort::ClearCalls() {
    std::lock_guard<std::mutex> guard(m_callsLock);
    m_calls.clear();
}

}  // namespace compat::devices
