#include "Process.h"

#include <stdexcept>
#include <vector>

namespace e2e {

namespace {

// How long a terminated process may take to go.
const DWORD kTerminateWait = 5000;

} // namespace

std::string WinePath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string result = "Z:" + path;
    for (char& c : result) {
        if (c == '/')
            c = '\\';
    }
    return result;
}

CProcess::CProcess(const std::string& strExe) : m_info()
{
    // CreateProcessA may write into the command line.
    std::string commandLine = "\"" + strExe + "\"";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!::CreateProcessA(strExe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &m_info))
        throw std::runtime_error("cannot start " + strExe + ": error " + std::to_string(::GetLastError()));
}

CProcess::~CProcess()
{
    if (!HasExited()) {
        ::TerminateProcess(m_info.hProcess, 1);
        ::WaitForSingleObject(m_info.hProcess, kTerminateWait);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
}

bool CProcess::WaitForExit(DWORD ms) const
{
    return ::WaitForSingleObject(m_info.hProcess, ms) == WAIT_OBJECT_0;
}

} // namespace e2e
