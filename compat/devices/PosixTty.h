// A COM name mapped to a POSIX tty: termios carries the line settings,
// TIOCMGET/TIOCMBIS/TIOCMBIC the modem lines and TIOCMIWAIT their changes.
// While open, a driver thread moves bytes between the tty and the port's
// queues and runs the read time-outs; a pty has no modem lines, so
// EscapeCommFunction on RTS/DTR fails and a wait on modem events fails at once.
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "devices/CommPort.h"

namespace compat::devices {

class TtyPort : public CommPort {
public:
    explicit TtyPort(std::string path) : CommPort(m_ownLock), m_path(std::move(path)) {}
    ~TtyPort() override;

private:
    // What one open holds; handed to Closed() for joining outside the lock.
    struct Line {
        int fd = -1;
        int wake = -1;  // eventfd that interrupts the driver thread's poll
        bool stop = false;
        bool hungUp = false;
        bool modemWatchEnded = false;
        unsigned modemBits = 0;
        std::thread driver;
        std::thread modemWatch;
    };

    DWORD OnOpen() override;
    void OnClose() override;
    void Closed() override;
    DWORD ApplyState(const DCB& next) override;
    DWORD DriveOutputs(bool rts, bool dtr) override;
    DWORD DriveBreak(bool on) override;
    DWORD ReadModemInputs(DWORD* status) override;
    bool HasModemLines() const override { return m_hasModemLines; }
    void Transmit() override;
    void Wake() override;

    void Drive(Line* line);
    void WatchModem(Line* line);
    void ReadAvailable(Line& line);
    void WriteQueued(Line& line);
    static void Join(Line& line);

    std::mutex m_ownLock;
    const std::string m_path;
    std::unique_ptr<Line> m_line;
    std::vector<std::unique_ptr<Line>> m_closing;
    bool m_hasModemLines = false;
};

}  // namespace compat::devices
