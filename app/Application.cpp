// The program's one application object, constructed during static
// initialisation; the framework's WinMain runs it. Test programs link the
// application class without it and bring an object of their own.
#include "TesterApp.h"

CTesterApp theApp;
