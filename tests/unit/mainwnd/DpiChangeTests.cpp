// The main window moved to a monitor of 150 %: WM_DPICHANGED (which Wine never sends by itself)
// with the system's suggested rectangle. The window takes the rectangle, lays its strip, buttons and
// view out for the new scale, draws the strip from the art made at twice the size, and tells the
// announced game window how high the strip now is.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "MainDlgTestSupport.h"
#include "WidgetTestSupport.h"
#include "app/GameWndMessages.h"
#include "browser/MyHtmlView.h"
#include "res/resource.h"
#include "widgets/MenbanDlg.h"
#include "widgets/PngImage.h"
#include "widgets/ScaledSkin.h"

TEST(MainWindowDpi, MovedToAMonitorOfOneHundredFiftyPercentTheWindowFollows)
{
    CGameWndRecorder game;
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [&game](CProbeMainDlg& d) -> bool {
        EXPECT_EQ(d.m_nDpi, 96u) << "the suite's display runs at 100 %";
        game.AdoptInto(d.GetSafeHwnd());
        d.SendMessage(WM_GAMEWND_ANNOUNCE, reinterpret_cast<WPARAM>(game.Handle()));
        // Dragged, restored, onto the other monitor: the system suggests a rectangle there.
        ClickButton(d.m_btnRestore);
        const int nFitsBefore = game.Count(WM_GAMEWND_FIT);
        RECT rcSuggested = {40, 10, 1240, 790};
        d.SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&rcSuggested));
        EXPECT_EQ(ScreenRect(d.GetSafeHwnd()), rcSuggested);
        RECT rcClient{};
        ::GetClientRect(d.GetSafeHwnd(), &rcClient);
        EXPECT_EQ(rcClient, (RECT{0, 0, 1200, 780}));

        // The strip is 45 pixels high; every button at its place at 150 %.
        const struct { CTouchButton& button; RECT rc; } places[] = {
            {d.m_btnClose, {1158, 5, 1200, 44}},        {d.m_btnRestore, {1114, 5, 1156, 44}},
            {d.m_btnMaximize, {1114, 5, 1156, 44}},     {d.m_btnMinimize, {1071, 5, 1113, 44}},
            {d.m_btnFullScreen, {912, 5, 1040, 41}},    {d.m_btnBossKey, {759, 5, 905, 41}},
            {d.m_btnClearCache, {624, 5, 752, 41}},     {d.m_btnRefresh, {513, 5, 630, 41}},
            {d.m_btnSelectServer, {417, 5, 506, 41}},
        };
        for (const auto& p : places)
            EXPECT_EQ(RectInParent(p.button.GetSafeHwnd()), p.rc) << ::GetDlgCtrlID(p.button.GetSafeHwnd());
        if (d.m_pView) {
            EXPECT_EQ(RectInParent(d.m_pView->GetSafeHwnd()), (RECT{0, 45, 1200, 780}));
        }

        // The game window is told, with the DPI its offset below the strip follows.
        EXPECT_GT(game.Count(WM_GAMEWND_FIT), nFitsBefore);
        EXPECT_EQ(game.LastFit(), 0);
        EXPECT_EQ(game.LastFitDpi(), 144);
        // The overlay animates frames made for the new scale.
        if (d.m_pMask) {
            EXPECT_EQ(d.m_pMask->GetDpi(), 144u);
        }

        // The strip's left piece, 305 x 45 now, is the picture drawn at twice the size and reduced,
        // which shows in its title text and emblem: not the 1x picture enlarged.
        EXPECT_NE(::FindResourceW(nullptr, MAKEINTRESOURCEW(IDB_STRIP_LEFT + IDB_2X_OFFSET), L"PNG"), nullptr)
            << "no strip picture drawn at twice the size";
        ::RedrawWindow(d.GetSafeHwnd(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
        const std::unique_ptr<Gdiplus::Image> pDouble(LoadPngImage(IDB_STRIP_LEFT + IDB_2X_OFFSET));
    const std::unique_ptr<Gdiplus::Bitmap> pSharp(ResampleImage(pDouble.get(), 305, 45));
        const std::unique_ptr<Gdiplus::Image> pSingle(LoadPngImage(IDB_STRIP_LEFT));
        const std::unique_ptr<Gdiplus::Bitmap> pEnlarged(ResampleImage(pSingle.get(), 305, 45));
        if (!pSharp || !pEnlarged) {
            ADD_FAILURE() << "no strip picture";
            return true;
        }
        EXPECT_EQ(pSharp->GetWidth(), 305u);
        EXPECT_EQ(pSharp->GetHeight(), 45u);
        CPixels px(d.GetSafeHwnd());
        const double dSharp = MeanDifference(px, *pSharp);
        const double dEnlarged = MeanDifference(px, *pEnlarged);
        EXPECT_LT(dSharp, 1.5) << "the strip is not the 2x picture reduced (" << dEnlarged << " from the 1x enlarged)";
        EXPECT_GT(dEnlarged, dSharp + 2.0) << "the strip cannot be told from the 1x picture enlarged (" << dSharp
                                            << " from the 2x reduced)";
        return true;
    }}), kScriptDone);
}
