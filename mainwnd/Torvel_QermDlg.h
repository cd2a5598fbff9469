// The main window of a normal run: a captionless dialog that draws its own title strip above the
// game page, keeps an icon in the notification area and asks before it lets the player go.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <objidl.h>
#include <gdiplus.h>

#include <array>
#include <memory>
#include <vector>

#include "app/GameWndMessages.h"
#include "framework/CDialog.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "mainwnd/AudioMute.h"
#include "mainwnd/HotKeys.h"
#include "widgets/TouchButton.h"
#include "widgets/ZoomIndicator.h"

class CMyHtmlView;
class CMenbanDlg;

// The notification area's callback message.
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 1;
// A playback device came, went or became the default: the mute choice is applied again.
constexpr UINT WM_AUDIO_DEVICES_CHANGED = WM_APP + 1;
// A screenshot's file work is over; lParam holds its ScreenshotResult.
constexpr UINT WM_SCREENSHOT_SAVED = WM_APP + 2;

class CTorvel_QermDlg : public CDialog, public IHotKeyTarget
{
public:
    CTorvel_QermDlg();
    ~CTorvel_QermDlg() override;

    // The restored size at 96 DPI; it scales with the window's DPI (RestoredWindowSize).
    static constexpr int kRestoredWidth = 1000;
    static constexpr int kRestoredHeight = 700;
    static constexpr UINT_PTR kRefitTimerId = 102;
    static constexpr UINT kRefitTimerPeriod = 10;
    // How many ticks the re-fit keeps trying before it gives up (about two seconds).
    static constexpr int kRefitMaxTicks = 200;

    // Who asked for a full-screen change: the window's own button or Escape, or the global key. The
    // key keeps a minimise in mind on the way in and leaves the strip to repaint itself on the way out.
    enum class LayoutSource { Window, HotKey };

    // The layouts, each as its button asks for it.
    void Maximize();
    void Restore();
    void Minimize();
    void EnterFullScreen(LayoutSource source);
    void LeaveFullScreen(LayoutSource source);
    // Reloads the page in the view and in an announced game window.
    void RefreshPage();

    // What the global hotkeys see of the window and do with it.
    bool IsFullScreen() const override { return m_bFullScreen; }
    bool IsMaximizedLayout() const override { return m_bMaximized; }
    bool IsMinimizedByButton() const override { return m_bMinimized != 0; }
    // The announced game window while it is still a child of this window; forgotten once it is not.
    HWND GetGameWnd() const override;
    void RefreshView() override;
    void MaximizeLayout() override { Maximize(); }
    void RestoreLayout() override { Restore(); }
    void EnterFullScreenFromHotKey() override { EnterFullScreen(LayoutSource::HotKey); }
    void LeaveFullScreenFromHotKey() override { LeaveFullScreen(LayoutSource::HotKey); }
    // Takes what the game view shows as a picture; it is saved on a thread of its own and reported in
    // a tray balloon when the file is written.
    void SaveScreenshot() override;
    CMyHtmlView* GetView() const { return m_pView.get(); }
    CMenbanDlg* GetMask() const { return m_pMask.get(); }

    // Enter and Escape go to the page as they are; F5 is taken by the accelerator table.
    bool PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Geometry (WindowLayout.cpp).
    // Lays the window over the work area; returns that rectangle.
    CRect FitToWorkArea();
    void LayoutTitleButtons();
    void ShowTitleButtons(int nCmdShow);
    std::array<CTouchButton*, 9> TitleButtons();
    // The title buttons compose over the strip behind them: after a move or a new width they take
    // it again at their next paint, which comes after the strip's own.
    void CaptureTitleBackgroundsAgain();
    void PlaceViewBelowStrip();
    void PlaceViewOverClient();
    void NotifyGameWindow(WPARAM wFullScreen);
    // Sends to the announced game window, if any, without waiting long for its process.
    void SendToGameWindow(UINT message, WPARAM wParam, LPARAM lParam = 0);
    void InvalidateStrip();
    // The strip of the restored window, which the restore actions repaint.
    void InvalidateRestoredStrip();
    void ShowRestoreButton(bool bRestore);

    // Display scale (MainSkin.cpp): the title buttons' looks and the strip's pieces at m_nDpi, and
    // the move to a monitor of another scale.
    void LoadSkin();
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    // Tray icon and close prompt (TrayIcon.cpp).
    void AddTrayIcon(const CString& strTip, HWND hWnd, HICON hIcon);
    void RemoveTrayIcon();
    void ConfirmExit();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void OnTrayToggleShow();
    void CloseGameWindow();
    // A balloon over the tray icon; the icon's own record stays as it was added.
    void ShowTrayBalloon(const CString& strTitle, const CString& strText, DWORD dwInfoFlags);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
    void OnTrayMute();
    // Tells the audio session what the player's choice and the boss key together ask for.
    void ApplyMute();

    // Page zoom (PageZoomUi.cpp): the stored zoom for the view, and what the player sees of a change.
    void ApplyStoredPageZoom();
    LRESULT OnPageZoomChanged(WPARAM wParam, LPARAM lParam);

    // Message and command handlers.
    void OnBtnMaximize() { Maximize(); }
    void OnBtnRestore() { Restore(); }
    void OnBtnMinimize() { Minimize(); }
    void OnBtnFullScreen() { EnterFullScreen(LayoutSource::Window); }
    void OnBtnBossKey();
    // The boss key's hide: the window goes and its sound with it until it is shown again.
    void HideAndSilence();
    void OnBtnSelectServer();
    void OnBtnClose() { ConfirmExit(); }
    void OnBtnRefresh() { RefreshPage(); }
    void OnAccelF5() {}
    void OnClearCache();
    void OnCacheCleaned();
    void OnHotKey(UINT nHotKeyId, UINT nKey1, UINT nKey2);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    void OnSize(UINT nType, int cx, int cy);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    LRESULT OnGameWndAnnounce(WPARAM wParam, LPARAM lParam);
    LRESULT OnAudioDevicesChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnScreenshotSaved(WPARAM wParam, LPARAM lParam);

    CTouchButton m_btnClose;
    CTouchButton m_btnMaximize;
    CTouchButton m_btnRestore;
    CTouchButton m_btnUnused1017;
    CTouchButton m_btnMinimize;
    CTouchButton m_btnSelectServer;
    CTouchButton m_btnBossKey;
    CTouchButton m_btnFullScreen;
    CTouchButton m_btnUnused1011;
    CTouchButton m_btnRefresh;
    CTouchButton m_btnClearCache;
    bool m_bFullScreen = false;
    bool m_bMaximized = false;
    NOTIFYICONDATAW m_nid{};
    bool m_bTrayAdded = false;
    UniqueIcon m_hTrayIcon;
    std::unique_ptr<CMenbanDlg> m_pMask;
    std::unique_ptr<CMyHtmlView> m_pView;
    mutable HWND m_hGameWnd = nullptr;  // forgotten by GetGameWnd once it names no child of this window
    CString m_strGameUrl;
    int m_nSelectServerShow = SW_SHOWNORMAL;
    // The client width the title buttons last captured their backgrounds at.
    int m_nStripWidth = 0;
    int m_nRefitTicks = 0;
    std::unique_ptr<Gdiplus::Image> m_pImgStripLeft;
    std::unique_ptr<Gdiplus::Image> m_pImgStripMiddle;
    std::unique_ptr<Gdiplus::Image> m_pImgStripRight;
    BOOL m_bMinimized = FALSE;
    HACCEL m_hAccel = nullptr;
    // The DPI the window is laid out and drawn at: its monitor's, or the one a move announced.
    UINT m_nDpi = kDefaultDpi;
    bool m_bMuted = false;             // the player's choice, "Setting"/"soundoff"
    bool m_bMutedByBossKey = false;    // hidden by the boss key: silent until shown again
    bool m_bSessionMuted = false;      // what the audio session was last asked for
    CString m_strLastScreenshot;       // the picture a click on the balloon shows in its folder
    CAudioDeviceWatch m_audioWatch;
    std::vector<UniqueHandle> m_screenshotThreads;  // waited for before the window goes (and GDI+ with it)
    CZoomIndicator m_zoomIndicator;

    DECLARE_MESSAGE_MAP()
};
