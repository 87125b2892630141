// The main dialog as the user first meets it, its data exchange and its keys.
#include "TesterProbe.h"
#include "Verdict.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kPortNames = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"};

TEST(TesterDialog, FirstDisplay)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        for (int id : {IDC_DEVICE_PORT, IDC_CONNECT_PORT}) {
            SCOPED_TRACE(id);
            EXPECT_EQ(ComboItems(dlg.Item(id)), kPortNames);
            // A drop-down list: the user can only choose, not type.
            EXPECT_EQ(::GetWindowLongA(dlg.Item(id), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
        }
        EXPECT_EQ(ComboSelection(dlg.Item(IDC_DEVICE_PORT)), "COM3");
        EXPECT_EQ(ComboSelection(dlg.Item(IDC_CONNECT_PORT)), "COM1");
        for (int id : {IDC_CHECK_BAUDRATE, IDC_CHECK_SIZE_PARITY, IDC_CHECK_SIGNALS})
            EXPECT_TRUE(IsChecked(dlg.Item(id))) << id;
        EXPECT_TRUE(::IsWindowEnabled(dlg.Item(IDC_START)));
        EXPECT_EQ(::GetFocus(), dlg.Item(IDC_START));
        EXPECT_FALSE(::IsWindowEnabled(dlg.Item(IDC_STOP)));
        EXPECT_TRUE(dlg.Log().empty());
        EXPECT_EQ(Progress(dlg.Item(IDC_PROGRESS)).pos, 0);
        EXPECT_EQ(ReadVerdict(dlg.Item(IDC_RESULT_TEXT)), Verdict::Blank);
        EXPECT_EQ(WindowText(dlg.m_hWnd), "Duoprobe ver 2.3.0.5");
        EXPECT_EQ(dlg.m_hHollowBrush, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
    });
}

TEST(TesterDialog, ExchangesFromControlsToMembers)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        ::SendMessageA(dlg.Item(IDC_DEVICE_PORT), CB_SETCURSEL, 6, 0);
        ::SendMessageA(dlg.Item(IDC_CONNECT_PORT), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ::SendMessageA(dlg.Item(IDC_CHECK_SIZE_PARITY), BM_SETCHECK, BST_UNCHECKED, 0);
        dlg.UpdateData(TRUE);
        EXPECT_EQ(std::string(dlg.m_strDevicePort), "COM7");
        EXPECT_EQ(std::string(dlg.m_strConnectPort), "") << "no selection gives an empty text";
        EXPECT_EQ(dlg.m_bCheckBaudRate, 1);
        EXPECT_EQ(dlg.m_bCheckSizeParity, 0);
        EXPECT_EQ(dlg.m_bCheckSignals, 1);
    });
}

struct SelectCase {
    const char* name;
    const char* member;
    const char* selected; // after the exchange; the selection was COM3 before
};

void PrintTo(const SelectCase& c, std::ostream* os) { *os << c.name; }

class SelectByText : public testing::TestWithParam<SelectCase> {};

TEST_P(SelectByText, ChoosesTheFirstItemBeginningWithTheText)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        dlg.m_strDevicePort = GetParam().member;
        dlg.m_bCheckSignals = FALSE;
        dlg.UpdateData(FALSE);
        EXPECT_EQ(ComboSelection(dlg.Item(IDC_DEVICE_PORT)), GetParam().selected);
        EXPECT_FALSE(IsChecked(dlg.Item(IDC_CHECK_SIGNALS)));
    });
}

const SelectCase kSelectCases[] = {
    {"exact", "COM5", "COM5"},
    {"case_insensitive", "com8", "COM8"},
    {"prefix_takes_first", "CO", "COM1"},
    {"no_match_keeps_selection", "LPT1", "COM3"},
    {"longer_than_any_item_keeps_selection", "COM12", "COM3"},
};

INSTANTIATE_TEST_SUITE_P(TesterDialog, SelectByText, testing::ValuesIn(kSelectCases),
                         [](const testing::TestParamInfo<SelectCase>& info) { return info.param.name; });

struct KeyCase {
    const char* name;
    int focus;
    WPARAM key;
    INT_PTR result;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class EndingKeys : public testing::TestWithParam<KeyCase> {};

// Enter gives OK whenever no push button has the focus; Escape gives Cancel.
TEST_P(EndingKeys, EndTheDialog)
{
    CTesterProbe dlg;
    const INT_PTR result = dlg.Run([&] {
        ::SetFocus(dlg.Item(GetParam().focus));
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, GetParam().key, 1);
    });
    EXPECT_EQ(result, GetParam().result);
}

const KeyCase kKeyCases[] = {
    {"enter_on_check_box", IDC_CHECK_SIGNALS, VK_RETURN, IDOK},
    {"enter_on_combo_box", IDC_CONNECT_PORT, VK_RETURN, IDOK},
    {"enter_on_log", IDC_RESULT_LIST, VK_RETURN, IDOK},
    {"escape_on_start", IDC_START, VK_ESCAPE, IDCANCEL},
    {"escape_on_check_box", IDC_CHECK_BAUDRATE, VK_ESCAPE, IDCANCEL},
};

INSTANTIATE_TEST_SUITE_P(TesterDialog, EndingKeys, testing::ValuesIn(kKeyCases),
                         [](const testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

TEST(TesterDialog, OkCopiesTheControlsToTheMembers)
{
    CTesterProbe dlg;
    const INT_PTR result = dlg.Run([&] {
        ::SendMessageA(dlg.Item(IDC_CHECK_BAUDRATE), BM_SETCHECK, BST_UNCHECKED, 0);
        ::SetFocus(dlg.Item(IDC_CHECK_SIGNALS));
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_bCheckBaudRate, 0);
    EXPECT_EQ(dlg.m_bCheckSizeParity, 1);
}

TEST(TesterDialog, VerdictShowsOkOrNgAndClearsToBlank)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        HWND hArea = dlg.Item(IDC_RESULT_TEXT);
        ::UpdateWindow(dlg.m_hWnd);
        dlg.m_bFailed = false;
        dlg.ShowResult();
        EXPECT_TRUE(dlg.m_bResultShown);
        EXPECT_EQ(ReadVerdict(hArea), Verdict::Ok);
        dlg.ClearResult();
        EXPECT_EQ(ReadVerdict(hArea), Verdict::Blank);
        dlg.m_bFailed = true;
        dlg.ShowResult();
        EXPECT_EQ(ReadVerdict(hArea), Verdict::Ng);
    });
}

TEST(TesterDialog, VerdictComesBackWhenTheAreaRepaints)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        HWND hArea = dlg.Item(IDC_RESULT_TEXT);
        ::UpdateWindow(dlg.m_hWnd);
        dlg.m_bFailed = true;
        dlg.ShowResult();
        // Something draws over the area; its next paint restores the verdict.
        dlg.ClearResult();
        ::InvalidateRect(hArea, nullptr, TRUE);
        ::UpdateWindow(hArea);
        EXPECT_EQ(ReadVerdict(hArea), Verdict::Ng);

        // Without a verdict shown, a repaint leaves the blank alone.
        dlg.m_bResultShown = false;
        dlg.ClearResult();
        ::InvalidateRect(hArea, nullptr, TRUE);
        ::UpdateWindow(hArea);
        EXPECT_EQ(ReadVerdict(hArea), Verdict::Blank);
    });
}

TEST(TesterDialog, ColourRequestOfTheVerdictAreaGetsTheHollowBrush)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        HWND hArea = dlg.Item(IDC_RESULT_TEXT);
        HDC hdc = ::GetDC(hArea);
        const LRESULT brush = ::SendMessageA(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                             reinterpret_cast<LPARAM>(hArea));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), dlg.m_hHollowBrush);
        // Any other control gets the dialog's usual answer.
        const LRESULT other = ::SendMessageA(dlg.m_hWnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc),
                                             reinterpret_cast<LPARAM>(dlg.Item(IDC_START)));
        EXPECT_NE(reinterpret_cast<HBRUSH>(other), dlg.m_hHollowBrush);
        ::ReleaseDC(hArea, hdc);
    });
}

TEST(TesterDialog, MinimisedIconIsCentred)
{
    EXPECT_EQ(IconOffset(161, 32), 65);
    EXPECT_EQ(IconOffset(20, 32), -5);
    EXPECT_EQ(IconOffset(32, 32), 0);
}

} // namespace
