// Runs over the environment's ptys, from Start to the verdict.
#include "DuoprobeTest.h"
#include "Poll.h"

#include <algorithm>

namespace e2e {
namespace {

using Runs = DuoprobeTest;

TEST_F(Runs, BaudRatesPassOverConnectedPair)
{
    Dialog().Choose("COM3", "COM1", true, false, false);
    ASSERT_TRUE(RunToEnd(kShortRun));
    EXPECT_EQ(Dialog().Log(), BaudRateLines("COM3", "COM1"));
    EXPECT_EQ(Dialog().Progress(), (ProgressState{5, 0, 5}));
    EXPECT_EQ(WaitForVerdict(Verdict::Ok), Verdict::Ok);
    Screenshot("baud_rates_ok");
}

TEST_F(Runs, UnconnectedPtysFailTheFirstReadAfterItsTimeOut)
{
    // COM7 and COM8 are ptys whose far ends swallow what is written: the
    // write passes, the read gets nothing.
    Dialog().Choose("COM7", "COM8", true, false, false);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(RunToEnd(kShortRun));
    const std::vector<std::string> expected = {
        "=== Begin Baudrate Test ===",
        "Set baud rate to 9600 bps...\tOK!",
        "Write 512 bytes from COM7 to COM8... [512/512] \tOK!",
        "Connect port read [0/512] \tFAILED!",
    };
    EXPECT_EQ(Dialog().Log(), expected);
    EXPECT_GE(::GetTickCount() - start, 3000u) << "the read gave up before its 3000 ms";
    EXPECT_EQ(Dialog().Progress(), (ProgressState{0, 0, 5}));
    EXPECT_EQ(WaitForVerdict(Verdict::Ng), Verdict::Ng);
    Screenshot("unconnected_ptys_ng");
}

TEST_F(Runs, StopInSweepCancelsTheRunWithNg)
{
    Dialog().Choose("COM3", "COM1", true, false, false);
    Dialog().Click(IDC_START);
    const std::string second = "Set baud rate to 19200 bps...\tOK!";
    ASSERT_TRUE(PollUntil(kShortRun, [&] { return Contains(Dialog().Log(), second); }));
    Dialog().Click(IDC_STOP);
    // Stop gives Start back at once; the run still ends its transfer under
    // way, then paints the verdict.
    EXPECT_EQ(WaitForVerdict(Verdict::Ng, kShortRun), Verdict::Ng);
    EXPECT_TRUE(Dialog().IsIdle());

    const std::vector<std::string> log = Dialog().Log();
    const auto cancelled = std::find(log.begin(), log.end(), "User cancelled!");
    ASSERT_NE(cancelled, log.end());
    // Stop lands either in a sweep's wait, which ends the sweep at once, or
    // in the pause of a transfer, which still reads and compares first.
    const std::vector<std::string> after(cancelled + 1, log.end());
    EXPECT_TRUE(after.empty() || after == std::vector<std::string>{"Compare data...\tOK!"})
        << "after the cancel: " << testing::PrintToString(after);
    EXPECT_FALSE(Contains(log, "=== End Baudrate Test ==="));
    EXPECT_LT(Dialog().Progress().pos, 5);
    Screenshot("stopped_ng");
}

// Ptys have no modem lines: Wine fails EscapeCommFunction on them and no CTS
// change is ever reported, so the signal check fails at its first step here.
// It passes over the native build's virtual cable.
TEST_F(Runs, AllChecksPassTheSweepsAndFailTheSignalsOnPtys)
{
    Dialog().Choose("COM3", "COM1", true, true, true);
    ASSERT_TRUE(RunToEnd(kFullRun));
    std::vector<std::string> expected = BaudRateLines("COM3", "COM1");
    for (const auto& line : SizeParityLines("COM3", "COM1"))
        expected.push_back(line);
    expected.push_back("=== Begin Signal Test ===");
    expected.push_back("RTS Signal testing...\tFAILED!");
    EXPECT_EQ(Dialog().Log(), expected);
    EXPECT_EQ(Dialog().Progress(), (ProgressState{1, 0, 4}));
    EXPECT_EQ(WaitForVerdict(Verdict::Ng), Verdict::Ng);
    Screenshot("all_checks_ng_at_signals");
}

} // namespace
} // namespace e2e
