// A window that collects the messages posted to it, for the notifications of
// a listening port.
#pragma once

#include <windows.h>

#include <vector>

struct Notification {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

class NotifyWindow {
public:
    NotifyWindow();
    ~NotifyWindow();
    NotifyWindow(const NotifyWindow&) = delete;
    NotifyWindow& operator=(const NotifyWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    // Dispatches what this thread's queue holds; returns every message the
    // window has received so far (window messages at or above WM_USER).
    const std::vector<Notification>& Pump();
    // Pumps until at least `count` messages arrived or the time is up.
    const std::vector<Notification>& WaitFor(size_t count, int timeoutMs = 5000);
    void Clear() { m_received.clear(); }

private:
    static void RegisterOnce();
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd;
    std::vector<Notification> m_received;
};
