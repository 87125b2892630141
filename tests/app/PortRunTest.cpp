// Runs over a real pair of ports on both builds: natively a virtual cable
// between COM3 and COM1, under Wine the socat pty pair COM3 <-> COM1 of the
// test environment (a number without a device in either: see MissingPort).
#include "ExpectedLog.h"
#include "MessageBoxes.h"
#include "MissingPort.h"
#include "TesterProbe.h"
#include "Verdict.h"

#include <gtest/gtest.h>

#include <memory>

#ifndef _WIN32
#include <compat/Cable.h>
#endif

namespace {

class PortRunTest : public testing::Test {
protected:
    void SetUp() override
    {
#ifndef _WIN32
        cable = std::make_unique<compat::NullModemCable>("COM3", "COM1");
#endif
        // Throw away what an earlier run may have left in the ptys.
        for (const char* name : {"COM3", "COM1"}) {
            HANDLE h = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
            ::PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
            ::CloseHandle(h);
        }
    }

    // Chooses the ports and checks, then clicks Start; the run happens inside.
    void Run(const char* device, const char* connect, bool baud, bool sizeParity, bool signals)
    {
        dlg.Run([&] {
            ::SendMessageA(dlg.Item(IDC_DEVICE_PORT), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(device));
            ::SendMessageA(dlg.Item(IDC_CONNECT_PORT), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(connect));
            ::SendMessageA(dlg.Item(IDC_CHECK_BAUDRATE), BM_SETCHECK, baud ? BST_CHECKED : BST_UNCHECKED, 0);
            ::SendMessageA(dlg.Item(IDC_CHECK_SIZE_PARITY), BM_SETCHECK, sizeParity ? BST_CHECKED : BST_UNCHECKED, 0);
            ::SendMessageA(dlg.Item(IDC_CHECK_SIGNALS), BM_SETCHECK, signals ? BST_CHECKED : BST_UNCHECKED, 0);
            dlg.m_lstResult.AddLine("from before");
            dlg.Click(IDC_START);
            log = dlg.Log();
            progress = Progress(dlg.Item(IDC_PROGRESS));
            verdict = ReadVerdict(dlg.Item(IDC_RESULT_TEXT));
        });
    }

#ifndef _WIN32
    std::unique_ptr<compat::NullModemCable> cable;
#endif
    CTesterProbe dlg;
    std::vector<std::string> log;
    ProgressState progress{};
    Verdict verdict = Verdict::Mixed;
};

TEST_F(PortRunTest, BaudRateSweepPasses)
{
    Run("COM3", "COM1", true, false, false);
    EXPECT_TRUE(SameLog(log, ExpectedLog().BaudSweep().Lines()));
    EXPECT_EQ(progress, (ProgressState{5, 0, 5}));
    EXPECT_EQ(verdict, Verdict::Ok);
}

struct MissingCase {
    const char* name;
    bool deviceMissing;
    const char* text;
};

void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }

class MissingPorts : public PortRunTest, public testing::WithParamInterface<MissingCase> {};

TEST_P(MissingPorts, ShowsItsMessageBoxAndKeepsTheLog)
{
    const std::string missing = MissingPort();
    if (missing.empty())
        GTEST_SKIP() << "every COM number of the list has a device on this machine";
    MessageBoxAnswerer answerer;
    const bool deviceMissing = GetParam().deviceMissing;
    Run(deviceMissing ? missing.c_str() : "COM3", deviceMissing ? "COM1" : missing.c_str(), true, true, true);
    const std::vector<ShownBox> boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, GetParam().text);
    EXPECT_EQ(boxes[0].caption, std::string(TestApp().GetAppName()));
    EXPECT_TRUE(SameLog(log, (std::vector<std::string>{"from before"})));
    EXPECT_EQ(verdict, Verdict::Blank);
}

const MissingCase kMissing[] = {
    {"device", true, "Unable to open 'Device' port"},
    {"connect", false, "Unable to open 'Connect' port"},
};

INSTANTIATE_TEST_SUITE_P(PortRun, MissingPorts, testing::ValuesIn(kMissing),
                         [](const testing::TestParamInfo<MissingCase>& info) { return info.param.name; });

} // namespace
