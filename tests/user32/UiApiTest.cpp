// compat's test API: message boxes and help calls, the key helper and
// GetKeyState, tasks on the queue, leak counts, the module name, the code page,
// icons, and what compat does where Windows would block.
#include "TesterDialog.h"

#include <compat/Ui.h>

#include <thread>

namespace {

TEST(MessageBoxes, AreRecordedAndAnsweredByQueueHandlerOrDefaultButton)
{
    compat::ClearMessageBoxes();
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(MessageBoxA(owner, "Unable to open 'Device' port", "Duoprobe", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Go on?", "Duoprobe", MB_YESNO | MB_DEFBUTTON2), IDNO);
    compat::QueueMessageBoxAnswers({IDRETRY, IDCANCEL});
    EXPECT_EQ(MessageBoxA(nullptr, "a", "c", MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(MessageBoxA(nullptr, "b", "c", MB_RETRYCANCEL), IDCANCEL);
    std::string seen;
    compat::SetMessageBoxHandler([&](const compat::MessageBoxCall& call) {
        seen = call.text;
        return IDYES;
    });
    EXPECT_EQ(MessageBoxA(nullptr, "handled", "c", MB_YESNO), IDYES);
    compat::SetMessageBoxHandler(nullptr);
    EXPECT_EQ(seen, "handled");
    const auto boxes = compat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].text, "Unable to open 'Device' port");
    EXPECT_EQ(boxes[0].caption, "Duoprobe");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(boxes[0].answer, IDOK);
    EXPECT_EQ(boxes[4].answer, IDYES);
    compat::ClearMessageBoxes();
    EXPECT_TRUE(compat::MessageBoxes().empty());
}

TEST(WinHelp, CallsAreRecorded)
{
    compat::ClearWinHelpCalls();
    HWND w = reinterpret_cast<HWND>(0x10);
    EXPECT_TRUE(WinHelpA(w, "C:\\Duoprobe\\DUOPROBE.HLP", HELP_CONTEXT, 0x20000 + 102));
    const auto calls = compat::WinHelpCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].window, w);
    EXPECT_EQ(calls[0].file, "C:\\Duoprobe\\DUOPROBE.HLP");
    EXPECT_EQ(calls[0].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(calls[0].data, 0x20000u + 102);
}

struct KeyEvent {
    UINT msg;
    WPARAM key;
    bool shift;  // GetKeyState(VK_SHIFT) when it was dispatched
};
std::vector<KeyEvent> g_keys;

LRESULT CALLBACK KeyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST)
        g_keys.push_back({msg, wParam, GetKeyState(VK_SHIFT) < 0});
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class Keys : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = KeyProc;
        wc.lpszClassName = "DuoprobeKeys";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(m_hwnd, nullptr);
        compat::PumpPending();
        g_keys.clear();
    }
    void TearDown() override { DestroyWindow(m_hwnd); }
    HWND m_hwnd = nullptr;
};

TEST_F(Keys, PressGivesDownCharUpAndModifiersAroundIt)
{
    ASSERT_EQ(GetFocus(), m_hwnd);
    ASSERT_TRUE(compat::PressKey(VK_RETURN));
    compat::PumpPending();
    std::vector<UINT> order;
    for (const KeyEvent& e : g_keys)
        order.push_back(e.msg);
    EXPECT_EQ(order, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_EQ(g_keys[1].key, static_cast<WPARAM>('\r'));

    g_keys.clear();
    compat::PressKey(VK_F1, compat::kShift);
    compat::PumpPending();
    ASSERT_EQ(g_keys.size(), 4u);
    EXPECT_EQ(g_keys[1].key, static_cast<WPARAM>(VK_F1));
    EXPECT_TRUE(g_keys[1].shift) << "Shift is held while F1 is taken";
    EXPECT_FALSE(GetKeyState(VK_SHIFT) < 0) << "and released after";
    g_keys.clear();
    compat::PressKey(VK_F1);
    compat::PumpPending();
    ASSERT_EQ(g_keys.size(), 2u);
    EXPECT_FALSE(g_keys[0].shift);
}

TEST_F(Keys, WithoutFocusKeysGoToTheActiveWindowAsSystemKeys)
{
    SetFocus(nullptr);
    ASSERT_EQ(GetActiveWindow(), m_hwnd);
    compat::PressKey(VK_RETURN);
    compat::PumpPending();
    std::vector<UINT> order;
    for (const KeyEvent& e : g_keys)
        order.push_back(e.msg);
    EXPECT_EQ(order, (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP}));
}

using KeysInDialog = TesterDialog;

TEST_F(KeysInDialog, EnterOnTheFocusedStartButtonClicksIt)
{
    Create();
    ASSERT_EQ(GetFocus(), Item(IDC_START));
    compat::PressKey(VK_RETURN);
    compat::PumpPending(m_hDlg);
    EXPECT_EQ(m_log.Commands(), (std::vector<std::pair<int, int>>{{IDC_START, BN_CLICKED}}));
    compat::PressKey(VK_TAB, compat::kShift);
    compat::PumpPending(m_hDlg);
    EXPECT_EQ(GetFocus(), Item(IDC_RESULT_LIST));
}

TEST(Tasks, RunInQueueOrder)
{
    std::vector<int> order;
    HWND hwnd = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    PostMessageA(hwnd, WM_NULL, 0, 0);
    compat::PostTask([&] { order.push_back(2); });
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    order.push_back(1);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    DestroyWindow(hwnd);
}

using Leaks = TesterDialog;

TEST_F(Leaks, DialogsDcsAndObjectsAreCounted)
{
    const compat::UiCounts before = compat::CountUi();
    Create();
    EXPECT_EQ(compat::CountUi().windows, before.windows + 15) << "the dialog and its 14 controls";
    EXPECT_EQ(compat::CountUi().gdiObjects, before.gdiObjects + 1) << "the template's font";
    DestroyWindow(m_hDlg);
    EXPECT_EQ(compat::CountUi(), before);

    HDC hdc = GetDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
    EXPECT_EQ(compat::CountUi().dcs, before.dcs + 1);
    EXPECT_EQ(compat::CountUi().gdiObjects, before.gdiObjects + 1);
    EXPECT_TRUE(DeleteObject(GetStockObject(NULL_BRUSH)));
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE)));
    EXPECT_EQ(compat::CountUi().gdiObjects, before.gdiObjects + 1) << "stock objects are not deleted";
    DeleteObject(brush);
    EXPECT_FALSE(DeleteObject(brush));
    ReleaseDC(nullptr, hdc);
    EXPECT_EQ(ReleaseDC(nullptr, hdc), 0);
    EXPECT_EQ(compat::CountUi(), before);
}

TEST(ModuleName, IsTheProductsUnlessSet)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_STREQ(path, "C:\\Duoprobe\\Duoprobe.exe");
    compat::SetModuleFileName("D:\\tools\\Probe.exe");
    GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_STREQ(path, "D:\\tools\\Probe.exe");
    EXPECT_EQ(GetModuleHandleA("Probe.exe"), GetModuleHandleA(nullptr));
    compat::SetModuleFileName("C:\\Duoprobe\\Duoprobe.exe");
}

struct LeadRow {
    const char* name;
    UINT codePage;
    BYTE byte;
    bool lead;
};

void PrintTo(const LeadRow& row, std::ostream* os)
{
    *os << row.name;
}

const LeadRow kLeads[] = {
    {"sjis_0x81", 932, 0x81, true},   {"sjis_0x9f", 932, 0x9F, true},   {"sjis_0xa0", 932, 0xA0, false},
    {"sjis_0xdf", 932, 0xDF, false},  {"sjis_0xe0", 932, 0xE0, true},   {"sjis_0xfc", 932, 0xFC, true},
    {"sjis_0xfd", 932, 0xFD, false},  {"sjis_ascii", 932, 'O', false},  {"sjis_0x80", 932, 0x80, false},
    {"western_0x81", 1252, 0x81, false}, {"western_0xe0", 1252, 0xE0, false},
};

class CodePage : public ::testing::TestWithParam<LeadRow> {
protected:
    void TearDown() override { compat::SetCodePage(1252); }
};

TEST_P(CodePage, LeadBytesFollowTheAnsiCodePage)
{
    compat::SetCodePage(GetParam().codePage);
    EXPECT_EQ(GetACP(), GetParam().codePage);
    EXPECT_EQ(IsDBCSLeadByte(GetParam().byte) != FALSE, GetParam().lead);
}

INSTANTIATE_TEST_SUITE_P(Bytes, CodePage, ::testing::ValuesIn(kLeads),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Icons, ProgramIconIsItsResource)
{
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    const compat::IconDescription d = compat::DescribeIcon(icon);
    EXPECT_TRUE(d.valid);
    EXPECT_FALSE(d.standard);
    EXPECT_EQ(d.resourceId, IDR_MAINFRAME);
    EXPECT_EQ(d.width, 32);
    EXPECT_EQ(d.height, 32);
    EXPECT_TRUE(compat::DescribeIcon(LoadIconA(nullptr, IDI_ERROR)).standard);
    EXPECT_FALSE(compat::DescribeIcon(nullptr).valid);
}

TEST(GetMessageGuard, AbortsALoopThatNothingWillEverWake)
{
    EXPECT_DEATH(
        {
            compat::SetGetMessageBound(50);
            MSG msg;
            GetMessageA(&msg, nullptr, 0, 0);
        },
        "GetMessageA waited 50 ms with nothing to take");
}

// Windows would block the sender until the window's thread takes the message;
// compat refuses instead.
TEST(CrossThread, SendMessageToAnotherThreadsWindowFails)
{
    HWND hwnd = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    LRESULT result = 1;
    DWORD error = 0;
    std::thread other([&] {
        result = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
        error = GetLastError();
    });
    other.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    DestroyWindow(hwnd);
}

}  // namespace
