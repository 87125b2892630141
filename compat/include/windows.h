// The Win32 subset that Duoprobe calls, for the native build over compat.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "libloaderapi.h"
#include "winnls.h"
#include "wingdi.h"
#include "winuser.h"
