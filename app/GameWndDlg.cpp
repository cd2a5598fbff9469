#include "app/GameWndDlg.h"

#include "app/GameWndMessages.h"
#include "browser/MyHtmlView.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "browser/PageZoom.h"
#include "mainwnd/TitleLayout.h"
#include "res/resource.h"
#include "start/Settings.h"

BEGIN_MESSAGE_MAP(CGameWndDlg, CDialog)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_MESSAGE(WM_GAMEWND_REFRESH, OnRefresh)
    ON_MESSAGE(WM_GAMEWND_FIT, OnFitToFrame)
    ON_MESSAGE(WM_PAGE_ZOOM_CHANGED, OnPageZoomChanged)
END_MESSAGE_MAP()

namespace {
// The zoom label's distance from the game window's top-left corner at 96 DPI.
constexpr int kZoomLabelMargin = 8;
// How often the watcher looks for the frame window.
constexpr DWORD kFramePollMs = 1000;
// Once the frame is gone, how long the main thread gets to end the process the normal way before
// the watcher ends it.
constexpr DWORD kNormalExitGraceMs = 2000;

// Copies, not the dialog: the watcher must never reach an object the main thread may be tearing down.
struct FrameWatch
{
    HWND hFrameWnd;
    HWND hGameWnd;
};

DWORD WINAPI WatchFrameWindow(LPVOID pParam) noexcept
{
    const std::unique_ptr<FrameWatch> pWatch(static_cast<FrameWatch*>(pParam));
    // A frame that dies never says goodbye (its process crashed or was killed).
    while (::IsWindow(pWatch->hFrameWnd))
        ::Sleep(kFramePollMs);
    // Once the close is delivered the main thread normally ends the process itself; the exit below
    // is for a main thread that is stuck. A game window that went with the frame cannot take the
    // close, and then nothing else would end the process.
    if (::PostMessageW(pWatch->hGameWnd, WM_CLOSE, 0, 0))
        ::Sleep(kNormalExitGraceMs);
    ::ExitProcess(0);
}
}  // namespace

CGameWndDlg::CGameWndDlg(HWND hFrameWnd, const CString& strGameUrl)
    : CDialog(IDD_GAMEWND), m_hFrameWnd(hFrameWnd), m_strGameUrl(strGameUrl)
{
}

CGameWndDlg::~CGameWndDlg()
{
    m_pView.reset();
    // The window is left to the process's end. Destroying a child of another process's window
    // would wait for that process to answer, and it may be hung.
    Detach();
}

bool CGameWndDlg::CreateInFrame()
{
    const bool bCreated = CDialog::Create(IDD_GAMEWND, CWnd::FromHandle(m_hFrameWnd));
    // The frame belongs to another process: its object here is a temporary that the next idle
    // moment deletes, so it must not be remembered.
    m_pParentWnd = nullptr;
    return bCreated;
}

BOOL CGameWndDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_hFrameWnd) {
        auto pView = std::make_unique<CMyHtmlView>();
        if (pView->Create(nullptr, L"MyWebBrowser", WS_CHILD | WS_VISIBLE, CRect(), this, IDC_GAME_VIEW)) {
            pView->SetPageZoom(ReadPageZoomSetting());
            pView->Navigate(m_strGameUrl, 0, nullptr, nullptr, nullptr, 0);
            m_pView = std::move(pView);
        }
        CRect rcFrame;
        ::GetClientRect(m_hFrameWnd, &rcFrame);
        MoveWindow(ViewRectBelowStrip(rcFrame, GetWindowDpi(m_hFrameWnd)), true);
        if (m_pView) {
            CRect rcClient;
            GetClientRect(&rcClient);
            m_pView->MoveWindow(rcClient, false);
        }
        ::SetParent(m_hWnd, m_hFrameWnd);
    }
    // Watching starts before the frame is told: a frame that hangs or dies while it is being told
    // must still end this process.
    StartFrameWatcher();
    if (m_hFrameWnd)
        Announce();
    return TRUE;
}

void CGameWndDlg::StartFrameWatcher()
{
    auto pWatch = std::make_unique<FrameWatch>(FrameWatch{m_hFrameWnd, m_hWnd});
    const UniqueHandle hThread(::CreateThread(nullptr, 0, &WatchFrameWindow, pWatch.get(), 0, nullptr));
    if (hThread)
        pWatch.release();  // the thread owns it now
}

void CGameWndDlg::Announce()
{
    DWORD_PTR dwResult = 0;
    ::SendMessageTimeoutW(m_hFrameWnd, WM_GAMEWND_ANNOUNCE, reinterpret_cast<WPARAM>(m_hWnd), 0,
                          SMTO_ABORTIFHUNG, kGameWndSendTimeoutMs, &dwResult);
}

bool CGameWndDlg::PreTranslateMessage(MSG* pMsg)
{
    // Enter and Escape belong to the game page, not to the dialog's keyboard handling.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
        return false;
    if (m_pView && m_pView->TakeZoomInput(pMsg))
        return true;
    return CDialog::PreTranslateMessage(pMsg);
}

void CGameWndDlg::OnClose()
{
    // The frame's close and then the watcher's may both arrive; the view goes with the first.
    if (m_pView) {
        m_pView->DestroyWindow();
        m_pView.reset();
    }
    ::PostQuitMessage(0);
}

void CGameWndDlg::OnDestroy()
{
    CDialog::OnDestroy();
    // Nothing here destroys this window: it goes only with the frame, when the frame's process
    // died without a close. Nothing is left to serve, so the process ends the normal way without
    // waiting for the watcher.
    ::PostQuitMessage(0);
}

void CGameWndDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_pView && m_pView->GetSafeHwnd()) {
        CRect rcClient;
        GetClientRect(&rcClient);
        // The page repaints itself.
        m_pView->MoveWindow(rcClient, false);
    }
}

LRESULT CGameWndDlg::OnRefresh(WPARAM, LPARAM)
{
    if (m_pView)
        m_pView->Refresh();
    return 0;
}

LRESULT CGameWndDlg::OnFitToFrame(WPARAM wParam, LPARAM lParam)
{
    if (!m_hFrameWnd)
        return 0;
    CRect rcFrame;
    ::GetClientRect(m_hFrameWnd, &rcFrame);
    // The frame says the DPI its strip is drawn at; a frame that does not (0) is asked.
    const UINT nFrameDpi = lParam > 0 && lParam <= 0xFFFF ? static_cast<UINT>(lParam) : GetWindowDpi(m_hFrameWnd);
    // Full screen takes the whole client area; otherwise the frame keeps its title strip.
    MoveWindow(wParam ? rcFrame : ViewRectBelowStrip(rcFrame, nFrameDpi), false);
    if (!IsWindowVisible())
        ShowWindow(SW_SHOW);
    return 0;
}

LRESULT CGameWndDlg::OnPageZoomChanged(WPARAM wParam, LPARAM lParam)
{
    const int nPercent = static_cast<int>(wParam);
    if (lParam)
        WritePageZoomSetting(nPercent);
    // A label of this process's own: the frame may be any window of another program, with no
    // strip to draw in, and a full-screen game window covers the main window's.
    const int nDpi = ZoomDpiOfWindow(m_hWnd);
    POINT pt{MulDiv(kZoomLabelMargin, nDpi, 96), MulDiv(kZoomLabelMargin, nDpi, 96)};
    ClientToScreen(&pt);
    m_zoomIndicator.Show(m_hWnd, PageZoomText(nPercent).c_str(), pt, nDpi);
    return 0;
}
