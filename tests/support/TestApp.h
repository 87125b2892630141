// The application object of a test program, in place of CTesterApp: it lets a
// test run code at every idle pass of the message pump, which is where a run
// stands between its messages.
#pragma once

#include "Framework.h"

#include <functional>

class CTestApp : public CWinApp {
public:
    BOOL OnIdle(LONG lCount) override;

    // Called once per idle pass (count 0), while set.
    std::function<void()> m_onIdle;
    // Idle passes so far.
    int m_nIdlePasses = 0;
};

CTestApp& TestApp();
