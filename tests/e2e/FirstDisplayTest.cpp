// The dialog as a user first meets it.
#include "DuoprobeTest.h"

namespace e2e {
namespace {

using FirstDisplay = DuoprobeTest;

TEST_F(FirstDisplay, OffersNinePortsWithDefaultsTickedAndStartFocused)
{
    const std::vector<std::string> ports = {"COM1", "COM2", "COM3", "COM4", "COM5",
                                            "COM6", "COM7", "COM8", "COM9"};
    EXPECT_EQ(Dialog().ComboItems(IDC_DEVICE_PORT), ports);
    EXPECT_EQ(Dialog().ComboItems(IDC_CONNECT_PORT), ports);
    EXPECT_EQ(Dialog().ComboSelection(IDC_DEVICE_PORT), "COM3");
    EXPECT_EQ(Dialog().ComboSelection(IDC_CONNECT_PORT), "COM1");
    for (int id : {IDC_CHECK_BAUDRATE, IDC_CHECK_SIZE_PARITY, IDC_CHECK_SIGNALS})
        EXPECT_TRUE(Dialog().IsChecked(id)) << "check box " << id;
    EXPECT_TRUE(Dialog().IsEnabled(IDC_START));
    EXPECT_FALSE(Dialog().IsEnabled(IDC_STOP));
    EXPECT_EQ(Dialog().FocusId(), IDC_START);
    EXPECT_TRUE(Dialog().Log().empty());
    EXPECT_EQ(Dialog().Progress().pos, 0);
    EXPECT_EQ(WaitForVerdict(Verdict::Blank), Verdict::Blank);
    Screenshot("first_display");
}

} // namespace
} // namespace e2e
