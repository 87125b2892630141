// The progress class exists only once InitCommonControls has run. Its own
// executable, so that nothing registered the class before.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

TEST(CommonControls, ProgressClassComesWithInitCommonControls)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    InitCommonControls();
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
    DestroyWindow(bar);
}
