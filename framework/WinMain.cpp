// The program's entry point. All the work happens in the application
// object's InitInstance (a modal dialog); the program has no message loop of
// its own, so the process ends when InitInstance returns.
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        pApp->InitInstance();
    return 0;
}
