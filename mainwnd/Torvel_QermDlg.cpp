#include "mainwnd/Torvel_QermDlg.h"
#include "app/ChildProcess.h"
#include "app/Paths.h"
#include "browser/MyHtmlView.h"
#include "framework/CWinApp.h"
#include "mainwnd/AudioMute.h"
#include "mainwnd/CacheCleaner.h"
#include "mainwnd/Screenshot.h"
#include "mainwnd/TitleLayout.h"
#include "mainwnd/TitleStrip.h"
#include "res/resource.h"
#include "start/Settings.h"
#include "start/TorvelLogin.h"
#include "widgets/CustomMessageBox.h"
#include "widgets/MenbanDlg.h"
#include "widgets/PngImage.h"

#include <algorithm>

namespace {
// A restarted shell announces its new notification area with this message to every top-level window.
const UINT WM_TASKBAR_CREATED = RegisterWindowMessageW(L"TaskbarCreated");
// How long the window's end waits for a picture still being written.
constexpr DWORD kScreenshotWriteWaitMs = 10000;
}  // namespace

BEGIN_MESSAGE_MAP(CTorvel_QermDlg, CDialog)
    ON_COMMAND(IDC_BTN_MAXIMIZE, OnBtnMaximize)
    ON_COMMAND(IDC_BTN_RESTORE, OnBtnRestore)
    ON_COMMAND(IDC_BTN_MINIMIZE, OnBtnMinimize)
    ON_COMMAND(IDC_BTN_FULLSCREEN, OnBtnFullScreen)
    ON_COMMAND(IDC_BTN_BOSSKEY, OnBtnBossKey)
    ON_COMMAND(IDC_BTN_SELECT_SERVER, OnBtnSelectServer)
    ON_COMMAND(IDC_BTN_CLOSE, OnBtnClose)
    ON_COMMAND(IDC_BTN_REFRESH, OnBtnRefresh)
    ON_COMMAND(IDC_BTN_CLEAR_CACHE, OnClearCache)
    ON_COMMAND(ID_TRAY_TOGGLE_SHOW, OnTrayToggleShow)
    ON_COMMAND(ID_TRAY_CLEAR_CACHE, OnClearCache)
    ON_COMMAND(ID_TRAY_MUTE, OnTrayMute)
    ON_COMMAND(ID_TRAY_EXIT, OnBtnClose)
    ON_COMMAND(ID_ACCEL_F5, OnAccelF5)
    ON_COMMAND(IDM_CACHE_CLEANED, OnCacheCleaned)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_SYSCOMMAND()
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_WM_ACTIVATE()
    ON_WM_SHOWWINDOW()
    ON_WM_HOTKEY()
    ON_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotify)
    ON_MESSAGE(WM_GAMEWND_ANNOUNCE, OnGameWndAnnounce)
    ON_MESSAGE(WM_AUDIO_DEVICES_CHANGED, OnAudioDevicesChanged)
    ON_MESSAGE(WM_SCREENSHOT_SAVED, OnScreenshotSaved)
    ON_MESSAGE(WM_PAGE_ZOOM_CHANGED, OnPageZoomChanged)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
    ON_REGISTERED_MESSAGE(WM_TASKBAR_CREATED, OnTaskbarCreated)
END_MESSAGE_MAP()

CTorvel_QermDlg::CTorvel_QermDlg() : CDialog(IDD_TORVEL_QERM_DIALOG)
{
}

CTorvel_QermDlg::~CTorvel_QermDlg()
{
    // No more device reports for a window that goes; pictures still being written are finished
    // while GDI+ still runs.
    m_audioWatch.Stop();
    for (const UniqueHandle& thread : m_screenshotThreads)
        WaitForSingleObject(thread.get(), kScreenshotWriteWaitMs);
    // The window goes first, while the view and the overlay still exist as objects; then the
    // objects it owned, then the icon (a confirmed exit has already removed it).
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
    m_pMask.reset();
    m_pView.reset();
    RemoveTrayIcon();
}

void CTorvel_QermDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BTN_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_BTN_MAXIMIZE, m_btnMaximize);
    DDX_Control(pDX, IDC_BTN_RESTORE, m_btnRestore);
    DDX_Control(pDX, IDC_BTN_UNUSED_1017, m_btnUnused1017);
    DDX_Control(pDX, IDC_BTN_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_BTN_SELECT_SERVER, m_btnSelectServer);
    DDX_Control(pDX, IDC_BTN_BOSSKEY, m_btnBossKey);
    DDX_Control(pDX, IDC_BTN_FULLSCREEN, m_btnFullScreen);
    DDX_Control(pDX, IDC_BTN_UNUSED_1011, m_btnUnused1011);
    DDX_Control(pDX, IDC_BTN_REFRESH, m_btnRefresh);
    DDX_Control(pDX, IDC_BTN_CLEAR_CACHE, m_btnClearCache);
}

BOOL CTorvel_QermDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bMinimized = FALSE;
    SetWindowText(LoadResString(IDS_CLIENT_NAME));
    // The window draws its own title strip: no system caption.
    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    SetWindowLongW(m_hWnd, GWL_STYLE, style & ~WS_CAPTION);
    // Every fixed pixel from here on is scaled by the DPI of the monitor the window is on.
    m_nDpi = GetWindowDpi(m_hWnd);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const CSize restored = RestoredWindowSize(m_nDpi, monitor.rcWork.right - monitor.rcWork.left,
                                              monitor.rcWork.bottom - monitor.rcWork.top);
    SetWindowPos(nullptr, 0, 0, restored.cx, restored.cy, SWP_NOMOVE | SWP_NOZORDER);
    // The taskbar button still gets a system menu and can minimise the window.
    ModifyStyle(0, WS_SYSMENU | WS_MINIMIZEBOX);

    // The start window comes first, before this window is ever visible; whatever address it holds
    // when its loop ends is the game's. It lives until this initialisation is over.
    CTorvelLogin startWindow;
    startWindow.DoModal();
    m_strGameUrl = startWindow.GetGameUrl();

    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    m_hTrayIcon.reset(static_cast<HICON>(
        LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, cxIcon, cyIcon, LR_DEFAULTCOLOR)));
    AddTrayIcon(GetWindowText(), m_hWnd, m_hTrayIcon.get());
    // A client started as administrator is filtered from messages of the ordinary-rights shell; the
    // new shell's announcement must still reach it, or the icon stays lost.
    ChangeWindowMessageFilterEx(m_hWnd, WM_TASKBAR_CREATED, MSGFLT_ALLOW, nullptr);

    // Before the page exists, so that it never makes a sound the player switched off.
    WCHAR szSoundOff[MAX_PATH];
    GetSettingString(L"Setting", L"soundoff", L"0", szSoundOff);
    m_bMuted = ParseSettingInt(szSoundOff) != 0;
    ApplyMute();
    m_audioWatch.Start(m_hWnd, WM_AUDIO_DEVICES_CHANGED);

    LoadSkin();

    auto pView = std::make_unique<CMyHtmlView>();
    if (pView->Create(nullptr, L"MyWebBrowser", WS_CHILD | WS_VISIBLE, CRect(), this, IDC_GAME_VIEW)) {
        m_pView = std::move(pView);
        ApplyStoredPageZoom();
        m_pView->Navigate(m_strGameUrl, 0, nullptr, nullptr, nullptr, 0);
    }

    // The centred restored rectangle is where the window returns when it is restored.
    CenterWindow();
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    m_bMaximized = true;
    FitToWorkArea();
    LayoutTitleButtons();
    ShowRestoreButton(true);
    InvalidateStrip();

    auto pMask = std::make_unique<CMenbanDlg>(this);
    if (pMask->Create(IDD_MENBAN, this)) {
        pMask->ShowWindow(SW_HIDE);
        m_pMask = std::move(pMask);
    }

    m_hAccel = LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_ACCELERATOR));
    RegisterGlobalHotKeys(m_hWnd);
    return TRUE;
}

bool CTorvel_QermDlg::PreTranslateMessage(MSG* pMsg)
{
    // Enter and Escape belong to the game page, not to the dialog's keyboard handling.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
        return false;
    // The zoom keys anywhere in the window, not only inside the page.
    if (m_pView && m_pView->TakeZoomInput(pMsg))
        return true;
    if (m_hAccel && TranslateAcceleratorW(m_hWnd, m_hAccel, pMsg))
        return true;
    return CDialog::PreTranslateMessage(pMsg);
}

void CTorvel_QermDlg::OnOK()
{
    // The main window ends only through the close prompt or the server re-selection.
}

void CTorvel_QermDlg::OnCancel()
{
    // Escape, and a close that the prompt let through, only ever leave full screen.
    if (m_bFullScreen)
        LeaveFullScreen(LayoutSource::Window);
}

void CTorvel_QermDlg::OnBtnBossKey()
{
    HideAndSilence();
}

void CTorvel_QermDlg::HideAndSilence()
{
    ShowWindow(SW_HIDE);
    // Nobody behind the boss key may hear the game; showing the window again brings the sound back.
    m_bMutedByBossKey = true;
    ApplyMute();
}

void CTorvel_QermDlg::OnBtnSelectServer()
{
    CCustomMessageBox box;
    box.SetTexts(L"选服", L"是否退出当前区服，重新选择新区服？");
    if (box.DoModal() != IDOK)
        return;
    ShowWindow(SW_HIDE);
    CloseGameWindow();
    // The new process starts like a fresh run, with the start window.
    StartChildProcess(GetModulePath(), nullptr);
    EndDialog(0);
}

void CTorvel_QermDlg::OnPaint()
{
    // Validating is all: the strip is drawn when the invalid part is erased.
    CPaintDC dc(this);
}

BOOL CTorvel_QermDlg::OnEraseBkgnd(CDC*)
{
    if (m_bFullScreen)
        return TRUE;
    CRect rc;
    GetClientRect(&rc);
    CClientDC dc(this);
    DrawTitleStrip(&dc, rc.Width(), m_pImgStripLeft.get(), m_pImgStripMiddle.get(), m_pImgStripRight.get(),
                   TitleStripHeight(m_nDpi));
    return TRUE;
}

void CTorvel_QermDlg::OnSysCommand(UINT nID, LPARAM)
{
    switch (nID & 0xFFF0) {
    case SC_CLOSE:
        ConfirmExit();
        break;
    case SC_RESTORE:
        // Back from the taskbar into the maximised layout: fit once the system has restored it.
        if (m_bMaximized) {
            m_nRefitTicks = 0;
            SetTimer(kRefitTimerId, kRefitTimerPeriod);
        }
        break;
    default:
        break;
    }
    Default();
}

void CTorvel_QermDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kRefitTimerId) {
        // A window manager may finish its own restore after the first tick and put the window back
        // where it was before it was minimised: fit again until the window is back and in place.
        const CRect rcWork = FitToWorkArea();
        CRect rc;
        GetWindowRect(&rc);
        if ((!IsIconic() && rc == rcWork) || ++m_nRefitTicks >= kRefitMaxTicks)
            KillTimer(kRefitTimerId);
    }
    Default();
}

void CTorvel_QermDlg::OnActivate(UINT nState, CWnd*, BOOL)
{
    // No default processing: the dialog's own focus handling would take the focus away from the
    // game page. F5 is the window's refresh key only while the window is active.
    UpdateRefreshHotKey(m_hWnd, nState != WA_INACTIVE);
    UpdateScreenshotHotKey(m_hWnd, nState != WA_INACTIVE);
}

void CTorvel_QermDlg::OnShowWindow(BOOL bShow, UINT)
{
    Default();
    // However the window comes back after the boss key, its sound comes back with it.
    if (bShow && m_bMutedByBossKey) {
        m_bMutedByBossKey = false;
        ApplyMute();
    }
}

void CTorvel_QermDlg::OnHotKey(UINT nHotKeyId, UINT, UINT)
{
    if (HandleGlobalHotKey(m_hWnd, static_cast<int>(nHotKeyId), *this) == HotKeyAction::Hide)
        HideAndSilence();
    Default();
}

void CTorvel_QermDlg::SaveScreenshot()
{
    // Threads that are done are let go.
    m_screenshotThreads.erase(std::remove_if(m_screenshotThreads.begin(), m_screenshotThreads.end(),
                                             [](const UniqueHandle& thread) {
                                                 return WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
                                             }),
                              m_screenshotThreads.end());
    UniqueHandle thread =
        SaveWindowScreenshotInBackground(m_pView ? m_pView->GetSafeHwnd() : nullptr, m_hWnd, WM_SCREENSHOT_SAVED);
    if (thread)
        m_screenshotThreads.push_back(std::move(thread));
}

LRESULT CTorvel_QermDlg::OnScreenshotSaved(WPARAM, LPARAM lParam)
{
    const std::unique_ptr<ScreenshotResult> pResult = TakePostedScreenshotResult(lParam);
    if (!pResult)
        return 0;
    m_strLastScreenshot = pResult->bSaved ? pResult->strPath : CString();
    if (pResult->bSaved)
        ShowTrayBalloon(L"截图已保存", pResult->strPath, NIIF_INFO);
    else
        ShowTrayBalloon(L"截图未能保存", pResult->strReason, NIIF_WARNING);
    return 0;
}

LRESULT CTorvel_QermDlg::OnAudioDevicesChanged(WPARAM, LPARAM)
{
    // A new device starts the client's session there unmuted.
    ApplyMute();
    return 0;
}

void CTorvel_QermDlg::OnClearCache()
{
    if (m_pMask)
        ShowCleaningOverlay(m_hWnd, m_pMask->GetSafeHwnd());
    StartCacheCleaning(m_hWnd);
}

void CTorvel_QermDlg::OnCacheCleaned()
{
    if (m_pMask)
        HideCleaningOverlay(m_pMask->GetSafeHwnd());
}

LRESULT CTorvel_QermDlg::OnGameWndAnnounce(WPARAM wParam, LPARAM)
{
    // Any process can send this; only a window that has really moved into this one is taken, so
    // later layout changes and the close never go to a stranger.
    const HWND hGameWnd = reinterpret_cast<HWND>(wParam);
    if (::IsWindow(hGameWnd) && ::IsChild(m_hWnd, hGameWnd) && ::GetAncestor(hGameWnd, GA_PARENT) == m_hWnd)
        m_hGameWnd = hGameWnd;
    return 0;
}

HWND CTorvel_QermDlg::GetGameWnd() const
{
    // A game window whose process ended leaves a handle the system may give to another window; only
    // a window still inside this one is the game window.
    if (m_hGameWnd && !(::IsWindow(m_hGameWnd) && ::GetAncestor(m_hGameWnd, GA_PARENT) == m_hWnd))
        m_hGameWnd = nullptr;
    return m_hGameWnd;
}

void CTorvel_QermDlg::SendToGameWindow(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!GetGameWnd())
        return;
    // The game window's process may hang or die; the main window goes on either way.
    DWORD_PTR dwResult = 0;
    ::SendMessageTimeoutW(m_hGameWnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kGameWndSendTimeoutMs, &dwResult);
}
