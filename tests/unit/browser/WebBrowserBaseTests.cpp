// The self-made container with the real WebBrowser control under Wine: creation, in-place activation,
// geometry, the render-window walk, the interface table and an orderly teardown.
#include <gtest/gtest.h>

#include <exdispid.h>
#include <wrl/client.h>

#include "BrowserTestSupport.h"
#include "browser/WebBrowserBase.h"
#include "support/FilesAndKeys.h"

using Microsoft::WRL::ComPtr;

namespace {

class CHostedBrowser : public CWebBrowserBase
{
public:
    explicit CHostedBrowser(HWND hHost) : m_hHost(hHost) {}
    HWND GetHostWindow() override { return m_hHost; }
    HWND m_hHost;
};

} // namespace

TEST(WebBrowserBase, ActivationFillsTheHostsClientArea)
{
    CTestHostWindow host;
    CHostedBrowser browser(host.Handle());
    ASSERT_NE(browser.m_pOleObject.Get(), nullptr) << "WebBrowser control not created";
    ASSERT_NE(browser.m_pInPlaceObject.Get(), nullptr);
    ASSERT_NE(browser.m_pStorage.Get(), nullptr);
    EXPECT_EQ(browser.m_bInPlaceActive, FALSE);
    EXPECT_EQ(browser.CanInPlaceActivate(), S_FALSE);

    ASSERT_TRUE(browser.ActivateBrowser());
    EXPECT_EQ(browser.m_bInPlaceActive, TRUE);
    EXPECT_EQ(browser.CanInPlaceActivate(), S_OK);
    EXPECT_NE(browser.GetWebBrowser(), nullptr);
    EXPECT_EQ(browser.m_rcBrowser, (RECT{0, 0, 700, 460}));
    HWND hControl = FirstChild(host.Handle());
    ASSERT_NE(hControl, nullptr);
    EXPECT_EQ(RectInParent(hControl, host.Handle()), (RECT{0, 0, 700, 460}));
}

TEST(WebBrowserBase, SecondActivationReturnsTrueWithoutActivatingAgain)
{
    CTestHostWindow host;
    CHostedBrowser browser(host.Handle());
    ASSERT_TRUE(browser.ActivateBrowser());
    ASSERT_TRUE(browser.SetBrowserRect(RECT{10, 80, 310, 280}));
    HWND hControl = FirstChild(host.Handle());

    EXPECT_TRUE(browser.ActivateBrowser());
    // A second in-place activation would have spread the control over the whole client area again.
    EXPECT_EQ(FirstChild(host.Handle()), hControl);
    EXPECT_EQ(RectInParent(hControl, host.Handle()), (RECT{10, 80, 310, 280}));
    EXPECT_EQ(browser.m_rcBrowser, (RECT{10, 80, 310, 280}));
}

TEST(WebBrowserBase, EmptyRectangleHidesTheControlAndARealOneShowsItThere)
{
    CTestHostWindow host;
    CHostedBrowser browser(host.Handle());
    ASSERT_TRUE(browser.ActivateBrowser());
    HWND hControl = FirstChild(host.Handle());
    ASSERT_NE(hControl, nullptr);

    EXPECT_TRUE(browser.SetBrowserRect(RECT{0, 0, 0, 0}));
    EXPECT_EQ(browser.m_rcBrowser, (RECT{0, 0, 0, 0}));
    RECT rcHidden = RectInParent(hControl, host.Handle());
    EXPECT_EQ(rcHidden.right - rcHidden.left, 0);
    EXPECT_EQ(rcHidden.bottom - rcHidden.top, 0);

    EXPECT_TRUE(browser.SetBrowserRect(RECT{0, 72, 700, 460}));
    EXPECT_EQ(browser.m_rcBrowser, (RECT{0, 72, 700, 460}));
    EXPECT_EQ(RectInParent(hControl, host.Handle()), (RECT{0, 72, 700, 460}));
}

TEST(WebBrowserBase, RectangleBeforeActivationIsOnlyStored)
{
    CTestHostWindow host;
    CHostedBrowser browser(host.Handle());
    EXPECT_TRUE(browser.SetBrowserRect(RECT{1, 2, 3, 4}));
    EXPECT_EQ(browser.m_rcBrowser, (RECT{1, 2, 3, 4}));
    EXPECT_EQ(FirstChild(host.Handle()), nullptr);
}

TEST(WebBrowserBase, ExtentIsGivenInHimetric)
{
    HDC hdc = GetDC(nullptr);
    int nDpi = GetDeviceCaps(hdc, LOGPIXELSX);
    ReleaseDC(nullptr, hdc);
    ASSERT_EQ(nDpi, 96) << "the expected values below are for 96 dots per inch";

    CTestHostWindow host;
    CHostedBrowser browser(host.Handle());
    ASSERT_TRUE(browser.ActivateBrowser());
    ASSERT_TRUE(browser.SetBrowserRect(RECT{0, 72, 200, 172}));
    SIZEL size{};
    ASSERT_EQ(browser.m_pOleObject->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(size.cx, 5292);  // 200 px
    EXPECT_EQ(size.cy, 2646);  // 100 px
}

TEST(WebBrowserBase, ControlAskingAgainKeepsTheOwnersRectangle)
{
    CTestHostWindow host;
    CHostedBrowser browser(host.Handle());
    ASSERT_TRUE(browser.ActivateBrowser());
    ASSERT_TRUE(browser.SetBrowserRect(RECT{0, 0, 0, 0}));

    ComPtr<IOleInPlaceSite> pSite;
    ASSERT_EQ(browser.QueryInterface(IID_PPV_ARGS(&pSite)), S_OK);
    ComPtr<IOleInPlaceFrame> pFrame;
    ComPtr<IOleInPlaceUIWindow> pDoc;
    RECT rcPos{-1, -1, -1, -1}, rcClip{-1, -1, -1, -1};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    ASSERT_EQ(pSite->GetWindowContext(&pFrame, &pDoc, &rcPos, &rcClip, &info), S_OK);
    EXPECT_EQ(rcPos, (RECT{0, 0, 0, 0}));
    EXPECT_EQ(rcClip, (RECT{0, 0, 0, 0}));
    EXPECT_EQ(pDoc.Get(), nullptr);
    EXPECT_EQ(pFrame.Get(), static_cast<IOleInPlaceFrame*>(&browser));
    EXPECT_EQ(info.fMDIApp, FALSE);
    EXPECT_EQ(info.haccel, nullptr);
    EXPECT_EQ(info.cAccelEntries, 0u);
    EXPECT_EQ(info.hwndFrame, GetParent(host.Handle()));

    RECT rcBorder{};
    EXPECT_EQ(pFrame->GetBorder(&rcBorder), S_OK);
    EXPECT_EQ(rcBorder, (RECT{0, 0, 700, 460}));
    EXPECT_EQ(browser.m_rcBrowser, (RECT{0, 0, 0, 0}));
}

TEST(WebBrowserBase, InterfaceTableAndCount)
{
    CTestHostWindow host;
    CHostedBrowser browser(host.Handle());
    struct Case
    {
        const IID* pIid;
        void* pExpected;
    } cases[] = {
        {&IID_IUnknown, static_cast<IDispatch*>(&browser)},
        {&IID_IDispatch, static_cast<IDispatch*>(&browser)},
        {&IID_IOleClientSite, static_cast<IOleClientSite*>(&browser)},
        {&IID_IOleWindow, static_cast<IOleInPlaceSite*>(&browser)},
        {&IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(&browser)},
        {&IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(&browser)},
        {&IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceFrame*>(&browser)},
        {&IID_IDocHostUIHandler, static_cast<IDocHostUIHandler*>(&browser)},
    };
    // The tables lie one after another at the start of the object, IDispatch first.
    EXPECT_EQ(static_cast<void*>(static_cast<IDispatch*>(&browser)), static_cast<void*>(&browser));
    for (const Case& c : cases) {
        LONG lBefore = browser.m_lRefCount;
        void* pv = nullptr;
        EXPECT_EQ(browser.QueryInterface(*c.pIid, &pv), S_OK);
        EXPECT_EQ(pv, c.pExpected);
        EXPECT_EQ(browser.m_lRefCount, lBefore + 1);
        static_cast<IUnknown*>(pv)->Release();
        EXPECT_EQ(browser.m_lRefCount, lBefore);
    }
    void* pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(browser.QueryInterface(IID_IWebBrowser2, &pv), E_NOINTERFACE);
    EXPECT_EQ(pv, nullptr);
    // Releasing below zero does not end the object: its owner does.
    LONG lBefore = browser.m_lRefCount;
    static_cast<IDispatch*>(&browser)->Release();
    EXPECT_EQ(browser.m_lRefCount, lBefore - 1);
    static_cast<IDispatch*>(&browser)->AddRef();
}

TEST(WebBrowserBase, HostInfoAddsTheOuterBorderAndDpiFlags)
{
    CTestHostWindow host;
    CHostedBrowser browser(host.Handle());
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    info.dwFlags = 0x1;
    EXPECT_EQ(browser.GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x40200001u);
}

TEST(WebBrowserBase, RenderWindowWalkFollowsFirstChildrenOnly)
{
    static const wchar_t* const kClasses[] = {L"TorvelTestOuter", L"TorvelTestInner", L"Internet Explorer_Server"};
    for (const wchar_t* pszClass : kClasses) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = pszClass;
        RegisterClassExW(&wc);
    }
    HINSTANCE hInst = GetModuleHandleW(nullptr);
    HWND hOuter = CreateWindowExW(0, L"TorvelTestOuter", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, hInst, nullptr);
    HWND hInner = CreateWindowExW(0, L"TorvelTestInner", L"", WS_CHILD, 0, 0, 50, 50, hOuter, nullptr, hInst, nullptr);
    HWND hDeep = CreateWindowExW(0, L"TorvelTestInner", L"", WS_CHILD, 0, 0, 50, 50, hInner, nullptr, hInst, nullptr);
    HWND hServer = CreateWindowExW(0, L"Internet Explorer_Server", L"", WS_CHILD, 0, 0, 50, 50, hDeep, nullptr,
                                   hInst, nullptr);

    EXPECT_EQ(CWebBrowserBase::FindRenderWindowFrom(hOuter), hServer);
    EXPECT_EQ(CWebBrowserBase::FindRenderWindowFrom(hServer), hServer);
    EXPECT_EQ(CWebBrowserBase::FindRenderWindowFrom(nullptr), nullptr);

    // A render window that is a later sibling is not found: only first children are visited.
    HWND hSideParent = CreateWindowExW(0, L"TorvelTestOuter", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, hInst,
                                       nullptr);
    HWND hFirst = CreateWindowExW(0, L"TorvelTestInner", L"", WS_CHILD, 0, 0, 5, 5, hSideParent, nullptr, hInst,
                                  nullptr);
    HWND hSecond = CreateWindowExW(0, L"Internet Explorer_Server", L"", WS_CHILD, 0, 0, 5, 5, hSideParent, nullptr,
                                   hInst, nullptr);
    SetWindowPos(hSecond, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(GetWindow(hSideParent, GW_CHILD), hFirst);
    EXPECT_EQ(CWebBrowserBase::FindRenderWindowFrom(hSideParent), nullptr);

    DestroyWindow(hSideParent);
    DestroyWindow(hOuter);
}

TEST(WebBrowserBase, FindRenderWindowStartsAtTheControlsShellWindow)
{
    CTestHostWindow host;
    CHostedBrowser browser(host.Handle());
    ASSERT_TRUE(browser.ActivateBrowser());
    EXPECT_EQ(browser.FindRenderWindow(), nullptr) << "no HTML engine here: no render window yet";

    // Give the control's innermost first child a render window, as the engine does once a page shows.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Internet Explorer_Server";
    RegisterClassExW(&wc);
    HWND hLeaf = FirstChild(host.Handle());
    ASSERT_NE(hLeaf, nullptr);
    while (HWND hNext = FirstChild(hLeaf))
        hLeaf = hNext;
    HWND hServer = CreateWindowExW(0, L"Internet Explorer_Server", L"", WS_CHILD, 0, 0, 10, 10, hLeaf, nullptr,
                                   wc.hInstance, nullptr);
    ASSERT_NE(hServer, nullptr);
    EXPECT_EQ(browser.FindRenderWindow(), hServer);
}

TEST(WebBrowserBase, DeletionTakesTheControlDownBeforeTheSiteGoes)
{
    CTestHostWindow host;
    auto* pBrowser = new CHostedBrowser(host.Handle());
    ASSERT_TRUE(pBrowser->ActivateBrowser());
    ASSERT_NE(FirstChild(host.Handle()), nullptr);
    ComPtr<IOleObject> pControl = pBrowser->m_pOleObject;
    ComPtr<IOleClientSite> pSiteBefore;
    ASSERT_EQ(pControl->GetClientSite(&pSiteBefore), S_OK);
    EXPECT_EQ(pSiteBefore.Get(), static_cast<IOleClientSite*>(pBrowser));
    pSiteBefore.Reset();

    delete pBrowser;

    // The control, still alive through our reference, no longer knows the freed site.
    ComPtr<IOleClientSite> pSiteAfter;
    pControl->GetClientSite(&pSiteAfter);
    EXPECT_EQ(pSiteAfter.Get(), nullptr);
    EXPECT_EQ(FirstChild(host.Handle()), nullptr) << "the control's window outlived its container";
    PumpFor(100);
}

namespace {

// Files of nameless compound storages in the temporary folder ("STO*.tmp" under Wine, "~DF*.tmp"
// on Windows); other programs' temporary files do not count, so tests running beside this one
// cannot disturb it.
size_t CountTempFiles()
{
    const CString strTemp = TempPath(L".");
    return FilesIn(strTemp, L"STO*.tmp").size() + FilesIn(strTemp, L"~DF*.tmp").size();
}

} // namespace

TEST(WebBrowserBase, TemporaryStorageLeavesNoFileBehind)
{
    CTestHostWindow host;
    size_t nBefore = CountTempFiles();
    for (int i = 0; i < 20; ++i) {
        CHostedBrowser browser(host.Handle());
        ASSERT_NE(browser.m_pStorage.Get(), nullptr);
        browser.ActivateBrowser();
        if (i == 0) {
            EXPECT_EQ(CountTempFiles(), nBefore + 1) << "the storage's file is not where it is looked for";
        }
    }
    EXPECT_EQ(CountTempFiles(), nBefore);
}
