// The Duoprobe dialog of another process, worked through window messages as
// a user works it. Reads are sent with a bound, since the dialog does not
// answer while a port read blocks it (up to 3 s); clicks, keys and the close
// are posted, so that the driver never waits on a run. A failure to reach the
// dialog throws std::runtime_error.
//
// Across processes Wine 8 returns the ANSI forms of CB_GETLBTEXT and
// LB_GETTEXT unconverted, so texts are read with the wide forms.
#pragma once

#include "Process.h"
#include "resource.h"

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct ProgressState {
    int pos;
    int low;
    int high;
    bool operator==(const ProgressState& o) const { return pos == o.pos && low == o.low && high == o.high; }
};

// The texts of a top-level window and its parts.
std::string WindowText(HWND hWnd);

class CRemoteDialog {
public:
    static const char kCaption[];

    // Waits up to ms milliseconds for the process to show its dialog.
    static CRemoteDialog Find(const CProcess& process, DWORD ms);

    HWND Handle() const { return m_hWnd; }
    HWND Item(int nID) const;

    std::vector<std::string> ComboItems(int nID) const;
    std::string ComboSelection(int nID) const; // "" when nothing is chosen
    std::vector<std::string> Log() const;
    ProgressState Progress() const;
    bool IsChecked(int nID) const;
    bool IsEnabled(int nID) const;
    // The control identifier of the window that has the keyboard focus in
    // the dialog's thread, 0 when none of its controls has it.
    int FocusId() const;
    bool IsIdle() const; // Start enabled, Stop disabled: no run under way

    // Chooses the item of that text; throws when the list has none.
    void SelectPort(int nID, const std::string& strName);
    void SetChecked(int nID, bool bChecked);
    // The two ports and the three check boxes, as a user sets them.
    void Choose(const std::string& strDevice, const std::string& strConnect, bool bBaudRate, bool bSizeParity,
                bool bSignals);
    void Click(int nID);
    // Moves the focus as Tab does, to the given control.
    void Focus(int nID);
    // A key press and release at the focused control.
    void PressKey(UINT nVirtualKey);
    void Close();

    // Clicks Start and waits for the run to begin and to end within ms.
    // Returns what went wrong, "" when the run ended: no run began, a
    // message box came up instead, or the run did not end in time.
    std::string RunToEnd(DWORD ms);

    // The message box the program shows over the dialog, or null when none
    // came within ms milliseconds.
    HWND WaitForMessageBox(DWORD ms) const;

private:
    explicit CRemoteDialog(HWND hWnd) : m_hWnd(hWnd) {}
    LRESULT Send(HWND hWnd, UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    std::string ItemText(HWND hWnd, UINT nLengthMsg, UINT nTextMsg, WPARAM index) const;

    HWND m_hWnd;
};

// The text of a message box, as its static shows it.
std::string MessageBoxText(HWND hBox);
// Presses the box's OK button and waits up to ms milliseconds for the box to
// go; false when it stays.
bool PressOk(HWND hBox, DWORD ms);

} // namespace e2e
