// A chosen port that cannot be opened: the message box, and what the run
// leaves behind.
#include "DuoprobeTest.h"
#include "Poll.h"
#include "Ports.h"

namespace e2e {
namespace {

// Wine gives the serial devices it finds (/dev/ttyS0...) the lowest free COM
// numbers, so a port of the environment without a device may have one on
// this machine: then the scenario is skipped.
void ExpectMissing(const char* pszPort)
{
    const DWORD dwError = OpenError(pszPort);
    if (dwError == 0)
        GTEST_SKIP() << pszPort << " has a device here: Wine gave it one of the machine's serial ports";
    EXPECT_EQ(dwError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << pszPort << " should have no device";
}

class PortError : public DuoprobeTest {
protected:
    // Clicks Start, expects the program's message box with that text, keeps
    // a screenshot of it, presses OK and waits for the dialog to be idle.
    void StartAndDismissMessageBox(const std::string& strText, const std::string& strScreenshot)
    {
        Dialog().Click(IDC_START);
        const HWND hBox = Dialog().WaitForMessageBox(kReaction);
        ASSERT_NE(hBox, nullptr) << "no message box";
        EXPECT_EQ(WindowText(hBox), "Duoprobe");
        EXPECT_EQ(MessageBoxText(hBox), strText);
        Screenshot(strScreenshot, hBox);
        ASSERT_TRUE(PressOk(hBox, kReaction));
        ASSERT_TRUE(PollUntil(kReaction, [&] { return Dialog().IsIdle(); }));
    }
};

TEST_F(PortError, MissingConnectPortIsReportedAndTheDevicePortClosedAgain)
{
    ExpectMissing("COM9");
    if (IsSkipped() || HasFailure())
        return;
    Dialog().Choose("COM3", "COM1", true, false, false);
    ASSERT_TRUE(RunToEnd(kShortRun));
    const std::vector<std::string> oldLog = Dialog().Log();
    ASSERT_EQ(oldLog.size(), 27u);

    Dialog().SelectPort(IDC_CONNECT_PORT, "COM9");
    ASSERT_NO_FATAL_FAILURE(StartAndDismissMessageBox("Unable to open 'Connect' port", "connect_port_missing"));

    EXPECT_EQ(Dialog().Log(), oldLog);
    EXPECT_EQ(Dialog().Progress().pos, 0);
    EXPECT_EQ(WaitForVerdict(Verdict::Blank), Verdict::Blank);

    // Had the failed run left the Device port open, its next opening would
    // fail: the next run would stop at "Unable to open 'Device' port".
    Dialog().SelectPort(IDC_CONNECT_PORT, "COM1");
    ASSERT_TRUE(RunToEnd(kShortRun));
    EXPECT_EQ(Dialog().Log(), BaudRateLines("COM3", "COM1"));
    EXPECT_EQ(WaitForVerdict(Verdict::Ok), Verdict::Ok);
}

TEST_F(PortError, MissingDevicePortIsReportedAndTheConnectPortNeverOpened)
{
    ExpectMissing("COM4");
    if (IsSkipped() || HasFailure())
        return;
    // Opening a port applies its default configuration (9600 baud), so a
    // rate that the driver gives COM1 lasts only while nobody opens it.
    const DWORD dwMark = 1200;
    WriteBaudRate("COM1", dwMark);
    ASSERT_EQ(ReadBaudRate("COM1"), dwMark);

    Dialog().Choose("COM4", "COM1", false, false, false);
    ASSERT_NO_FATAL_FAILURE(StartAndDismissMessageBox("Unable to open 'Device' port", "device_port_missing"));

    EXPECT_EQ(ReadBaudRate("COM1"), dwMark) << "COM1 was opened";
    EXPECT_TRUE(Dialog().Log().empty());
    EXPECT_EQ(WaitForVerdict(Verdict::Blank), Verdict::Blank);

    // The marker does tell: a run that opens COM1, here with no check
    // ticked, changes it, and passes.
    Dialog().SelectPort(IDC_DEVICE_PORT, "COM3");
    Dialog().Click(IDC_START);
    EXPECT_EQ(WaitForVerdict(Verdict::Ok, kShortRun), Verdict::Ok);
    ASSERT_TRUE(PollUntil(kReaction, [&] { return Dialog().IsIdle(); }));
    EXPECT_NE(ReadBaudRate("COM1"), dwMark) << "a run left COM1 at the mark";
}

} // namespace
} // namespace e2e
