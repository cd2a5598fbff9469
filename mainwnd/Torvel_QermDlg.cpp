#include "mainwnd/Torvel_QermDlg.h"
#include "app/Paths.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CTorvel_QermDlg, CDialog)
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

CTorvel_QermDlg::CTorvel_QermDlg() : CDialog(IDD_TORVEL_QERM_DIALOG)
{
}

BOOL CTorvel_QermDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(LoadResString(IDS_CLIENT_NAME));
    // The window draws its own title strip: no system caption.
    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    SetWindowLongW(m_hWnd, GWL_STYLE, style & ~WS_CAPTION);
    SetWindowPos(nullptr, 0, 0, kRestoredWidth, kRestoredHeight, SWP_NOMOVE | SWP_NOZORDER);
    // The taskbar button still gets a system menu and can minimise the window.
    ModifyStyle(0, WS_SYSMENU | WS_MINIMIZEBOX);
    return TRUE;
}

bool CTorvel_QermDlg::PreTranslateMessage(MSG* pMsg)
{
    // Enter and Escape belong to the game page, not to the dialog's keyboard handling.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
        return false;
    return CDialog::PreTranslateMessage(pMsg);
}

void CTorvel_QermDlg::OnCancel()
{
    // Escape and WM_CLOSE never end the main window; only the close command does.
}

void CTorvel_QermDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == SC_CLOSE) {
        // The close prompt comes with the tray icon; until then the close command ends the window.
        EndDialog(0);
        return;
    }
    (void)lParam;
    Default();
}
