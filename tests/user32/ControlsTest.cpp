// The standard controls of template 102 with the messages the program and its
// framework send: the sorted drop-down combo boxes, the unsorted log list, the
// buttons and the progress bar.
#include "TesterDialog.h"

#include <string>
#include <vector>

namespace {

std::string ComboText(HWND combo, int index)
{
    char text[64] = "";
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    const int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i)
        items.push_back(ComboText(combo, i));
    return items;
}

LRESULT Add(HWND combo, const char* text)
{
    return SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

class ComboBox : public TesterDialog {
protected:
    void SetUp() override
    {
        TesterDialog::SetUp();
        Create();
        m_combo = Item(IDC_DEVICE_PORT);
    }
    HWND m_combo = nullptr;
};

TEST_F(ComboBox, SortsWithoutRegardToCaseAndReturnsTheNewIndex)
{
    EXPECT_EQ(Add(m_combo, "COM3"), 0);
    EXPECT_EQ(Add(m_combo, "COM1"), 0);
    EXPECT_EQ(Add(m_combo, "com2"), 1);
    EXPECT_EQ(Add(m_combo, "COM10"), 1);
    EXPECT_EQ(ComboItems(m_combo), (std::vector<std::string>{"COM1", "COM10", "com2", "COM3"}));
    // CB_INSERTSTRING puts the item where it is told, sorted list or not.
    EXPECT_EQ(SendMessageA(m_combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("ZZZ")), 0);
    EXPECT_EQ(ComboText(m_combo, 0), "ZZZ");
    EXPECT_EQ(SendMessageA(m_combo, CB_INSERTSTRING, 99, reinterpret_cast<LPARAM>("X")), CB_ERR);
}

TEST_F(ComboBox, NinePortsAddedInOrderStayInOrderAndNothingIsSelected)
{
    for (int i = 1; i <= 9; ++i)
        Add(m_combo, ("COM" + std::to_string(i)).c_str());
    const std::vector<std::string> items = ComboItems(m_combo);
    ASSERT_EQ(items.size(), 9u);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(items[i], "COM" + std::to_string(i + 1));
    EXPECT_EQ(SendMessageA(m_combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(GetWindowTextLengthA(m_combo), 0);
}

struct SearchRow {
    const char* name;
    UINT msg;
    int start;
    const char* text;
    LRESULT expected;
};

void PrintTo(const SearchRow& row, std::ostream* os)
{
    *os << row.name;
}

// Items: "COM1", "COM2", "COM3", "COMX", "Modem".
const SearchRow kSearches[] = {
    {"prefix_from_top", CB_FINDSTRING, -1, "com", 0},
    {"prefix_after_start", CB_FINDSTRING, 1, "COM", 2},
    {"prefix_wraps_round", CB_FINDSTRING, 3, "COM", 0},
    {"prefix_ignores_case", CB_FINDSTRING, -1, "mo", 4},
    {"whole_word_is_a_prefix", CB_FINDSTRING, -1, "COM3", 2},
    {"longer_than_any_item", CB_FINDSTRING, -1, "COM33", CB_ERR},
    {"no_match", CB_FINDSTRING, -1, "LPT", CB_ERR},
    {"start_itself_comes_last", CB_FINDSTRING, 2, "COM3", 2},
    {"exact_ignores_case", CB_FINDSTRINGEXACT, -1, "comx", 3},
    {"exact_needs_all", CB_FINDSTRINGEXACT, -1, "COM", CB_ERR},
    {"exact_wraps_round", CB_FINDSTRINGEXACT, 4, "COM1", 0},
};

class ComboSearch : public ComboBox, public ::testing::WithParamInterface<SearchRow> {};

TEST_P(ComboSearch, FindsAsWindowsDoes)
{
    for (const char* item : {"COM1", "COM2", "COM3", "COMX", "Modem"})
        Add(m_combo, item);
    const SearchRow& row = GetParam();
    EXPECT_EQ(SendMessageA(m_combo, row.msg, static_cast<WPARAM>(row.start), reinterpret_cast<LPARAM>(row.text)),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(Items, ComboSearch, ::testing::ValuesIn(kSearches),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ComboBox, SelectStringSelectsByPrefixAndLeavesTheSelectionWhenNothingMatches)
{
    for (const char* item : {"COM1", "COM2", "COM3"})
        Add(m_combo, item);
    EXPECT_EQ(SendMessageA(m_combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("com3")), 2);
    EXPECT_EQ(SendMessageA(m_combo, CB_GETCURSEL, 0, 0), 2);
    char text[16] = "";
    EXPECT_EQ(GetWindowTextA(m_combo, text, sizeof text), 4);
    EXPECT_STREQ(text, "COM3");
    EXPECT_EQ(SendMessageA(m_combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("COM9")), CB_ERR);
    EXPECT_EQ(SendMessageA(m_combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageA(m_combo, CB_GETLBTEXTLEN, 2, 0), 4);
    EXPECT_EQ(SendMessageA(m_combo, CB_GETLBTEXTLEN, 3, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(m_combo, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(text)), CB_ERR);
}

TEST_F(ComboBox, SelectionFollowsItsItemWhenASortedItemGoesBeforeIt)
{
    Add(m_combo, "COM5");
    SendMessageA(m_combo, CB_SETCURSEL, 0, 0);
    Add(m_combo, "COM1");
    EXPECT_EQ(SendMessageA(m_combo, CB_GETCURSEL, 0, 0), 1);
    char text[3] = "";
    EXPECT_EQ(SendMessageA(m_combo, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 2);
    EXPECT_STREQ(text, "CO");
    EXPECT_EQ(SendMessageA(m_combo, CB_DELETESTRING, 1, 0), 1);
    EXPECT_EQ(SendMessageA(m_combo, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST_F(ComboBox, DropDownListTakesNoFreeText)
{
    Add(m_combo, "COM1");
    SendMessageA(m_combo, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(SendMessageA(m_combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("COM7")), CB_ERR);
    char text[16] = "";
    GetWindowTextA(m_combo, text, sizeof text);
    EXPECT_STREQ(text, "COM1");
    EXPECT_EQ(SendMessageA(m_combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("COM1")), CB_ERR);
}

TEST_F(ComboBox, SetCurSelOutOfRangeClearsTheSelection)
{
    Add(m_combo, "COM1");
    Add(m_combo, "COM2");
    EXPECT_EQ(SendMessageA(m_combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageA(m_combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);
    EXPECT_EQ(SendMessageA(m_combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(GetWindowTextLengthA(m_combo), 0);
    SendMessageA(m_combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(m_combo, CB_GETCOUNT, 0, 0), 0);
}

class ListBox : public TesterDialog {
protected:
    void SetUp() override
    {
        TesterDialog::SetUp();
        Create();
        m_list = Item(IDC_RESULT_LIST);
    }
    LRESULT AddLine(const char* text) { return SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    std::string Line(int index)
    {
        char text[256] = "";
        SendMessageA(m_list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    int VisibleRows()
    {
        RECT rc;
        GetClientRect(m_list, &rc);
        return rc.bottom / static_cast<int>(SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0));
    }
    HWND m_list = nullptr;
};

TEST_F(ListBox, AppendsInCallOrderAndKeepsTabs)
{
    EXPECT_EQ(AddLine("Zeta\tOK!"), 0);
    EXPECT_EQ(AddLine("alpha"), 1);
    EXPECT_EQ(AddLine(""), 2);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Line(0), "Zeta\tOK!");
    EXPECT_EQ(Line(1), "alpha");
    EXPECT_EQ(SendMessageA(m_list, LB_GETTEXTLEN, 0, 0), 8);
    EXPECT_EQ(SendMessageA(m_list, LB_GETTEXTLEN, 3, 0), LB_ERR);
    char text[16];
    EXPECT_EQ(SendMessageA(m_list, LB_GETTEXT, 3, reinterpret_cast<LPARAM>(text)), LB_ERR);
    EXPECT_EQ(SendMessageA(m_list, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("inserted")), 1);
    EXPECT_EQ(Line(1), "inserted");
    EXPECT_EQ(SendMessageA(m_list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("last")), 4);
    EXPECT_EQ(SendMessageA(m_list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), LB_ERR);
    EXPECT_EQ(SendMessageA(m_list, LB_DELETESTRING, 0, 0), 4);
    EXPECT_EQ(Line(0), "inserted");
    EXPECT_EQ(SendMessageA(m_list, LB_DELETESTRING, 4, 0), LB_ERR);
}

TEST_F(ListBox, SelectingAnItemScrollsItIntoView)
{
    const int rows = VisibleRows();
    ASSERT_GT(rows, 1);
    for (int i = 0; i < 3 * rows; ++i)
        EXPECT_EQ(AddLine(("line " + std::to_string(i)).c_str()), i);
    EXPECT_EQ(SendMessageA(m_list, LB_GETTOPINDEX, 0, 0), 0);
    const int last = 3 * rows - 1;
    EXPECT_EQ(SendMessageA(m_list, LB_SETCURSEL, last, 0), last);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCURSEL, 0, 0), last);
    const LRESULT top = SendMessageA(m_list, LB_GETTOPINDEX, 0, 0);
    EXPECT_LE(top, last);
    EXPECT_GT(top + rows, last) << "top " << top << ", rows " << rows;
    EXPECT_EQ(SendMessageA(m_list, LB_SETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(m_list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(SendMessageA(m_list, LB_SETTOPINDEX, rows, 0), LB_OKAY);
    EXPECT_EQ(SendMessageA(m_list, LB_GETTOPINDEX, 0, 0), rows);
    // The list does not scroll past its last page.
    EXPECT_EQ(SendMessageA(m_list, LB_SETTOPINDEX, last, 0), LB_OKAY);
    EXPECT_EQ(SendMessageA(m_list, LB_GETTOPINDEX, 0, 0), 3 * rows - rows);
    EXPECT_EQ(SendMessageA(m_list, LB_SETTOPINDEX, 3 * rows + 5, 0), LB_OKAY);
    EXPECT_EQ(SendMessageA(m_list, LB_GETTOPINDEX, 0, 0), 3 * rows - rows);
}

TEST_F(ListBox, SelectionErrorsAndReset)
{
    EXPECT_EQ(SendMessageA(m_list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(m_list, LB_SETCURSEL, 0, 0), LB_ERR) << "an empty list has no item 0";
    AddLine("one");
    AddLine("two");
    EXPECT_EQ(SendMessageA(m_list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageA(m_list, LB_SETCURSEL, 5, 0), LB_ERR);
    // -1 removes the selection and still answers LB_ERR.
    EXPECT_EQ(SendMessageA(m_list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCURSEL, 0, 0), LB_ERR);
    SendMessageA(m_list, LB_SETCURSEL, 1, 0);
    SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(m_list, LB_GETTOPINDEX, 0, 0), 0);
}

TEST_F(ListBox, SelectionFollowsItsItemWhenLinesAreInsertedOrDeleted)
{
    AddLine("a");
    AddLine("b");
    SendMessageA(m_list, LB_SETCURSEL, 1, 0);
    SendMessageA(m_list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("new"));
    EXPECT_EQ(SendMessageA(m_list, LB_GETCURSEL, 0, 0), 2);
    SendMessageA(m_list, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCURSEL, 0, 0), 1);
    SendMessageA(m_list, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCURSEL, 0, 0), LB_ERR) << "the selected line is gone";
}

TEST_F(ListBox, TabStopsNeedTheirStyle)
{
    INT stop = 190;
    EXPECT_TRUE(SendMessageA(m_list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop)));
    EXPECT_TRUE(SendMessageA(m_list, LB_SETTABSTOPS, 0, 0));
    HWND plain = CreateWindowExA(0, "ListBox", "", WS_CHILD | LBS_NOTIFY, 0, 0, 100, 100, m_hDlg, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(SendMessageA(plain, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop)));
    EXPECT_GT(SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0), 0);
}

struct DlgCodeRow {
    const char* name;
    int id;
    LRESULT code;
};

void PrintTo(const DlgCodeRow& row, std::ostream* os)
{
    *os << row.name;
}

const DlgCodeRow kDlgCodes[] = {
    {"push_button", IDC_START, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
    {"check_box", IDC_CHECK_BAUDRATE, DLGC_BUTTON},
    {"combo_box", IDC_DEVICE_PORT, DLGC_WANTCHARS | DLGC_WANTARROWS},
    {"list_box", IDC_RESULT_LIST, DLGC_WANTCHARS | DLGC_WANTARROWS},
    {"static", IDC_RESULT_TEXT, DLGC_STATIC},
    {"progress", IDC_PROGRESS, 0},
};

class DialogCode : public TesterDialog, public ::testing::WithParamInterface<DlgCodeRow> {};

TEST_P(DialogCode, IsWhatTheControlAsksFor)
{
    Create();
    EXPECT_EQ(SendMessageA(Item(GetParam().id), WM_GETDLGCODE, 0, 0), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Controls, DialogCode, ::testing::ValuesIn(kDlgCodes),
                         [](const auto& info) { return std::string(info.param.name); });

using Button = TesterDialog;

TEST_F(Button, CheckBoxStateAndClickNotifyTheParent)
{
    Create();
    HWND box = Item(IDC_CHECK_SIGNALS);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(m_log.Commands().empty()) << "BM_SETCHECK does not notify";
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_EQ(m_log.Commands().size(), 1u);
    EXPECT_EQ(m_log.Commands()[0], std::make_pair(IDC_CHECK_SIGNALS, static_cast<int>(BN_CLICKED)));
    EXPECT_EQ(reinterpret_cast<HWND>(m_log.Of(WM_COMMAND)[0].lParam), box);
    EXPECT_EQ(SendMessageA(Item(IDC_START), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(Button, SpaceOnTheFocusedBoxClicksIt)
{
    Create();
    HWND box = Item(IDC_CHECK_BAUDRATE);
    SetFocus(box);
    PostKey(box, VK_SPACE);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(m_log.Commands(), (std::vector<std::pair<int, int>>{{IDC_CHECK_BAUDRATE, BN_CLICKED}}));
}

TEST_F(Button, PushButtonClickIsACommand)
{
    Create();
    SendMessageA(Item(IDC_STOP), BM_CLICK, 0, 0);
    EXPECT_EQ(m_log.Commands(), (std::vector<std::pair<int, int>>{{IDC_STOP, BN_CLICKED}}));
    EnableWindow(Item(IDC_STOP), FALSE);
    SendMessageA(Item(IDC_STOP), BM_CLICK, 0, 0);
    EXPECT_EQ(m_log.Commands().size(), 2u) << "BM_CLICK sends the mouse messages itself: disabled or not";
}

TEST_F(Button, EnableWindowReportsThePreviousStateAndSendsWmEnable)
{
    Create();
    HWND stop = Item(IDC_STOP);
    EXPECT_FALSE(EnableWindow(stop, FALSE)) << "was enabled";
    EXPECT_FALSE(IsWindowEnabled(stop));
    EXPECT_TRUE(EnableWindow(stop, FALSE)) << "was disabled";
    EXPECT_TRUE(EnableWindow(stop, TRUE));
    EXPECT_TRUE(IsWindowEnabled(stop));
    // Disabling the focused button leaves no focus.
    HWND start = Item(IDC_START);
    ASSERT_EQ(GetFocus(), start);
    EnableWindow(start, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
}

class Progress : public TesterDialog {
protected:
    void SetUp() override
    {
        TesterDialog::SetUp();
        Create();
        m_bar = Item(IDC_PROGRESS);
    }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(m_bar, msg, w, l); }
    HWND m_bar = nullptr;
};

TEST_F(Progress, DefaultsAndPreviousValues)
{
    EXPECT_EQ(Send(PBM_GETPOS), 0);
    PBRANGE range{};
    EXPECT_EQ(Send(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)), 100);
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(Send(PBM_SETRANGE, 0, MAKELPARAM(0, 40)), MAKELRESULT(0, 100));
    EXPECT_EQ(Send(PBM_SETSTEP, 1), 10);
    EXPECT_EQ(Send(PBM_SETPOS, 7), 0);
    EXPECT_EQ(Send(PBM_SETPOS, 99), 7);
    EXPECT_EQ(Send(PBM_GETPOS), 40) << "SETPOS clamps to the range";
    EXPECT_EQ(Send(PBM_DELTAPOS, static_cast<WPARAM>(-100)), 40);
    EXPECT_EQ(Send(PBM_GETPOS), 0);
    EXPECT_EQ(Send(PBM_GETRANGE, TRUE, 0), 0);
    // PBM_SETRANGE32 answers with the old range in 16-bit halves.
    EXPECT_EQ(Send(PBM_SETRANGE32, 0, 70000), MAKELRESULT(0, 40));
    EXPECT_EQ(Send(PBM_SETRANGE, 0, MAKELPARAM(0, 10)), MAKELRESULT(0, 70000 & 0xffff));
}

struct StepRow {
    const char* name;
    int low, high, pos, step;
    int expected;
};

void PrintTo(const StepRow& row, std::ostream* os)
{
    *os << row.name;
}

const StepRow kSteps[] = {
    {"inside", 0, 10, 3, 3, 6},
    {"onto_the_maximum", 0, 10, 7, 3, 10},
    {"past_the_maximum_starts_over", 0, 10, 9, 3, 2},
    {"past_a_shifted_maximum", 5, 10, 9, 4, 8},
    {"below_the_minimum_wraps_from_the_top", 5, 10, 6, -4, 7},
    {"step_of_a_whole_range", 0, 20, 20, 20, 0},
};

class ProgressStep : public Progress, public ::testing::WithParamInterface<StepRow> {};

TEST_P(ProgressStep, StepItWrapsAroundAsWindowsDoes)
{
    const StepRow& row = GetParam();
    Send(PBM_SETRANGE, 0, MAKELPARAM(row.low, row.high));
    Send(PBM_SETPOS, static_cast<WPARAM>(row.pos));
    Send(PBM_SETSTEP, static_cast<WPARAM>(row.step));
    EXPECT_EQ(Send(PBM_STEPIT), row.pos) << "STEPIT returns the previous position";
    EXPECT_EQ(Send(PBM_GETPOS), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Steps, ProgressStep, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
