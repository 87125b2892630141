#include "TesterDialog.h"

namespace {

DialogLog* g_log = nullptr;

INT_PTR CALLBACK RecordingProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_log == nullptr)
        return FALSE;
    g_log->messages.push_back({msg, wParam, lParam});
    switch (msg) {
    case WM_INITDIALOG:
        return g_log->initResult;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_RESULT_TEXT)
            return FALSE;
        if (g_log->onResultColor)
            g_log->onResultColor(reinterpret_cast<HWND>(lParam));
        if (g_log->resultBrush != nullptr)
            return reinterpret_cast<INT_PTR>(g_log->resultBrush);
        return FALSE;
    default:
        (void)hDlg;
        return FALSE;
    }
}

}  // namespace

std::vector<DialogMessage> DialogLog::Of(UINT msg) const
{
    std::vector<DialogMessage> found;
    for (const DialogMessage& m : messages)
        if (m.msg == msg)
            found.push_back(m);
    return found;
}

std::vector<std::pair<int, int>> DialogLog::Commands() const
{
    std::vector<std::pair<int, int>> commands;
    for (const DialogMessage& m : Of(WM_COMMAND))
        if (HIWORD(m.wParam) == BN_CLICKED)
            commands.emplace_back(LOWORD(m.wParam), HIWORD(m.wParam));
    return commands;
}

LPCDLGTEMPLATEA TesterTemplate()
{
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_TESTER_DIALOG), RT_DIALOG);
    return res != nullptr ? static_cast<LPCDLGTEMPLATEA>(LockResource(LoadResource(nullptr, res))) : nullptr;
}

void TesterDialog::SetUp()
{
    g_log = &m_log;
}

void TesterDialog::TearDown()
{
    if (m_hDlg != nullptr && IsWindow(m_hDlg))
        DestroyWindow(m_hDlg);
    // Leave nothing queued for the next test (Wine runs them all in one process).
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT)
            break;
    g_log = nullptr;
}

HWND TesterDialog::Create(LPARAM initParam)
{
    LPCDLGTEMPLATEA tmpl = TesterTemplate();
    EXPECT_NE(tmpl, nullptr);
    m_hDlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl, nullptr, RecordingProc, initParam);
    EXPECT_NE(m_hDlg, nullptr) << "error " << GetLastError();
    Pump();
    return m_hDlg;
}

void TesterDialog::Pump()
{
    MSG msg;
    for (int n = 0; n < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (m_hDlg != nullptr && IsWindow(m_hDlg) && IsDialogMessageA(m_hDlg, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TesterDialog::PostKey(HWND hwnd, UINT vk)
{
    PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
    PostMessageA(hwnd, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    Pump();
}
