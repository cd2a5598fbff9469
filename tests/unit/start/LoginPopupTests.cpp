// The login popup on its own, created modeless the way the start window creates it: its geometry,
// its see-through colour, its strip and buttons, the hidden browser, the navigation reports, the
// stored account values, the keys it keeps from the dialog manager and the declined close prompt.
#include <gtest/gtest.h>

#include "StartTestSupport.h"
#include "browser/WebFormLogin.h"
#include "res/resource.h"
#include "start/LoginPopupDlg.h"
#include "start/Settings.h"
#include "start/TorvelLogin.h"

namespace {

class CProbePopup : public CLoginPopupDlg
{
public:
    using CLoginPopupDlg::CLoginPopupDlg;
    using CLoginPopupDlg::m_brBackground;
    using CLoginPopupDlg::m_pOwner;
    using CLoginPopupDlg::m_pWebLogin;
};

// A start window object without a window: enough for the popup to hand the game URL to.
class CProbeLogin : public CTorvelLogin
{
public:
    using CTorvelLogin::m_strGameUrl;
};

void SendNavigation(HWND hPopup, const wchar_t* pszUrl)
{
    g_strNavigateUrl = pszUrl;
    ::SendMessageW(hPopup, WM_COMMAND, MAKEWPARAM(IDM_NAVIGATE_STARTED, 0), 0);
}

}  // namespace

TEST(LoginPopup, OpensAt700By460WithPureGreenSeeThrough)
{
    CProbeLogin owner;
    CProbePopup popup(&owner);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    EXPECT_EQ(popup.m_pOwner, &owner);

    RECT rc{};
    ::GetWindowRect(popup.GetSafeHwnd(), &rc);
    EXPECT_EQ(rc, (RECT{0, 0, 700, 460})) << "window";
    ::GetClientRect(popup.GetSafeHwnd(), &rc);
    EXPECT_EQ(rc, (RECT{0, 0, 700, 460})) << "client";

    EXPECT_NE(popup.GetExStyle() & WS_EX_LAYERED, 0u);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(popup.GetSafeHwnd(), &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(0, 255, 0));
    EXPECT_EQ(alpha, 250);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
    // The start window shows it once it sits over the picture.
    EXPECT_FALSE(popup.IsWindowVisible());
}

TEST(LoginPopup, ButtonsSitInTheStripAtTheirPlaces)
{
    CProbeLogin owner;
    CProbePopup popup(&owner);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    HWND hMin = ::GetDlgItem(popup.GetSafeHwnd(), IDC_POPUP_BTN_1016);
    HWND hClose = ::GetDlgItem(popup.GetSafeHwnd(), IDC_POPUP_BTN_1027);
    ASSERT_NE(hMin, nullptr);
    ASSERT_NE(hClose, nullptr);
    EXPECT_EQ(RectInParent(hMin, popup.GetSafeHwnd()), (RECT{635, 30, 665, 57})) << "minimise";
    EXPECT_EQ(RectInParent(hClose, popup.GetSafeHwnd()), (RECT{618, 0, 648, 28})) << "close";
    // Image buttons draw themselves.
    EXPECT_EQ(::GetWindowLongPtrW(hMin, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(::GetWindowLongPtrW(hClose, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST(LoginPopup, TheDialogBackgroundIsThePatternAndControlsKeepTheirs)
{
    CProbeLogin owner;
    CProbePopup popup(&owner);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    ASSERT_TRUE(static_cast<bool>(popup.m_brBackground));
    LOGBRUSH lb{};
    ASSERT_EQ(::GetObjectW(popup.m_brBackground.get(), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_PATTERN));

    WindowDC dc(popup.GetSafeHwnd());
    LRESULT own = ::SendMessageW(popup.GetSafeHwnd(), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc.get()),
                                 reinterpret_cast<LPARAM>(popup.GetSafeHwnd()));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(own), popup.m_brBackground.get());
    HWND hMin = ::GetDlgItem(popup.GetSafeHwnd(), IDC_POPUP_BTN_1016);
    LRESULT button = ::SendMessageW(popup.GetSafeHwnd(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.get()),
                                    reinterpret_cast<LPARAM>(hMin));
    EXPECT_NE(reinterpret_cast<HBRUSH>(button), popup.m_brBackground.get());

    // The tiled strip shows the pattern's own pixels: the bitmap's top-left pixel at (0, 0).
    UniqueGdiObj<HBITMAP> bmp(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_POPUP_BACKGROUND)));
    ASSERT_TRUE(static_cast<bool>(bmp));
    BITMAP bm{};
    ::GetObjectW(bmp.get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 739);
    EXPECT_EQ(bm.bmHeight, 471);
    UniqueMemDC dcBmp(::CreateCompatibleDC(nullptr));
    SelectScope sel(dcBmp.get(), bmp.get());
    UniqueMemDC dcMem(::CreateCompatibleDC(dc.get()));
    UniqueGdiObj<HBITMAP> target(::CreateCompatibleBitmap(dc.get(), 40, 40));
    SelectScope selTarget(dcMem.get(), target.get());
    ::SendMessageW(popup.GetSafeHwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dcMem.get()), 0);
    for (int xy : {0, 5, 33}) {
        COLORREF want = ::GetPixel(dcBmp.get(), xy, xy);
        COLORREF got = ::GetPixel(dcMem.get(), xy, xy);
        EXPECT_EQ(got, want) << "at " << xy;
    }
}

TEST(LoginPopup, TheBrowserWaitsHiddenForItsPlaceBelowTheStrip)
{
    CProbeLogin owner;
    CProbePopup popup(&owner);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    ASSERT_NE(popup.m_pWebLogin, nullptr);
    EXPECT_EQ(popup.m_pWebLogin->m_hHostWnd, popup.GetSafeHwnd());
    EXPECT_EQ(popup.m_pWebLogin->m_bFirstLoadDone, FALSE);
    EXPECT_EQ(popup.m_pWebLogin->m_rcTarget, (RECT{0, 72, 700, 460})) << "target";
    EXPECT_EQ(popup.m_pWebLogin->m_rcBrowser, (RECT{0, 0, 0, 0})) << "hidden";
    EXPECT_STREQ(popup.m_pWebLogin->m_strUrl, L"http://127.0.0.1:18680/vorq/login/");
}

TEST(LoginPopup, OnlyTheLowerCaseMarkerHandsTheUrlOver)
{
    CProbeLogin owner;
    CProbePopup popup(&owner);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));

    SendNavigation(popup.GetSafeHwnd(), L"http://127.0.0.1:9/vorq/register/");
    EXPECT_STREQ(owner.GetGameUrl(), L"");
    SendNavigation(popup.GetSafeHwnd(), L"http://127.0.0.1:9/vorq/start?PLAY_GAMECODE=7f3a");
    EXPECT_STREQ(owner.GetGameUrl(), L"");
    SendNavigation(popup.GetSafeHwnd(), L"http://127.0.0.1:9/vorq/start?sid=1&play_gamecode=7f3a&s=12");
    EXPECT_STREQ(owner.GetGameUrl(), L"http://127.0.0.1:9/vorq/start?sid=1&play_gamecode=7f3a&s=12");
    // An ordinary report afterwards leaves the handed-over URL alone.
    SendNavigation(popup.GetSafeHwnd(), L"http://127.0.0.1:9/vorq/logout/");
    EXPECT_STREQ(owner.GetGameUrl(), L"http://127.0.0.1:9/vorq/start?sid=1&play_gamecode=7f3a&s=12");
}

TEST(LoginPopup, AnOwnerThatIsNoStartWindowMakesReportsAndMinimiseDoNothing)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP | WS_VISIBLE, CRect(20, 20, 220, 120),
                              nullptr, 0));
    CProbePopup popup(&host);
    EXPECT_EQ(popup.m_pOwner, nullptr);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &host));
    SendNavigation(popup.GetSafeHwnd(), L"http://127.0.0.1:9/start?play_gamecode=1");
    ClickButton(::GetDlgItem(popup.GetSafeHwnd(), IDC_POPUP_BTN_1016));
    EXPECT_FALSE(host.IsIconic());
    EXPECT_TRUE(popup.GetSafeHwnd() != nullptr);
}

TEST(LoginPopup, StoredAccountValuesAreDecodedAndFlagsNormalised)
{
    CSettingsFileGuard guard;
    SetSettingString(L"Info", L"code", L"cGxheWVyMQ==");  // "player1"
    SetSettingString(L"Info", L"pwd", L"c2Vj=cmV0");      // "secret", with a stray "=" inside
    SetSettingString(L"Info", L"rem", L"0");
    SetSettingString(L"Setting", L"autologin", L"yes");
    g_strAccountCode = L"";
    g_strAccountPwd = L"";
    {
        CProbeLogin owner;
        CProbePopup popup(&owner);
        ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    }
    EXPECT_STREQ(g_strAccountCode, L"player1");
    EXPECT_STREQ(g_strAccountPwd, L"secret");
    EXPECT_STREQ(g_strRemember, L"0");
    EXPECT_STREQ(g_strAutoLogin, L"1");

    // Empty values leave the account strings as they were; an empty "rem" counts as on.
    SetSettingString(L"Info", L"code", L"");
    SetSettingString(L"Info", L"pwd", L"");
    SetSettingString(L"Info", L"rem", L"");
    SetSettingString(L"Setting", L"autologin", L"0");
    g_strAccountCode = L"kept";
    {
        CProbeLogin owner;
        CProbePopup popup(&owner);
        ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    }
    EXPECT_STREQ(g_strAccountCode, L"kept");
    EXPECT_STREQ(g_strAccountPwd, L"secret");
    EXPECT_STREQ(g_strRemember, L"1");
    EXPECT_STREQ(g_strAutoLogin, L"0");
}

TEST(LoginPopup, PageKeysAreTabAndTheClipboardLettersWithCtrl)
{
    const WPARAM withCtrl[] = {0x76, 0x56, 0x61, 0x41, 0x78, 0x58, 0x63, 0x43};
    for (WPARAM key : withCtrl) {
        EXPECT_TRUE(CLoginPopupDlg::IsPageKey(key, true)) << key;
        EXPECT_FALSE(CLoginPopupDlg::IsPageKey(key, false)) << key;
    }
    EXPECT_TRUE(CLoginPopupDlg::IsPageKey(VK_TAB, false));
    EXPECT_TRUE(CLoginPopupDlg::IsPageKey(VK_TAB, true));
    const WPARAM others[] = {'B', 'Z', VK_RETURN, VK_SPACE, VK_ESCAPE, VK_CONTROL, 0x62};
    for (WPARAM key : others)
        EXPECT_FALSE(CLoginPopupDlg::IsPageKey(key, true)) << key;
}

TEST(LoginPopup, SpaceAndEscapeAreSwallowedAndEnterGoesThrough)
{
    CProbeLogin owner;
    CProbePopup popup(&owner);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    HWND hInside = ::GetDlgItem(popup.GetSafeHwnd(), IDC_POPUP_BTN_1016);
    MSG msg{hInside, WM_KEYDOWN, VK_SPACE, 0x00390001, 0, {0, 0}};
    EXPECT_TRUE(popup.PreTranslateMessage(&msg));
    msg.wParam = VK_ESCAPE;
    EXPECT_TRUE(popup.PreTranslateMessage(&msg));
    msg.wParam = VK_RETURN;
    EXPECT_FALSE(popup.PreTranslateMessage(&msg));
    // Also where the dialog manager would turn Enter into its default button.
    msg.hwnd = popup.GetSafeHwnd();
    EXPECT_FALSE(popup.PreTranslateMessage(&msg));

    // Escape posted for real neither closes the popup nor reaches its buttons.
    ::PostMessageW(hInside, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PumpFor(200, Dispatch::ThroughFramework);
    EXPECT_NE(popup.GetSafeHwnd(), nullptr);
}

TEST(LoginPopup, SpaceAndEscapeReachAFieldInsideTheBrowser)
{
    CProbeLogin owner;
    CProbePopup popup(&owner);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    ASSERT_NE(popup.m_pWebLogin, nullptr);
    IWebBrowser2* pBrowser = popup.m_pWebLogin->GetWebBrowser();
    ASSERT_NE(pBrowser, nullptr);
    Microsoft::WRL::ComPtr<IOleWindow> pWindow;
    HWND hControl = nullptr;
    ASSERT_TRUE(SUCCEEDED(pBrowser->QueryInterface(IID_PPV_ARGS(&pWindow))));
    ASSERT_TRUE(SUCCEEDED(pWindow->GetWindow(&hControl)));
    ASSERT_NE(hControl, nullptr);
    // The page's password field, a window of the browser's own (this Wine renders no page).
    UniqueWindow field(::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, hControl, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(field);
    for (WPARAM key : {WPARAM('A'), WPARAM(VK_SPACE), WPARAM('B'), WPARAM(VK_ESCAPE)}) {
        const UINT scan = ::MapVirtualKeyW(UINT(key), MAPVK_VK_TO_VSC);
        ::PostMessageW(field.get(), WM_KEYDOWN, key, LPARAM(1 | scan << 16));
        ::PostMessageW(field.get(), WM_KEYUP, key, LPARAM(1 | scan << 16 | 0xC0000000u));
    }
    // The popup's loop: every message walks the windows' PreTranslateMessage first.
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < 300) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWnd::WalkPreTranslateTree(popup.GetSafeHwnd(), &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        ::Sleep(10);
    }
    wchar_t szText[32] = L"";
    ::GetWindowTextW(field.get(), szText, 32);
    EXPECT_STREQ(szText, L"a b");
    EXPECT_NE(popup.GetSafeHwnd(), nullptr);

    // Outside the browser both stay swallowed.
    MSG outside{::GetDlgItem(popup.GetSafeHwnd(), IDC_POPUP_BTN_1016), WM_KEYDOWN, VK_SPACE, 0x00390001, 0, {0, 0}};
    EXPECT_TRUE(popup.PreTranslateMessage(&outside));
}

TEST(LoginPopup, WithoutAPageDocumentTabAndOtherKeysAreTheDialogsOwn)
{
    // No page has completed (the address does not answer): Tab cannot go to a document, so the
    // dialog manager takes it, as it takes every other key.
    CProbeLogin owner;
    CProbePopup popup(&owner);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    HWND hInside = ::GetDlgItem(popup.GetSafeHwnd(), IDC_POPUP_BTN_1027);
    for (WPARAM key : {static_cast<WPARAM>(VK_TAB), static_cast<WPARAM>('Q')}) {
        MSG msg{hInside, WM_KEYDOWN, key, 0x000F0001, 0, {0, 0}};
        EXPECT_TRUE(popup.PreTranslateMessage(&msg)) << key;
    }
}

TEST(LoginPopup, TheClosePromptNamesTheClient)
{
    EXPECT_STREQ(CLoginPopupDlg::ExitPromptText(), L"是否退出《Vantor》微端？");
}

TEST(LoginPopup, DecliningTheClosePromptKeepsThePopup)
{
    CProbeLogin owner;
    CProbePopup popup(&owner);
    ASSERT_TRUE(popup.Create(IDD_LOGIN_POPUP, &owner));
    popup.ShowWindow(SW_SHOWNOACTIVATE);
    HWND hPopup = popup.GetSafeHwnd();
    const UINT kPaths[][2] = {{WM_SYSCOMMAND, SC_CLOSE}, {WM_COMMAND, IDC_POPUP_BTN_1027}};
    for (const auto& path : kPaths) {
        HWND hBox = nullptr;
        RunModalWithAction([&] { ::SendMessageW(hPopup, path[0], path[1], 0); },
                           [&] { return (hBox = FindMessageBox()) != nullptr; },
                           [&] { ClickButton(::GetDlgItem(hBox, IDCANCEL)); },
                           [&] { ::SendMessageW(hBox, WM_COMMAND, IDCANCEL, 0); });
        EXPECT_NE(hBox, nullptr) << "no prompt for message " << path[0];
        EXPECT_TRUE(::IsWindow(hPopup));
        EXPECT_TRUE(::IsWindowVisible(hPopup));
        EXPECT_EQ(FindMessageBox(), nullptr);
    }
}
