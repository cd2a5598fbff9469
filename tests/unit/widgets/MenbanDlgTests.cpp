// The cache-cleaning overlay as a real layered window over a host: its frames per tick, what other
// timers do, hiding and showing, its opacity, the layout on narrow windows and what a tick repaints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "WidgetTestSupport.h"
#include "resource.h"
#include "widgets/MenbanDlg.h"

namespace {

class CProbeOverlay : public CMenbanDlg
{
public:
    using CMenbanDlg::CMenbanDlg;
    using CMenbanDlg::m_nFrame;
    using CMenbanDlg::m_pCurrentFrame;
    using CMenbanDlg::m_pFrames;
    using CMenbanDlg::m_pTexture;

    int ShownFrame() const
    {
        for (int i = 0; i < 4; ++i)
            if (m_pFrames[i] && m_pCurrentFrame == m_pFrames[i].get())
                return i + 1;
        return 0;
    }
};

class MenbanDlgTest : public testing::Test
{
protected:
    MenbanDlgTest() : m_host(RGB(40, 160, 60), 60, 40, 400, 300), m_overlay(&m_host)
    {
        m_overlay.Create(IDD_MENBAN, &m_host);
        m_overlay.SetWindowPos(nullptr, 60, 40, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        m_overlay.ShowWindow(SW_SHOWNOACTIVATE);
        m_overlay.UpdateWindow();
    }
    void Tick(UINT_PTR id = CMenbanDlg::kTimerId) { m_overlay.SendMessage(WM_TIMER, id, 0); }

    CHostWnd m_host;
    CProbeOverlay m_overlay;
};

// The bright head of the spinner: at the top in frame 1, then right, bottom, left.
int HeadOf(const CPixels& px, const CRect& frame)
{
    const POINT beads[4] = {{11, 3}, {19, 11}, {11, 19}, {3, 11}};
    int best = 0, bestValue = -1;
    for (int i = 0; i < 4; ++i) {
        COLORREF c = px.At(frame.left + beads[i].x, frame.top + beads[i].y);
        int value = GetRValue(c) + GetGValue(c) + GetBValue(c);
        if (value > bestValue) {
            bestValue = value;
            best = i + 1;
        }
    }
    return best;
}

}  // namespace

TEST_F(MenbanDlgTest, StartsOnFrameOneWithItsPicturesLoaded)
{
    EXPECT_EQ(m_overlay.m_nFrame, 1);
    EXPECT_EQ(m_overlay.ShownFrame(), 1);
    ASSERT_NE(m_overlay.m_pTexture, nullptr);
    EXPECT_EQ(m_overlay.m_pTexture->GetWidth(), 1u);
    for (auto& frame : m_overlay.m_pFrames) {
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->GetWidth(), 23u);
    }
}

TEST_F(MenbanDlgTest, FramesRunOneTwoThreeFourOne)
{
    const int shown[] = {1, 2, 3, 4, 1, 2};
    const int next[] = {2, 3, 4, 5, 2, 3};
    const CRect frame = CMenbanDlg::FrameRect(400, 300, 23, 23);
    for (int i = 0; i < 6; ++i) {
        Tick();
        EXPECT_EQ(m_overlay.ShownFrame(), shown[i]) << "tick " << i + 1;
        EXPECT_EQ(m_overlay.m_nFrame, next[i]) << "tick " << i + 1;
        EXPECT_EQ(HeadOf(CPixels(m_overlay.GetSafeHwnd()), frame), shown[i]) << "tick " << i + 1;
    }
}

TEST_F(MenbanDlgTest, OtherTimerIdsChangeNothing)
{
    Tick();
    Tick();
    const UINT_PTR others[] = {1, 102, 4999, 5001};
    for (UINT_PTR id : others)
        Tick(id);
    EXPECT_EQ(m_overlay.m_nFrame, 3);
    EXPECT_EQ(m_overlay.ShownFrame(), 2);
}

TEST_F(MenbanDlgTest, TheAnimationCarriesOnAfterHideAndShow)
{
    Tick();
    Tick();
    m_overlay.ShowWindow(SW_HIDE);
    m_overlay.ShowWindow(SW_SHOWNOACTIVATE);
    Tick();
    EXPECT_EQ(m_overlay.ShownFrame(), 3);
    EXPECT_EQ(m_overlay.m_nFrame, 4);
}

TEST_F(MenbanDlgTest, EnterAndEscapeDoNotEndTheOverlay)
{
    m_overlay.SendMessage(WM_COMMAND, IDOK, 0);
    m_overlay.SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(::IsWindow(m_overlay.GetSafeHwnd()));
    EXPECT_TRUE(m_overlay.IsWindowVisible());
}

TEST_F(MenbanDlgTest, IsLayeredAtAlpha229)
{
    EXPECT_NE(m_overlay.GetExStyle() & WS_EX_LAYERED, 0u);
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(m_overlay.GetSafeHwnd(), &key, &alpha, &flags));
    EXPECT_EQ(alpha, 229);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
}

TEST_F(MenbanDlgTest, PaintsTheTextureAndTheTextInCream)
{
    m_overlay.Invalidate(true);
    m_overlay.UpdateWindow();
    CPixels px(m_overlay.GetSafeHwnd());
    // The 1 x 1 texture, (18, 16, 24), covers everything away from the spinner and the text.
    EXPECT_EQ(px.At(5, 5), RGB(18, 16, 24));
    EXPECT_EQ(px.At(399, 299), RGB(18, 16, 24));
    int cream = 0;
    for (int y = 134; y < 165; ++y)
        for (int x = 100; x < 300; ++x) {
            COLORREF c = px.At(x, y);
            cream += (GetRValue(c) > 200 && GetGValue(c) > 190 && GetBValue(c) > 150) ? 1 : 0;
        }
    EXPECT_GT(cream, 30);
}

TEST_F(MenbanDlgTest, ATickRepaintsOnlyTheSpinnersSquare)
{
    // Black everything, then tick: only the 23 x 23 square comes back.
    {
        HDC hdc = ::GetDC(m_overlay.GetSafeHwnd());
        RECT all = {0, 0, 400, 300};
        ::FillRect(hdc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::ReleaseDC(m_overlay.GetSafeHwnd(), hdc);
    }
    Tick();
    CPixels px(m_overlay.GetSafeHwnd());
    const CRect frame = CMenbanDlg::FrameRect(400, 300, 23, 23);
    EXPECT_EQ(frame, CRect(188, 98, 211, 121));
    EXPECT_EQ(px.At(frame.left, frame.top), RGB(18, 16, 24));
    EXPECT_EQ(px.At(frame.right - 1, frame.bottom - 1), RGB(18, 16, 24));
    EXPECT_EQ(px.At(frame.left - 1, frame.top), RGB(0, 0, 0));
    EXPECT_EQ(px.At(frame.right, frame.bottom - 1), RGB(0, 0, 0));
    EXPECT_EQ(px.At(5, 5), RGB(0, 0, 0));
}

TEST(CMenbanDlgLayout, TheSpinnerSitsFortyPixelsAboveTheMiddle)
{
    EXPECT_EQ(CMenbanDlg::FrameRect(1000, 700, 23, 23), CRect(488, 298, 511, 321));
    EXPECT_EQ(CMenbanDlg::FrameRect(401, 301, 23, 23), CRect(189, 99, 212, 122));
    // Halves are rounded down, also below zero.
    EXPECT_EQ(CMenbanDlg::FrameRect(10, 10, 23, 23), CRect(-7, -47, 16, -24));
}

TEST(CMenbanDlgLayout, TheTextBoxIsCentredEvenOnNarrowWindows)
{
    EXPECT_EQ(CMenbanDlg::TextRect(1000, 700), CRect(400, 334, 600, 365));
    EXPECT_EQ(CMenbanDlg::TextRect(150, 100), CRect(-25, 34, 175, 65));
    // Halves are rounded toward zero.
    EXPECT_EQ(CMenbanDlg::TextRect(151, 20), CRect(-24, -5, 176, 26));
}

TEST(CMenbanDlgNarrow, TheTextIsCentredOnAWindowNarrowerThanItsBox)
{
    CHostWnd host(RGB(40, 160, 60), 60, 40, 150, 200);
    CProbeOverlay overlay(&host);
    ASSERT_TRUE(overlay.Create(IDD_MENBAN, &host));
    overlay.SetWindowPos(nullptr, 60, 40, 150, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    overlay.ShowWindow(SW_SHOWNOACTIVATE);
    overlay.Invalidate(true);
    overlay.UpdateWindow();
    CPixels px(overlay.GetSafeHwnd());
    int left = 150, right = -1;
    for (int y = 84; y < 115; ++y)
        for (int x = 0; x < 150; ++x) {
            COLORREF c = px.At(x, y);
            if (GetRValue(c) > 120 && GetGValue(c) > 110) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    ASSERT_GE(right, left);
    // The ink is as far from the left edge as from the right one.
    EXPECT_LE(std::abs(left - (149 - right)), 3) << "ink from " << left << " to " << right;
}
