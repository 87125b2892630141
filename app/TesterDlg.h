// CTesterDlg: the main dialog and the cable test that runs in it. The user
// picks the Device port and the port it is wired to, ticks the checks and
// presses Start; the run (TestRun.cpp) loops a pattern through the cable at
// every line setting, pulses the modem lines, logs one line per step and
// paints the verdict. The dialog owns both ports for its whole life.
#pragma once

#include "Framework.h"
#include "ResultList.h"
#include "WndSerialPort.h"
#include "resource.h"

class CTesterDlg : public CDialog {
public:
    explicit CTesterDlg(CWnd* pParent = nullptr);
    ~CTesterDlg() override;

    enum { IDD = IDD_TESTER_DIALOG };

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    // The verdict area: blanked by Start, painted at the end of a run.
    void ClearResult();
    void ShowResult();

    // The run (TestRun.cpp).
    void OnStart();
    void OnStop();
    LRESULT OnSerialMessage(WPARAM wParam, LPARAM lParam);
    bool RunTests();
    bool ConfigurePorts();
    bool PumpMessages();
    bool WaitMs(int ms);
    bool TransferCheck(int nDirection, BYTE bDataBits);
    bool TestBaudRates();
    bool TestSizeParity();
    bool TestSignals();

    DECLARE_MESSAGE_MAP()

    HICON m_hIcon;
    CString m_strDevicePort;
    CString m_strConnectPort;
    BOOL m_bCheckBaudRate;
    BOOL m_bCheckSizeParity;
    BOOL m_bCheckSignals;
    CButton m_btnStart;
    CButton m_btnStop;
    CResultList m_lstResult;
    CWndSerialPort m_portDevice;
    CWndSerialPort m_portConnect;
    bool m_bCancel;
    bool m_bCtsSeen;
    bool m_bDsrSeen;
    bool m_bFailed;
    bool m_bResultShown;
    CProgressCtrl m_progress;
    HBRUSH m_hHollowBrush;
    // A run is under way: a Start click that the run's own waits dispatch
    // (after Stop has enabled Start again) must not start a second one.
    bool m_bRunning;

private:
    bool SetupBoth(DWORD dwBaudrate, BYTE bDataBits, BYTE bParity, CString strStep);
    bool TransferBothWays(BYTE bDataBits);
};

// Where a minimised window centres its icon: (extent - icon + 1) / 2,
// truncated toward zero, so a client area narrower than the icon gives a
// negative offset.
int IconOffset(int nClientExtent, int nIconExtent);
