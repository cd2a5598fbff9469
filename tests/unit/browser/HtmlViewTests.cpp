// The framework's HTML view: the control's events arrive as virtual functions with typed arguments,
// the handlers' cancel decisions go back as 16-bit VARIANT_BOOLs, and ambient properties are answered.
#include <gtest/gtest.h>

#include <exdispid.h>
#include <mshtmdid.h>
#include <olectl.h>
#include <wrl/client.h>

#include "BrowserTestSupport.h"
#include "CHtmlView.h"
#include "support/LoopbackHttpServer.h"

using Microsoft::WRL::ComPtr;

namespace {

class CRecordingView : public CHtmlView
{
public:
    void OnBeforeNavigate2(LPCWSTR lpszUrl, DWORD nFlags, LPCWSTR lpszTarget, LPCWSTR, BOOL* pbCancel) override
    {
        m_vecEvents.push_back(L"before " + std::wstring(lpszUrl) + L" flags=" + std::to_wstring(nFlags) +
                              L" target=" + lpszTarget);
        *pbCancel = m_bCancelNavigation;
    }
    void OnNavigateError(LPCWSTR lpszUrl, LPCWSTR, DWORD dwStatus, BOOL*) override
    {
        m_vecEvents.push_back(L"error " + std::wstring(lpszUrl) + L" status=" + std::to_wstring(dwStatus));
    }
    void OnNavigateComplete2(LPCWSTR lpszUrl) override { m_vecEvents.push_back(L"navigated " + std::wstring(lpszUrl)); }
    void OnDocumentComplete(LPCWSTR lpszUrl) override { m_vecEvents.push_back(L"complete " + std::wstring(lpszUrl)); }
    void OnQuit() override { m_vecEvents.push_back(L"quit"); }
    void OnNewWindow2(IDispatch**, BOOL* pbCancel) override
    {
        m_vecEvents.push_back(L"new2");
        *pbCancel = TRUE;
    }
    void OnNewWindow3(IDispatch**, BOOL*, DWORD dwFlags, LPCWSTR lpszContext, LPCWSTR lpszUrl) override
    {
        m_vecEvents.push_back(L"new3 " + std::wstring(lpszUrl) + L" from " + lpszContext + L" flags=" +
                              std::to_wstring(dwFlags));
    }
    void PostNcDestroy() override {}

    std::vector<std::wstring> m_vecEvents;
    BOOL m_bCancelNavigation = FALSE;
};

ComPtr<IDispatch> SiteDispatch(CHtmlView& view)
{
    ComPtr<IOleObject> pControl;
    ComPtr<IOleClientSite> pSite;
    ComPtr<IDispatch> pDispatch;
    if (view.GetWebBrowser() && SUCCEEDED(view.GetWebBrowser()->QueryInterface(IID_PPV_ARGS(&pControl))) &&
        SUCCEEDED(pControl->GetClientSite(&pSite)))
        pSite.As(&pDispatch);
    return pDispatch;
}

bool CreateView(CHtmlView& view, HWND hHost)
{
    return view.Create(nullptr, L"view", WS_CHILD | WS_VISIBLE, RECT{0, 0, 400, 300}, CWnd::FromHandle(hHost), 42);
}

} // namespace

TEST(HtmlView, RealNavigationRaisesBeforeNavigateAndItsCancelIsObeyed)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    CTestHostWindow host;
    CRecordingView view;
    ASSERT_TRUE(CreateView(view, host.Handle()));

    view.m_bCancelNavigation = TRUE;
    std::wstring strRefused = server.Url(L"/refused");
    ASSERT_TRUE(view.Navigate(strRefused.c_str()));
    ASSERT_TRUE(PumpUntil([&] { return !view.m_vecEvents.empty(); }, 10000));
    EXPECT_EQ(view.m_vecEvents[0].rfind(L"before " + strRefused, 0), 0u) << view.m_vecEvents[0];
    PumpFor(1000);
    EXPECT_EQ(server.CountRequestsContaining("/refused"), 0);

    view.m_bCancelNavigation = FALSE;
    std::wstring strAllowed = server.Url(L"/allowed");
    ASSERT_TRUE(view.Navigate(strAllowed.c_str()));
    EXPECT_TRUE(PumpUntil([&] { return server.CountRequestsContaining("/allowed") == 1; }, 10000));
}

TEST(HtmlView, EventsArriveAsTypedVirtualCalls)
{
    CTestHostWindow host;
    CRecordingView view;
    ASSERT_TRUE(CreateView(view, host.Handle()));
    ComPtr<IDispatch> pSite = SiteDispatch(view);
    ASSERT_NE(pSite.Get(), nullptr);
    IDispatch* pNew = nullptr;

    VARIANT_BOOL cancel = VARIANT_FALSE;
    CEventParams before;
    before.Dispatch(nullptr).VariantString(L"http://h/a").VariantLong(64).VariantString(L"_top").VariantEmpty()
        .VariantEmpty().BoolRef(&cancel);
    view.m_bCancelNavigation = TRUE;
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_BEFORENAVIGATE2, before.Get()), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    VARIANT_BOOL newCancel = VARIANT_FALSE;
    CEventParams new2;
    new2.DispatchRef(&pNew).BoolRef(&newCancel);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_NEWWINDOW2, new2.Get()), S_OK);
    EXPECT_EQ(newCancel, VARIANT_TRUE);

    VARIANT_BOOL errorCancel = VARIANT_TRUE;
    CEventParams error;
    error.Dispatch(nullptr).VariantString(L"http://h/gone").VariantString(L"").VariantLong(404).BoolRef(&errorCancel);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_NAVIGATEERROR, error.Get()), S_OK);
    EXPECT_EQ(errorCancel, VARIANT_TRUE) << "a handler that leaves the flag keeps its value";

    CEventParams navigated, complete, quit, new3;
    navigated.Dispatch(nullptr).VariantString(L"http://h/n");
    complete.Dispatch(nullptr).VariantString(L"http://h/c");
    new3.DispatchRef(&pNew).BoolRef(&newCancel).Long(6).String(L"http://h/ctx").String(L"http://h/popup");
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_NAVIGATECOMPLETE2, navigated.Get()), S_OK);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_DOCUMENTCOMPLETE, complete.Get()), S_OK);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_ONQUIT, quit.Get()), S_OK);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_NEWWINDOW3, new3.Get()), S_OK);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_STATUSTEXTCHANGE, quit.Get()), DISP_E_MEMBERNOTFOUND);

    const std::vector<std::wstring> expected = {
        L"before http://h/a flags=64 target=_top", L"new2", L"error http://h/gone status=404",
        L"navigated http://h/n", L"complete http://h/c", L"quit", L"new3 http://h/popup from http://h/ctx flags=6"};
    EXPECT_EQ(view.m_vecEvents, expected);
}

TEST(HtmlView, MalformedEventsReachNoHandler)
{
    CTestHostWindow host;
    CRecordingView view;
    ASSERT_TRUE(CreateView(view, host.Handle()));
    ComPtr<IDispatch> pSite = SiteDispatch(view);
    ASSERT_NE(pSite.Get(), nullptr);
    VARIANT_BOOL cancel = 0x2A;
    CEventParams shortBefore, wrongUrl, valueCancel, shortError;
    shortBefore.Dispatch(nullptr).VariantString(L"http://h/").BoolRef(&cancel);
    wrongUrl.Dispatch(nullptr).VariantLong(1).VariantLong(0).VariantEmpty().VariantEmpty().VariantEmpty().BoolRef(&cancel);
    valueCancel.Dispatch(nullptr).VariantString(L"http://h/").VariantLong(0).VariantEmpty().VariantEmpty()
        .VariantEmpty().Bool(VARIANT_TRUE);
    shortError.Dispatch(nullptr).VariantString(L"http://h/").BoolRef(&cancel);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_BEFORENAVIGATE2, shortBefore.Get()), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_BEFORENAVIGATE2, wrongUrl.Get()), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_BEFORENAVIGATE2, valueCancel.Get()), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_NAVIGATEERROR, shortError.Get()), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(RaiseEvent(pSite.Get(), DISPID_DOCUMENTCOMPLETE, nullptr), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(cancel, 0x2A);
    EXPECT_TRUE(view.m_vecEvents.empty());
}

TEST(HtmlView, AmbientPropertiesAreAnsweredOrLeftToTheControl)
{
    CTestHostWindow host;
    CRecordingView view;
    ASSERT_TRUE(CreateView(view, host.Handle()));
    ComPtr<IDispatch> pSite = SiteDispatch(view);
    ASSERT_NE(pSite.Get(), nullptr);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(pSite->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                            nullptr), S_OK);
    EXPECT_EQ(V_VT(&result), VT_BOOL);
    EXPECT_EQ(V_BOOL(&result), VARIANT_TRUE);
    EXPECT_EQ(pSite->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                            nullptr), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(V_VT(&result), VT_EMPTY);
}

TEST(HtmlView, ControlFollowsTheViewsSize)
{
    CTestHostWindow host;
    CRecordingView view;
    ASSERT_TRUE(CreateView(view, host.Handle()));
    HWND hControl = FirstChild(view.GetSafeHwnd());
    ASSERT_NE(hControl, nullptr);
    EXPECT_EQ(RectInParent(hControl, view.GetSafeHwnd()), (RECT{0, 0, 400, 300}));
    view.MoveWindow(10, 20, 250, 120);
    EXPECT_EQ(RectInParent(hControl, view.GetSafeHwnd()), (RECT{0, 0, 250, 120}));
}
