// A dialog made from the program's template 102 with a small dialog procedure
// that records what it is sent, for the tests of dialogs, controls and keys.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

struct DialogMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// What the dialog procedure records and how it answers.
struct DialogLog {
    std::vector<DialogMessage> messages;  // every message the procedure saw
    BOOL initResult = TRUE;               // its answer to WM_INITDIALOG
    HBRUSH resultBrush = nullptr;         // its answer to WM_CTLCOLORSTATIC from 1009, if any
    std::function<void(HWND)> onResultColor;  // runs at that request, with the static

    std::vector<DialogMessage> Of(UINT msg) const;
    // The WM_COMMAND messages of clicks and of the dialog manager (code 0),
    // as (id, code) pairs; the controls' focus notifications are left out.
    std::vector<std::pair<int, int>> Commands() const;
};

class TesterDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitCommonControls(); }
    void SetUp() override;
    void TearDown() override;

    HWND Create(LPARAM initParam = 0);
    HWND Item(int id) const { return GetDlgItem(m_hDlg, id); }
    // Takes and dispatches what is queued, through IsDialogMessageA, until
    // nothing is left (bounded).
    void Pump();
    // Posts a key press (down and up) to the window, as a test that cannot
    // use the keyboard driver does, and pumps.
    void PostKey(HWND hwnd, UINT vk);

    HWND m_hDlg = nullptr;
    DialogLog m_log;
};

// The template as stored in the resources.
LPCDLGTEMPLATEA TesterTemplate();
