#include "TestApp.h"

#include <commctrl.h>

namespace {

CTestApp& Instance()
{
    static CTestApp app;
    return app;
}

// The framework expects its application object before any dialog exists,
// as the program's global one is; the progress bar needs its class.
struct Startup {
    Startup()
    {
        Instance();
        ::InitCommonControls();
    }
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
    return Instance();
}
