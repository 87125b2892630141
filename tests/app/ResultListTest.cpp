// The result log: status words move behind a tab; the newest line is selected.
#include "TesterProbe.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <compat/Ui.h>
#endif

namespace {

struct ShapeCase {
    const char* name;
    const char* text;
    const char* line;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class ShapeLineTest : public testing::TestWithParam<ShapeCase> {};

TEST_P(ShapeLineTest, MovesTheFirstStatusWordBehindATab)
{
    EXPECT_EQ(std::string(CResultList::ShapeLine(GetParam().text)), GetParam().line);
}

const ShapeCase kShapeCases[] = {
    {"step_ok", "RTS Signal testing...OK!", "RTS Signal testing...\tOK!"},
    {"step_failed", "Compare data...FAILED!", "Compare data...\tFAILED!"},
    {"blank_before_status_kept", "Write 512 bytes from COM3 to COM1... [512/512] OK!",
     "Write 512 bytes from COM3 to COM1... [512/512] \tOK!"},
    {"only_ok", "OK!", "\tOK!"},
    {"text_after_ok_dropped", "Set baud rate to 9600 bps...OK! and more", "Set baud rate to 9600 bps...\tOK!"},
    {"ok_wins_over_earlier_failed", "FAILED! then OK!", "FAILED! then \tOK!"},
    {"failed_twice_cut_at_first", "a FAILED! b FAILED!", "a \tFAILED!"},
    {"other_case_is_no_status", "Compare data...ok!", "Compare data...ok!"},
    {"no_exclamation_is_no_status", "Compare data...OK", "Compare data...OK"},
    {"heading_unchanged", "=== Begin Signal Test ===", "=== Begin Signal Test ==="},
    {"user_cancelled_unchanged", "User cancelled!", "User cancelled!"},
    {"empty", "", ""},
};

INSTANTIATE_TEST_SUITE_P(ResultList, ShapeLineTest, testing::ValuesIn(kShapeCases),
                         [](const testing::TestParamInfo<ShapeCase>& info) { return info.param.name; });

#ifndef _WIN32
// Under a double-byte code page (Shift-JIS here, set through compat; a Wine
// process cannot change its code page) "OK!" whose 'O' is the trail byte of
// a double-byte character is no status word.
TEST(ResultList, StatusWordNeverStartsInsideADoubleByteCharacter)
{
    compat::SetCodePage(932);
    EXPECT_EQ(std::string(CResultList::ShapeLine("Step\x83OK!")), "Step\x83OK!");
    EXPECT_EQ(std::string(CResultList::ShapeLine("Step\x83OOK!")), "Step\x83O\tOK!");
    EXPECT_EQ(std::string(CResultList::ShapeLine("\x83OK! then FAILED!")), "\x83OK! then \tFAILED!");
    compat::SetCodePage(1252);
    EXPECT_EQ(std::string(CResultList::ShapeLine("Step\x83OK!")), "Step\x83\tOK!") << "a single-byte code page";
}
#endif

TEST(ResultList, CarriesItsRunTimeClass)
{
    CResultList list;
    EXPECT_STREQ(list.GetRuntimeClass()->m_lpszClassName, "CResultList");
    EXPECT_EQ(list.GetRuntimeClass()->m_pBaseClass, RUNTIME_CLASS(CListBox));
    EXPECT_TRUE(list.IsKindOf(RUNTIME_CLASS(CWnd)));
}

TEST(ResultList, AddsInOrderAndSelectsTheNewestLine)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        HWND hList = dlg.Item(IDC_RESULT_LIST);
        const char* texts[] = {"=== Begin Baudrate Test ===", "Set baud rate to 9600 bps...OK!", "", "Compare data...FAILED!"};
        for (int i = 0; i < 4; ++i) {
            dlg.m_lstResult.AddLine(texts[i]);
            EXPECT_EQ(::SendMessageA(hList, LB_GETCURSEL, 0, 0), i) << "after line " << i;
        }
        EXPECT_EQ(dlg.Log(), (std::vector<std::string>{"=== Begin Baudrate Test ===", "Set baud rate to 9600 bps...\tOK!",
                                                       "", "Compare data...\tFAILED!"}));
    });
}

TEST(ResultList, KeepsTheNewestLineInViewAndAcceptsLongLines)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        HWND hList = dlg.Item(IDC_RESULT_LIST);
        const int stop = 190;
        ::SendMessageA(hList, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
        const std::string wide(120, 'W');
        for (int i = 0; i < 40; ++i)
            dlg.m_lstResult.AddLine((wide + " step...OK!").c_str());
        const LRESULT last = ::SendMessageA(hList, LB_GETCOUNT, 0, 0) - 1;
        EXPECT_EQ(last, 39);
        EXPECT_EQ(::SendMessageA(hList, LB_GETCURSEL, 0, 0), last);
        RECT client;
        ::GetClientRect(hList, &client);
        const LRESULT itemHeight = ::SendMessageA(hList, LB_GETITEMHEIGHT, 0, 0);
        ASSERT_GT(itemHeight, 0);
        const LRESULT top = ::SendMessageA(hList, LB_GETTOPINDEX, 0, 0);
        const LRESULT visible = (client.bottom - client.top) / itemHeight;
        EXPECT_LE(top, last);
        EXPECT_GT(top + visible, last) << "the newest line is scrolled out of view";
    });
}

} // namespace
