// The image button on a real window: what each state shows, the parent's pixels through transparent
// parts, clicks, the hand cursor and the tooltip.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "framework/Handles.h"
#include "resource.h"
#include "widgets/TouchButton.h"

namespace {

const COLORREF kHostBlue = RGB(10, 120, 200);
const COLORREF kHostRed = RGB(200, 30, 30);
// Pixel (10, 17) of the pictures: the OK plate (314) and the Cancel plate (312).
const COLORREF kOkPlate = RGB(202, 166, 81);
const COLORREF kCancelPlate = RGB(52, 46, 58);
// The OK plate through the hover matrix: 1.05 x c + 0.05 x 255.
const COLORREF kOkPlateHover = RGB(225, 187, 98);

class CProbeButton : public CTouchButton
{
public:
    using CTouchButton::m_bHover;
    using CTouchButton::m_bRendered;
    using CTouchButton::m_bTracking;
    using CTouchButton::m_dcHover;
    using CTouchButton::m_dcNormal;
    using CTouchButton::m_dcPressed;
    using CTouchButton::m_pCurrentDC;
    using CTouchButton::m_pTooltip;
};

class TouchButtonTest : public testing::Test
{
protected:
    TouchButtonTest() : m_host(kHostBlue)
    {
        m_button.Create(L"", WS_VISIBLE | BS_PUSHBUTTON, CRect(40, 30, 122, 64), &m_host, 101);
    }
    // OK plate for normal and hover, Cancel plate while pressed: each state tells itself apart.
    void ShowWithPlates(UINT nHover = IDB_MSGBOX_BTN_314)
    {
        m_button.SetImages(IDB_MSGBOX_BTN_314, nHover, IDB_MSGBOX_BTN_312);
        m_host.Redraw();
    }
    COLORREF ButtonPixel(int x, int y)
    {
        m_button.UpdateWindow();
        return CPixels(m_button.GetSafeHwnd()).At(x, y);
    }

    CHostWnd m_host;
    CProbeButton m_button;
};

}  // namespace

TEST_F(TouchButtonTest, SubclassingMakesItOwnerDrawn)
{
    EXPECT_EQ(m_button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
}

TEST_F(TouchButtonTest, SetImagesReportsTheHoverImage)
{
    EXPECT_TRUE(m_button.SetImages(IDB_MSGBOX_BTN_314, IDB_MSGBOX_BTN_313, IDB_MSGBOX_BTN_313));
    EXPECT_FALSE(m_button.SetImages(IDB_MSGBOX_BTN_314, IDB_TEST_MISSING, IDB_MSGBOX_BTN_313));
    EXPECT_TRUE(m_button.SetImages(IDB_TEST_MISSING, IDB_MSGBOX_BTN_313, IDB_TEST_MISSING));
}

TEST_F(TouchButtonTest, RenderingsAreBuiltAtTheFirstPaint)
{
    EXPECT_FALSE(m_button.m_bRendered);
    ShowWithPlates();
    EXPECT_TRUE(m_button.m_bRendered);
    EXPECT_EQ(m_button.m_pCurrentDC, &m_button.m_dcNormal);
    EXPECT_NE(m_button.m_dcHover.GetSafeHdc(), nullptr);
    EXPECT_NE(m_button.m_dcPressed.GetSafeHdc(), nullptr);
}

TEST_F(TouchButtonTest, TransparentCornersShowTheParentInAllThreeStates)
{
    ShowWithPlates();
    EXPECT_EQ(ButtonPixel(0, 0), kHostBlue);
    EXPECT_EQ(ButtonPixel(10, 17), kOkPlate);

    m_button.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(ButtonPixel(0, 0), kHostBlue);
    EXPECT_PRED3(Near, ButtonPixel(10, 17), kOkPlateHover, 3);

    m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(ButtonPixel(0, 0), kHostBlue);
    EXPECT_EQ(ButtonPixel(10, 17), kCancelPlate);
    EXPECT_EQ(m_button.m_pCurrentDC, &m_button.m_dcPressed);
}

TEST_F(TouchButtonTest, PressedWhileHeldThenHoverAgainAndAClick)
{
    ShowWithPlates();
    m_button.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(ButtonPixel(10, 17), kCancelPlate);
    EXPECT_EQ(m_host.m_nClicks, 0);

    m_button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(m_host.m_nClicks, 1);
    EXPECT_PRED3(Near, ButtonPixel(10, 17), kOkPlateHover, 3);
    EXPECT_EQ(m_button.m_pCurrentDC, &m_button.m_dcHover);

    m_button.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(ButtonPixel(10, 17), kOkPlate);
    EXPECT_EQ(m_button.m_pCurrentDC, &m_button.m_dcNormal);
}

TEST_F(TouchButtonTest, HoverLookIsTheHoverImageThroughTheBrighteningMatrix)
{
    // A hover picture of its own (313, the lighter OK plate) goes through the matrix too.
    ShowWithPlates(IDB_MSGBOX_BTN_313);
    m_button.SendMessage(WM_MOUSEHOVER);
    // 313 at (10, 17) is (230, 194, 103): times 1.05 plus 12.75 is (254, 216, 121).
    EXPECT_PRED3(Near, ButtonPixel(10, 17), RGB(254, 216, 121), 3);
    // A channel that would pass 255 stops there: (252, 232, 170) at (41, 4) becomes (255, 255, 191).
    EXPECT_PRED3(Near, ButtonPixel(41, 4), RGB(255, 255, 191), 3);
}

TEST_F(TouchButtonTest, MouseMoveStartsTrackingAndLeavingEndsHover)
{
    ShowWithPlates();
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(m_button.m_bTracking);
    m_button.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(m_button.m_bHover);
    m_button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(m_button.m_bTracking);
    EXPECT_FALSE(m_button.m_bHover);
}

TEST_F(TouchButtonTest, ADoubleClickCountsAsTwoClicks)
{
    ShowWithPlates();
    const HWND hwnd = m_button.GetSafeHwnd();
    ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ::PostMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpFor(100, Dispatch::ThroughFramework);
    EXPECT_EQ(m_host.m_nClicks, 2);
    EXPECT_EQ(m_host.m_nDoubleClicks, 0);
}

TEST(PlainOwnerDrawButton, ReportsADoubleClickInsteadOfASecondClick)
{
    // Why the image button rewrites double clicks: a bare owner-drawn button swallows the second click.
    CHostWnd host(kHostBlue);
    CButton plain;
    plain.Create(L"", WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 60, 40), &host, 102);
    const HWND hwnd = plain.GetSafeHwnd();
    ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ::PostMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpFor(100, Dispatch::ThroughFramework);
    EXPECT_EQ(host.m_nClicks, 1);
    EXPECT_EQ(host.m_nDoubleClicks, 1);
}

TEST_F(TouchButtonTest, AMissingImageDrawsNothingAndBuildsNothing)
{
    m_button.SetImages(IDB_MSGBOX_BTN_314, IDB_TEST_MISSING, IDB_MSGBOX_BTN_312);
    m_host.Redraw();
    EXPECT_FALSE(m_button.m_bRendered);
    EXPECT_EQ(m_button.m_pCurrentDC, nullptr);
    EXPECT_EQ(m_button.m_dcNormal.GetSafeHdc(), nullptr);
    // The button leaves its area as the parent painted it.
    EXPECT_EQ(ButtonPixel(10, 17), kHostBlue);
    EXPECT_EQ(ButtonPixel(41, 17), kHostBlue);
}

TEST_F(TouchButtonTest, TheBackgroundCapturedFirstIsKeptUntilTheParentAsksAgain)
{
    ShowWithPlates();
    ASSERT_EQ(ButtonPixel(0, 0), kHostBlue);
    m_host.SetColour(kHostRed);
    m_host.Redraw();
    EXPECT_EQ(CPixels(m_host.GetSafeHwnd()).At(5, 5), kHostRed);
    EXPECT_EQ(ButtonPixel(0, 0), kHostBlue);
    m_button.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(ButtonPixel(0, 0), kHostBlue);
    m_button.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(ButtonPixel(0, 0), kHostBlue);
    m_button.CaptureBackgroundAgain();
    m_host.Redraw();
    EXPECT_EQ(ButtonPixel(0, 0), kHostRed);
    EXPECT_EQ(ButtonPixel(10, 17), kOkPlate) << "the looks were not composed again";
}

TEST_F(TouchButtonTest, ABackgroundThatFoundNoMemoryIsCapturedAtTheNextPaint)
{
    // So large that no bitmap of its size can be made: the capture of the parent fails.
    m_button.SetWindowPos(nullptr, 40, 30, 32000, 32000, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWithPlates();
    EXPECT_FALSE(m_button.m_bRendered);

    m_button.SetWindowPos(nullptr, 40, 30, 82, 34, SWP_NOZORDER | SWP_NOACTIVATE);
    m_host.Redraw();
    EXPECT_TRUE(m_button.m_bRendered);
    EXPECT_EQ(ButtonPixel(0, 0), kHostBlue);
    EXPECT_EQ(ButtonPixel(10, 17), kOkPlate);
}

TEST_F(TouchButtonTest, ATooltipThatCouldNotBeMadeIsMadeAtTheNextHover)
{
    ShowWithPlates();
    {
        // Another program's hook on this thread refuses tooltip windows for a moment.
        struct Hook
        {
            static LRESULT CALLBACK Refuse(int nCode, WPARAM wParam, LPARAM lParam)
            {
                if (nCode == HCBT_CREATEWND) {
                    wchar_t szClass[64] = L"";
                    ::GetClassNameW(reinterpret_cast<HWND>(wParam), szClass, 64);
                    if (lstrcmpiW(szClass, TOOLTIPS_CLASSW) == 0)
                        return 1;
                }
                return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
            }
        };
        struct Unhook { void operator()(HHOOK h) const { ::UnhookWindowsHookEx(h); } };
        unique_any<HHOOK, Unhook, nullptr> hook(
            ::SetWindowsHookExW(WH_CBT, Hook::Refuse, nullptr, ::GetCurrentThreadId()));
        ASSERT_TRUE(hook);
        m_button.SetTooltipText(L"清除缓存", true);
    }
    EXPECT_EQ(m_button.m_pTooltip, nullptr);

    m_button.SendMessage(WM_MOUSEHOVER);
    ASSERT_NE(m_button.m_pTooltip, nullptr);
    EXPECT_EQ(m_button.m_pTooltip->GetToolCount(), 1);
    EXPECT_STREQ(m_button.m_pTooltip->GetText(&m_button, 1), L"清除缓存");
}

TEST_F(TouchButtonTest, ShowsTheHandCursor)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    LRESULT handled = m_button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_button.GetSafeHwnd()),
                                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(handled, TRUE);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(TouchButtonTest, EmptyTooltipTextCreatesNoTooltip)
{
    ShowWithPlates();
    m_button.SetTooltipText(L"", true);
    EXPECT_EQ(m_button.m_pTooltip, nullptr);
    m_button.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(m_button.m_pTooltip, nullptr);
}

TEST_F(TouchButtonTest, TooltipCarriesItsTextAndIsMadeAfreshAtEveryHover)
{
    ShowWithPlates();
    m_button.SetTooltipText(L"老板键（快捷键F10）", true);
    ASSERT_NE(m_button.m_pTooltip, nullptr);
    EXPECT_EQ(m_button.m_pTooltip->GetToolCount(), 1);
    EXPECT_STREQ(m_button.m_pTooltip->GetText(&m_button, 1), L"老板键（快捷键F10）");
    EXPECT_EQ(m_button.m_pTooltip->GetDelayTime(TTDT_INITIAL), 2000);

    // A second text replaces the first on the same tool.
    m_button.SetTooltipText(L"刷新", true);
    EXPECT_EQ(m_button.m_pTooltip->GetToolCount(), 1);
    EXPECT_STREQ(m_button.m_pTooltip->GetText(&m_button, 1), L"刷新");

    const HWND hwndFirst = m_button.m_pTooltip->GetSafeHwnd();
    m_button.SendMessage(WM_MOUSEHOVER);
    ASSERT_NE(m_button.m_pTooltip, nullptr);
    EXPECT_FALSE(::IsWindow(hwndFirst));
    EXPECT_EQ(m_button.m_pTooltip->GetToolCount(), 1);
    EXPECT_STREQ(m_button.m_pTooltip->GetText(&m_button, 1), L"刷新");
}
