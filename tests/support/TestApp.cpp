#include "TestApp.h"

#include <commctrl.h>

namespace {

CTestApp& Instance()
{
    static CTestApp app;
    return app;
}

// The framework expects its application object before any dialog object
// exists, as the program's global one is.
struct Startup {
    Startup() { Instance(); }
} startup;

} // namespace

BOOL CTestApp::OnIdle(LONG lCount)
{
    if (lCount == 0) {
        ++m_nIdlePasses;
        if (m_onIdle)
            m_onIdle();
    }
    return FALSE;
}

CTestApp& TestApp()
{
    // Registers the progress bar's class, as the program does at start-up;
    // not during static initialisation, which has no order across files.
    static const bool controls = (::InitCommonControls(), true);
    (void)controls;
    return Instance();
}

void PumpQueued()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT)
        TestApp().PumpMessage();
}
