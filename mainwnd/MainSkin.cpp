// The main window's skin at its display scale: the title buttons' looks and tooltips, the strip's
// pieces, and what a move to a monitor of another scale changes.
#include "mainwnd/Torvel_QermDlg.h"
#include "browser/MyHtmlView.h"
#include "mainwnd/TitleLayout.h"
#include "res/resource.h"
#include "widgets/MenbanDlg.h"
#include "widgets/ScaledSkin.h"

namespace {
struct TitleButtonSkin
{
    UINT nNormal, nHover, nPressed;
    const wchar_t* pszTooltip;  // null: the button has no tooltip
};
}  // namespace

void CTorvel_QermDlg::LoadSkin()
{
    struct Binding
    {
        CTouchButton* pButton;
        TitleButtonSkin skin;
    };
    const Binding bindings[] = {
        {&m_btnClose, {IDB_CLOSE, IDB_CLOSE_HOVER, IDB_CLOSE_DOWN, nullptr}},
        {&m_btnMaximize, {IDB_MAXIMIZE, IDB_MAXIMIZE_HOVER, IDB_MAXIMIZE_DOWN, nullptr}},
        {&m_btnRestore, {IDB_RESTORE, IDB_RESTORE_HOVER, IDB_RESTORE_DOWN, nullptr}},
        {&m_btnMinimize, {IDB_MINIMIZE, IDB_MINIMIZE_HOVER, IDB_MINIMIZE_DOWN, nullptr}},
        {&m_btnSelectServer, {IDB_SELECT_SERVER, IDB_SELECT_SERVER_HOVER, IDB_SELECT_SERVER_DOWN, L"选择新的服务器"}},
        {&m_btnBossKey, {IDB_BOSSKEY, IDB_BOSSKEY_HOVER, IDB_BOSSKEY_DOWN, L"老板键（快捷键F10）"}},
        {&m_btnFullScreen, {IDB_FULLSCREEN, IDB_FULLSCREEN_HOVER, IDB_FULLSCREEN_DOWN, L"全屏/取消全屏（快捷键F11）"}},
        {&m_btnRefresh, {IDB_REFRESH, IDB_REFRESH_HOVER, IDB_REFRESH_DOWN, L"刷新"}},
        {&m_btnClearCache, {IDB_CLEAR_CACHE, IDB_CLEAR_CACHE_HOVER, IDB_CLEAR_CACHE_DOWN, L"清除缓存"}},
    };
    for (const Binding& b : bindings) {
        b.pButton->SetImages(b.skin.nNormal, b.skin.nHover, b.skin.nPressed, m_nDpi);
        if (b.skin.pszTooltip)
            b.pButton->SetTooltipText(b.skin.pszTooltip, true);
    }
    // Made once per scale: every later erase only tiles them.
    m_pImgStripLeft.reset(LoadSkinImage(IDB_STRIP_LEFT, m_nDpi));
    m_pImgStripMiddle.reset(LoadSkinImage(IDB_STRIP_MIDDLE, m_nDpi));
    m_pImgStripRight.reset(LoadSkinImage(IDB_STRIP_RIGHT, m_nDpi));
}

LRESULT CTorvel_QermDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    // The new DPI is in both words (the same on every monitor there is); the system suggests the
    // rectangle that keeps the window's look at the new scale.
    const UINT nDpi = LOWORD(wParam);
    const RECT* pSuggested = reinterpret_cast<const RECT*>(lParam);
    if (nDpi == 0)
        return 0;
    m_nDpi = nDpi;
    LoadSkin();
    if (m_pMask)
        m_pMask->SetDpi(nDpi);
    if (pSuggested)
        SetWindowPos(nullptr, pSuggested->left, pSuggested->top, pSuggested->right - pSuggested->left,
                     pSuggested->bottom - pSuggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_bFullScreen) {
        PlaceViewOverClient();
        return 0;
    }
    // The buttons at their new places and sizes take the strip behind them again at their next paint.
    LayoutTitleButtons();
    PlaceViewBelowStrip();
    NotifyGameWindow(0);
    Invalidate(true);
    return 0;
}
