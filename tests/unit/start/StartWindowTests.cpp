// The start window run modally for real, acted on from a timer inside its loop: its picture and
// place, the popup at its offset while the window moves, Enter and Escape, the hand-over of the game
// URL, the minimise button, the declined close prompt, its drawing resources and the version text.
#include <gtest/gtest.h>

#include "StartTestSupport.h"
#include "browser/WebFormLogin.h"
#include "res/resource.h"
#include "start/LoginPopupDlg.h"
#include "start/TorvelLogin.h"

namespace {

class CProbeLogin : public CTorvelLogin
{
public:
    using CTorvelLogin::DrawLayered;
    using CTorvelLogin::m_nImageHeight;
    using CTorvelLogin::m_nImageWidth;
    using CTorvelLogin::m_pBackground;
    using CTorvelLogin::m_pPopup;
    using CTorvelLogin::PaintVersion;

    HWND Popup() const { return m_pPopup ? m_pPopup->GetSafeHwnd() : nullptr; }
    bool Shown() const { return m_hWnd && IsWindowVisible() && Popup() && ::IsWindowVisible(Popup()); }
};

// Runs the start window; fnAction acts once it and its popup are on screen. Returns DoModal's result;
// a window the action left open is ended with -7.
INT_PTR RunStart(CProbeLogin& login, const std::function<void(CProbeLogin&)>& fnAction)
{
    INT_PTR result = -100;
    RunModalWithAction([&] { result = login.DoModal(); }, [&] { return login.Shown(); },
                       [&] { fnAction(login); }, [&] { login.EndDialog(-7); });
    return result;
}

void Navigate(CProbeLogin& login, const wchar_t* pszUrl)
{
    g_strNavigateUrl = pszUrl;
    ::SendMessageW(login.Popup(), WM_COMMAND, MAKEWPARAM(IDM_NAVIGATE_STARTED, 0), 0);
}

bool NearColour(COLORREF c, BYTE r, BYTE g, BYTE b, int tolerance)
{
    return abs(GetRValue(c) - r) <= tolerance && abs(GetGValue(c) - g) <= tolerance &&
           abs(GetBValue(c) - b) <= tolerance;
}

}  // namespace

TEST(StartWindow, StartsEmpty)
{
    CProbeLogin login;
    EXPECT_STREQ(login.GetGameUrl(), L"");
    EXPECT_EQ(login.m_pBackground, nullptr);
    EXPECT_EQ(login.m_pPopup, nullptr);
    EXPECT_EQ(login.m_nImageWidth, 0u);
    // Nothing to place yet, and nothing breaks.
    login.PositionPopup(nullptr);
}

TEST(StartWindow, ThePictureSizedWindowIsCentredWithThePopupAtItsOffset)
{
    CProbeLogin login;
    RunStart(login, [](CProbeLogin& l) {
        EXPECT_EQ(l.m_nImageWidth, 1115u);
        EXPECT_EQ(l.m_nImageHeight, 723u);
        // 1115 x 723 centred on the 1280 x 800 screen.
        EXPECT_EQ(ScreenRect(l.GetSafeHwnd()), (RECT{83, 39, 1198, 762})) << "start window";
        EXPECT_EQ(ScreenRect(l.Popup()), (RECT{442, 236, 1142, 696})) << "popup";
        EXPECT_EQ(::GetWindow(l.Popup(), GW_OWNER), l.GetSafeHwnd());
        EXPECT_STREQ(l.GetWindowText(), L"《Vantor》微端");
        const DWORD style = l.GetStyle();
        EXPECT_EQ(style & WS_CAPTION, 0u);
        EXPECT_EQ(style & (WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX),
                  static_cast<DWORD>(WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX));
        EXPECT_EQ(l.GetExStyle() & (WS_EX_LAYERED | WS_EX_APPWINDOW),
                  static_cast<DWORD>(WS_EX_LAYERED | WS_EX_APPWINDOW));
        // Any point of the picture drags the window.
        EXPECT_EQ(::SendMessageW(l.GetSafeHwnd(), WM_NCHITTEST, 0, MAKELPARAM(300, 300)), HTCAPTION);
        l.EndDialog(3);
    });
}

TEST(StartWindow, ThePopupFollowsTheWindowWhenItMoves)
{
    CProbeLogin login;
    RunStart(login, [](CProbeLogin& l) {
        ::SetWindowPos(l.GetSafeHwnd(), nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(ScreenRect(l.Popup()), (RECT{369, 217, 1069, 677})) << "after a move";
        ::SetWindowPos(l.GetSafeHwnd(), nullptr, -200, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(ScreenRect(l.Popup()), (RECT{159, 202, 859, 662})) << "partly off screen";
        l.EndDialog(3);
    });
}

TEST(StartWindow, EnterEscapeAndCloseMessagesLeaveItOpen)
{
    CProbeLogin login;
    bool bStillOpen = false;
    INT_PTR result = RunStart(login, [&](CProbeLogin& l) {
        HWND hwnd = l.GetSafeHwnd();
        ::PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        ::PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
        PumpFor(300, Dispatch::ThroughFramework);
        bStillOpen = ::IsWindowVisible(hwnd) && l.IsModalLoopRunning() && ::IsWindowVisible(l.Popup());
        l.EndDialog(5);
    });
    EXPECT_TRUE(bStillOpen);
    EXPECT_EQ(result, 5);
}

TEST(StartWindow, TheGameAddressEndsTheLoopAndIsHandedOver)
{
    CProbeLogin login;
    INT_PTR result = RunStart(login, [](CProbeLogin& l) {
        Navigate(l, L"http://127.0.0.1:9/vorq/register/");
        Navigate(l, L"http://127.0.0.1:9/vorq/start?PLAY_GAMECODE=1");
        EXPECT_TRUE(l.IsModalLoopRunning());
        Navigate(l, L"http://127.0.0.1:9/vorq/start?play_gamecode=7f3a&s=12");
    });
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(login.GetGameUrl(), L"http://127.0.0.1:9/vorq/start?play_gamecode=7f3a&s=12");
    EXPECT_EQ(login.GetSafeHwnd(), nullptr) << "the modal run destroys the window";
}

TEST(StartWindow, TheMinimiseButtonTakesBothWindowsDownAndRestoringBringsThemBack)
{
    CProbeLogin login;
    RunStart(login, [](CProbeLogin& l) {
        ::SendMessageW(::GetDlgItem(l.Popup(), IDC_POPUP_BTN_1016), BM_CLICK, 0, 0);
        PumpFor(100, Dispatch::ThroughFramework);
        EXPECT_TRUE(l.IsIconic());
        EXPECT_FALSE(::IsWindowVisible(l.Popup())) << "the popup stayed on screen";
        l.ShowWindow(SW_RESTORE);
        PumpFor(100, Dispatch::ThroughFramework);
        EXPECT_FALSE(l.IsIconic());
        EXPECT_TRUE(::IsWindowVisible(l.Popup()));
        RECT rc = ScreenRect(l.GetSafeHwnd());
        EXPECT_EQ(ScreenRect(l.Popup()), (RECT{rc.left + 359, rc.top + 197, rc.left + 1059, rc.top + 657}))
            << "restored";
        l.EndDialog(3);
    });
}

TEST(StartWindow, DecliningTheClosePromptLeavesBothWindows)
{
    CProbeLogin login;
    HWND hBox = nullptr;
    bool bBothThere = false;
    INT_PTR result = RunStart(login, [&](CProbeLogin& l) {
        HWND hStart = l.GetSafeHwnd();
        HWND hPopup = l.Popup();
        RunModalWithAction([&] { ::SendMessageW(hStart, WM_SYSCOMMAND, SC_CLOSE, 0); },
                           [&] { return (hBox = FindMessageBox()) != nullptr; },
                           [&] { ClickButton(::GetDlgItem(hBox, IDCANCEL)); },
                           [&] { ::SendMessageW(hBox, WM_COMMAND, IDCANCEL, 0); });
        bBothThere = ::IsWindowVisible(hStart) && ::IsWindowVisible(hPopup) && l.IsModalLoopRunning();
        l.EndDialog(4);
    });
    EXPECT_NE(hBox, nullptr) << "no close prompt";
    EXPECT_TRUE(bBothThere);
    EXPECT_EQ(result, 4);
}

TEST(StartWindow, AltF4OnEitherWindowAsksFirst)
{
    CProbeLogin login;
    int nPrompts = 0;
    bool bBothThere = false;
    INT_PTR result = RunStart(login, [&](CProbeLogin& l) {
        for (HWND hTarget : {l.GetSafeHwnd(), l.Popup()}) {
            // F4 with Alt held, as the keyboard delivers it.
            ::PostMessageW(hTarget, WM_SYSKEYDOWN, VK_F4, 0x203E0001);
            bool bClicked = false;
            HWND hBox = nullptr;
            const auto pumpUntilAnswered = [&] {
                PumpUntil([&] { return bClicked && !FindMessageBox(); }, 8000, Dispatch::ThroughFramework);
            };
            RunModalWithAction(pumpUntilAnswered,
                               [&] { return (hBox = FindMessageBox()) != nullptr; },
                               [&] {
                                   ++nPrompts;
                                   ClickButton(::GetDlgItem(hBox, IDCANCEL));
                                   bClicked = true;
                               },
                               [&] {});
        }
        bBothThere = l.IsWindowVisible() && ::IsWindowVisible(l.Popup()) && l.IsModalLoopRunning();
        l.EndDialog(6);
    });
    EXPECT_EQ(nPrompts, 2);
    EXPECT_TRUE(bBothThere);
    EXPECT_EQ(result, 6);
}

TEST(StartWindow, AltReachesTheWindowWithoutDialogHandling)
{
    CProbeLogin login;
    MSG msg{nullptr, WM_SYSKEYDOWN, VK_MENU, 0x20380001, 0, {0, 0}};
    EXPECT_FALSE(login.PreTranslateMessage(&msg));
}

TEST(StartWindow, RedrawingThePictureLeaksNoBitmap)
{
    CProbeLogin login;
    SIZE_T growth = 0;
    bool bDrawn = false;
    RunStart(login, [&](CProbeLogin& l) {
        bDrawn = l.DrawLayered();
        SIZE_T before = PrivateBytes();
        // Each picture-sized bitmap is about 3 MB: twenty lost ones would be 60 MB.
        for (int i = 0; i < 20; ++i)
            l.DrawLayered();
        SIZE_T after = PrivateBytes();
        growth = after > before ? after - before : 0;
        l.EndDialog(3);
    });
    EXPECT_TRUE(bDrawn);
    EXPECT_LT(growth, static_cast<SIZE_T>(16u << 20));
}

TEST(StartWindow, WithoutAPictureTheWindowStaysAsItIs)
{
    CProbeLogin login;
    RunStart(login, [](CProbeLogin& l) {
        RECT before = ScreenRect(l.GetSafeHwnd());
        l.m_pBackground.reset();
        EXPECT_FALSE(l.DrawLayered());
        RECT after = ScreenRect(l.GetSafeHwnd());
        EXPECT_EQ(after, before) << "unchanged";
        l.EndDialog(3);
    });
}

TEST(StartWindow, TheVersionTextSitsInTheLowerRightCorner)
{
    CProbeLogin login;
    WindowDC screen(nullptr);
    UniqueMemDC dc(::CreateCompatibleDC(screen.get()));
    UniqueGdiObj<HBITMAP> bmp(::CreateCompatibleBitmap(screen.get(), 1115, 723));
    SelectScope sel(dc.get(), bmp.get());
    RECT rcClient = {0, 0, 1115, 723};
    ::FillRect(dc.get(), &rcClient, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    login.PaintVersion(dc.get(), rcClient);

    // "1.0.0.1" in 10-pixel type from (1055, 690): ink in the box, none outside it.
    int nInk = 0, nStray = 0;
    for (int y = 600; y < 723; ++y) {
        for (int x = 900; x < 1115; ++x) {
            COLORREF c = ::GetPixel(dc.get(), x, y);
            bool bInBox = x >= 1055 && y >= 690 && y < 721;
            if (c == RGB(0, 0, 0))
                continue;
            if (bInBox)
                nInk += NearColour(c, 0xCB, 0xAE, 0x5B, 40) ? 1 : 0;
            else
                ++nStray;
        }
    }
    EXPECT_GT(nInk, 8);
    EXPECT_EQ(nStray, 0);
}

TEST(StartWindow, MovedToAMonitorOfAnotherScaleItIsLaidOutAgainOnTheScreen)
{
    CProbeLogin login;
    RunStart(login, [](CProbeLogin& l) {
        const HWND hWnd = l.GetSafeHwnd();
        // 125 %: 1394 x 904 would not fit the 1280 x 800 screen, so the window is reduced to a layout
        // of 106 DPI and kept on the screen, however far right the suggestion lies.
        RECT rcAt125 = {100, 0, 1494, 904};
        ::SendMessageW(hWnd, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&rcAt125));
        EXPECT_EQ(l.GetLayout().nDpi, 106u);
        EXPECT_EQ(ScreenRect(hWnd), (RECT{49, 2, 1280, 800}));
        EXPECT_EQ(l.m_nImageWidth, 1231u);
        EXPECT_EQ(ScreenRect(l.Popup()), (RECT{445, 220, 1218, 728}));
        EXPECT_EQ(RectInParent(::GetDlgItem(l.Popup(), IDC_POPUP_BTN_1027)), (RECT{682, 0, 715, 31}));
        EXPECT_EQ(RectInParent(::GetDlgItem(l.Popup(), IDC_POPUP_BTN_1016)), (RECT{701, 33, 734, 63}));
        // Back at 100 %: the picture's own size and the popup's own place.
        RECT rcAt100 = {0, 0, 1115, 723};
        ::SendMessageW(hWnd, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&rcAt100));
        EXPECT_EQ(l.GetLayout().nDpi, 96u);
        EXPECT_EQ(ScreenRect(hWnd), (RECT{0, 0, 1115, 723}));
        EXPECT_EQ(ScreenRect(l.Popup()), (RECT{359, 197, 1059, 657}));
        EXPECT_EQ(RectInParent(::GetDlgItem(l.Popup(), IDC_POPUP_BTN_1027)), (RECT{618, 0, 648, 28}));
    });
}
