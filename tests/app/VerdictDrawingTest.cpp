// What the dialog draws, from compat's record of the drawing calls: the
// verdict with its shadow, the blank, the minimised icon; and F1's help call.
#include "TesterProbe.h"

#include <compat/Ui.h>

#include <gtest/gtest.h>

namespace {

using compat::DrawOp;

std::vector<DrawOp> Texts(const std::vector<DrawOp>& ops)
{
    std::vector<DrawOp> texts;
    for (const DrawOp& op : ops)
        if (op.kind == DrawOp::Kind::Text)
            texts.push_back(op);
    return texts;
}

struct VerdictCase {
    const char* name;
    bool failed;
    const char* text;
    COLORREF color;
};

void PrintTo(const VerdictCase& c, std::ostream* os) { *os << c.name; }

class VerdictDrawing : public testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictDrawing, ShadowFirstThenTheWordCentredInArial42)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        HWND hArea = dlg.Item(IDC_RESULT_TEXT);
        RECT client;
        ::GetClientRect(hArea, &client);
        compat::ClearDrawRecord(hArea);
        const compat::UiCounts before = compat::CountUi();
        dlg.m_bFailed = GetParam().failed;
        dlg.ShowResult();
        EXPECT_EQ(compat::CountUi(), before) << "the font and the device context went with the call";

        const std::vector<DrawOp> texts = Texts(compat::DrawRecord(hArea));
        ASSERT_EQ(texts.size(), 2u);
        const DrawOp& shadow = texts[0];
        const DrawOp& word = texts[1];
        EXPECT_EQ(shadow.text, GetParam().text);
        EXPECT_EQ(shadow.color, RGB(192, 192, 192));
        EXPECT_EQ(shadow.rect.left, client.left + 5);
        EXPECT_EQ(shadow.rect.top, client.top + 5);
        EXPECT_EQ(shadow.rect.right, client.right + 5);
        EXPECT_EQ(shadow.rect.bottom, client.bottom + 5);
        EXPECT_EQ(word.text, GetParam().text);
        EXPECT_EQ(word.color, GetParam().color);
        EXPECT_TRUE(EqualRect(&word.rect, &client));
        for (const DrawOp* op : {&shadow, &word}) {
            EXPECT_EQ(op->format, static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
            EXPECT_EQ(op->bkMode, TRANSPARENT);
            EXPECT_EQ(op->fontFace, "Arial");
            EXPECT_EQ(op->fontHeight, -56) << "42 points at 96 pixels per inch";
            EXPECT_EQ(op->fontWeight, 0);
            EXPECT_FALSE(op->fontItalic);
        }
        EXPECT_TRUE(dlg.m_bResultShown);
    });
}

const VerdictCase kVerdicts[] = {
    {"passed", false, "OK", RGB(0, 170, 0)},
    {"failed", true, "NG", RGB(255, 0, 0)},
};

INSTANTIATE_TEST_SUITE_P(Verdict, VerdictDrawing, testing::ValuesIn(kVerdicts),
                         [](const testing::TestParamInfo<VerdictCase>& info) { return info.param.name; });

TEST(Verdict, ClearFillsTheAreaWithTheButtonFace)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        HWND hArea = dlg.Item(IDC_RESULT_TEXT);
        RECT client;
        ::GetClientRect(hArea, &client);
        dlg.m_bResultShown = true;
        compat::ClearDrawRecord(hArea);
        dlg.ClearResult();
        const std::vector<DrawOp> ops = compat::DrawRecord(hArea);
        ASSERT_EQ(ops.size(), 1u);
        EXPECT_EQ(ops[0].kind, DrawOp::Kind::Fill);
        EXPECT_EQ(ops[0].color, ::GetSysColor(COLOR_BTNFACE));
        EXPECT_TRUE(EqualRect(&ops[0].rect, &client));
        EXPECT_TRUE(dlg.m_bResultShown) << "the caller clears the flag, not ClearResult";
    });
}

TEST(Verdict, AreaPaintsNothingOfItsOwn)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        HWND hArea = dlg.Item(IDC_RESULT_TEXT);
        ::UpdateWindow(dlg.m_hWnd);
        compat::ClearDrawRecord(hArea);
        ::InvalidateRect(hArea, nullptr, TRUE);
        ::UpdateWindow(hArea);
        for (const DrawOp& op : compat::DrawRecord(hArea))
            EXPECT_TRUE(op.kind == DrawOp::Kind::Fill && op.hollow) << "the static drew something visible";
    });
}

TEST(TesterDialog, MinimisedDialogDrawsItsIconCentred)
{
    struct Size {
        int width, height, x, y;
    };
    for (const Size& size : {Size{161, 40, 65, 4}, Size{20, 20, -5, -5}}) {
        CTesterProbe dlg;
        dlg.Run([&] {
            compat::MinimizeWindow(dlg.m_hWnd, size.width, size.height);
            compat::ClearDrawRecord(dlg.m_hWnd);
            ::InvalidateRect(dlg.m_hWnd, nullptr, TRUE);
            ::UpdateWindow(dlg.m_hWnd);
            std::vector<DrawOp> icons;
            for (const DrawOp& op : compat::DrawRecord(dlg.m_hWnd))
                if (op.kind == DrawOp::Kind::Icon)
                    icons.push_back(op);
            ASSERT_EQ(icons.size(), 1u) << size.width;
            EXPECT_EQ(icons[0].icon, dlg.m_hIcon);
            EXPECT_EQ(icons[0].x, size.x) << size.width;
            EXPECT_EQ(icons[0].y, size.y) << size.width;
            EXPECT_EQ(::SendMessageA(dlg.m_hWnd, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(dlg.m_hIcon));
        });
    }
}

TEST(TesterDialog, IconIsTheProgramsOwn)
{
    CTesterProbe dlg;
    dlg.Run([&] {
        const compat::IconDescription icon = compat::DescribeIcon(dlg.m_hIcon);
        EXPECT_TRUE(icon.valid);
        EXPECT_FALSE(icon.standard);
        EXPECT_EQ(icon.resourceId, IDR_MAINFRAME);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(dlg.m_hWnd, WM_GETICON, ICON_BIG, 0)), dlg.m_hIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(dlg.m_hWnd, WM_GETICON, ICON_SMALL, 0)), dlg.m_hIcon);
    });
}

struct HelpKeyCase {
    const char* name;
    unsigned modifiers;
    bool help;
};

void PrintTo(const HelpKeyCase& c, std::ostream* os) { *os << c.name; }

class HelpKey : public testing::TestWithParam<HelpKeyCase> {};

TEST_P(HelpKey, F1AloneAsksForTheDialogsTopic)
{
    compat::ClearWinHelpCalls();
    CTesterProbe dlg;
    HWND hDialog = nullptr;
    dlg.Run([&] {
        hDialog = dlg.m_hWnd;
        TestApp().m_pMainWnd = &dlg;
        ASSERT_TRUE(compat::PressKey(VK_F1, GetParam().modifiers));
        PumpQueued();
    });
    TestApp().m_pMainWnd = nullptr;
    const auto calls = compat::WinHelpCalls();
    if (!GetParam().help) {
        EXPECT_TRUE(calls.empty());
        return;
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].window, hDialog);
    EXPECT_EQ(calls[0].file, "C:\\Duoprobe\\Duoprobe.HLP");
    EXPECT_EQ(calls[0].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(calls[0].data, static_cast<ULONG_PTR>(0x20000 + 102));
}

const HelpKeyCase kHelpKeys[] = {
    {"f1", compat::kNoModifier, true},
    {"shift_f1", compat::kShift, false},
    {"ctrl_f1", compat::kControl, false},
    {"alt_f1", compat::kAlt, false},
};

INSTANTIATE_TEST_SUITE_P(TesterDialog, HelpKey, testing::ValuesIn(kHelpKeys),
                         [](const testing::TestParamInfo<HelpKeyCase>& info) { return info.param.name; });

TEST(TesterDialog, EnterOnStartStartsARun)
{
    // Natively the initially focused push button takes Enter, as on Windows.
    compat::ClearMessageBoxes();
    CTesterProbe dlg;
    const INT_PTR result = dlg.Run([&] {
        ::SendMessageA(dlg.Item(IDC_DEVICE_PORT), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("COM9"));
        ASSERT_EQ(::GetFocus(), dlg.Item(IDC_START));
        ASSERT_TRUE(compat::PressKey(VK_RETURN));
        PumpQueued();
    });
    EXPECT_EQ(result, IDABORT) << "the dialog stayed open";
    const auto boxes = compat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << "the run tried the ports";
    EXPECT_EQ(boxes[0].text, "Unable to open 'Device' port");
    compat::ClearMessageBoxes();
}

} // namespace
