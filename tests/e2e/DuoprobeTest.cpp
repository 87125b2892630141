#include "DuoprobeTest.h"

#include "Png.h"
#include "Poll.h"
#include "Ports.h"

#include <algorithm>
#include <stdexcept>

namespace e2e {

namespace {

// Every pty of the environment: an earlier scenario may have left bytes in
// any of them.
const char* const kPtys[] = {"COM1", "COM3", "COM7", "COM8"};
const DWORD kFindDialog = 20000;
const DWORD kExitWait = 10000;

std::vector<std::string> Transfers(const std::string& strFrom, const std::string& strTo)
{
    return {"Write 512 bytes from " + strFrom + " to " + strTo + "... [512/512] \tOK!", "Compare data...\tOK!"};
}

void AddStep(std::vector<std::string>& lines, const std::string& strStep, const std::string& strDevice,
             const std::string& strConnect)
{
    lines.push_back(strStep + "\tOK!");
    for (const auto& line : Transfers(strDevice, strConnect))
        lines.push_back(line);
    for (const auto& line : Transfers(strConnect, strDevice))
        lines.push_back(line);
}

} // namespace

void DuoprobeTest::SetUp()
{
    for (const char* pszPort : kPtys) {
        ASSERT_NO_THROW(Drain(pszPort)) << pszPort
                                        << " is not there: start the Wine environment first, "
                                           "eval \"$(scripts/wine-env start)\"";
    }
    m_process = std::make_unique<CProcess>(WinePath(DUOPROBE_EXE));
    m_dialog = std::make_unique<CRemoteDialog>(CRemoteDialog::Find(*m_process, kFindDialog));
}

void DuoprobeTest::TearDown()
{
    if (m_process && !m_process->HasExited() && m_dialog) {
        m_dialog->Close();
        EXPECT_TRUE(m_process->WaitForExit(kExitWait)) << "Duoprobe did not close; terminating it";
    }
    m_dialog.reset();
    m_process.reset(); // terminates a process that is still there
}

testing::AssertionResult DuoprobeTest::RunToEnd(DWORD ms)
{
    const std::string strProblem = m_dialog->RunToEnd(ms);
    if (!strProblem.empty())
        return testing::AssertionFailure() << strProblem;
    return testing::AssertionSuccess();
}

std::vector<std::string> DuoprobeTest::LastLog(DWORD ms)
{
    std::vector<std::string> lines;
    PollUntil(ms, [&] {
        try {
            lines = m_dialog->Log();
        } catch (const std::runtime_error&) {
            // The window went while it was being read: keep the reading before.
        }
        return m_process->HasExited();
    });
    return lines;
}

Verdict DuoprobeTest::WaitForVerdict(Verdict expected, DWORD ms)
{
    Verdict seen = Verdict::Unpainted;
    // The program's drawing reaches the screen a moment after it drew.
    PollUntil(ms, [&] { return (seen = ReadVerdict(m_dialog->Item(IDC_RESULT_TEXT))) == expected; });
    return seen;
}

void DuoprobeTest::Screenshot(const std::string& strName, HWND hAlso)
{
    RECT rect = WindowRect(m_dialog->Handle());
    if (hAlso != nullptr)
        rect = Union(rect, WindowRect(hAlso));
    const std::string strDir = SCREENSHOT_DIR;
    ::CreateDirectoryA(WinePath(strDir).c_str(), nullptr);
    SavePng(CaptureScreen(rect), WinePath(strDir + "/" + strName + ".png"));
}

bool Contains(const std::vector<std::string>& lines, const std::string& strLine)
{
    return std::find(lines.begin(), lines.end(), strLine) != lines.end();
}

std::vector<std::string> BaudRateLines(const std::string& strDevice, const std::string& strConnect)
{
    std::vector<std::string> lines = {"=== Begin Baudrate Test ==="};
    for (int baud : {9600, 19200, 38400, 57600, 115200})
        AddStep(lines, "Set baud rate to " + std::to_string(baud) + " bps...", strDevice, strConnect);
    lines.push_back("=== End Baudrate Test ===");
    return lines;
}

std::vector<std::string> SizeParityLines(const std::string& strDevice, const std::string& strConnect)
{
    std::vector<std::string> lines = {"=== Begin Size, Parity, Stop bits Test ==="};
    for (int bits : {5, 6, 7, 8}) {
        for (const char* pszParity : {"NO", "ODD", "EVEN", "MARK", "SPACE"}) {
            AddStep(lines,
                    "Set byte size to " + std::to_string(bits) + ", parity to " + pszParity + " Parity...",
                    strDevice, strConnect);
        }
    }
    lines.push_back("=== End Size, Parity, Stop bits Test ===");
    return lines;
}

} // namespace e2e
