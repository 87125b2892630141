// IsDialogMessageA on template 102: Enter, Escape, Tab and Shift+Tab from the
// controls the program has, DM_GETDEFID and DM_SETDEFID, and the close box.
#include "TesterDialog.h"

#include <string>

namespace {

void HoldShift(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

struct KeyRow {
    const char* name;
    int focus;       // control that has the focus
    UINT vk;
    bool shift;
    int command;     // WM_COMMAND id the dialog gets, 0 for none
    int focusAfter;  // control with the focus afterwards
    int wineCommand = -1;  // where Wine differs: the id it sends instead
};

void PrintTo(const KeyRow& row, std::ostream* os)
{
    *os << row.name;
}

const KeyRow kKeys[] = {
    // Known difference: Windows makes the focused push button the default one,
    // so Enter clicks it; Wine clicks only a focused BS_DEFPUSHBUTTON and sends
    // IDOK here. compat does as Windows does.
    {"enter_on_start_clicks_it", IDC_START, VK_RETURN, false, IDC_START, IDC_START, IDOK},
    {"enter_on_stop_clicks_it", IDC_STOP, VK_RETURN, false, IDC_STOP, IDC_STOP, IDOK},
    {"enter_on_a_check_box_is_ok", IDC_CHECK_SIZE_PARITY, VK_RETURN, false, IDOK, IDC_CHECK_SIZE_PARITY},
    {"enter_on_a_combo_box_is_ok", IDC_CONNECT_PORT, VK_RETURN, false, IDOK, IDC_CONNECT_PORT},
    {"enter_on_the_log_is_ok", IDC_RESULT_LIST, VK_RETURN, false, IDOK, IDC_RESULT_LIST},
    {"escape_is_cancel", IDC_CHECK_BAUDRATE, VK_ESCAPE, false, IDCANCEL, IDC_CHECK_BAUDRATE},
    {"escape_on_start_is_cancel", IDC_START, VK_ESCAPE, false, IDCANCEL, IDC_START},
    {"escape_on_a_combo_box_is_cancel", IDC_DEVICE_PORT, VK_ESCAPE, false, IDCANCEL, IDC_DEVICE_PORT},
    {"tab_moves_on", IDC_START, VK_TAB, false, 0, IDC_STOP},
    {"tab_from_a_combo_box", IDC_DEVICE_PORT, VK_TAB, false, 0, IDC_CONNECT_PORT},
    {"tab_from_the_log_wraps", IDC_RESULT_LIST, VK_TAB, false, 0, IDC_START},
    {"shift_tab_moves_back", IDC_STOP, VK_TAB, true, 0, IDC_START},
    {"shift_tab_from_start_wraps", IDC_START, VK_TAB, true, 0, IDC_RESULT_LIST},
};

class DialogKeys : public TesterDialog, public ::testing::WithParamInterface<KeyRow> {
protected:
    void TearDown() override
    {
        HoldShift(false);
        TesterDialog::TearDown();
    }
};

TEST_P(DialogKeys, DoWhatTheDialogManagerDoes)
{
    const KeyRow& row = GetParam();
    Create();
    SetFocus(Item(row.focus));
    ASSERT_EQ(GetFocus(), Item(row.focus));
    m_log.messages.clear();
    HoldShift(row.shift);
    PostKey(Item(row.focus), row.vk);
    HoldShift(false);
    int command = row.command;
#ifdef _WIN32
    if (row.wineCommand != -1)
        command = row.wineCommand;
#endif
    std::vector<std::pair<int, int>> expected;
    if (command != 0)
        expected.emplace_back(command, BN_CLICKED);
    EXPECT_EQ(m_log.Commands(), expected);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), row.focusAfter);
    EXPECT_TRUE(IsWindow(m_hDlg)) << "the dialog manager only sends the command";
}

INSTANTIATE_TEST_SUITE_P(Template102, DialogKeys, ::testing::ValuesIn(kKeys),
                         [](const auto& info) { return std::string(info.param.name); });

using DialogManager = TesterDialog;

TEST_F(DialogManager, EnterGoesToTheDefaultIdWhenNoPushButtonHasTheFocus)
{
    Create();
    EXPECT_EQ(SendMessageA(m_hDlg, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    EXPECT_TRUE(SendMessageA(m_hDlg, DM_SETDEFID, IDC_STOP, 0));
    EXPECT_EQ(SendMessageA(m_hDlg, DM_GETDEFID, 0, 0), MAKELRESULT(IDC_STOP, DC_HASDEFID));
    SetFocus(Item(IDC_CHECK_SIGNALS));
    m_log.messages.clear();
    PostKey(Item(IDC_CHECK_SIGNALS), VK_RETURN);
    EXPECT_EQ(m_log.Commands(), (std::vector<std::pair<int, int>>{{IDC_STOP, BN_CLICKED}}));
    // A disabled default button is not clicked.
    EnableWindow(Item(IDC_STOP), FALSE);
    m_log.messages.clear();
    PostKey(Item(IDC_CHECK_SIGNALS), VK_RETURN);
    EXPECT_TRUE(m_log.Commands().empty());
}

TEST_F(DialogManager, EnterAfterTabbingToAPushButtonClicksIt)
{
    Create();
    PostKey(Item(IDC_START), VK_TAB);
    ASSERT_EQ(GetFocus(), Item(IDC_STOP));
    m_log.messages.clear();
    PostKey(Item(IDC_STOP), VK_RETURN);
    EXPECT_EQ(m_log.Commands(), (std::vector<std::pair<int, int>>{{IDC_STOP, BN_CLICKED}}));
}

TEST_F(DialogManager, CloseBoxPostsCancelAndLeavesTheDialog)
{
    Create();
    m_log.messages.clear();
    SendMessageA(m_hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(m_log.Commands().empty()) << "posted, not sent";
    Pump();
    EXPECT_EQ(m_log.Commands(), (std::vector<std::pair<int, int>>{{IDCANCEL, BN_CLICKED}}));
    EXPECT_TRUE(IsWindow(m_hDlg));
}

TEST_F(DialogManager, MessagesOfOtherWindowsAreNotTheDialogs)
{
    Create();
    HWND other = CreateWindowExA(0, "Static", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    MSG msg = {other, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
    EXPECT_FALSE(IsDialogMessageA(m_hDlg, &msg));
    msg.hwnd = Item(IDC_CHECK_BAUDRATE);
    msg.message = WM_NULL;
    EXPECT_TRUE(IsDialogMessageA(m_hDlg, &msg)) << "any message of the dialog's windows is handled";
    DestroyWindow(other);
}

}  // namespace
