// Windows and GDI: destruction order, focus, enabling, minimising, window
// longs, text, geometry, system metrics, and the GDI objects and device
// context attributes the program uses.
#include "PlainWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_top = CreatePlain(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
        ASSERT_NE(m_top, nullptr);
        m_a = CreatePlain(WS_CHILD | WS_VISIBLE, m_top, 11, 50, 20);
        m_b = CreatePlain(WS_CHILD | WS_VISIBLE, m_top, 12, 50, 20);
        PumpAll();
        SentMessages().clear();
    }
    void TearDown() override
    {
        if (IsWindow(m_top))
            DestroyWindow(m_top);
        PumpAll();
    }
    HWND m_top = nullptr;
    HWND m_a = nullptr;
    HWND m_b = nullptr;
};

TEST_F(Windows, DestroySendsDestroyParentFirstAndNcDestroyChildrenFirst)
{
    DestroyWindow(m_top);
    std::vector<std::pair<HWND, UINT>> order;
    for (const WindowMessage& m : SentMessages())
        if (m.msg == WM_DESTROY || m.msg == WM_NCDESTROY)
            order.emplace_back(m.hwnd, m.msg);
    const std::vector<std::pair<HWND, UINT>> expected = {
        {m_top, WM_DESTROY}, {m_a, WM_DESTROY}, {m_b, WM_DESTROY},
        {m_a, WM_NCDESTROY}, {m_b, WM_NCDESTROY}, {m_top, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(m_top));
    EXPECT_FALSE(IsWindow(m_a));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DestroyWindow(m_a));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "Wine's answer for a window not there";
}

TEST_F(Windows, FocusMovesWithKillAndSetFocusNamingTheOtherWindow)
{
    SetFocus(m_a);
    SentMessages().clear();
    EXPECT_EQ(SetFocus(m_b), m_a);
    const auto kill = SentOf(WM_KILLFOCUS);
    const auto set = SentOf(WM_SETFOCUS);
    ASSERT_EQ(kill.size(), 1u);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(kill[0].hwnd, m_a);
    EXPECT_EQ(reinterpret_cast<HWND>(kill[0].wParam), m_b);
    EXPECT_EQ(set[0].hwnd, m_b);
    EXPECT_EQ(reinterpret_cast<HWND>(set[0].wParam), m_a);
    EXPECT_EQ(GetFocus(), m_b);
    SentMessages().clear();
    EXPECT_EQ(SetFocus(m_b), m_b);
    EXPECT_TRUE(SentOf(WM_SETFOCUS).empty()) << "no messages when the focus stays";
}

TEST_F(Windows, EnableWindowSendsWmEnableOnChangeAndDisablingTheFocusTakesIt)
{
    SetFocus(m_a);
    SentMessages().clear();
    EXPECT_FALSE(EnableWindow(m_a, FALSE));
    ASSERT_EQ(SentOf(WM_ENABLE).size(), 1u);
    EXPECT_EQ(SentOf(WM_ENABLE)[0].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(GetWindowLongA(m_a, GWL_STYLE) & WS_DISABLED);
    EXPECT_TRUE(EnableWindow(m_a, FALSE));
    EXPECT_EQ(SentOf(WM_ENABLE).size(), 1u) << "no change, no message";
    EXPECT_TRUE(EnableWindow(m_a, TRUE));
    EXPECT_TRUE(IsWindowEnabled(m_a));
}

TEST_F(Windows, MinimiseAndRestore)
{
    RECT before;
    GetClientRect(m_top, &before);
    EXPECT_FALSE(IsIconic(m_top));
    ShowWindow(m_top, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(m_top));
    EXPECT_TRUE(GetWindowLongA(m_top, GWL_STYLE) & WS_MINIMIZE);
    ShowWindow(m_top, SW_RESTORE);
    EXPECT_FALSE(IsIconic(m_top));
    RECT after;
    GetClientRect(m_top, &after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
}

TEST_F(Windows, VisibilityNeedsTheParentVisible)
{
    EXPECT_TRUE(IsWindowVisible(m_a));
    EXPECT_TRUE(ShowWindow(m_top, SW_HIDE)) << "was visible";
    EXPECT_FALSE(IsWindowVisible(m_a));
    EXPECT_TRUE(GetWindowLongA(m_a, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(ShowWindow(m_top, SW_SHOW)) << "was hidden";
    EXPECT_TRUE(IsWindowVisible(m_a));
}

TEST_F(Windows, WindowLongsAndTheirErrors)
{
    EXPECT_TRUE(GetWindowLongA(m_a, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(GetWindowLongPtrA(m_a, GWLP_ID), 11);
    EXPECT_EQ(GetDlgCtrlID(m_b), 12);
    EXPECT_EQ(GetDlgItem(m_top, 12), m_b);
    EXPECT_EQ(GetParent(m_a), m_top);
    EXPECT_EQ(SetWindowLongPtrA(m_a, GWLP_USERDATA, 42), 0);
    EXPECT_EQ(SetWindowLongPtrA(m_a, GWLP_USERDATA, 43), 42);
    EXPECT_EQ(GetWindowLongPtrA(m_a, GWLP_USERDATA), 43);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetWindowLongPtrA(m_a, 64), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    HWND gone = CreatePlain(WS_POPUP);
    DestroyWindow(gone);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetWindowLongA(gone, GWL_STYLE), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Windows, TextIsSetAndReadBackCutToTheBuffer)
{
    EXPECT_TRUE(SetWindowTextA(m_top, "Duoprobe ver 2.3.0.5"));
    EXPECT_EQ(GetWindowTextLengthA(m_top), 20);
    char text[8];
    EXPECT_EQ(GetWindowTextA(m_top, text, sizeof text), 7);
    EXPECT_STREQ(text, "Duoprob");
    EXPECT_EQ(FindWindowA("DuoprobeTestPlain", "duoprobe ver 2.3.0.5"), m_top);
    EXPECT_EQ(FindWindowA(nullptr, "no such window title"), nullptr);
    char cls[32];
    EXPECT_EQ(GetClassNameA(m_a, cls, sizeof cls), 17);
    EXPECT_STREQ(cls, "DuoprobeTestPlain");
}

TEST_F(Windows, MovingAndSizingAChild)
{
    EXPECT_TRUE(SetWindowPos(m_a, nullptr, 5, 6, 70, 30, SWP_NOZORDER | SWP_NOACTIVATE));
    RECT client;
    GetClientRect(m_a, &client);
    EXPECT_EQ(client.right, 70);
    EXPECT_EQ(client.bottom, 30);
    RECT rc;
    GetWindowRect(m_a, &rc);
    POINT p = {rc.left, rc.top};
    ScreenToClient(m_top, &p);
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 6);
    const auto sizes = SentOf(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back().lParam, MAKELPARAM(70, 30));
    EXPECT_TRUE(MoveWindow(m_a, 1, 2, 70, 30, TRUE));
    GetWindowRect(m_a, &rc);
    p = {rc.left, rc.top};
    ScreenToClient(m_top, &p);
    EXPECT_EQ(p.x, 1);
}

TEST(SystemMetrics, IconAndScreen)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
    EXPECT_NE(GetSysColorBrush(COLOR_BTNFACE), nullptr);
}

TEST(Gdi, ObjectsAndDeviceContextAttributes)
{
    HDC hdc = GetDC(nullptr);
    ASSERT_NE(hdc, nullptr);
    EXPECT_EQ(GetDeviceCaps(hdc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(hdc, LOGPIXELSY), 96);
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(brush, nullptr);
    HGDIOBJ old = SelectObject(hdc, brush);
    EXPECT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(hdc, old), brush);
    EXPECT_TRUE(DeleteObject(brush));

    LOGFONTA lf{};
    lf.lfHeight = -56;
    std::strncpy(lf.lfFaceName, "Arial", LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectA(&lf);
    ASSERT_NE(font, nullptr);
    LOGFONTA back{};
    EXPECT_EQ(GetObjectA(font, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(back.lfHeight, -56);
    EXPECT_STREQ(back.lfFaceName, "Arial");
    HGDIOBJ oldFont = SelectObject(hdc, font);
    EXPECT_EQ(SelectObject(hdc, oldFont), font);
    EXPECT_TRUE(DeleteObject(font));

    SetTextColor(hdc, RGB(0, 170, 0));
    EXPECT_EQ(SetTextColor(hdc, RGB(255, 0, 0)), RGB(0, 170, 0));
    EXPECT_EQ(GetTextColor(hdc), RGB(255, 0, 0));
    SetBkMode(hdc, OPAQUE);
    EXPECT_EQ(SetBkMode(hdc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(GetBkMode(hdc), TRANSPARENT);
    EXPECT_EQ(ReleaseDC(nullptr, hdc), 1);
}

}  // namespace
