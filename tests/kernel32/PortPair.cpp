#include "PortPair.h"

#ifndef _WIN32
#include <compat/Cable.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>
#endif

std::string BackendName(Backend b) {
    switch (b) {
    case Backend::Cable: return "cable";
    case Backend::Pty: return "pty";
    default: return "wine";
    }
}

#ifdef _WIN32

struct PortPair::Native {};

PortPair::PortPair(Backend backend) : m_backend(backend) {}
PortPair::~PortPair() = default;

#else

// Two ptys whose masters a thread joins, as socat joins its pair.
class PtyBridge {
public:
    PtyBridge() {
        for (End& e : m_ends) {
            char name[128];
            if (openpty(&e.master, &e.slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
            e.path = name;
            termios tio{};
            tcgetattr(e.slave, &tio);
            cfmakeraw(&tio);
            tcsetattr(e.slave, TCSANOW, &tio);
            fcntl(e.master, F_SETFL, O_NONBLOCK);
        }
        if (pipe(m_stop) != 0) throw std::runtime_error("pipe");
        m_thread = std::thread([this] { Run(); });
    }
    ~PtyBridge() {
        (void)!write(m_stop[1], "x", 1);
        m_thread.join();
        for (End& e : m_ends) {
            close(e.master);
            close(e.slave);
        }
        close(m_stop[0]);
        close(m_stop[1]);
    }
    std::string Path(int i) const { return m_ends[i].path; }

private:
    struct End {
        int master = -1, slave = -1;
        std::string path;
    };
    void Run() {
        for (;;) {
            pollfd fds[3] = {{m_stop[0], POLLIN, 0}, {m_ends[0].master, POLLIN, 0}, {m_ends[1].master, POLLIN, 0}};
            if (poll(fds, 3, -1) < 0) continue;
            if (fds[0].revents) return;
            for (int i = 0; i < 2; ++i) {
                if (!(fds[1 + i].revents & POLLIN)) continue;
                char buf[4096];
                ssize_t n = read(m_ends[i].master, buf, sizeof buf);
                for (ssize_t off = 0; n > 0 && off < n;) {
                    ssize_t w = write(m_ends[1 - i].master, buf + off, n - off);
                    if (w > 0) off += w;
                    else poll(nullptr, 0, 1);  // the far master is full: let its reader drain it
                }
            }
        }
    }
    End m_ends[2];
    int m_stop[2] = {-1, -1};
    std::thread m_thread;
};

struct PortPair::Native {
    std::unique_ptr<compat::NullModemCable> cable;
    std::unique_ptr<PtyBridge> ptys;
};

PortPair::PortPair(Backend backend) : m_backend(backend), m_native(std::make_unique<Native>()) {
    if (backend == Backend::Cable) {
        m_native->cable = std::make_unique<compat::NullModemCable>(kA, kB);
    } else {
        m_native->ptys = std::make_unique<PtyBridge>();
        compat::MapPort(kA, m_native->ptys->Path(0));
        compat::MapPort(kB, m_native->ptys->Path(1));
    }
}

PortPair::~PortPair() {
    if (m_native->ptys) {
        compat::UnmapPort(kA);
        compat::UnmapPort(kB);
    }
}

#endif

HANDLE OpenPort(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

bool SetLine(HANDLE h, DWORD baud, BYTE bits, BYTE parity, BYTE stop) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) return false;
    dcb.BaudRate = baud;
    dcb.ByteSize = bits;
    dcb.Parity = parity;
    dcb.StopBits = stop;
    dcb.fParity = parity != NOPARITY;
    return SetCommState(h, &dcb) != FALSE;
}

bool SetReadTimeouts(HANDLE h, DWORD interval, DWORD multiplier, DWORD constant) {
    COMMTIMEOUTS t{interval, multiplier, constant, 0, 0};
    return SetCommTimeouts(h, &t) != FALSE;
}

DWORD WriteAll(HANDLE h, const void* data, DWORD size) {
    Overlapped o;
    DWORD written = 0;
    if (WriteFile(h, data, size, &written, o.get())) return written;
    if (GetLastError() != ERROR_IO_PENDING) return 0;
    if (!o.WaitFor(5000)) {
        CancelIo(h);
        GetOverlappedResult(h, o.get(), &written, TRUE);
        return 0;
    }
    GetOverlappedResult(h, o.get(), &written, FALSE);
    return written;
}

DWORD WaitForInQueue(HANDLE h, DWORD bytes, DWORD ms, DWORD* errors) {
    const DWORD start = GetTickCount();
    COMSTAT stat{};
    for (;;) {
        DWORD cleared = 0;
        ClearCommError(h, &cleared, &stat);
        if (errors) *errors |= cleared;
        if (stat.cbInQue >= bytes || GetTickCount() - start >= ms) return stat.cbInQue;
        Sleep(5);
    }
}
