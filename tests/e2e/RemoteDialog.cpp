#include "RemoteDialog.h"

#include "Poll.h"

#include <commctrl.h>

#include <stdexcept>

namespace e2e {

const char CRemoteDialog::kCaption[] = "Duoprobe ver 2.3.0.5";

namespace {

// Longer than the dialog's longest busy stretch, a 3 s port read.
const UINT kSendTimeout = 10000;

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &result[0], size, nullptr,
                          nullptr);
    return result;
}

std::string ClassName(HWND hWnd)
{
    wchar_t name[64] = L"";
    ::GetClassNameW(hWnd, name, 64);
    return Narrow(name);
}

DWORD ThreadOf(HWND hWnd)
{
    return ::GetWindowThreadProcessId(hWnd, nullptr);
}

struct Search {
    DWORD dwProcessId;
    HWND hExcept;
    HWND hFound;
};

// A visible dialog-class window of the process, other than the one excepted;
// with no exception, the one captioned as Duoprobe's dialog.
BOOL CALLBACK MatchTopLevel(HWND hWnd, LPARAM lParam)
{
    Search& search = *reinterpret_cast<Search*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId != search.dwProcessId || hWnd == search.hExcept || !::IsWindowVisible(hWnd) ||
        ClassName(hWnd) != "#32770")
        return TRUE;
    if (search.hExcept == nullptr && WindowText(hWnd) != CRemoteDialog::kCaption)
        return TRUE;
    search.hFound = hWnd;
    return FALSE;
}

HWND FindTopLevel(DWORD dwProcessId, HWND hExcept)
{
    Search search = {dwProcessId, hExcept, nullptr};
    ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

BOOL CALLBACK MatchTextStatic(HWND hWnd, LPARAM lParam)
{
    if (ClassName(hWnd) != "Static" || WindowText(hWnd).empty())
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

} // namespace

std::string WindowText(HWND hWnd)
{
    // For another process's window this reads the text the system keeps,
    // without a message: it cannot block.
    wchar_t text[512] = L"";
    ::GetWindowTextW(hWnd, text, 512);
    return Narrow(text);
}

CRemoteDialog CRemoteDialog::Find(const CProcess& process, DWORD ms)
{
    HWND hFound = nullptr;
    PollUntil(ms, [&] {
        hFound = FindTopLevel(process.Id(), nullptr);
        return hFound != nullptr || process.HasExited();
    });
    if (hFound == nullptr)
        throw std::runtime_error(process.HasExited() ? "Duoprobe ended without showing its dialog"
                                                     : "no Duoprobe dialog within " + std::to_string(ms) + " ms");
    return CRemoteDialog(hFound);
}

HWND CRemoteDialog::Item(int nID) const
{
    const HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (hItem == nullptr)
        throw std::runtime_error("the dialog has no control " + std::to_string(nID));
    return hItem;
}

LRESULT CRemoteDialog::Send(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hWnd, nMsg, wParam, lParam, SMTO_NORMAL, kSendTimeout, &result))
        throw std::runtime_error("the dialog did not answer message " + std::to_string(nMsg) + " within " +
                                 std::to_string(kSendTimeout) + " ms");
    return static_cast<LRESULT>(result);
}

std::string CRemoteDialog::ItemText(HWND hWnd, UINT nLengthMsg, UINT nTextMsg, WPARAM index) const
{
    const LRESULT length = Send(hWnd, nLengthMsg, index);
    if (length < 0)
        return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    Send(hWnd, nTextMsg, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(text.find(L'\0'));
    return Narrow(text);
}

std::vector<std::string> CRemoteDialog::ComboItems(int nID) const
{
    const HWND hCombo = Item(nID);
    std::vector<std::string> items;
    const LRESULT count = Send(hCombo, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i)
        items.push_back(ItemText(hCombo, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(i)));
    return items;
}

std::string CRemoteDialog::ComboSelection(int nID) const
{
    const HWND hCombo = Item(nID);
    const LRESULT sel = Send(hCombo, CB_GETCURSEL);
    return sel == CB_ERR ? std::string() : ItemText(hCombo, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(sel));
}

std::vector<std::string> CRemoteDialog::Log() const
{
    const HWND hList = Item(IDC_RESULT_LIST);
    std::vector<std::string> lines;
    const LRESULT count = Send(hList, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i)
        lines.push_back(ItemText(hList, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(i)));
    return lines;
}

ProgressState CRemoteDialog::Progress() const
{
    const HWND hBar = Item(IDC_PROGRESS);
    // Without a PBRANGE to fill (a pointer would not cross the process
    // boundary), PBM_GETRANGE returns the low limit for TRUE, the high for FALSE.
    return {static_cast<int>(Send(hBar, PBM_GETPOS)), static_cast<int>(Send(hBar, PBM_GETRANGE, TRUE)),
            static_cast<int>(Send(hBar, PBM_GETRANGE, FALSE))};
}

bool CRemoteDialog::IsChecked(int nID) const
{
    return Send(Item(nID), BM_GETCHECK) == BST_CHECKED;
}

bool CRemoteDialog::IsEnabled(int nID) const
{
    return ::IsWindowEnabled(Item(nID)) != FALSE;
}

int CRemoteDialog::FocusId() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(ThreadOf(m_hWnd), &info) || info.hwndFocus == nullptr ||
        ::GetParent(info.hwndFocus) != m_hWnd)
        return 0;
    return ::GetDlgCtrlID(info.hwndFocus);
}

bool CRemoteDialog::IsIdle() const
{
    return IsEnabled(IDC_START) && !IsEnabled(IDC_STOP);
}

void CRemoteDialog::SelectPort(int nID, const std::string& strName)
{
    const std::vector<std::string> items = ComboItems(nID);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == strName) {
            Send(Item(nID), CB_SETCURSEL, i);
            return;
        }
    }
    throw std::runtime_error("combo box " + std::to_string(nID) + " offers no " + strName);
}

void CRemoteDialog::SetChecked(int nID, bool bChecked)
{
    Send(Item(nID), BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED);
}

void CRemoteDialog::Choose(const std::string& strDevice, const std::string& strConnect, bool bBaudRate,
                           bool bSizeParity, bool bSignals)
{
    SelectPort(IDC_DEVICE_PORT, strDevice);
    SelectPort(IDC_CONNECT_PORT, strConnect);
    SetChecked(IDC_CHECK_BAUDRATE, bBaudRate);
    SetChecked(IDC_CHECK_SIZE_PARITY, bSizeParity);
    SetChecked(IDC_CHECK_SIGNALS, bSignals);
}

void CRemoteDialog::Click(int nID)
{
    // The button presses itself: focus, press, release, and its notification
    // to the dialog, all in the program's own time.
    ::PostMessageW(Item(nID), BM_CLICK, 0, 0);
}

void CRemoteDialog::Focus(int nID)
{
    ::PostMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(nID)), TRUE);
}

void CRemoteDialog::PressKey(UINT nVirtualKey)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(ThreadOf(m_hWnd), &info) || info.hwndFocus == nullptr)
        throw std::runtime_error("no window of the dialog has the focus");
    const UINT scan = ::MapVirtualKeyW(nVirtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(info.hwndFocus, WM_KEYDOWN, nVirtualKey, 1 | (scan << 16));
    ::PostMessageW(info.hwndFocus, WM_KEYUP, nVirtualKey, 1 | (scan << 16) | (3u << 30));
}

void CRemoteDialog::Close()
{
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

std::string CRemoteDialog::RunToEnd(DWORD ms)
{
    Click(IDC_START);
    // Every ticked check waits 200 ms before its first step: time enough to
    // see Start disabled.
    if (!PollUntil(kReaction, [&] { return !IsIdle(); }))
        return "Start began no run";
    HWND hBox = nullptr;
    const bool bEnded = PollUntil(ms, [&] {
        hBox = WaitForMessageBox(0);
        return hBox != nullptr || IsIdle();
    });
    if (hBox != nullptr)
        return "the run showed \"" + MessageBoxText(hBox) + "\"";
    if (!bEnded) {
        const std::vector<std::string> lines = Log();
        return "the run did not end within " + std::to_string(ms) + " ms; its log has " +
               std::to_string(lines.size()) + " lines" +
               (lines.empty() ? std::string() : ", the last \"" + lines.back() + "\"");
    }
    return std::string();
}

HWND CRemoteDialog::WaitForMessageBox(DWORD ms) const
{
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(m_hWnd, &dwProcessId);
    HWND hBox = nullptr;
    PollUntil(ms, [&] { return (hBox = FindTopLevel(dwProcessId, m_hWnd)) != nullptr; });
    return hBox;
}

std::string MessageBoxText(HWND hBox)
{
    HWND hText = nullptr;
    ::EnumChildWindows(hBox, MatchTextStatic, reinterpret_cast<LPARAM>(&hText));
    return hText != nullptr ? WindowText(hText) : std::string();
}

bool PressOk(HWND hBox, DWORD ms)
{
    const HWND hOk = ::GetDlgItem(hBox, IDOK);
    if (hOk == nullptr)
        return false;
    ::PostMessageW(hOk, BM_CLICK, 0, 0);
    return PollUntil(ms, [&] { return !::IsWindow(hBox); });
}

} // namespace e2e
