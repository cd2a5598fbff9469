// The page zoom in both browser hosts: the host flags the control is given, the zoom the control
// receives through the replaceable target (the real control refuses it here without a document),
// pending before a document and applied at every completed top-level document, and the keys and the
// wheel taken by the game view before the control sees them.
#include <gtest/gtest.h>

#include <exdispid.h>
#include <mshtmhst.h>
#include <wrl/client.h>

#include <utility>
#include <vector>

#include "BrowserTestSupport.h"
#include "browser/MyHtmlView.h"
#include "browser/WebFormLogin.h"
#include "resource.h"

using Microsoft::WRL::ComPtr;

namespace {

// Stands in for the control's optical zoom: records every percentage and answers as told.
class CRecordingZoomTarget : public IPageZoomTarget
{
public:
    HRESULT SetOpticalZoom(IWebBrowser2* pBrowser, int nPercent) override
    {
        m_vecCalls.push_back({pBrowser, nPercent});
        return m_hrAnswer;
    }
    std::vector<int> Percentages() const
    {
        std::vector<int> vec;
        for (const auto& call : m_vecCalls)
            vec.push_back(call.second);
        return vec;
    }
    std::vector<std::pair<IWebBrowser2*, int>> m_vecCalls;
    HRESULT m_hrAnswer = E_UNEXPECTED;  // what the control says before a document exists
};

// Any dispatch object that is not the control: a frame's browser in a document-complete event.
class CFrameObject : public IDispatch
{
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
};

bool CreateGameView(CMyHtmlView& view, HWND hHost)
{
    return view.Create(nullptr, L"MyWebBrowser", WS_CHILD | WS_VISIBLE, RECT{0, 0, 700, 430},
                       CWnd::FromHandle(hHost), IDC_GAME_VIEW);
}

// The view's event sink, as the control holds it: its client site.
ComPtr<IDispatch> ViewEvents(CMyHtmlView& view)
{
    ComPtr<IOleObject> pControl;
    ComPtr<IOleClientSite> pSite;
    ComPtr<IDispatch> pEvents;
    if (view.GetWebBrowser() && SUCCEEDED(view.GetWebBrowser()->QueryInterface(IID_PPV_ARGS(&pControl))) &&
        SUCCEEDED(pControl->GetClientSite(&pSite)))
        pSite.As(&pEvents);
    return pEvents;
}

HRESULT RaiseDocumentComplete(IDispatch* pSink, IDispatch* pDisp)
{
    CEventParams params;
    params.Dispatch(pDisp).VariantString(L"http://127.0.0.1:9/game");
    return RaiseEvent(pSink, DISPID_DOCUMENTCOMPLETE, params.Get());
}

int ScreenDpi()
{
    HDC hdc = GetDC(nullptr);
    const int nDpi = GetDeviceCaps(hdc, LOGPIXELSX);
    ReleaseDC(nullptr, hdc);
    return nDpi;
}

// Ctrl held or not, as GetKeyState sees it on this thread while a message is handled.
void HoldKeys(bool bCtrl, bool bAlt)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = bCtrl ? 0x80 : 0;
    keys[VK_MENU] = keys[VK_LMENU] = bAlt ? 0x80 : 0;
    SetKeyboardState(keys);
}

} // namespace

TEST(PageZoomHosts, GameViewHostInfoAddsTheDpiFlagAndKeepsTheOthers)
{
    // The game view's site, as the control asks it (the login popup's site: WebBrowserBase and
    // WebFormLogin tests).
    CTestHostWindow host;
    CMyHtmlView view;
    ASSERT_TRUE(CreateGameView(view, host.Handle()));
    ComPtr<IOleObject> pControl;
    ASSERT_EQ(view.GetWebBrowser()->QueryInterface(IID_PPV_ARGS(&pControl)), S_OK);
    ComPtr<IOleClientSite> pSite;
    ASSERT_EQ(pControl->GetClientSite(&pSite), S_OK);
    ComPtr<IDocHostUIHandler> pHandler;
    ASSERT_EQ(pSite.As(&pHandler), S_OK) << "the game view's site offers no host UI handler";
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    info.dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
    EXPECT_EQ(pHandler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, DWORD(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE));
    EXPECT_EQ(info.dwFlags, 0x40000004u);
}

TEST(PageZoomHosts, GameViewZoomWaitsForADocumentAndComesBackWithEveryNewOne)
{
    ASSERT_EQ(ScreenDpi(), 96) << "the percentages below are the ones at 96 DPI";
    CTestHostWindow host;
    CMyHtmlView view;
    ASSERT_TRUE(CreateGameView(view, host.Handle()));
    ComPtr<IDispatch> pEvents = ViewEvents(view);
    ASSERT_NE(pEvents.Get(), nullptr);

    // The real control refuses the zoom here: nothing is applied yet.
    view.SetPageZoom(125);
    EXPECT_TRUE(view.IsPageZoomPending());
    EXPECT_EQ(view.GetPageZoom(), 125);

    CRecordingZoomTarget target;
    view.SetZoomTarget(&target);
    view.SetPageZoom(150);
    EXPECT_EQ(target.Percentages(), (std::vector<int>{150}));
    ASSERT_EQ(target.m_vecCalls.size(), 1u);
    EXPECT_EQ(target.m_vecCalls[0].first, view.GetWebBrowser());
    EXPECT_TRUE(view.IsPageZoomPending()) << "a refused zoom must wait for the document";

    // A frame's document is not the page: nothing is set.
    CFrameObject frame;
    EXPECT_EQ(RaiseDocumentComplete(pEvents.Get(), &frame), S_OK);
    EXPECT_EQ(RaiseDocumentComplete(pEvents.Get(), nullptr), S_OK);
    EXPECT_EQ(target.Percentages(), (std::vector<int>{150}));

    // The page's document: the control now takes the zoom.
    target.m_hrAnswer = S_OK;
    EXPECT_EQ(RaiseDocumentComplete(pEvents.Get(), view.GetWebBrowser()), S_OK);
    EXPECT_EQ(target.Percentages(), (std::vector<int>{150, 150}));
    EXPECT_FALSE(view.IsPageZoomPending());

    // Every new page forgets its zoom: set again, also at 100 % (the display's scale needs a zoom).
    view.SetPageZoom(100);
    EXPECT_EQ(RaiseDocumentComplete(pEvents.Get(), view.GetWebBrowser()), S_OK);
    EXPECT_EQ(target.Percentages(), (std::vector<int>{150, 150, 100, 100}));

    // Back to the real control, which still has no document.
    view.SetZoomTarget(nullptr);
    view.SetPageZoom(110);
    EXPECT_TRUE(view.IsPageZoomPending());
    EXPECT_EQ(target.m_vecCalls.size(), 4u);
}

TEST(PageZoomHosts, LoginBrowserTakesTheDisplayScaleAtEveryNewPage)
{
    ASSERT_EQ(ScreenDpi(), 96);
    CTestHostWindow host;
    WebFormLogin login;
    login.m_hHostWnd = host.Handle();
    login.m_bFirstLoadDone = TRUE;  // no version check: it is not what this test is about
    ASSERT_TRUE(login.ActivateBrowser());
    EXPECT_TRUE(login.IsPageZoomPending());
    CRecordingZoomTarget target;
    target.m_hrAnswer = S_OK;
    login.SetZoomTarget(&target);

    CFrameObject frame;
    for (IDispatch* pDisp : {static_cast<IDispatch*>(&frame), static_cast<IDispatch*>(nullptr),
                             static_cast<IDispatch*>(login.GetWebBrowser()), static_cast<IDispatch*>(login.GetWebBrowser())}) {
        CEventParams params;
        params.Dispatch(pDisp).VariantString(L"http://127.0.0.1:9/login");
        EXPECT_EQ(RaiseEvent(&login, DISPID_DOCUMENTCOMPLETE, params.Get()), S_OK);
    }
    EXPECT_EQ(target.Percentages(), (std::vector<int>{100, 100})) << "once per page, not per frame";
    EXPECT_FALSE(login.IsPageZoomPending());
    login.SetZoomTarget(nullptr);
}

TEST(PageZoomHosts, ZoomKeysAndCtrlWheelAreTakenBeforeTheControl)
{
    CTestHostWindow host;
    std::vector<std::pair<WPARAM, LPARAM>> reports;
    host.m_fnOnMessage = [&reports](UINT uMsg, WPARAM wParam, LPARAM lParam) {
        if (uMsg == WM_PAGE_ZOOM_CHANGED)
            reports.emplace_back(wParam, lParam);
    };
    CMyHtmlView view;
    ASSERT_TRUE(CreateGameView(view, host.Handle()));
    CRecordingZoomTarget target;
    target.m_hrAnswer = S_OK;
    view.SetZoomTarget(&target);
    HWND hControl = FirstChild(view.GetSafeHwnd());
    ASSERT_NE(hControl, nullptr);

    struct Input
    {
        UINT message;
        WPARAM wParam;
        bool bCtrl, bAlt;
        bool bTaken;
        int nZoomAfter;
    };
    const WPARAM wheelUp = MAKEWPARAM(MK_CONTROL, WHEEL_DELTA);
    const WPARAM wheelDown = MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA));
    const Input inputs[] = {
        {WM_MOUSEWHEEL, wheelUp, true, false, true, 110},
        {WM_KEYDOWN, VK_OEM_PLUS, true, false, true, 125},
        {WM_KEYDOWN, VK_ADD, true, false, true, 150},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 2 * WHEEL_DELTA), true, false, true, 200},
        {WM_KEYDOWN, VK_SUBTRACT, true, false, true, 175},
        {WM_KEYDOWN, VK_OEM_MINUS, true, false, true, 150},
        {WM_MOUSEWHEEL, wheelDown, true, false, true, 125},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), false, false, false, 125},  // scrolls the page
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 60), true, false, true, 125},    // half a notch
        {WM_KEYDOWN, VK_OEM_PLUS, false, false, false, 125},                    // "=" typed into the page
        {WM_KEYDOWN, VK_OEM_PLUS, true, true, false, 125},                      // AltGr
        {WM_KEYUP, VK_OEM_PLUS, true, false, false, 125},
        {WM_KEYDOWN, '0', true, false, true, 100},
        {WM_KEYDOWN, VK_NUMPAD0, true, false, true, 100},                       // no change, still shown
        {WM_KEYDOWN, VK_OEM_MINUS, true, false, true, 90},
    };
    for (const Input& in : inputs) {
        HoldKeys(in.bCtrl, in.bAlt);
        MSG msg{hControl, in.message, in.wParam, 0, 0, {0, 0}};
        EXPECT_EQ(view.PreTranslateMessage(&msg), in.bTaken) << "message " << in.message << " " << in.wParam;
        EXPECT_EQ(view.GetPageZoom(), in.nZoomAfter) << "message " << in.message << " " << in.wParam;
    }
    HoldKeys(false, false);
    // The host hears of every step asked for, with whether it changed anything (the label shows
    // either way; only a change is written).
    const std::vector<std::pair<WPARAM, LPARAM>> expectedReports = {
        {110, 1}, {125, 1}, {150, 1}, {200, 1}, {175, 1}, {150, 1}, {125, 1}, {100, 1}, {100, 0}, {90, 1}};
    EXPECT_EQ(reports, expectedReports);
    EXPECT_EQ(target.Percentages(), (std::vector<int>{110, 125, 150, 200, 175, 150, 125, 100, 90}));
    view.SetZoomTarget(nullptr);
}
