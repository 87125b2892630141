// Duoprobe.exe started by the driver. CProcess owns the process and its main
// thread handle; a process still running when its owner goes is terminated,
// with a bound on the wait for its end.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The Windows form of a Unix path: Wine shows the Unix root as drive Z:.
// Other paths are returned unchanged.
std::string WinePath(const std::string& path);

class CProcess {
public:
    // Starts the program; throws std::runtime_error when it cannot.
    explicit CProcess(const std::string& strExe);
    ~CProcess();
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    DWORD Id() const { return m_info.dwProcessId; }
    bool HasExited() const { return WaitForExit(0); }
    // True when the process has ended within ms milliseconds.
    bool WaitForExit(DWORD ms) const;

private:
    PROCESS_INFORMATION m_info;
};

} // namespace e2e
