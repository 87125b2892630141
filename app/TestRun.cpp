// The test run of CTesterDlg: Start and Stop, the cooperative wait, the
// loopback transfer, the two line-setting sweeps and the modem-signal check.
// Everything runs on the user-interface thread inside the Start click; the
// waits pump messages, which is where Stop, painting and the ports'
// notifications are handled.
#include "TesterDlg.h"
#include "TestPattern.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

const DWORD kBlockSize = 512;
const DWORD kTransferTimeout = 3000;
const int kTransferPause = 100;
const int kStepPause = 200;
const int kLogTabStop = 190;
// Messages one pass of the pump takes before it lets the wait look at the
// cancel flag and the clock again.
const int kPumpBatch = 64;

const DWORD kBaudRates[] = {9600, 19200, 38400, 57600, 115200};
const BYTE kDataBits[] = {5, 6, 7, 8};
const DWORD kSizeParityBaudrate = 115200;
const LPCSTR kParityNames[] = {"NO Parity", "ODD Parity", "EVEN Parity", "MARK Parity", "SPACE Parity"};

struct SignalStep {
    LPCSTR pszText;
    bool bConnectPort; // driven: false the Device port, true the Connect With port
    DWORD dwLower;
    DWORD dwRaise;
    bool bWatchDsr;    // flag read: false m_bCtsSeen, true m_bDsrSeen
};

const SignalStep kSignalSteps[] = {
    {"RTS Signal testing...", false, CLRRTS, SETRTS, false},
    {"DTR Signal testing...", false, CLRDTR, SETDTR, true},
    {"CTS Signal testing...", true, CLRRTS, SETRTS, false},
    {"DSR Signal testing...", true, CLRDTR, SETDTR, true},
};

LPCSTR Status(bool bPassed)
{
    return bPassed ? "OK!" : "FAILED!";
}

} // namespace

void CTesterDlg::OnStart()
{
    if (m_bRunning)
        return;
    m_bRunning = true;
    m_btnStart.EnableWindow(FALSE);
    m_btnStop.EnableWindow(TRUE);
    m_bCancel = false;
    m_bFailed = false;
    m_bResultShown = false;
    m_progress.SetPos(0);
    ClearResult();
    RunTests();
    m_btnStart.EnableWindow(TRUE);
    m_btnStop.EnableWindow(FALSE);
    m_bRunning = false;
}

void CTesterDlg::OnStop()
{
    m_lstResult.AddLine("User cancelled!");
    m_bCancel = true;
    m_btnStop.EnableWindow(FALSE);
    m_btnStart.EnableWindow(TRUE);
}

LRESULT CTesterDlg::OnSerialMessage(WPARAM wParam, LPARAM)
{
    const WORD wEvents = LOWORD(wParam);
    if (wEvents & EV_CTS)
        m_bCtsSeen = true;
    if (wEvents & EV_DSR)
        m_bDsrSeen = true;
    return 0;
}

bool CTesterDlg::RunTests()
{
    UpdateData(TRUE);

    // A port whose Open failed may still be open (Open keeps a device that
    // opened but refused its read time-outs): close it too, or every later
    // run would find it held.
    if (m_portDevice.Open(m_strDevicePort, this, 0, 0, 0, 0) != ERROR_SUCCESS) {
        AfxMessageBox("Unable to open 'Device' port", MB_ICONERROR | MB_OK);
        m_portDevice.Close();
        return false;
    }
    if (m_portConnect.Open(m_strConnectPort, this, 0, 0, 0, 0) != ERROR_SUCCESS) {
        AfxMessageBox("Unable to open 'Connect' port", MB_ICONERROR | MB_OK);
        m_portConnect.Close();
        m_portDevice.Close();
        return false;
    }

    m_lstResult.ResetContent();
    m_lstResult.SetTabStops(kLogTabStop);
    ConfigurePorts();

    // A check starts only while nothing has failed and nobody pressed Stop.
    auto run = [this](BOOL bTicked, bool (CTesterDlg::*check)()) {
        if (bTicked && !m_bCancel && !m_bFailed && !(this->*check)())
            m_bFailed = true;
    };
    run(m_bCheckBaudRate, &CTesterDlg::TestBaudRates);
    run(m_bCheckSizeParity, &CTesterDlg::TestSizeParity);
    run(m_bCheckSignals, &CTesterDlg::TestSignals);

    m_portDevice.Close();
    m_portConnect.Close();
    ShowResult();
    return true;
}

bool CTesterDlg::ConfigurePorts()
{
    m_portDevice.SetupHandshaking(CSerialPort::HandshakeOff);
    m_portConnect.SetupHandshaking(CSerialPort::HandshakeOff);
    m_portDevice.SetupReadTimeouts(CSerialPort::ReadBlocking);
    m_portConnect.SetupReadTimeouts(CSerialPort::ReadBlocking);
    return true;
}

bool CTesterDlg::PumpMessages()
{
    CWinApp* pApp = AfxGetApp();
    MSG msg;
    // A queue that never runs dry must not hold the wait: Wine reports
    // EV_RXCHAR for as long as input waits, and the listener posts each
    // report. After a batch the wait goes on; idle processing still waits
    // for an empty queue.
    for (int nPumped = 0; ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); ++nPumped) {
        if (nPumped == kPumpBatch)
            return true;
        if (!pApp->PumpMessage()) {
            // Leave the quit message for the loop that owns the thread.
            ::PostQuitMessage(0);
            return false;
        }
    }
    for (LONG lCount = 0; pApp->OnIdle(lCount); ++lCount) {
    }
    return true;
}

bool CTesterDlg::WaitMs(int ms)
{
    const DWORD dwStart = ::GetTickCount();
    if (!PumpMessages())
        return false;
    for (;;) {
        if (m_bCancel)
            return false;
        // Modulo 2^32, so that the counter's wrap-around does not matter.
        const LONG lElapsed = static_cast<LONG>(::GetTickCount() - dwStart);
        if (lElapsed > ms)
            return true;
        if (!PumpMessages())
            return false;
    }
}

bool CTesterDlg::TransferCheck(int nDirection, BYTE bDataBits)
{
    CWndSerialPort& writer = nDirection == 0 ? m_portDevice : m_portConnect;
    CWndSerialPort& reader = nDirection == 0 ? m_portConnect : m_portDevice;
    const CString& strFrom = nDirection == 0 ? m_strDevicePort : m_strConnectPort;
    const CString& strTo = nDirection == 0 ? m_strConnectPort : m_strDevicePort;

    std::unique_ptr<BYTE[]> send(new (std::nothrow) BYTE[kBlockSize]);
    if (!send)
        return false;
    std::unique_ptr<BYTE[]> receive(new (std::nothrow) BYTE[kBlockSize]);
    if (!receive)
        return false;
    FillPattern(send.get(), kBlockSize, bDataBits);

    CString strStep;
    strStep.Format("Write %d bytes from %s to %s...", static_cast<int>(kBlockSize), static_cast<LPCSTR>(strFrom),
                   static_cast<LPCSTR>(strTo));
    DWORD dwWritten = 0;
    writer.Write(send.get(), kBlockSize, &dwWritten, nullptr, kTransferTimeout);
    CString strLine;
    strLine.Format("%s [%ld/%d] %s", static_cast<LPCSTR>(strStep), static_cast<long>(dwWritten),
                   static_cast<int>(kBlockSize), Status(dwWritten == kBlockSize));
    m_lstResult.AddLine(strLine);

    // A Stop seen here ends the sweep at its next wait, not this transfer.
    WaitMs(kTransferPause);

    DWORD dwRead = 0;
    reader.Read(receive.get(), kBlockSize, &dwRead, nullptr, kTransferTimeout);
    if (dwRead != kBlockSize) {
        // The same text in both directions: it names the reading side of
        // direction 0.
        strLine.Format("Connect port read [%ld/%d] FAILED!", static_cast<long>(dwRead), static_cast<int>(kBlockSize));
        m_lstResult.AddLine(strLine);
        return false;
    }
    const bool bSame = std::memcmp(send.get(), receive.get(), kBlockSize) == 0;
    m_lstResult.AddLine(CString("Compare data...") + Status(bSame));
    return bSame;
}

bool CTesterDlg::SetupBoth(DWORD dwBaudrate, BYTE bDataBits, BYTE bParity, CString strStep)
{
    // The Connect With port is not set up when the Device port refused.
    const bool bSet = m_portDevice.Setup(dwBaudrate, bDataBits, bParity, ONESTOPBIT) == ERROR_SUCCESS &&
                      m_portConnect.Setup(dwBaudrate, bDataBits, bParity, ONESTOPBIT) == ERROR_SUCCESS;
    m_lstResult.AddLine(strStep + Status(bSet));
    return bSet;
}

bool CTesterDlg::TransferBothWays(BYTE bDataBits)
{
    return TransferCheck(0, bDataBits) && WaitMs(kStepPause) && TransferCheck(1, bDataBits);
}

bool CTesterDlg::TestBaudRates()
{
    m_progress.SetRange(0, 5);
    m_progress.SetStep(1);
    m_progress.SetPos(0);
    m_lstResult.AddLine("=== Begin Baudrate Test ===");
    for (DWORD dwBaudrate : kBaudRates) {
        if (!WaitMs(kStepPause))
            return false;
        CString strStep;
        strStep.Format("Set baud rate to %d bps...", static_cast<int>(dwBaudrate));
        // A rate that a port refuses fails the step: the transfers would run
        // at whatever rate the port still holds and could pass.
        if (!SetupBoth(dwBaudrate, 8, NOPARITY, strStep))
            return false;
        if (!TransferBothWays(8))
            return false;
        m_progress.StepIt(); // counts finished steps
    }
    m_lstResult.AddLine("=== End Baudrate Test ===");
    return true;
}

bool CTesterDlg::TestSizeParity()
{
    m_progress.SetRange(0, 20);
    m_progress.SetStep(1);
    m_progress.SetPos(0);
    m_lstResult.AddLine("=== Begin Size, Parity, Stop bits Test ===");
    for (BYTE bDataBits : kDataBits) {
        for (BYTE bParity = NOPARITY; bParity <= SPACEPARITY; ++bParity) {
            if (!WaitMs(kStepPause))
                return false;
            m_progress.StepIt(); // counts started steps
            CString strStep;
            strStep.Format("Set byte size to %d, parity to %s...", bDataBits, kParityNames[bParity]);
            if (!SetupBoth(kSizeParityBaudrate, bDataBits, bParity, strStep))
                return false;
            if (!TransferBothWays(bDataBits))
                return false;
        }
    }
    m_lstResult.AddLine("=== End Size, Parity, Stop bits Test ===");
    return true;
}

bool CTesterDlg::TestSignals()
{
    m_progress.SetRange(0, 4);
    m_progress.SetStep(1);
    m_progress.SetPos(0);
    m_lstResult.AddLine("=== Begin Signal Test ===");
    if (m_portDevice.SetMask(EV_CTS | EV_DSR) != ERROR_SUCCESS)
        return false;
    if (m_portConnect.SetMask(EV_CTS | EV_DSR) != ERROR_SUCCESS)
        return false;

    for (const SignalStep& step : kSignalSteps) {
        CWndSerialPort& port = step.bConnectPort ? m_portConnect : m_portDevice;
        bool& bSeen = step.bWatchDsr ? m_bDsrSeen : m_bCtsSeen;
        bSeen = false;
        // Either change of the line counts; the waits dispatch the ports'
        // notifications. Their results do not matter: after a Stop the
        // check runs on without pauses.
        port.EscapeFunction(step.dwLower);
        WaitMs(kStepPause);
        port.EscapeFunction(step.dwRaise);
        WaitMs(kStepPause);
        m_lstResult.AddLine(CString(step.pszText) + Status(bSeen));
        m_progress.StepIt();
        if (!bSeen)
            return false;
    }
    m_lstResult.AddLine("=== End Signal Test ===");
    return true;
}
