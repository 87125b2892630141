// The application framework: the classes and calls the program uses, over Win32.
#pragma once

#include "Button.h"
#include "DC.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "GdiObject.h"
#include "ListBox.h"
#include "ProgressCtrl.h"
#include "String.h"
#include "WinApp.h"
#include "Wnd.h"
