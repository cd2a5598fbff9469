// The fixed pixels of the main window, the start window, the login popup and the cleaning overlay at
// the display scales players use (100, 125, 150 and 200 %): every number scales by dpi / 96, rounded
// half away from zero, and the start window is reduced until it fits its monitor's work area.
#include <gtest/gtest.h>

#include "mainwnd/TitleLayout.h"
#include "start/StartLayout.h"
#include "widgets/MenbanDlg.h"

#include "support/RectText.h"

namespace {
struct ButtonsAt
{
    UINT nDpi;
    int nClientRight;  // the restored window's client width at that scale
    int nStrip;
    RECT close, maximizeRestore, minimize, fullScreen, bossKey, clearCache, refresh, selectServer;
};

const ButtonsAt kButtons[] = {
    {96, 1000, 30, {972, 3, 1000, 29}, {943, 3, 971, 29}, {914, 3, 942, 29}, {808, 3, 893, 27},
     {706, 3, 803, 27}, {616, 3, 701, 27}, {542, 3, 620, 27}, {478, 3, 537, 27}},
    {120, 1250, 38, {1215, 4, 1250, 37}, {1179, 4, 1214, 37}, {1142, 4, 1177, 37}, {1010, 4, 1116, 34},
     {882, 4, 1003, 34}, {770, 4, 876, 34}, {677, 4, 775, 34}, {597, 4, 671, 34}},
    {144, 1500, 45, {1458, 5, 1500, 44}, {1414, 5, 1456, 44}, {1371, 5, 1413, 44}, {1212, 5, 1340, 41},
     {1059, 5, 1205, 41}, {924, 5, 1052, 41}, {813, 5, 930, 41}, {717, 5, 806, 41}},
    {192, 2000, 60, {1944, 6, 2000, 58}, {1886, 6, 1942, 58}, {1828, 6, 1884, 58}, {1616, 6, 1786, 54},
     {1412, 6, 1606, 54}, {1232, 6, 1402, 54}, {1084, 6, 1240, 54}, {956, 6, 1074, 54}},
};
}  // namespace

TEST(DpiScale, EveryValueIsScaledAndRoundedHalfAwayFromZero)
{
    const struct { int nValue; UINT nDpi; int nExpected; } cases[] = {
        {30, 96, 30}, {30, 120, 38}, {30, 144, 45}, {30, 192, 60}, {1, 144, 2}, {1, 120, 1},
        {1115, 144, 1673}, {723, 144, 1085}, {-2, 144, -3}, {-2, 120, -3}, {0, 192, 0}, {13, 144, 20},
        // 0 is an unknown DPI: the skin's own pixels.
        {28, 0, 28},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleForDpi(c.nValue, c.nDpi), c.nExpected) << c.nValue << " at " << c.nDpi;
}

TEST(DpiLayout, TitleStripAndButtonsOfTheRestoredWindowAtEachScale)
{
    for (const ButtonsAt& s : kButtons) {
        SCOPED_TRACE(s.nDpi);
        EXPECT_EQ(TitleStripHeight(s.nDpi), s.nStrip);
        EXPECT_EQ(StripRect(CRect(0, 0, s.nClientRight, 900), s.nDpi), CRect(0, 0, s.nClientRight, s.nStrip));
        EXPECT_EQ(ViewRectBelowStrip(CRect(0, 0, s.nClientRight, 900), s.nDpi),
                  CRect(0, s.nStrip, s.nClientRight, 900));
        const TitleButtonLayout l = ComputeTitleButtonLayout(s.nClientRight, s.nDpi);
        EXPECT_EQ(l.close, CRect(s.close));
        EXPECT_EQ(l.maximizeRestore, CRect(s.maximizeRestore));
        EXPECT_EQ(l.minimize, CRect(s.minimize));
        EXPECT_EQ(l.fullScreen, CRect(s.fullScreen));
        EXPECT_EQ(l.bossKey, CRect(s.bossKey));
        EXPECT_EQ(l.clearCache, CRect(s.clearCache));
        EXPECT_EQ(l.refresh, CRect(s.refresh));
        EXPECT_EQ(l.selectServer, CRect(s.selectServer));
    }
}

TEST(DpiLayout, RestoredSizeScalesButStaysOnTheWorkArea)
{
    EXPECT_EQ(RestoredWindowSize(96), CSize(1000, 700));
    EXPECT_EQ(RestoredWindowSize(120), CSize(1250, 875));
    EXPECT_EQ(RestoredWindowSize(144), CSize(1500, 1050));
    EXPECT_EQ(RestoredWindowSize(192), CSize(2000, 1400));
    // 150 % on a 1920 x 1080 screen above a 40-pixel taskbar; 200 % on a 2560 x 1440 one.
    EXPECT_EQ(RestoredWindowSize(144, 1920, 1040), CSize(1500, 1040));
    EXPECT_EQ(RestoredWindowSize(192, 2560, 1400), CSize(2000, 1400));
    EXPECT_EQ(RestoredWindowSize(96, 1280, 760), CSize(1000, 700));
    EXPECT_EQ(RestoredWindowSize(96, 800, 560), CSize(800, 560));
}

TEST(DpiLayout, StartWindowAndPopupAtEachScaleWhereThePictureFits)
{
    const struct { UINT nDpi; CSize window; RECT popup; } cases[] = {
        {96, CSize(1115, 723), {359, 197, 1059, 657}},
        {120, CSize(1394, 904), {449, 246, 1324, 821}},
        {144, CSize(1673, 1085), {539, 296, 1589, 986}},
        {192, CSize(2230, 1446), {718, 394, 2118, 1314}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nDpi);
        // A 4K screen above its taskbar holds the picture at every one of them.
        const StartWindowLayout l = ComputeStartWindowLayout(c.nDpi, 3840, 2120);
        EXPECT_EQ(l.nDpi, c.nDpi);
        EXPECT_EQ(l.window, c.window);
        EXPECT_EQ(l.popup, CRect(c.popup));
    }
}

TEST(DpiLayout, StartWindowIsReducedToFitTheWorkAreaWithItsPopup)
{
    const struct { UINT nDpi; int cxWork, cyWork; UINT nFit; CSize window; RECT popup; } cases[] = {
        // 150 % on 1920 x 1080 above a 40-pixel taskbar: 1673 x 1085 would be taller than the screen.
        {144, 1920, 1040, 138, CSize(1603, 1039), {516, 283, 1522, 944}},
        {192, 1920, 1040, 138, CSize(1603, 1039), {516, 283, 1522, 944}},
        {192, 2560, 1400, 185, CSize(2149, 1393), {692, 380, 2041, 1266}},
        {120, 1280, 800, 106, CSize(1231, 798), {396, 218, 1169, 726}},
        {144, 1280, 800, 106, CSize(1231, 798), {396, 218, 1169, 726}},
        // Even at 100 % a small screen gets the whole window.
        {96, 1024, 728, 88, CSize(1022, 663), {329, 181, 971, 603}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nDpi << " on " << c.cxWork << " x " << c.cyWork);
        const StartWindowLayout l = ComputeStartWindowLayout(c.nDpi, c.cxWork, c.cyWork);
        EXPECT_EQ(l.nDpi, c.nFit);
        EXPECT_EQ(l.window, c.window);
        EXPECT_EQ(l.popup, CRect(c.popup));
        EXPECT_LE(l.window.cx, c.cxWork);
        EXPECT_LE(l.window.cy, c.cyWork);
    }
    // An unknown work area reduces nothing.
    EXPECT_EQ(ComputeStartWindowLayout(144, 0, 0).window, CSize(1673, 1085));
}

TEST(DpiLayout, LoginPopupStripAndButtonsAtEachScale)
{
    const struct { UINT nDpi; CSize size; int nStrip; RECT minimize, close; } cases[] = {
        {96, CSize(700, 460), 72, {635, 30, 665, 57}, {618, 0, 648, 28}},
        {120, CSize(875, 575), 90, {794, 38, 832, 72}, {772, 0, 810, 35}},
        {144, CSize(1050, 690), 108, {952, 45, 997, 86}, {927, 0, 972, 42}},
        {192, CSize(1400, 920), 144, {1270, 60, 1330, 114}, {1236, 0, 1296, 56}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nDpi);
        const LoginPopupLayout l = ComputeLoginPopupLayout(c.nDpi);
        EXPECT_EQ(l.size, c.size);
        EXPECT_EQ(l.nStripHeight, c.nStrip);
        EXPECT_EQ(l.minimize, CRect(c.minimize));
        EXPECT_EQ(l.close, CRect(c.close));
    }
}

TEST(DpiLayout, CleaningOverlayAnimationAndTextBoxAtEachScale)
{
    // A 1500 x 1050 window with the frame made for the scale (23 pixels at 96 DPI).
    EXPECT_EQ(CMenbanDlg::FrameRect(1500, 1050, 23, 23), CRect(738, 473, 761, 496));
    EXPECT_EQ(CMenbanDlg::FrameRect(1500, 1050, 35, 35, 144), CRect(732, 447, 767, 482));
    EXPECT_EQ(CMenbanDlg::FrameRect(1500, 1050, 46, 46, 192), CRect(727, 422, 773, 468));
    EXPECT_EQ(CMenbanDlg::TextRect(1500, 1050), CRect(650, 509, 850, 540));
    EXPECT_EQ(CMenbanDlg::TextRect(1500, 1050, 144), CRect(600, 501, 900, 548));
    EXPECT_EQ(CMenbanDlg::TextRect(1500, 1050, 120), CRect(625, 505, 875, 544));
    EXPECT_EQ(CMenbanDlg::TextPixels(), 14);
    EXPECT_EQ(CMenbanDlg::TextPixels(144), 21);
    EXPECT_EQ(CMenbanDlg::TextPixels(192), 28);
}
