// CTesterDlg opened for a test: the dialog's own members and operations made
// reachable, and its controls by identifier.
#pragma once

#include "Controls.h"
#include "DialogProbe.h"
#include "TesterDlg.h"

class CTesterProbe : public CDialogProbe<CTesterDlg> {
public:
    using CTesterDlg::m_hIcon;
    using CTesterDlg::m_strDevicePort;
    using CTesterDlg::m_strConnectPort;
    using CTesterDlg::m_bCheckBaudRate;
    using CTesterDlg::m_bCheckSizeParity;
    using CTesterDlg::m_bCheckSignals;
    using CTesterDlg::m_lstResult;
    using CTesterDlg::m_portDevice;
    using CTesterDlg::m_portConnect;
    using CTesterDlg::m_bCancel;
    using CTesterDlg::m_bCtsSeen;
    using CTesterDlg::m_bDsrSeen;
    using CTesterDlg::m_bFailed;
    using CTesterDlg::m_bResultShown;
    using CTesterDlg::m_hHollowBrush;

    using CTesterDlg::ClearResult;
    using CTesterDlg::ShowResult;
    using CTesterDlg::OnSerialMessage;
    using CTesterDlg::WaitMs;
    using CTesterDlg::TransferCheck;

    HWND Item(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    std::vector<std::string> Log() const { return ListLines(Item(IDC_RESULT_LIST)); }
    // Clicks a button as the dialog sees a click: its notification.
    void Click(int nID) { SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(Item(nID))); }
};
