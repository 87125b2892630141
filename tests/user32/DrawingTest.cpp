// What compat records of drawing: the statics' painting and colour requests,
// text drawn through GetDC as the verdict is, the dialog's background painting
// over its children, the icon of a minimised window and the log's lines.
#include "TesterDialog.h"

#include <compat/Ui.h>

#include <cstring>
#include <string>

namespace {

using compat::DrawOp;

HWND LabelWithText(HWND dlg, const char* text)
{
    for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char buffer[64] = "";
        GetWindowTextA(c, buffer, sizeof buffer);
        if (std::string(buffer) == text)
            return c;
    }
    return nullptr;
}

std::vector<DrawOp> OfKind(const std::vector<DrawOp>& ops, DrawOp::Kind kind)
{
    std::vector<DrawOp> found;
    for (const DrawOp& op : ops)
        if (op.kind == kind)
            found.push_back(op);
    return found;
}

// What ShowResult does: the word in a 42-point Arial, transparent, centred.
void DrawVerdict(HWND area, const char* word, COLORREF colour)
{
    LOGFONTA lf{};
    lf.lfHeight = -56;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&lf);
    HDC hdc = GetDC(area);
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, colour);
    RECT rc;
    GetClientRect(area, &rc);
    DrawTextA(hdc, word, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(hdc, old);
    ReleaseDC(area, hdc);
    DeleteObject(font);
}

using Drawing = TesterDialog;

TEST_F(Drawing, LabelFillsWithTheDefaultColourThenDrawsItsTextInTheDialogFont)
{
    Create();
    HWND label = LabelWithText(m_hDlg, "Device Port");
    ASSERT_NE(label, nullptr);
    compat::ClearDrawRecord(label);
    InvalidateRect(label, nullptr, TRUE);
    UpdateWindow(label);
    const std::vector<DrawOp> ops = compat::DrawRecord(label);
    ASSERT_EQ(ops.size(), 2u);
    RECT client;
    GetClientRect(label, &client);
    EXPECT_EQ(ops[0].kind, DrawOp::Kind::Fill);
    EXPECT_EQ(ops[0].color, GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(ops[0].hollow);
    EXPECT_TRUE(EqualRect(&ops[0].rect, &client));
    EXPECT_EQ(ops[1].kind, DrawOp::Kind::Text);
    EXPECT_EQ(ops[1].text, "Device Port");
    EXPECT_EQ(ops[1].fontFace, "MS Shell Dlg");
    EXPECT_EQ(ops[1].fontHeight, -11);
    EXPECT_EQ(ops[1].format & (DT_CENTER | DT_RIGHT | DT_WORDBREAK), static_cast<UINT>(DT_WORDBREAK));
    EXPECT_EQ(ops[1].color, GetSysColor(COLOR_WINDOWTEXT));
    const auto colours = m_log.Of(WM_CTLCOLORSTATIC);
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(reinterpret_cast<HWND>(colours.back().lParam), label);
}

TEST_F(Drawing, HollowBrushLeavesTheVerdictAndTheDialogsBackgroundCoversIt)
{
    m_log.resultBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    Create();
    HWND area = Item(IDC_RESULT_TEXT);
    DrawVerdict(area, "OK", RGB(0, 170, 0));
    std::vector<DrawOp> shown = compat::Visible(area);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "OK");
    EXPECT_EQ(shown[0].color, RGB(0, 170, 0));
    EXPECT_EQ(shown[0].bkMode, TRANSPARENT);
    EXPECT_EQ(shown[0].fontFace, "Arial");
    EXPECT_EQ(shown[0].fontHeight, -56);
    EXPECT_EQ(shown[0].format, static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));

    // The static's own paint fills with the hollow brush: the verdict stays.
    InvalidateRect(area, nullptr, TRUE);
    UpdateWindow(area);
    const auto fills = OfKind(compat::DrawRecord(area), DrawOp::Kind::Fill);
    ASSERT_FALSE(fills.empty());
    EXPECT_TRUE(fills.back().hollow);
    EXPECT_EQ(compat::Visible(area).size(), 1u);

    // The dialog's background painting goes over its children.
    InvalidateRect(m_hDlg, nullptr, TRUE);
    UpdateWindow(m_hDlg);
    EXPECT_TRUE(compat::Visible(area).empty());
    EXPECT_FALSE(m_log.Of(WM_CTLCOLORDLG).empty()) << "the dialog asks for its own colour";

    // Drawn again at the static's colour request, it is back after repainting.
    m_log.onResultColor = [](HWND a) { DrawVerdict(a, "NG", RGB(255, 0, 0)); };
    InvalidateRect(m_hDlg, nullptr, TRUE);
    UpdateWindow(m_hDlg);
    shown = compat::Visible(area);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "NG");
    EXPECT_EQ(shown[0].color, RGB(255, 0, 0));
}

TEST_F(Drawing, LogLinesAreDrawnInOrderWithTheSelectionHighlighted)
{
    Create();
    HWND list = Item(IDC_RESULT_LIST);
    INT stop = 190;
    SendMessageA(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    EXPECT_EQ(compat::ListBoxTabStops(list), std::vector<int>{MulDiv(190, 6, 4)});
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first\tOK!"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second\tFAILED!"));
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    compat::ClearDrawRecord(list);
    UpdateWindow(list);
    const auto texts = OfKind(compat::DrawRecord(list), DrawOp::Kind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "first\tOK!");
    EXPECT_EQ(texts[1].text, "second\tFAILED!");
    EXPECT_TRUE(texts[0].format & DT_EXPANDTABS);
    EXPECT_EQ(texts[0].color, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(texts[1].color, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(texts[1].rect.top, texts[0].rect.bottom);
}

// A window that draws its icon centred while minimised, as the dialog does.
LRESULT CALLBACK IconWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT && IsIconic(hwnd)) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        const int cx = GetSystemMetrics(SM_CXICON);
        const int cy = GetSystemMetrics(SM_CYICON);
        DrawIcon(hdc, (rc.right - cx + 1) / 2, (rc.bottom - cy + 1) / 2,
                 LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct IconRow {
    const char* name;
    int width, height;
    int x, y;
};

void PrintTo(const IconRow& row, std::ostream* os)
{
    *os << row.name;
}

class MinimisedIcon : public ::testing::TestWithParam<IconRow> {};

TEST_P(MinimisedIcon, IsDrawnCentredInTheGivenClientArea)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = IconWindowProc;
    wc.lpszClassName = "DuoprobeIconWindow";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    compat::MinimizeWindow(hwnd, GetParam().width, GetParam().height);
    ASSERT_TRUE(IsIconic(hwnd));
    RECT rc;
    GetClientRect(hwnd, &rc);
    EXPECT_EQ(rc.right, GetParam().width);
    compat::ClearDrawRecord(hwnd);
    UpdateWindow(hwnd);
    const auto icons = OfKind(compat::DrawRecord(hwnd), DrawOp::Kind::Icon);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].x, GetParam().x);
    EXPECT_EQ(icons[0].y, GetParam().y);
    EXPECT_EQ(icons[0].icon, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    DestroyWindow(hwnd);
}

const IconRow kIcons[] = {
    {"wide", 161, 100, 65, 34},
    {"narrower_than_the_icon", 20, 20, -5, -5},
};

INSTANTIATE_TEST_SUITE_P(Sizes, MinimisedIcon, ::testing::ValuesIn(kIcons),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
