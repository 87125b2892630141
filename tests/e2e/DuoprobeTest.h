// The fixture of the end-to-end scenarios: one Duoprobe.exe per test, started
// after the ports it may use have been drained, found by its dialog, and
// closed (or, if it does not close, terminated) at the end.
//
// Ports of the Wine environment (scripts/wine-env): COM1 <-> COM3 connected,
// COM7 and COM8 each a pty with nothing on its far end, COM2, COM4 and COM9
// without a device (unless Wine gave one of them a serial device of the
// machine: the scenarios that need a missing port check theirs).
#pragma once

#include "Poll.h"
#include "Process.h"
#include "RemoteDialog.h"
#include "Screen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace e2e {

// A run of the baud-rate sweep alone over ptys takes about 4 s.
const DWORD kShortRun = 30000;
const DWORD kFullRun = 120000;

class DuoprobeTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CProcess& Process() { return *m_process; }
    CRemoteDialog& Dialog() { return *m_dialog; }

    // CRemoteDialog::RunToEnd as an assertion.
    testing::AssertionResult RunToEnd(DWORD ms);
    // The log while the dialog lasts: reads it until the process has ended
    // (or ms have passed) and returns the last complete reading.
    std::vector<std::string> LastLog(DWORD ms);
    // Polls the verdict area until it shows the expected verdict or ms have
    // passed; returns what it showed last.
    Verdict WaitForVerdict(Verdict expected, DWORD ms = kReaction);
    // Keeps the dialog (and the window given, such as a message box over it)
    // as screenshots/<name>.png in the build's test folder.
    void Screenshot(const std::string& strName, HWND hAlso = nullptr);

private:
    std::unique_ptr<CProcess> m_process;
    std::unique_ptr<CRemoteDialog> m_dialog;
};

bool Contains(const std::vector<std::string>& lines, const std::string& strLine);

// The 27 lines of a passing baud-rate sweep from the Device port to the
// Connect With port and back.
std::vector<std::string> BaudRateLines(const std::string& strDevice, const std::string& strConnect);
// The 102 lines of a passing size/parity sweep.
std::vector<std::string> SizeParityLines(const std::string& strDevice, const std::string& strConnect);

} // namespace e2e
