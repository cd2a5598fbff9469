// The main window's global hotkeys and cache cleaning as the window wires them: the keys are taken
// while the window lives, WM_HOTKEY acts on the window, and the clear-cache button and tray command
// cover the window with the overlay until the worker reports the end.
#include <gtest/gtest.h>

#include "MainDlgTestSupport.h"
#include "widgets/MenbanDlg.h"

namespace {
bool OverlayShown(CProbeMainDlg& d)
{
    return d.m_pMask && d.m_pMask->IsWindowVisible();
}
}  // namespace

TEST(MainWindowHotKeys, BossAndFullScreenKeysAreTakenWhileTheWindowLives)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg&) {
        // The shipped settings name F10 and F11.
        EXPECT_FALSE(KeyIsFree(0, VK_F10)) << "the boss key is not registered";
        EXPECT_FALSE(KeyIsFree(0, VK_F11)) << "the full-screen key is not registered";
        return true;
    }}), kScriptDone);
    EXPECT_TRUE(KeyIsFree(0, VK_F10)) << "the boss key outlived the window";
    EXPECT_TRUE(KeyIsFree(0, VK_F11)) << "the full-screen key outlived the window";
}

TEST(MainWindowHotKeys, BossKeyHidesAndShowsAndBringsBackAMinimisedWindow)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        d.SendMessage(WM_HOTKEY, 2, MAKELPARAM(0, VK_F10));
        EXPECT_FALSE(d.IsWindowVisible());
        d.SendMessage(WM_HOTKEY, 2, MAKELPARAM(0, VK_F10));
        EXPECT_TRUE(d.IsWindowVisible());
        // After the minimise button the key restores the maximised layout.
        ClickButton(d.m_btnMinimize);
        EXPECT_TRUE(d.IsIconic());
        d.SendMessage(WM_HOTKEY, 2, MAKELPARAM(0, VK_F10));
        EXPECT_FALSE(d.IsIconic());
        EXPECT_TRUE(d.IsZoomed());
        EXPECT_EQ(d.m_bMinimized, FALSE);
        return true;
    }}), kScriptDone);
}

TEST(MainWindowCache, ClearCacheCoversTheWindowUntilTheWorkerReports)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(),
        [](CProbeMainDlg& d) {
            EXPECT_FALSE(OverlayShown(d));
            ClickButton(d.m_btnClearCache);
            EXPECT_TRUE(OverlayShown(d)) << "the clear-cache button showed no overlay";
            if (d.m_pMask) {
                EXPECT_EQ(ScreenRect(*d.m_pMask), ScreenRect(d));
            }
            return true;
        },
        [](CProbeMainDlg& d) { return !OverlayShown(d); },
        [](CProbeMainDlg& d) {
            // The tray menu's command does the same.
            d.SendMessage(WM_COMMAND, 32776);
            EXPECT_TRUE(OverlayShown(d)) << "the tray command showed no overlay";
            return true;
        },
        [](CProbeMainDlg& d) { return !OverlayShown(d); },
        [](CProbeMainDlg& d) {
            // The end report alone hides it too.
            if (d.m_pMask) {
                d.m_pMask->ShowWindow(SW_SHOW);
            }
            d.SendMessage(WM_COMMAND, 10002);
            EXPECT_FALSE(OverlayShown(d));
            return true;
        }}), kScriptDone);
}
