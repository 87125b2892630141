// CTesterApp: the application. It shows the main dialog modally; the process
// ends when the dialog closes.
#pragma once

#include "Framework.h"

class CTesterApp : public CWinApp {
public:
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
