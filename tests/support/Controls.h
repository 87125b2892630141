// Reading a dialog's controls through their messages, as a user sees them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::vector<std::string> ListLines(HWND hList);
std::vector<std::string> ComboItems(HWND hCombo);
// The selected item's text, or "" when none is selected.
std::string ComboSelection(HWND hCombo);
bool IsChecked(HWND hButton);
std::string WindowText(HWND hWnd);

struct ProgressState {
    int pos;
    int low;
    int high;
    bool operator==(const ProgressState& o) const { return pos == o.pos && low == o.low && high == o.high; }
};
ProgressState Progress(HWND hProgress);
