#include "MessageBoxes.h"

#ifdef _WIN32

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

struct MessageBoxAnswerer::Impl {
    std::atomic<bool> stop{false};
    mutable std::mutex mutex;
    std::vector<ShownBox> boxes;
    std::set<HWND> answered;
    std::thread thread;

    static BOOL CALLBACK Visit(HWND hWnd, LPARAM lParam)
    {
        auto self = reinterpret_cast<Impl*>(lParam);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hWnd, &pid);
        char cls[32] = "";
        ::GetClassNameA(hWnd, cls, sizeof cls);
        // A message box is a dialog of this process with the static text 0xFFFF.
        HWND hText = ::GetDlgItem(hWnd, 0xFFFF);
        if (pid != ::GetCurrentProcessId() || std::string(cls) != "#32770" || hText == nullptr ||
            !::IsWindowVisible(hWnd) || self->answered.count(hWnd))
            return TRUE;
        char caption[256] = "";
        char text[512] = "";
        ::GetWindowTextA(hWnd, caption, sizeof caption);
        ::GetWindowTextA(hText, text, sizeof text);
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->boxes.push_back({caption, text});
        }
        self->answered.insert(hWnd);
        ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    Impl()
        : thread([this] {
              while (!stop.load()) {
                  ::EnumWindows(&Impl::Visit, reinterpret_cast<LPARAM>(this));
                  ::Sleep(20); // polling the screen for a box, as a user's eye would
              }
          })
    {
    }
    ~Impl()
    {
        stop = true;
        thread.join();
    }

    std::vector<ShownBox> Boxes() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return boxes;
    }
};

#else

#include <compat/Ui.h>

struct MessageBoxAnswerer::Impl {
    Impl() { compat::ClearMessageBoxes(); }
    ~Impl() { compat::ClearMessageBoxes(); }

    std::vector<ShownBox> Boxes() const
    {
        std::vector<ShownBox> boxes;
        for (const compat::MessageBoxCall& call : compat::MessageBoxes())
            boxes.push_back({call.caption, call.text});
        return boxes;
    }
};

#endif

MessageBoxAnswerer::MessageBoxAnswerer() : m_impl(std::make_unique<Impl>()) {}
MessageBoxAnswerer::~MessageBoxAnswerer() = default;

std::vector<ShownBox> MessageBoxAnswerer::Boxes() const
{
    return m_impl->Boxes();
}
