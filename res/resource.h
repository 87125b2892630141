// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDD_TESTER_DIALOG       102
#define IDR_MAINFRAME           128

#define IDC_CHECK_BAUDRATE      1000
#define IDC_CHECK_SIZE_PARITY   1001
#define IDC_CHECK_SIGNALS       1002
#define IDC_START               1003
#define IDC_STOP                1004
#define IDC_PROGRESS            1005
#define IDC_RESULT_LIST         1006
#define IDC_DEVICE_PORT         1007
#define IDC_CONNECT_PORT        1008
#define IDC_RESULT_TEXT         1009

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

// Dialog initialisation data, read by the framework when a dialog opens.
#define RT_DLGINIT              240
