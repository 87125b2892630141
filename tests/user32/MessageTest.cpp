// Messages: registered messages, posting and peeking with filters, the order
// in which a queue gives its messages (posted, the quit message, WM_PAINT),
// posting from another thread, sending within the thread, translation.
#include "PlainWindow.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class Messages : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hwnd = CreatePlain(WS_POPUP | WS_VISIBLE);
        ASSERT_NE(m_hwnd, nullptr);
        PumpAll();
        SentMessages().clear();
    }
    void TearDown() override
    {
        DestroyWindow(m_hwnd);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_QUIT)
                break;
    }
    HWND m_hwnd = nullptr;
};

TEST_F(Messages, RegisteredNamesGiveOneIdWhateverTheCase)
{
    const UINT a = RegisterWindowMessageA("Duoprobe_TestMessage");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessageA("DUOPROBE_testmessage"), a);
    EXPECT_NE(RegisterWindowMessageA("Duoprobe_OtherMessage"), a);
}

TEST_F(Messages, PeekTakesInOrderWithinItsFilters)
{
    PostMessageA(m_hwnd, WM_USER + 1, 1, 0);
    PostMessageA(m_hwnd, WM_APP, 2, 0);
    PostMessageA(m_hwnd, WM_USER + 2, 3, 0);
    PostMessageA(nullptr, WM_USER + 3, 4, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u) << "PM_NOREMOVE leaves the message";
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4u) << "-1 takes thread messages only";
    EXPECT_EQ(msg.hwnd, nullptr);
    ASSERT_TRUE(PeekMessageA(&msg, m_hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(msg.hwnd, m_hwnd);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, QuitComesOnceAfterThePostedMessages)
{
    PostQuitMessage(7);
    PostMessageA(m_hwnd, WM_USER, 0, 0);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Messages, QuitIsTakenWhateverTheRangeAndBeforePainting)
{
    InvalidateRect(m_hwnd, nullptr, TRUE);
    PostQuitMessage(3);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
}

TEST_F(Messages, PaintComesWhenNothingElseIsQueuedAndUntilValidated)
{
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    InvalidateRect(m_hwnd, nullptr, TRUE);
    PostMessageA(m_hwnd, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(msg.hwnd, m_hwnd);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "still invalid";
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageA(&msg);  // DefWindowProc paints: BeginPaint validates
    EXPECT_EQ(SentOf(WM_ERASEBKGND).size(), 1u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    // Without erasing, BeginPaint sends no WM_ERASEBKGND.
    SentMessages().clear();
    InvalidateRect(m_hwnd, nullptr, FALSE);
    EXPECT_TRUE(UpdateWindow(m_hwnd));
    EXPECT_EQ(SentOf(WM_PAINT).size(), 1u);
    EXPECT_TRUE(SentOf(WM_ERASEBKGND).empty());
}

TEST_F(Messages, PostsFromAnotherThreadLandInTheWindowsThread)
{
    const DWORD self = GetCurrentThreadId();
    std::thread poster([&] {
        for (int i = 0; i < 50; ++i)
            PostMessageA(m_hwnd, WM_USER, i, 0);
        PostThreadMessageA(self, WM_APP, 99, 0);
    });
    std::vector<WPARAM> got;
    bool threadMessage = false;  // the last post; the window posts come before it
    const DWORD start = GetTickCount();
    while (!threadMessage && GetTickCount() - start < 10000) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            continue;
        if (msg.message == WM_USER) {
            EXPECT_EQ(msg.hwnd, m_hwnd);
            got.push_back(msg.wParam);
        } else if (msg.message == WM_APP) {
            EXPECT_EQ(msg.hwnd, nullptr);
            threadMessage = true;
        }
    }
    poster.join();
    EXPECT_TRUE(threadMessage);
    ASSERT_EQ(got.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(got[i], static_cast<WPARAM>(i));
}

TEST_F(Messages, PostAndSendToAMissingWindowFail)
{
    HWND gone = CreatePlain(WS_POPUP);
    DestroyWindow(gone);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(PostMessageA(gone, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SendMessageA(gone, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Messages, SendWithinTheThreadCallsTheProcedure)
{
    EXPECT_EQ(SendMessageA(m_hwnd, WM_USER + 100, 5, 6), 0x1234);
    ASSERT_EQ(SentOf(WM_USER + 100).size(), 1u);
    EXPECT_EQ(SentOf(WM_USER + 100)[0].wParam, 5u);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "nothing was queued";
}

TEST_F(Messages, TranslateMakesACharacterBeforeTheNextPostedMessage)
{
    MSG key = {m_hwnd, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('\r'));
    EXPECT_EQ(msg.hwnd, m_hwnd);
    MSG other = {m_hwnd, WM_USER, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&other));
}

}  // namespace
