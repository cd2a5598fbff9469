// The main window's geometry without a window: title buttons, strip, view and work area.
#include <gtest/gtest.h>

#include "mainwnd/TitleLayout.h"

namespace {
bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

#define EXPECT_RECT(actual, l, t, r, b)                                                              \
    do {                                                                                             \
        const RECT rcA_ = (actual);                                                                  \
        EXPECT_TRUE(Same(rcA_, RECT{l, t, r, b}))                                                    \
            << #actual << " is {" << rcA_.left << "," << rcA_.top << "," << rcA_.right << ","        \
            << rcA_.bottom << "}";                                                                   \
    } while (0)

TEST(TitleButtonLayout, RestoredWindowOfOneThousandPixels)
{
    const TitleButtonLayout l = ComputeTitleButtonLayout(1000);
    EXPECT_RECT(l.close, 972, 3, 1000, 29);
    EXPECT_RECT(l.maximizeRestore, 943, 3, 971, 29);
    EXPECT_RECT(l.minimize, 914, 3, 942, 29);
    EXPECT_RECT(l.fullScreen, 808, 3, 893, 27);
    EXPECT_RECT(l.bossKey, 706, 3, 803, 27);
    EXPECT_RECT(l.clearCache, 616, 3, 701, 27);
    EXPECT_RECT(l.refresh, 542, 3, 620, 27);
    EXPECT_RECT(l.selectServer, 478, 3, 537, 27);
}

TEST(TitleButtonLayout, FollowsTheRightEdge)
{
    const TitleButtonLayout wide = ComputeTitleButtonLayout(1920);
    EXPECT_RECT(wide.close, 1892, 3, 1920, 29);
    EXPECT_RECT(wide.selectServer, 1398, 3, 1457, 27);
    const TitleButtonLayout narrow = ComputeTitleButtonLayout(400);
    EXPECT_RECT(narrow.close, 372, 3, 400, 29);
    EXPECT_RECT(narrow.selectServer, -122, 3, -63, 27);
}

TEST(TitleStripGeometry, StripAndViewShareTheClientArea)
{
    EXPECT_RECT(StripRect(CRect(0, 0, 1000, 700)), 0, 0, 1000, 30);
    EXPECT_RECT(ViewRectBelowStrip(CRect(0, 0, 1000, 700)), 0, 30, 1000, 700);
    EXPECT_RECT(ViewRectBelowStrip(CRect(0, 0, 1280, 760)), 0, 30, 1280, 760);
    // A minimised window has an empty client area: the view gets no negative height.
    EXPECT_RECT(ViewRectBelowStrip(CRect(0, 0, 0, 0)), 0, 30, 0, 30);
    EXPECT_RECT(ViewRectBelowStrip(CRect(0, 0, 160, 12)), 0, 30, 160, 30);
}

TEST(WorkArea, TaskbarAlongTheBottomTakesItsHeight)
{
    const RECT bar = {0, 760, 1280, 800};
    EXPECT_RECT(WorkAreaRect(1280, 800, &bar), 0, 0, 1280, 760);
    // A bar that reaches past the screen edges counts only where it is on the screen.
    const RECT wider = {-2, 758, 1282, 802};
    EXPECT_RECT(WorkAreaRect(1280, 800, &wider), 0, 0, 1280, 758);
    // An auto-hidden bar keeps two pixels on the screen.
    const RECT hidden = {0, 798, 1280, 842};
    EXPECT_RECT(WorkAreaRect(1280, 800, &hidden), 0, 0, 1280, 798);
}

TEST(WorkArea, TaskbarAlongTheTopPushesTheWindowDown)
{
    const RECT bar = {0, 0, 1920, 48};
    EXPECT_RECT(WorkAreaRect(1920, 1080, &bar), 0, 48, 1920, 1080);
}

TEST(WorkArea, TaskbarAtASideTakesItsWidth)
{
    const RECT left = {0, 0, 62, 1080};
    EXPECT_RECT(WorkAreaRect(1920, 1080, &left), 62, 0, 1920, 1080);
    const RECT right = {1858, 0, 1920, 1080};
    EXPECT_RECT(WorkAreaRect(1920, 1080, &right), 0, 0, 1858, 1080);
}

TEST(WorkArea, NoTaskbarMeansTheWholeScreen)
{
    EXPECT_RECT(WorkAreaRect(1280, 800, nullptr), 0, 0, 1280, 800);
    // Wine's hidden taskbar has an empty rectangle.
    const RECT empty = {0, 0, 0, 0};
    EXPECT_RECT(WorkAreaRect(1280, 800, &empty), 0, 0, 1280, 800);
    const RECT offScreen = {0, 900, 1280, 940};
    EXPECT_RECT(WorkAreaRect(1280, 800, &offScreen), 0, 0, 1280, 800);
}

TEST(SelectServerShowCommand, ZeroHidesAnyOtherNumberShows)
{
    EXPECT_EQ(SelectServerShowCommand(L"1"), 1);
    EXPECT_EQ(SelectServerShowCommand(L"0"), 0);
    EXPECT_EQ(SelectServerShowCommand(L""), 0);
    EXPECT_EQ(SelectServerShowCommand(nullptr), 0);
    // Other show commands would maximise or minimise a child button: they show it.
    EXPECT_EQ(SelectServerShowCommand(L"3"), 1);
    EXPECT_EQ(SelectServerShowCommand(L"-6"), 1);
}
