#include "devices/PosixTty.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "devices/Uart.h"

namespace compat::devices {

namespace {

bool ToSpeed(DWORD baud, speed_t* speed) {
    static const std::pair<DWORD, speed_t> table[] = {
        {110, B110},     {300, B300},     {600, B600},       {1200, B1200},     {2400, B2400},
        {4800, B4800},   {9600, B9600},   {19200, B19200},   {38400, B38400},   {57600, B57600},
        {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (auto& [rate, s] : table)
        if (rate == baud) {
            *speed = s;
            return true;
        }
    return false;
}

// TIOCMIWAIT cannot be interrupted by closing the fd; a signal without
// SA_RESTART ends it with EINTR so that the watch thread can stop.
int InterruptSignal() {
    static const int sig = [] {
        int s = SIGRTMIN + 4;
        struct sigaction sa {};
        sa.sa_handler = [](int) {};
        sigemptyset(&sa.sa_mask);
        sigaction(s, &sa, nullptr);
        return s;
    }();
    return sig;
}

}  // namespace

TtyPort::~TtyPort() {
    std::unique_ptr<Line> line;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_line) {
            m_line->stop = true;
            line = std::move(m_line);
        }
    }
    if (line) Join(*line);
    for (auto& l : m_closing) Join(*l);
}

DWORD TtyPort::OnOpen() {
    int fd = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    auto line = std::make_unique<Line>();
    line->fd = fd;
    line->wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    int bits = 0;
    m_hasModemLines = ioctl(fd, TIOCMGET, &bits) == 0;
    line->modemBits = static_cast<unsigned>(bits);
    m_line = std::move(line);
    if (DWORD error = ApplyState(Dcb())) {
        ::close(m_line->wake);
        ::close(m_line->fd);
        m_line.reset();
        return error;
    }
    tcflush(fd, TCIOFLUSH);
    Line* l = m_line.get();
    l->driver = std::thread([this, l] { Drive(l); });
    if (m_hasModemLines) l->modemWatch = std::thread([this, l] { WatchModem(l); });
    return 0;
}

void TtyPort::OnClose() {
    if (!m_line) return;
    m_line->stop = true;
    std::uint64_t one = 1;
    (void)!::write(m_line->wake, &one, sizeof one);
    m_closing.push_back(std::move(m_line));
}

void TtyPort::Closed() {
    std::vector<std::unique_ptr<Line>> closing;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        closing.swap(m_closing);
    }
    for (auto& line : closing) Join(*line);
}

void TtyPort::Join(Line& line) {
    std::uint64_t one = 1;
    (void)!::write(line.wake, &one, sizeof one);
    if (line.driver.joinable()) line.driver.join();
    if (line.modemWatch.joinable()) {
        // Repeat the signal until the thread has seen it: it may arrive just
        // before the thread enters TIOCMIWAIT.
        while (!__atomic_load_n(&line.modemWatchEnded, __ATOMIC_ACQUIRE)) {
            pthread_kill(line.modemWatch.native_handle(), InterruptSignal());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        line.modemWatch.join();
    }
    ::close(line.wake);
    ::close(line.fd);
}

DWORD TtyPort::ApplyState(const DCB& dcb) {
    termios tio{};
    speed_t speed;
    if (!m_line || tcgetattr(m_line->fd, &tio) != 0) return ERROR_NOT_SUPPORTED;
    if (!ToSpeed(dcb.BaudRate, &speed)) return ERROR_INVALID_PARAMETER;
    cfmakeraw(&tio);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= sizes[dcb.ByteSize - 5];
    switch (dcb.Parity) {
    case ODDPARITY: tio.c_cflag |= PARENB | PARODD; break;
    case EVENPARITY: tio.c_cflag |= PARENB; break;
    case MARKPARITY: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case SPACEPARITY: tio.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (dcb.fParity) tio.c_iflag |= INPCK;
    // termios has no 1.5 stop bits; CSTOPB gives them with 5 data bits.
    if (dcb.StopBits != ONESTOPBIT) tio.c_cflag |= CSTOPB;
    if (dcb.fOutxCtsFlow) tio.c_cflag |= CRTSCTS;
    if (dcb.fOutX) tio.c_iflag |= IXON;
    if (dcb.fInX) tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return tcsetattr(m_line->fd, TCSANOW, &tio) == 0 ? 0 : ERROR_INVALID_PARAMETER;
}

DWORD TtyPort::DriveOutputs(bool rts, bool dtr) {
    if (!m_line || !m_hasModemLines) return ERROR_NOT_SUPPORTED;
    int set = (rts ? TIOCM_RTS : 0) | (dtr ? TIOCM_DTR : 0);
    int clear = (rts ? 0 : TIOCM_RTS) | (dtr ? 0 : TIOCM_DTR);
    if ((set && ioctl(m_line->fd, TIOCMBIS, &set) != 0) || (clear && ioctl(m_line->fd, TIOCMBIC, &clear) != 0))
        return ERROR_NOT_SUPPORTED;
    return 0;
}

DWORD TtyPort::DriveBreak(bool on) {
    if (!m_line) return ERROR_NOT_SUPPORTED;
    return ioctl(m_line->fd, on ? TIOCSBRK : TIOCCBRK) == 0 ? 0 : ERROR_NOT_SUPPORTED;
}

DWORD TtyPort::ReadModemInputs(DWORD* status) {
    int bits = 0;
    if (!m_line || ioctl(m_line->fd, TIOCMGET, &bits) != 0) return ERROR_NOT_SUPPORTED;
    *status = ((bits & TIOCM_CTS) ? MS_CTS_ON : 0) | ((bits & TIOCM_DSR) ? MS_DSR_ON : 0) |
              ((bits & TIOCM_RI) ? MS_RING_ON : 0) | ((bits & TIOCM_CD) ? MS_RLSD_ON : 0);
    return 0;
}

void TtyPort::Wake() {
    if (!m_line) return;
    std::uint64_t one = 1;
    (void)!::write(m_line->wake, &one, sizeof one);
}

void TtyPort::Transmit() {
    if (m_line) WriteQueued(*m_line);
}

void TtyPort::WriteQueued(Line& line) {
    while (!m_writes.empty()) {
        Request& w = m_writes.front();
        ssize_t n = ::write(line.fd, w.data.data() + w.done, w.size - w.done);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) return;  // the driver thread waits for POLLOUT
            EndWrite(w, ERROR_GEN_FAILURE, w.done);
            continue;
        }
        w.done += static_cast<DWORD>(n);
        if (w.done == w.size) EndWrite(w, 0, w.size);
    }
}

void TtyPort::ReadAvailable(Line& line) {
    BYTE buffer[1024];
    std::size_t room = std::min(sizeof buffer, QueueRoom());
    if (room == 0) return;
    ssize_t n = ::read(line.fd, buffer, room);
    if (n > 0) {
        std::vector<ReceivedChar> chars;
        for (ssize_t i = 0; i < n; ++i) chars.push_back({buffer[i], 0, 0});
        Deliver(chars);
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        // The far side of a pty has gone: stop watching the fd, or poll would
        // report the hang-up for ever.
        line.hungUp = true;
    }
}

void TtyPort::Drive(Line* line) {
    std::unique_lock<std::mutex> lock(m_lock);
    while (!line->stop) {
        pollfd fds[2] = {{line->wake, POLLIN, 0}, {line->fd, 0, 0}};
        if (!line->hungUp) fds[1].events = static_cast<short>((QueueRoom() ? POLLIN : 0) | (m_writes.empty() ? 0 : POLLOUT));
        int timeout = -1;
        if (auto next = NextDeadline()) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now()).count();
            timeout = static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
        }
        lock.unlock();
        int ready = ::poll(fds, line->hungUp ? 1 : 2, timeout);
        lock.lock();
        if (line->stop) break;
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            std::uint64_t count;
            (void)!::read(line->wake, &count, sizeof count);
        }
        if (ready > 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) ReadAvailable(*line);
        if (ready > 0 && (fds[1].revents & POLLOUT)) WriteQueued(*line);
        OnTime(Clock::now());
    }
}

void TtyPort::WatchModem(Line* line) {
    InterruptSignal();
    for (;;) {
        int rc = ioctl(line->fd, TIOCMIWAIT, TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RI);
        std::lock_guard<std::mutex> guard(m_lock);
        if (line->stop || (rc != 0 && errno != EINTR)) break;
        int bits = 0;
        if (ioctl(line->fd, TIOCMGET, &bits) != 0) break;
        unsigned changed = line->modemBits ^ static_cast<unsigned>(bits);
        line->modemBits = static_cast<unsigned>(bits);
        RaiseEvents(((changed & TIOCM_CTS) ? EV_CTS : 0) | ((changed & TIOCM_DSR) ? EV_DSR : 0) |
                    ((changed & TIOCM_CD) ? EV_RLSD : 0) | ((changed & TIOCM_RI) && !(bits & TIOCM_RI) ? EV_RING : 0));
    }
    __atomic_store_n(&line->modemWatchEnded, true, __ATOMIC_RELEASE);
}

}  // namespace compat::devices
