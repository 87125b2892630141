#include "TesterDlg.h"

BEGIN_MESSAGE_MAP(CTesterDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_START, OnStart)
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_REGISTERED_MESSAGE(g_nSerialNotifyMsg, OnSerialMessage)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {

const COLORREF kPassColor = RGB(0, 170, 0);
const COLORREF kFailColor = RGB(255, 0, 0);
const COLORREF kShadowColor = RGB(192, 192, 192);
const int kShadowOffset = 5;

void Shift(RECT& rect, int delta)
{
    rect.left += delta;
    rect.right += delta;
    rect.top += delta;
    rect.bottom += delta;
}

} // namespace

int IconOffset(int nClientExtent, int nIconExtent)
{
    return (nClientExtent - nIconExtent + 1) / 2;
}

CTesterDlg::CTesterDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_hIcon(nullptr),
      m_bCheckBaudRate(FALSE),
      m_bCheckSizeParity(FALSE),
      m_bCheckSignals(FALSE),
      m_bCancel(false),
      m_bCtsSeen(false),
      m_bDsrSeen(false),
      m_bFailed(false),
      m_bResultShown(false),
      m_hHollowBrush(nullptr),
      m_bRunning(false)
{
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CTesterDlg::~CTesterDlg() = default;

void CTesterDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_CBString(pDX, IDC_DEVICE_PORT, m_strDevicePort);
    DDX_CBString(pDX, IDC_CONNECT_PORT, m_strConnectPort);
    DDX_Check(pDX, IDC_CHECK_BAUDRATE, m_bCheckBaudRate);
    DDX_Check(pDX, IDC_CHECK_SIZE_PARITY, m_bCheckSizeParity);
    DDX_Check(pDX, IDC_CHECK_SIGNALS, m_bCheckSignals);
    DDX_Control(pDX, IDC_START, m_btnStart);
    DDX_Control(pDX, IDC_STOP, m_btnStop);
    DDX_Control(pDX, IDC_RESULT_LIST, m_lstResult);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
}

BOOL CTesterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_strDevicePort = "COM3";
    m_strConnectPort = "COM1";
    m_bCheckBaudRate = TRUE;
    m_bCheckSizeParity = TRUE;
    m_bCheckSignals = TRUE;
    m_btnStop.EnableWindow(FALSE);
    // A stock object: never deleted.
    m_hHollowBrush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));

    UpdateData(FALSE);
    return TRUE;
}

void CTesterDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    RECT rect;
    GetClientRect(&rect);
    const int x = IconOffset(rect.right - rect.left, ::GetSystemMetrics(SM_CXICON));
    const int y = IconOffset(rect.bottom - rect.top, ::GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CTesterDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

HBRUSH CTesterDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const HBRUSH hBrush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd->GetDlgCtrlID() != IDC_RESULT_TEXT)
        return hBrush;
    // The verdict area's static paints nothing of its own (hollow brush, no
    // text), so a verdict drawn over it stays; drawing it again at each of
    // its colour requests brings it back after the area was covered.
    if (m_bResultShown)
        ShowResult();
    return m_hHollowBrush;
}

void CTesterDlg::ClearResult()
{
    const HWND hArea = GetDlgItem(IDC_RESULT_TEXT);
    RECT rect;
    ::GetClientRect(hArea, &rect);
    CClientDC dc(hArea);
    const CBrush face(::GetSysColor(COLOR_BTNFACE));
    dc.FillRect(&rect, face);
}

void CTesterDlg::ShowResult()
{
    CFont font;
    font.CreatePointFont(420, "Arial");

    const HWND hArea = GetDlgItem(IDC_RESULT_TEXT);
    RECT rect;
    ::GetClientRect(hArea, &rect);
    // Declared after the font, so the device context is released first.
    CClientDC dc(hArea);

    const LPCSTR pszVerdict = m_bFailed ? "NG" : "OK";
    const COLORREF color = m_bFailed ? kFailColor : kPassColor;
    const UINT nFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

    const HGDIOBJ hOldFont = dc.SelectObject(font.m_hObject);
    dc.SetBkMode(TRANSPARENT);
    Shift(rect, kShadowOffset);
    dc.SetTextColor(kShadowColor);
    dc.DrawText(pszVerdict, &rect, nFormat);
    Shift(rect, -kShadowOffset);
    dc.SetTextColor(color);
    dc.DrawText(pszVerdict, &rect, nFormat);
    dc.SelectObject(hOldFont);

    m_bResultShown = true;
}
