// The title buttons compose their looks over the strip behind them. A button that took its
// background before the strip was there shows a black square; after the window gets a new width,
// or lays its buttons out again, each takes the strip behind it anew.
#include <gtest/gtest.h>

#include <functional>

#include "MainDlgTestSupport.h"
#include "WidgetTestSupport.h"
#include "framework/Handles.h"

namespace {
constexpr COLORREF kBlack = RGB(0, 0, 0);

RECT CloseRect(CProbeMainDlg& d)
{
    return RectInParent(d.m_btnClose.GetSafeHwnd(), d.GetSafeHwnd());
}

// Makes the close button compose over black, as when it was painted before the strip: the strip is
// left undrawn (as in full screen) and blackened where the button lies.
void ComposeCloseButtonOverBlack(CProbeMainDlg& d)
{
    const RECT rc = CloseRect(d);
    d.m_bFullScreen = true;
    {
        ClientDC dc(d.GetSafeHwnd());
        ::FillRect(dc.get(), &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    d.m_btnClose.CaptureBackgroundAgain();
    ::UpdateWindow(d.m_btnClose.GetSafeHwnd());
    d.m_bFullScreen = false;
}
}  // namespace

TEST(MainWindow, TitleButtonsTakeTheStripBehindThemAgainAfterANewWidthOrALayout)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        ClickButton(d.m_btnRestore);
        const struct
        {
            const char* what;
            std::function<void()> change;
        } changes[] = {
            // The restore button lays the buttons out again; the width stays 1000.
            {"a layout at the same width", [&] { ClickButton(d.m_btnRestore); }},
            // As a window manager grows a window: nothing lays the buttons out.
            {"a new width from outside", [&] {
                 ::SetWindowPos(d.GetSafeHwnd(), nullptr, 0, 0, 1100, 700, SWP_NOMOVE | SWP_NOZORDER);
             }},
        };
        for (const auto& c : changes) {
            ComposeCloseButtonOverBlack(d);
            // The close button's top-left pixel, where its picture is transparent.
            RECT rc = CloseRect(d);
            EXPECT_EQ(CPixels(d.GetSafeHwnd()).At(rc.left, rc.top), kBlack) << c.what << ": the button kept its strip";
            c.change();
            ::RedrawWindow(d.GetSafeHwnd(), nullptr, nullptr,
                           RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            rc = CloseRect(d);
            EXPECT_NE(CPixels(d.GetSafeHwnd()).At(rc.left, rc.top), kBlack) << c.what << ": a black square";
        }
        return true;
    }}), kScriptDone);
}
