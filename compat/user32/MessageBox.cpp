// MessageBoxA and WinHelpA, headless: each call is recorded for the tests,
// and a message box is answered at once by the test's queue of answers or
// handler, else with its default button (IDOK for MB_OK).
#include "Window.h"

#include <deque>

namespace {

std::mutex g_lock;
std::vector<compat::MessageBoxCall> g_boxes;
std::deque<int> g_answers;
compat::MessageBoxHandler g_handler;
std::vector<compat::WinHelpCall> g_help;

// The button that Enter would press: MB_DEFBUTTONn of the type's buttons.
int DefaultAnswer(UINT type)
{
    static const int buttons[][3] = {
        {IDOK, IDOK, IDOK},              // MB_OK
        {IDOK, IDCANCEL, IDCANCEL},      // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},    // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},         // MB_YESNOCANCEL
        {IDYES, IDNO, IDNO},             // MB_YESNO
        {IDRETRY, IDCANCEL, IDCANCEL},   // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE},  // MB_CANCELTRYCONTINUE
    };
    const UINT kind = type & MB_TYPEMASK;
    const UINT def = (type & MB_DEFMASK) >> 8;
    return kind < 7 && def < 3 ? buttons[kind][def] : IDOK;
}

}  // namespace

extern "C" {

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    compat::MessageBoxCall call;
    call.owner = hWnd;
    call.text = lpText != nullptr ? lpText : "";
    call.caption = lpCaption != nullptr ? lpCaption : "Error";
    call.type = uType;
    compat::MessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (!g_answers.empty()) {
            call.answer = g_answers.front();
            g_answers.pop_front();
        } else {
            handler = g_handler;
        }
    }
    // The handler runs outside the lock: it may look at windows or post.
    if (call.answer == 0)
        call.answer = handler ? handler(call) : DefaultAnswer(uType);
    std::lock_guard<std::mutex> guard(g_lock);
    g_boxes.push_back(call);
    return call.answer;
}

BOOL WINAPI WinHelpA(HWND hWndMain, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_help.push_back({hWndMain, lpszHelp != nullptr ? lpszHelp : "", uCommand, dwData});
    return TRUE;
}

}  // extern "C"

namespace compat {

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_handler = std::move(handler);
}

void QueueMessageBoxAnswers(const std::vector<int>& answers)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_answers.insert(g_answers.end(), answers.begin(), answers.end());
}

std::vector<MessageBoxCall> MessageBoxes()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_boxes;
}

void ClearMessageBoxes()
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_boxes.clear();
}

std::vector<WinHelpCall> WinHelpCalls()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_help;
}

void ClearWinHelpCalls()
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_help.clear();
}

}  // namespace compat
