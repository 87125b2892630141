// How the dialog ends: by its keys, and by a close during a run.
#include "DuoprobeTest.h"
#include "Poll.h"
#include "Ports.h"

namespace e2e {
namespace {

struct KeyCase {
    const char* name;
    int focus;   // the control given the focus, as Tab gives it, before the key
    UINT key;
    bool ends;   // the dialog ends; otherwise the key starts a run
};

// The dialog has no OK or Cancel button: Escape cancels it wherever the focus
// is, and Enter gives OK unless a push button has the focus. (Wine 8 makes
// Start the default button only once the focus has moved to it: Enter at the
// first display ends the dialog there, where Windows would start a run.)
const KeyCase kKeyCases[] = {
    {"enter_on_check_box", IDC_CHECK_SIZE_PARITY, VK_RETURN, true},
    {"enter_on_port_choice", IDC_CONNECT_PORT, VK_RETURN, true},
    {"enter_on_log", IDC_RESULT_LIST, VK_RETURN, true},
    {"escape_on_start", IDC_START, VK_ESCAPE, true},
    {"escape_on_check_box", IDC_CHECK_BAUDRATE, VK_ESCAPE, true},
    {"enter_on_start", IDC_START, VK_RETURN, false},
};

class Keys : public DuoprobeTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, EndTheDialogOrStartARun)
{
    const KeyCase& c = GetParam();
    Dialog().Choose("COM3", "COM1", true, false, false); // a short run, should one start
    Dialog().Focus(c.focus);
    ASSERT_TRUE(PollUntil(kReaction, [&] { return Dialog().FocusId() == c.focus; }))
        << "the focus stays at " << Dialog().FocusId();
    Screenshot(std::string("key_") + c.name);
    Dialog().PressKey(c.key);
    if (c.ends) {
        EXPECT_TRUE(Process().WaitForExit(kReaction)) << "the dialog did not end";
        return;
    }
    ASSERT_TRUE(PollUntil(kReaction, [&] { return !Dialog().IsIdle(); })) << "no run started";
    ASSERT_TRUE(PollUntil(kShortRun, [&] { return Dialog().IsIdle(); }));
    EXPECT_EQ(Dialog().Log(), BaudRateLines("COM3", "COM1"));
    EXPECT_FALSE(Process().HasExited());
}

INSTANTIATE_TEST_SUITE_P(Ending, Keys, testing::ValuesIn(kKeyCases),
                         [](const testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

using Ending = DuoprobeTest;

TEST_F(Ending, CloseDuringRunLetsTheRunFinishThenExits)
{
    Dialog().Choose("COM3", "COM1", true, false, false);
    Dialog().Click(IDC_START);
    ASSERT_TRUE(PollUntil(kShortRun, [&] { return Contains(Dialog().Log(), "Set baud rate to 19200 bps...\tOK!"); }));
    Screenshot("closed_during_run");
    Dialog().Close();

    // The close neither cancels nor cuts the run: its later steps still come,
    // and the dialog goes only once the run is over.
    const std::vector<std::string> log = LastLog(kShortRun);
    EXPECT_TRUE(Process().WaitForExit(kReaction)) << "the dialog did not end after the run";
    EXPECT_TRUE(Contains(log, "Set baud rate to 115200 bps...\tOK!")) << testing::PrintToString(log);
    EXPECT_FALSE(Contains(log, "User cancelled!"));
    // Every block written was read back: the run was not stopped between a
    // write and its read.
    EXPECT_EQ(Drain("COM1"), 0u);
    EXPECT_EQ(Drain("COM3"), 0u);
}

} // namespace
} // namespace e2e
