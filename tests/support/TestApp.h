// The application object of a test program, in place of the program's own
// CTesterApp object (whose command map, with the Help command, it keeps): it
// lets a test run code at every idle pass of the message pump, which is
// where a run stands between its messages.
#pragma once

#include "TesterApp.h"

#include <functional>

class CTestApp : public CTesterApp {
public:
    BOOL OnIdle(LONG lCount) override;

    // Called once per idle pass (count 0), while set.
    std::function<void()> m_onIdle;
    // Idle passes so far.
    int m_nIdlePasses = 0;
};

CTestApp& TestApp();

// Takes and dispatches what this thread's queue holds through the
// application's pump, as the program's own loops do (pre-translation
// included), until nothing but a quit message is left.
void PumpQueued();
