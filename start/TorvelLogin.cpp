#include "start/TorvelLogin.h"
#include "app/Paths.h"
#include "app/update/Updater.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "start/Installation.h"
#include "start/LoginPopupDlg.h"
#include "widgets/PngImage.h"
#include "widgets/ScaledSkin.h"
#include "widgets/SkinText.h"

BEGIN_MESSAGE_MAP(CTorvelLogin, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_NCHITTEST()
    ON_WM_PAINT()
    ON_WM_WINDOWPOSCHANGED()
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

CTorvelLogin::CTorvelLogin() : CDialog(IDD_TORVEL_LOGIN, nullptr)
{
}

CTorvelLogin::~CTorvelLogin()
{
    // The popup (and with it the login browser) goes before the picture it sits on.
    m_pPopup.reset();
    m_pBackground.reset();
}

CString CTorvelLogin::GetGameUrl() const
{
    return m_strGameUrl;
}

BOOL CTorvelLogin::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(LoadResString(IDS_CLIENT_NAME));

    CRect rcWindow;
    GetWindowRect(&rcWindow);
    // Without a picture the window keeps its template size: empty, but still movable and closable.
    ApplyScale(GetWindowDpi(m_hWnd), rcWindow);
    // The taskbar button can minimise the window.
    ModifyStyle(0, WS_MINIMIZEBOX);
    CenterWindow();
    // Drawn and in place: the player sees the picture now, before the popup with its browser and
    // the installation are built over it, instead of after them when initialisation returns.
    ShowWindow(SW_SHOW);

    // The popup takes its scale from this window's layout as it is created.
    auto pPopup = std::make_unique<CLoginPopupDlg>(this);
    if (pPopup->Create(IDD_LOGIN_POPUP, this))
        m_pPopup = std::move(pPopup);
    PositionPopup(m_pPopup.get());

    // Every normal start keeps the installation complete; it blocks the window while it runs.
    RunInstallation();
    // The version server is asked on a thread of its own: this window never waits for it.
    StartUpdateCheck();
    return TRUE;
}

void CTorvelLogin::OnOK()
{
    // Enter never closes the start window.
}

void CTorvelLogin::OnCancel()
{
    // Escape and WM_CLOSE never close it either: only the login or a confirmed close prompt ends it.
}

void CTorvelLogin::ApplyScale(UINT nDpi, const RECT& rcAt)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromRect(&rcAt, MONITOR_DEFAULTTONEAREST), &monitor);
    std::unique_ptr<Gdiplus::Image> pSingle(LoadPngImage(IDB_START_BACKGROUND));
    const bool bPicture = pSingle && pSingle->GetLastStatus() == Gdiplus::Ok;
    // The picture's own size is what the layout scales; the whole window stays on the work area.
    m_layout = ComputeStartWindowLayout(nDpi, monitor.rcWork.right - monitor.rcWork.left,
                                        monitor.rcWork.bottom - monitor.rcWork.top,
                                        bPicture ? static_cast<int>(pSingle->GetWidth()) : kStartPictureWidth,
                                        bPicture ? static_cast<int>(pSingle->GetHeight()) : kStartPictureHeight);
    if (!bPicture || m_layout.nDpi == kDefaultDpi)
        m_pBackground = std::move(pSingle);
    else
        m_pBackground.reset(LoadSkinImage(IDB_START_BACKGROUND, m_layout.nDpi));
    if (!m_pBackground || m_pBackground->GetLastStatus() != Gdiplus::Ok) {
        m_nImageWidth = m_nImageHeight = 0;
        return;
    }
    m_nImageWidth = m_pBackground ? m_pBackground->GetWidth() : 0;
    m_nImageHeight = m_pBackground ? m_pBackground->GetHeight() : 0;
    DrawLayered();
}

bool CTorvelLogin::DrawLayered()
{
    if (!m_pBackground || m_nImageWidth == 0 || m_nImageHeight == 0)
        return false;
    const int cx = static_cast<int>(m_nImageWidth);
    const int cy = static_cast<int>(m_nImageHeight);

    WindowDC dcScreen(nullptr);
    UniqueMemDC dcMem(::CreateCompatibleDC(dcScreen.get()));
    UniqueGdiObj<HBITMAP> bmp(::CreateCompatibleBitmap(dcScreen.get(), cx, cy));
    if (!dcScreen || !dcMem || !bmp)
        return false;
    // Deselected before the bitmap and the context are deleted, so neither leaks.
    SelectScope selectBitmap(dcMem.get(), bmp.get());

    CRect rcWindow;
    GetWindowRect(&rcWindow);
    POINT ptDest = {rcWindow.left, rcWindow.top};
    {
        Gdiplus::Graphics graphics(dcMem.get());
        const Gdiplus::Point corners[3] = {Gdiplus::Point(0, 0), Gdiplus::Point(cx, 0), Gdiplus::Point(0, cy)};
        graphics.DrawImage(m_pBackground.get(), corners, 3);
    }

    if (!(GetExStyle() & WS_EX_LAYERED))
        ModifyStyleEx(0, WS_EX_LAYERED);
    SIZE size = {cx, cy};
    POINT ptSource = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // The picture's alpha channel decides, pixel by pixel, where the window is there at all.
    return ::UpdateLayeredWindow(m_hWnd, dcScreen.get(), &ptDest, &size, dcMem.get(), &ptSource, 0xFFFFFFFF,
                                 &blend, ULW_ALPHA) != FALSE;
}

void CTorvelLogin::PositionPopup(CLoginPopupDlg* pPopup)
{
    if (!pPopup || !pPopup->GetSafeHwnd() || !m_hWnd)
        return;
    // A minimised start window takes its popup down with it; moving and showing the popup here would
    // leave it alone on the screen. Restoring the window brings it back through this same call.
    if (IsIconic()) {
        if (pPopup->IsWindowVisible())
            pPopup->ShowWindow(SW_HIDE);
        return;
    }
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const CRect& rc = m_layout.popup;
    pPopup->MoveWindow(rcWindow.left + rc.left, rcWindow.top + rc.top, rc.Width(), rc.Height(), true);
    if (!pPopup->IsWindowVisible())
        pPopup->ShowWindow(SW_SHOW);
}

bool CTorvelLogin::PreTranslateMessage(MSG* pMsg)
{
    // Alt goes its normal way, without the dialog's keyboard handling.
    if (pMsg->wParam == VK_MENU)
        return false;
    return CDialog::PreTranslateMessage(pMsg);
}

void CTorvelLogin::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == SC_CLOSE)
        CLoginPopupDlg::ConfirmExit();
    // Declined: the close command ends in the empty OnCancel, so the window stays.
    Default();
}

LRESULT CTorvelLogin::OnNcHitTest(CPoint)
{
    // The player drags the window by any visible point of the picture.
    LRESULT hit = Default();
    return hit == HTCLIENT ? HTCAPTION : hit;
}

void CTorvelLogin::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    PositionPopup(m_pPopup.get());
}

LRESULT CTorvelLogin::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    const UINT nDpi = LOWORD(wParam);
    const RECT* pSuggested = reinterpret_cast<const RECT*>(lParam);
    if (nDpi == 0 || !pSuggested)
        return 0;
    // The suggestion keeps the window's size in proportion; the picture may have to fit a smaller
    // work area there, so the window is laid out anew and centred on the suggested place.
    ApplyScale(nDpi, *pSuggested);
    const CRect rcSuggested(*pSuggested);
    int x = (rcSuggested.left + rcSuggested.right) / 2 - m_layout.window.cx / 2;
    int y = (rcSuggested.top + rcSuggested.bottom) / 2 - m_layout.window.cy / 2;
    // Wholly on the work area there, as at the start.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromRect(pSuggested, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& rcWork = monitor.rcWork;
        x = x + m_layout.window.cx > rcWork.right ? rcWork.right - m_layout.window.cx : x;
        y = y + m_layout.window.cy > rcWork.bottom ? rcWork.bottom - m_layout.window.cy : y;
        x = x < rcWork.left ? rcWork.left : x;
        y = y < rcWork.top ? rcWork.top : y;
    }
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_pPopup)
        m_pPopup->ApplyScale(m_layout.nDpi);
    PositionPopup(m_pPopup.get());
    return 0;
}

void CTorvelLogin::OnPaint()
{
    PaintScope paint(m_hWnd);
    CRect rcClient;
    GetClientRect(&rcClient);
    PaintVersion(paint.get(), rcClient);
}

void CTorvelLogin::PaintVersion(HDC hdc, const RECT& rcClient)
{
    CString strVersion = GetFileVersionText(GetModulePath());
    Gdiplus::Graphics graphics(hdc);
    const auto px = [this](int nValue) { return ScaleForDpi(nValue, m_layout.nDpi); };
    std::unique_ptr<Gdiplus::Font> pFont =
        CreateSkinFont(static_cast<Gdiplus::REAL>(px(10)), Gdiplus::FontStyleRegular);
    if (!pFont)
        return;
    Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF, 0xCB, 0xAE, 0x5B));
    Gdiplus::StringFormat format(0);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rcClient.right - rcClient.left - px(60)),
                                static_cast<Gdiplus::REAL>(rcClient.bottom - rcClient.top - px(33)),
                                static_cast<Gdiplus::REAL>(px(200)), static_cast<Gdiplus::REAL>(px(31)));
    graphics.DrawString(strVersion, strVersion.GetLength(), pFont.get(), layout, &format, &brush);
}
