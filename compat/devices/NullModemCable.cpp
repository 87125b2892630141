#include "devices/NullModemCable.h"

#include <algorithm>
#include <cmath>

namespace compat::devices {

namespace {

int Index(Line line) { return static_cast<int>(line); }

bool Contains(const std::vector<DWORD>& v, DWORD x) { return std::find(v.begin(), v.end(), x) != v.end(); }
bool Contains(const std::vector<BYTE>& v, BYTE x) { return std::find(v.begin(), v.end(), x) != v.end(); }

// The whole bytes of a write on the line that have left by `at`.
DWORD SentBy(const Request& write, Clock::time_point at) {
    return static_cast<DWORD>(std::clamp<std::int64_t>((at - write.writeStarts) / write.byteTime, 0, write.size));
}

}  // namespace

// Cable

Cable::Cable() : m_clock([this] { Run(); }) {}

Cable::~Cable() { Shut(); }

void Cable::Shut() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_stop) return;
        m_a.UnplugLocked();
        m_b.UnplugLocked();
        UpdateInputs();
        m_stop = true;
        m_tick.notify_one();
    }
    m_clock.join();
}

void Cable::SetWireTime(bool on) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_wireTime = on;
}

// The clock sleeps until the earliest deadline of either end; nothing wakes it
// on an idle line.
void Cable::Run() {
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_stop) {
        std::optional<Clock::time_point> next = m_a.NextDeadline();
        std::optional<Clock::time_point> nextB = m_b.NextDeadline();
        if (!next || (nextB && *nextB < *next)) next = nextB;
        if (next)
            m_tick.wait_until(lock, *next);
        else
            m_tick.wait(lock);
        if (m_stop) break;
        const Clock::time_point now = Clock::now();
        m_a.OnTime(now);
        m_b.OnTime(now);
    }
}

CablePort* Cable::Source(CablePort& end) {
    if (end.m_loop) return &end;
    CablePort& peer = Peer(end);
    return peer.m_loop ? nullptr : &peer;
}

void Cable::UpdateInputs() {
    for (CablePort* end : {&m_a, &m_b}) {
        CablePort* src = Source(*end);
        bool live = src && src->Driving();
        bool cts = live && !src->m_cut[Index(Line::Rts)] && src->m_rtsOut;
        bool dsr = live && !src->m_cut[Index(Line::Dtr)] && src->m_dtrOut;
        DWORD events = (cts != end->m_cts ? EV_CTS : 0) | (dsr != end->m_dsr ? EV_DSR : 0);
        end->m_cts = cts;
        end->m_dsr = dsr;
        if (events && end->Driving()) end->RaiseEvents(events);
    }
}

// CablePort: the device hooks

DWORD CablePort::OnOpen() {
    std::vector<BYTE> stale;
    stale.swap(m_staleAtOpen);
    InjectBytes(stale);
    return 0;
}

void CablePort::OnClose() {
    m_rtsOut = m_dtrOut = m_breakOut = false;
    m_inFlight.clear();
    m_unplugAt.reset();
    m_cable.UpdateInputs();
}

DWORD CablePort::ApplyState(const DCB& next) {
    if (Contains(m_refusals.baudRates, next.BaudRate) || Contains(m_refusals.dataBits, next.ByteSize) ||
        Contains(m_refusals.parities, next.Parity))
        return ERROR_INVALID_PARAMETER;
    return 0;
}

DWORD CablePort::ApplyTimeouts(const COMMTIMEOUTS&) {
    return m_refusals.timeouts ? ERROR_INVALID_PARAMETER : 0;
}

DWORD CablePort::DriveOutputs(bool rts, bool dtr) {
    m_rtsOut = rts;
    m_dtrOut = dtr;
    m_cable.UpdateInputs();
    return 0;
}

DWORD CablePort::DriveBreak(bool on) {
    bool starts = on && !m_breakOut;
    m_breakOut = on;
    CablePort* target = TxTarget();
    if (starts && target && target->Driving()) target->BreakReceived();
    return 0;
}

DWORD CablePort::ReadModemInputs(DWORD* status) {
    *status = (m_cts ? MS_CTS_ON : 0) | (m_dsr ? MS_DSR_ON : 0);
    return 0;
}

void CablePort::Wake() { m_cable.Wake(); }

// CablePort: the data path

CablePort* CablePort::TxTarget() {
    if (m_cut[Index(Line::Tx)]) return nullptr;
    if (m_loop) return this;
    CablePort& peer = m_cable.Peer(*this);
    return peer.m_loop ? nullptr : &peer;
}

std::vector<int> CablePort::Frame(const std::vector<BYTE>& data, std::optional<std::size_t>* unplugAfter) {
    std::vector<int> slots;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::uint64_t n = m_sent++;
        int slot = data[i];
        for (auto& [at, mask] : m_corrupt)
            if (at == n) slot ^= mask;
        for (auto& [first, end] : m_drop)
            if (n >= first && n < end) slot = kIdleSlot;
        slots.push_back(slot);
        if (m_unplugAfterSent && m_sent >= *m_unplugAfterSent) {
            m_unplugAfterSent.reset();
            *unplugAfter = i;
            break;
        }
    }
    return slots;
}

// Characters reaching this end's RX.
void CablePort::Arrive(const std::vector<ReceivedChar>& chars) {
    if (!Driving()) return;  // a closed or unplugged port receives nothing
    std::vector<ReceivedChar> taken = chars;
    bool unplug = false;
    if (m_unplugAfterReceived) {
        std::uint64_t room = *m_unplugAfterReceived - m_received;
        if (taken.size() >= room) {
            taken.resize(room);
            unplug = true;
            m_unplugAfterReceived.reset();
        }
    }
    m_received += taken.size();
    Deliver(taken);
    if (unplug) {
        UnplugLocked();
        m_cable.UpdateInputs();
    }
}

void CablePort::SendNow(Request& write) {
    std::optional<std::size_t> unplugAfter;
    std::vector<int> slots = Frame(write.data, &unplugAfter);
    CablePort* target = TxTarget();
    if (target && target->Driving())
        target->Arrive(Receive(UartFrame::Of(Dcb()), UartFrame::Of(target->Dcb()), slots));
    if (unplugAfter) {
        // The write is still in flight: unplugging ends it with ERROR_OPERATION_ABORTED.
        write.done = static_cast<DWORD>(*unplugAfter + 1);
        UnplugLocked();
        m_cable.UpdateInputs();
        return;
    }
    EndWrite(write, 0, write.size);
}

// Wire time: the write's frames go on the line after what is already queued.
void CablePort::Schedule(Request& write, Clock::time_point now) {
    const UartFrame frame = UartFrame::Of(Dcb());
    const auto byteTime = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(frame.Seconds()));
    write.writeStarts = std::max(now, m_lineFreeAt);
    write.byteTime = byteTime;
    std::optional<std::size_t> unplugAfter;
    std::vector<int> slots = Frame(write.data, &unplugAfter);
    write.writeEnds = write.writeStarts + byteTime * static_cast<long>(write.data.size());
    m_lineFreeAt = *write.writeEnds;
    if (unplugAfter) m_unplugAt = write.writeStarts + byteTime * static_cast<long>(*unplugAfter + 1);
    const COMMTIMEOUTS& t = Timeouts();
    if (t.WriteTotalTimeoutMultiplier || t.WriteTotalTimeoutConstant)
        write.writeDeadline = now + std::chrono::milliseconds(std::uint64_t{t.WriteTotalTimeoutMultiplier} * write.size +
                                                              t.WriteTotalTimeoutConstant);
    // Decoded with the receiver's settings of now; delivered on arrival to
    // whoever the wire reaches then.
    CablePort& peer = m_cable.Peer(*this);
    const UartFrame rx = UartFrame::Of(m_loop ? Dcb() : peer.Dcb());
    for (const ReceivedChar& c : Receive(frame, rx, slots)) {
        // Whole characters land on the byte clock exactly, so that counts of
        // bytes sent and bytes arrived agree at every moment.
        Clock::time_point at = frame == rx ? write.writeStarts + byteTime * static_cast<long>(std::llround(c.at / frame.Seconds()))
                              : write.writeStarts + std::chrono::duration_cast<Clock::duration>(
                                                        std::chrono::duration<double>(c.at));
        m_inFlight.push_back({at, c, write.id});
    }
}

void CablePort::Transmit() {
    if (!m_cable.WireTime()) {
        while (!m_writes.empty() && Plugged()) SendNow(m_writes.front());
        return;
    }
    const Clock::time_point now = Clock::now();
    for (Request& w : m_writes)
        if (!w.writeEnds) Schedule(w, now);
}

void CablePort::AbortWrite(Request& write, Clock::time_point at) {
    if (!write.writeEnds) return;  // not on the line: nothing of it is in flight
    write.done = SentBy(write, at);
    m_inFlight.erase(std::remove_if(m_inFlight.begin(), m_inFlight.end(),
                                    [&](const InFlight& f) { return f.write == write.id && f.at > at; }),
                     m_inFlight.end());
}

std::optional<Clock::time_point> CablePort::DeviceDeadline() const {
    std::optional<Clock::time_point> next;
    auto consider = [&next](const std::optional<Clock::time_point>& t) {
        if (t && (!next || *t < *next)) next = t;
    };
    if (!m_inFlight.empty()) consider(m_inFlight.front().at);
    consider(m_unplugAt);
    for (const Request& w : m_writes) {
        consider(w.writeEnds);
        consider(w.writeDeadline);
    }
    return next;
}

void CablePort::OnDeviceTime(Clock::time_point now) {
    const Clock::time_point until = m_unplugAt ? std::min(now, *m_unplugAt) : now;
    std::vector<ReceivedChar> arrived;
    while (!m_inFlight.empty() && m_inFlight.front().at <= until) {
        arrived.push_back(m_inFlight.front().c);
        m_inFlight.pop_front();
    }
    if (CablePort* target = TxTarget(); target && !arrived.empty()) target->Arrive(arrived);
    if (m_unplugAt && *m_unplugAt <= now) {
        m_unplugAt.reset();
        // The writes end where the line was cut, not when this tick came.
        while (!m_writes.empty()) {
            Request& w = m_writes.front();
            AbortWrite(w, until);
            EndWrite(w, ERROR_OPERATION_ABORTED, w.done, false);
        }
        UnplugLocked();
        m_cable.UpdateInputs();
        return;
    }
    while (!m_writes.empty()) {
        Request& w = m_writes.front();
        if (w.writeEnds && *w.writeEnds <= now) {
            EndWrite(w, 0, w.size);
        } else if (w.writeDeadline && *w.writeDeadline <= now) {
            // A write time-out ends the write with what has left; the rest is
            // never sent. Ended at this tick, as the bytes up to it have arrived.
            AbortWrite(w, now);
            EndWrite(w, 0, w.done, true);
        } else {
            break;
        }
    }
}

// CablePort: the test API

void CablePort::Cut(Line line, bool cut) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_cut[Index(line)] = cut;
    m_cable.UpdateInputs();
}

void CablePort::LoopBack(bool on) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_loop = on;
    m_cable.UpdateInputs();
}

void CablePort::Refuse(Refusals settings) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_refusals = std::move(settings);
}

void CablePort::Corrupt(std::uint64_t nth, BYTE mask) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_corrupt.emplace_back(m_sent + nth, mask);
}

void CablePort::Drop(std::uint64_t first, std::uint64_t count) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_drop.emplace_back(m_sent + first, m_sent + first + count);
}

void CablePort::Inject(const std::vector<BYTE>& bytes) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (Driving())
        InjectBytes(bytes);
    else
        m_staleAtOpen.insert(m_staleAtOpen.end(), bytes.begin(), bytes.end());
}

void CablePort::Unplug() {
    std::lock_guard<std::mutex> guard(m_lock);
    UnplugLocked();
    m_inFlight.clear();
    m_cable.UpdateInputs();
}

void CablePort::Plug() {
    std::lock_guard<std::mutex> guard(m_lock);
    PlugLocked();
    m_cable.UpdateInputs();
}

void CablePort::UnplugAfterSent(std::uint64_t count) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_unplugAfterSent = m_sent + count;
}

void CablePort::UnplugAfterReceived(std::uint64_t count) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_unplugAfterReceived = m_received + count;
}

PortState CablePort::State() const {
    std::lock_guard<std::mutex> guard(m_lock);
    PortState s;
    FillState(&s);
    s.breakOn = m_breakOut;
    s.cts = m_cts;
    s.dsr = m_dsr;
    return s;
}

}  // namespace compat::devices
