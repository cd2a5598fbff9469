// The main window run for real under Wine: what initialisation builds, and every layout the title
// strip and its buttons lead to. The runner's screen is 1280 x 800 and Wine's taskbar is hidden with
// an empty rectangle, so the maximised window covers the whole screen.
#include <gtest/gtest.h>

#include <algorithm>

#include "MainDlgTestSupport.h"
#include "app/GameWndMessages.h"
#include "WidgetTestSupport.h"
#include "browser/MyHtmlView.h"
#include "framework/CToolTipCtrl.h"
#include "res/resource.h"
#include "widgets/GdiPlusBitmap.h"
#include "widgets/MenbanDlg.h"

namespace {
const RECT kFullScreen = {0, 0, 1280, 800};
const RECT kRestored = {140, 50, 1140, 750};

Step CheckScreen()
{
    return [](CProbeMainDlg&) {
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280) << "these tests expect the runner's 1280 x 800 screen";
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 800) << "these tests expect the runner's 1280 x 800 screen";
        return true;
    };
}

bool Visible(CWnd& wnd)
{
    return (wnd.GetStyle() & WS_VISIBLE) != 0;
}

struct TooltipSearch
{
    HWND hButton;
    CString strText;
};

BOOL CALLBACK VisitTooltip(HWND h, LPARAM lp)
{
    auto* s = reinterpret_cast<TooltipSearch*>(lp);
    // A tooltip's owner is the top-level window; the tool names the button.
    auto* pTip = dynamic_cast<CToolTipCtrl*>(CWnd::FromHandlePermanent(h));
    if (pTip) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = s->hButton;
        ti.uId = 1;
        if (::SendMessageW(h, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)))
            s->strText = pTip->GetText(CWnd::FromHandle(s->hButton), 1);
    }
    return TRUE;
}

// The text of the tooltip that a button carries, or "(none)" when it has no tooltip control.
CString TooltipOf(CWnd& button)
{
    TooltipSearch search{button.GetSafeHwnd(), L"(none)"};
    ::EnumThreadWindows(::GetCurrentThreadId(), VisitTooltip, reinterpret_cast<LPARAM>(&search));
    return search.strText;
}
}  // namespace

TEST(MainWindow, InitialisationBuildsTheMaximisedFrame)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), CheckScreen(), [](CProbeMainDlg& d) {
        EXPECT_STREQ(d.GetWindowText(), L"《Vantor》微端");
        const DWORD style = d.GetStyle();
        EXPECT_EQ(style & WS_CAPTION, 0u) << "the window draws its own title strip";
        EXPECT_EQ(style & WS_THICKFRAME, 0u) << "the window has no sizing border";
        EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX), DWORD(WS_SYSMENU | WS_MINIMIZEBOX));
        EXPECT_TRUE(d.IsZoomed());
        // It covers the whole work area (the desktop has no panel), and comes back to the centred
        // 1000 x 700 rectangle when restored.
        EXPECT_EQ(ScreenRect(d), kFullScreen);
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        EXPECT_TRUE(::GetWindowPlacement(d.GetSafeHwnd(), &wp));
        EXPECT_EQ(wp.rcNormalPosition, kRestored) << "not centred at 1000 x 700 before it was maximised";
        CRect rcClient;
        d.GetClientRect(&rcClient);
        const RECT rcWindow = ScreenRect(d);
        EXPECT_EQ(rcClient.Width(), rcWindow.right - rcWindow.left) << "no frame around the client area";
        EXPECT_EQ(rcClient.Height(), rcWindow.bottom - rcWindow.top) << "no frame around the client area";
        EXPECT_TRUE(d.m_bMaximized);
        EXPECT_FALSE(d.m_bFullScreen);
        EXPECT_EQ(d.m_bMinimized, FALSE);

        // Buttons of the maximised layout, from the right edge of a 1280-pixel client area.
        EXPECT_EQ(RectInParent(d.m_btnClose), (RECT{1252, 3, 1280, 29}));
        EXPECT_EQ(RectInParent(d.m_btnRestore), (RECT{1223, 3, 1251, 29}));
        EXPECT_EQ(RectInParent(d.m_btnMaximize), (RECT{1223, 3, 1251, 29}));
        EXPECT_EQ(RectInParent(d.m_btnMinimize), (RECT{1194, 3, 1222, 29}));
        EXPECT_EQ(RectInParent(d.m_btnFullScreen), (RECT{1088, 3, 1173, 27}));
        EXPECT_EQ(RectInParent(d.m_btnBossKey), (RECT{986, 3, 1083, 27}));
        EXPECT_EQ(RectInParent(d.m_btnClearCache), (RECT{896, 3, 981, 27}));
        EXPECT_EQ(RectInParent(d.m_btnRefresh), (RECT{822, 3, 900, 27}));
        EXPECT_EQ(RectInParent(d.m_btnSelectServer), (RECT{758, 3, 817, 27}));
        EXPECT_FALSE(Visible(d.m_btnMaximize));
        EXPECT_TRUE(Visible(d.m_btnRestore));
        EXPECT_TRUE(Visible(d.m_btnSelectServer)) << "string 32780 holds \"1\"";
        EXPECT_EQ(d.m_nSelectServerShow, SW_SHOWNORMAL);
        // The two buttons without a role are bound but stay where the template put them.
        EXPECT_NE(d.m_btnUnused1017.GetSafeHwnd(), nullptr);
        EXPECT_NE(d.m_btnUnused1011.GetSafeHwnd(), nullptr);
        EXPECT_EQ(d.m_btnUnused1017.GetDlgCtrlID(), 1017);
        EXPECT_EQ(d.m_btnUnused1011.GetDlgCtrlID(), 1011);

        // The game view below the strip, the hidden overlay, the strip pieces, the accelerators.
        EXPECT_NE(d.m_pView, nullptr);
        if (d.m_pView) {
            EXPECT_EQ(d.m_pView->GetDlgCtrlID(), 10000);
            EXPECT_STREQ(d.m_pView->GetWindowText(), L"MyWebBrowser");
            // Below the strip, as wide and as high as the client area (which Wine may have kept
            // at the mapped size).
            EXPECT_EQ(RectInParent(*d.m_pView), (RECT{0, 30, rcClient.right, rcClient.bottom}));
        }
        EXPECT_NE(d.m_pMask, nullptr);
        if (d.m_pMask) {
            EXPECT_FALSE(d.m_pMask->IsWindowVisible());
            EXPECT_EQ(::GetWindow(d.m_pMask->GetSafeHwnd(), GW_OWNER), d.GetSafeHwnd());
        }
        EXPECT_NE(d.m_pImgStripLeft, nullptr);
        EXPECT_NE(d.m_pImgStripMiddle, nullptr);
        EXPECT_NE(d.m_pImgStripRight, nullptr);
        EXPECT_NE(d.m_hAccel, nullptr);
        EXPECT_EQ(d.GetGameWnd(), nullptr);
        // The start window ran first and handed its address over; it is gone.
        EXPECT_STREQ(d.m_strGameUrl, kTestGameUrl);
        return true;
    }}), kScriptDone);
}

TEST(MainWindow, TitleButtonsCarryTheirTooltips)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        EXPECT_STREQ(TooltipOf(d.m_btnSelectServer), L"选择新的服务器");
        EXPECT_STREQ(TooltipOf(d.m_btnBossKey), L"老板键（快捷键F10）");
        EXPECT_STREQ(TooltipOf(d.m_btnFullScreen), L"全屏/取消全屏（快捷键F11）");
        EXPECT_STREQ(TooltipOf(d.m_btnRefresh), L"刷新");
        EXPECT_STREQ(TooltipOf(d.m_btnClearCache), L"清除缓存");
        EXPECT_STREQ(TooltipOf(d.m_btnClose), L"(none)");
        EXPECT_STREQ(TooltipOf(d.m_btnMaximize), L"(none)");
        EXPECT_STREQ(TooltipOf(d.m_btnRestore), L"(none)");
        EXPECT_STREQ(TooltipOf(d.m_btnMinimize), L"(none)");
        return true;
    }}), kScriptDone);
}

TEST(MainWindow, DoubleClickOnTheStripRestoresAndMaximises)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), CheckScreen(),
        [](CProbeMainDlg& d) {
            d.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(300, 10));
            EXPECT_EQ(ScreenRect(d), kRestored) << "the centred 1000 x 700 rectangle";
            EXPECT_FALSE(d.IsZoomed());
            EXPECT_FALSE(d.m_bMaximized);
            EXPECT_TRUE(Visible(d.m_btnMaximize));
            EXPECT_FALSE(Visible(d.m_btnRestore));
            EXPECT_EQ(RectInParent(d.m_btnClose), (RECT{972, 3, 1000, 29}));
            EXPECT_EQ(RectInParent(d.m_btnSelectServer), (RECT{478, 3, 537, 27}));
            if (d.m_pView) {
                EXPECT_EQ(RectInParent(*d.m_pView), (RECT{0, 30, 1000, 700}));
            }
            return true;
        },
        [](CProbeMainDlg& d) {
            d.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(300, 10));
            EXPECT_EQ(ScreenRect(d), kFullScreen);
            EXPECT_TRUE(d.IsZoomed());
            EXPECT_TRUE(d.m_bMaximized);
            EXPECT_FALSE(Visible(d.m_btnMaximize));
            EXPECT_TRUE(Visible(d.m_btnRestore));
            EXPECT_EQ(RectInParent(d.m_btnClose), (RECT{1252, 3, 1280, 29}));
            EXPECT_EQ(d.m_bMinimized, FALSE);
            return true;
        }}), kScriptDone);
}

TEST(MainWindow, RestoreAndMaximiseButtons)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(),
        [](CProbeMainDlg& d) {
            ClickButton(d.m_btnRestore);
            EXPECT_EQ(ScreenRect(d), kRestored);
            EXPECT_FALSE(d.m_bMaximized);
            EXPECT_TRUE(Visible(d.m_btnMaximize));
            EXPECT_FALSE(Visible(d.m_btnRestore));
            EXPECT_EQ(RectInParent(d.m_btnMaximize), (RECT{943, 3, 971, 29}));
            return true;
        },
        [](CProbeMainDlg& d) {
            ClickButton(d.m_btnMaximize);
            EXPECT_EQ(ScreenRect(d), kFullScreen);
            EXPECT_TRUE(d.m_bMaximized);
            EXPECT_FALSE(Visible(d.m_btnMaximize));
            EXPECT_TRUE(Visible(d.m_btnRestore));
            if (d.m_pView) {
                EXPECT_EQ(RectInParent(*d.m_pView), (RECT{0, 30, 1280, 800}));
            }
            return true;
        }}), kScriptDone);
}

TEST(MainWindow, OnlyTheRestoredWindowIsDraggedByItsStrip)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(),
        [](CProbeMainDlg& d) {
            d.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 10));
            MSG msg{};
            EXPECT_FALSE(::PeekMessageW(&msg, d.GetSafeHwnd(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE))
                << "a maximised window cannot be dragged";
            ClickButton(d.m_btnRestore);
            d.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 10));
            EXPECT_TRUE(::PeekMessageW(&msg, d.GetSafeHwnd(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
            EXPECT_EQ(msg.wParam, static_cast<WPARAM>(HTCAPTION));
            // The move starts where the button went down: (300, 10) in a window at (140, 50).
            EXPECT_EQ(static_cast<short>(LOWORD(msg.lParam)), 440);
            EXPECT_EQ(static_cast<short>(HIWORD(msg.lParam)), 60);
            return true;
        }}), kScriptDone);
}

TEST(MainWindow, FullScreenHidesTheStripButtonsAndEscapeLeavesIt)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(),
        [](CProbeMainDlg& d) {
            // Escape (IDCANCEL) and Enter (IDOK) outside full screen end nothing.
            d.SendMessage(WM_COMMAND, IDCANCEL);
            d.SendMessage(WM_COMMAND, IDOK);
            EXPECT_FALSE(d.m_bFullScreen);
            ClickButton(d.m_btnFullScreen);
            EXPECT_TRUE(d.m_bFullScreen);
            EXPECT_EQ(ScreenRect(d), kFullScreen);
            for (CWnd* p : {static_cast<CWnd*>(&d.m_btnClose), static_cast<CWnd*>(&d.m_btnMaximize),
                            static_cast<CWnd*>(&d.m_btnRestore), static_cast<CWnd*>(&d.m_btnMinimize),
                            static_cast<CWnd*>(&d.m_btnBossKey), static_cast<CWnd*>(&d.m_btnFullScreen),
                            static_cast<CWnd*>(&d.m_btnRefresh), static_cast<CWnd*>(&d.m_btnClearCache)})
                EXPECT_FALSE(Visible(*p)) << "button " << p->GetDlgCtrlID() << " shows in full screen";
            EXPECT_TRUE(Visible(d.m_btnSelectServer)) << "it keeps the show command of string 32780";
            if (d.m_pView) {
                EXPECT_EQ(RectInParent(*d.m_pView), (RECT{0, 0, 1280, 800}));
            }
            return true;
        },
        [](CProbeMainDlg& d) {
            d.SendMessage(WM_COMMAND, IDCANCEL);
            EXPECT_FALSE(d.m_bFullScreen);
            EXPECT_TRUE(d.m_bMaximized);
            EXPECT_TRUE(Visible(d.m_btnClose));
            EXPECT_TRUE(Visible(d.m_btnRestore));
            EXPECT_FALSE(Visible(d.m_btnMaximize));
            EXPECT_TRUE(Visible(d.m_btnClearCache));
            if (d.m_pView) {
                EXPECT_EQ(RectInParent(*d.m_pView), (RECT{0, 30, 1280, 800}));
            }
            return true;
        }}), kScriptDone);
}

TEST(MainWindow, AnnouncedGameWindowFollowsEveryLayout)
{
    CGameWndRecorder game;
    HWND hGone = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(hGone);
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [&game, hGone](CProbeMainDlg& d) {
        // Only a window that has moved into the main window is taken: not a top-level window, not
        // a popup the main window owns, not a handle whose window is gone.
        const struct
        {
            const char* what;
            HWND hWnd;
        } strangers[] = {
            {"top-level window", game.Handle()},
            {"owned popup", d.m_pMask ? d.m_pMask->GetSafeHwnd() : nullptr},
            {"destroyed window", hGone},
        };
        for (const auto& s : strangers) {
            EXPECT_EQ(d.SendMessage(WM_GAMEWND_ANNOUNCE, reinterpret_cast<WPARAM>(s.hWnd)), 0);
            EXPECT_EQ(d.GetGameWnd(), nullptr) << s.what;
        }
        // Nothing is sent before the game window announces itself.
        ClickButton(d.m_btnRestore);
        EXPECT_TRUE(game.m_records.empty());
        game.AdoptInto(d.GetSafeHwnd());
        EXPECT_EQ(d.SendMessage(WM_GAMEWND_ANNOUNCE, reinterpret_cast<WPARAM>(game.Handle())), 0);
        EXPECT_EQ(d.GetGameWnd(), game.Handle());

        struct Case
        {
            const char* action;
            std::function<void()> act;
            int nLastFit;
        };
        const Case cases[] = {
            {"maximise button", [&] { ClickButton(d.m_btnMaximize); }, 0},
            {"full-screen button", [&] { ClickButton(d.m_btnFullScreen); }, 1},
            {"escape", [&] { d.SendMessage(WM_COMMAND, IDCANCEL); }, 0},
            {"restore button", [&] { ClickButton(d.m_btnRestore); }, 0},
            {"double click", [&] { d.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(300, 10)); }, 0},
        };
        for (const Case& c : cases) {
            const int nBefore = game.Count(WM_GAMEWND_FIT);
            c.act();
            EXPECT_GT(game.Count(WM_GAMEWND_FIT), nBefore) << c.action << " sent no fit";
            EXPECT_EQ(game.LastFit(), c.nLastFit) << c.action;
        }

        // Refresh is posted.
        ClickButton(d.m_btnRefresh);
        EXPECT_EQ(game.Count(WM_GAMEWND_REFRESH), 0);
        PumpFor(20, Dispatch::ThroughFramework);
        EXPECT_EQ(game.Count(WM_GAMEWND_REFRESH), 1);
        EXPECT_EQ(game.Count(WM_CLOSE), 0);

        // A game window that left this window (its process ended, and the handle may name another
        // program's window by now) gets nothing more and is forgotten.
        ::SetParent(game.Handle(), nullptr);
        const size_t nRecords = game.m_records.size();
        ClickButton(d.m_btnMaximize);
        ClickButton(d.m_btnRefresh);
        PumpFor(20, Dispatch::ThroughFramework);
        EXPECT_EQ(game.m_records.size(), nRecords) << "a window outside the main window got a game message";
        EXPECT_EQ(d.GetGameWnd(), nullptr);
        return true;
    }}), kScriptDone);
}

TEST(MainWindow, MinimisedWindowComesBackFromTheTaskbarFitted)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(),
        [](CProbeMainDlg& d) {
            ClickButton(d.m_btnMinimize);
            EXPECT_TRUE(d.IsIconic());
            EXPECT_EQ(d.m_bMinimized, TRUE);
            // The taskbar's restore command; the re-fit timer does the rest.
            d.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
            return true;
        },
        // However loaded the machine, until the re-fit had its turn (the script times out if never).
        [](CProbeMainDlg& d) { return !d.IsIconic() && ScreenRect(d) == kFullScreen; },
        [](CProbeMainDlg& d) {
            EXPECT_FALSE(d.IsIconic());
            EXPECT_TRUE(d.IsZoomed());
            EXPECT_EQ(ScreenRect(d), kFullScreen) << "not fitted after the restore";
            EXPECT_TRUE(d.m_bMaximized);
            EXPECT_EQ(d.m_bMinimized, TRUE) << "only the layout buttons forget the minimise";
            ClickButton(d.m_btnRestore);
            EXPECT_EQ(d.m_bMinimized, FALSE);
            return true;
        }}), kScriptDone);
}

TEST(MainWindow, EnterAndEscapeReachThePageAndF5IsSwallowed)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        HWND hTarget = d.m_pView ? d.m_pView->GetSafeHwnd() : d.GetSafeHwnd();
        MSG enter{hTarget, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
        MSG escape{hTarget, WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {0, 0}};
        MSG f5{hTarget, WM_KEYDOWN, VK_F5, 0x003F0001, 0, {0, 0}};
        EXPECT_FALSE(d.PreTranslateMessage(&enter));
        EXPECT_FALSE(d.PreTranslateMessage(&escape));
        EXPECT_TRUE(d.PreTranslateMessage(&f5)) << "the accelerator takes F5";
        // The accelerator's command does nothing: the window goes on as it was.
        d.SendMessage(WM_COMMAND, MAKEWPARAM(32778, 1));
        EXPECT_TRUE(d.IsWindowVisible());
        EXPECT_TRUE(d.m_bMaximized);
        return true;
    }}), kScriptDone);
}

TEST(MainWindow, BossKeyButtonHidesTheWindow)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        ClickButton(d.m_btnBossKey);
        EXPECT_FALSE(d.IsWindowVisible());
        d.ShowWindow(SW_SHOW);
        return true;
    }}), kScriptDone);
}

TEST(MainWindow, TitleStripIsDrawnFromItsThreePieces)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        // The restored window is 1000 pixels wide whatever the screen.
        ClickButton(d.m_btnRestore);
        ::RedrawWindow(d.GetSafeHwnd(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
        CPixels px(d.GetSafeHwnd());
        CGdiPlusBitmapResource left, middle, right;
        EXPECT_TRUE(left.LoadFromResource(IDB_STRIP_LEFT));
        EXPECT_TRUE(middle.LoadFromResource(IDB_STRIP_MIDDLE));
        EXPECT_TRUE(right.LoadFromResource(IDB_STRIP_RIGHT));
        Gdiplus::Bitmap* pLeft = left;
        Gdiplus::Bitmap* pMiddle = middle;
        Gdiplus::Bitmap* pRight = right;
        if (!pLeft || !pMiddle || !pRight)
            return true;
        // Row 1 lies above every button; the pieces are opaque.
        const struct
        {
            int x;
            Gdiplus::Bitmap* pImage;
            int xImage;
        } samples[] = {{0, pLeft, 0}, {100, pLeft, 100}, {202, pLeft, 202}, {203, pMiddle, 0},
                       {700, pMiddle, 0}, {907, pMiddle, 0}, {908, pRight, 0}, {999, pRight, 91}};
        for (const auto& s : samples) {
            Gdiplus::Color c;
            s.pImage->GetPixel(s.xImage, 1, &c);
            EXPECT_TRUE(Near(px.At(s.x, 1), RGB(c.GetR(), c.GetG(), c.GetB()), 3))
                << "x " << s.x << ": " << std::hex << px.At(s.x, 1);
        }
        return true;
    }}), kScriptDone);
}
