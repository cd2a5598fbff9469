// The main window's layouts: maximised above the taskbar, restored, minimised and full screen, the
// title buttons that go with each, and the game view and game window that follow them.
#include "mainwnd/Torvel_QermDlg.h"
#include "app/Paths.h"
#include "browser/MyHtmlView.h"
#include "mainwnd/TitleLayout.h"
#include "res/resource.h"

CRect CTorvel_QermDlg::FitToWorkArea()
{
    const int cxScreen = GetSystemMetrics(SM_CXSCREEN);
    const int cyScreen = GetSystemMetrics(SM_CYSCREEN);
    RECT rcTaskbar{};
    HWND hTaskbar = FindWindowW(L"Shell_TrayWnd", L"");
    const bool bTaskbar = hTaskbar && ::GetWindowRect(hTaskbar, &rcTaskbar);
    const CRect rc = WorkAreaRect(cxScreen, cyScreen, bTaskbar ? &rcTaskbar : nullptr);
    SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER);
    PlaceViewBelowStrip();
    NotifyGameWindow(0);
    InvalidateStrip();
    return rc;
}

void CTorvel_QermDlg::LayoutTitleButtons()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    const TitleButtonLayout layout = ComputeTitleButtonLayout(rcClient.right, m_nDpi);
    const struct
    {
        CTouchButton* pButton;
        const CRect& rc;
    } places[] = {
        {&m_btnClose, layout.close},
        {&m_btnMaximize, layout.maximizeRestore},
        {&m_btnRestore, layout.maximizeRestore},
        {&m_btnMinimize, layout.minimize},
        {&m_btnFullScreen, layout.fullScreen},
        {&m_btnBossKey, layout.bossKey},
        {&m_btnClearCache, layout.clearCache},
        {&m_btnRefresh, layout.refresh},
        {&m_btnSelectServer, layout.selectServer},
    };
    for (const auto& p : places)
        p.pButton->SetWindowPos(nullptr, p.rc.left, p.rc.top, p.rc.Width(), p.rc.Height(), SWP_NOZORDER);
    m_nSelectServerShow = SelectServerShowCommand(LoadResString(IDS_SELECT_SERVER_SHOW));
    m_btnSelectServer.ShowWindow(m_nSelectServerShow);
    CaptureTitleBackgroundsAgain();
}

void CTorvel_QermDlg::CaptureTitleBackgroundsAgain()
{
    for (CTouchButton* pButton : TitleButtons())
        pButton->CaptureBackgroundAgain();
    CRect rcClient;
    GetClientRect(&rcClient);
    m_nStripWidth = rcClient.Width();
}

void CTorvel_QermDlg::ShowTitleButtons(int nCmdShow)
{
    // The select-server button keeps the show command its string gives.
    for (CTouchButton* pButton : TitleButtons())
        pButton->ShowWindow(pButton == &m_btnSelectServer ? m_nSelectServerShow : nCmdShow);
}

std::array<CTouchButton*, 9> CTorvel_QermDlg::TitleButtons()
{
    return {&m_btnClose,  &m_btnMaximize, &m_btnRestore,    &m_btnMinimize,    &m_btnBossKey,
            &m_btnFullScreen, &m_btnRefresh,  &m_btnClearCache, &m_btnSelectServer};
}

void CTorvel_QermDlg::ShowRestoreButton(bool bRestore)
{
    m_btnMaximize.ShowWindow(bRestore ? SW_HIDE : SW_SHOW);
    m_btnRestore.ShowWindow(bRestore ? SW_SHOW : SW_HIDE);
}

void CTorvel_QermDlg::PlaceViewBelowStrip()
{
    if (!m_pView)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    // The view and the page repaint themselves; moving them must not.
    m_pView->MoveWindow(ViewRectBelowStrip(rcClient, m_nDpi), false);
}

void CTorvel_QermDlg::NotifyGameWindow(WPARAM wFullScreen)
{
    // The game window keeps clear of a strip as high as this window's DPI makes it.
    SendToGameWindow(WM_GAMEWND_FIT, wFullScreen, static_cast<LPARAM>(m_nDpi));
}

void CTorvel_QermDlg::InvalidateStrip()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    const CRect rcStrip = StripRect(rcClient, m_nDpi);
    InvalidateRect(&rcStrip, true);
}

void CTorvel_QermDlg::InvalidateRestoredStrip()
{
    const CRect rcStrip(0, 0, ScaleForDpi(kRestoredWidth, m_nDpi), TitleStripHeight(m_nDpi));
    InvalidateRect(&rcStrip, true);
}

void CTorvel_QermDlg::Maximize()
{
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    m_bMinimized = FALSE;
    m_bMaximized = true;
    LayoutTitleButtons();
    ShowRestoreButton(true);
    SendMessage(WM_PAINT);
    FitToWorkArea();
}

void CTorvel_QermDlg::Restore()
{
    m_bMinimized = FALSE;
    m_bMaximized = false;
    SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    LayoutTitleButtons();
    PlaceViewBelowStrip();
    NotifyGameWindow(0);
    ShowRestoreButton(false);
    InvalidateRestoredStrip();
}

void CTorvel_QermDlg::Minimize()
{
    m_bMinimized = TRUE;
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
}

void CTorvel_QermDlg::EnterFullScreen(LayoutSource source)
{
    if (source == LayoutSource::Window)
        m_bMinimized = FALSE;
    m_bFullScreen = true;
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    // The whole screen, the taskbar included.
    SetWindowPos(nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER);
    if (m_pView) {
        CRect rcClient;
        GetClientRect(&rcClient);
        m_pView->MoveWindow(rcClient, false);
    }
    NotifyGameWindow(1);
    ShowTitleButtons(SW_HIDE);
    UpdateWindow();
}

void CTorvel_QermDlg::LeaveFullScreen(LayoutSource source)
{
    m_bFullScreen = false;
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    m_bMaximized = true;
    FitToWorkArea();
    LayoutTitleButtons();
    ShowTitleButtons(SW_SHOW);
    ShowRestoreButton(true);
    if (source == LayoutSource::Window)
        InvalidateStrip();
}

void CTorvel_QermDlg::RefreshPage()
{
    if (m_pView)
        m_pView->Refresh();
    if (const HWND hGameWnd = GetGameWnd())
        ::PostMessageW(hGameWnd, WM_GAMEWND_REFRESH, 0, 0);
}

void CTorvel_QermDlg::RefreshView()
{
    if (m_pView)
        m_pView->Refresh();
}

void CTorvel_QermDlg::OnLButtonDblClk(UINT, CPoint)
{
    if (IsZoomed()) {
        m_bMaximized = false;
        SendMessage(WM_SYSCOMMAND, SC_RESTORE);
        LayoutTitleButtons();
        PlaceViewBelowStrip();
        NotifyGameWindow(0);
        ShowRestoreButton(false);
        InvalidateRestoredStrip();
    } else {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
        m_bMaximized = true;
        CRect rcBefore;
        GetClientRect(&rcBefore);
        FitToWorkArea();
        LayoutTitleButtons();
        ShowRestoreButton(true);
        const CRect rcStrip = StripRect(rcBefore, m_nDpi);
        InvalidateRect(&rcStrip, true);
    }
    Default();
}

void CTorvel_QermDlg::OnLButtonDown(UINT, CPoint point)
{
    // The strip stands in for a caption: the system moves the window with the mouse. The move
    // starts from where the button went down, in screen coordinates.
    if (!IsZoomed()) {
        CPoint ptScreen = point;
        ClientToScreen(&ptScreen);
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(ptScreen.x, ptScreen.y));
    }
    Default();
}

// Full screen: the view covers the whole client area and the game window is told so.
void CTorvel_QermDlg::PlaceViewOverClient()
{
    if (m_pView) {
        CRect rcClient;
        GetClientRect(&rcClient);
        m_pView->MoveWindow(rcClient, false);
    }
    NotifyGameWindow(1);
}

void CTorvel_QermDlg::OnSize(UINT nType, int cx, int)
{
    // A window mapped at one size and grown by the system afterwards (a window manager's
    // maximise) keeps its buttons where they were, over a strip that is drawn anew.
    if (!m_bFullScreen && nType != SIZE_MINIMIZED && cx > 0 && cx != m_nStripWidth)
        CaptureTitleBackgroundsAgain();
    if (m_bFullScreen) {
        PlaceViewOverClient();
    } else {
        PlaceViewBelowStrip();
        NotifyGameWindow(0);
    }
}
