// The login browser: real navigations against a loopback server under Wine, and the events the
// missing HTML engine cannot raise here, driven through Invoke with well-formed and malformed
// DISPPARAMS.
#include <gtest/gtest.h>

#include <exdispid.h>
#include <shlobj.h>

#include "BrowserTestSupport.h"
#include "support/LoopbackHttpServer.h"
#include "app/Paths.h"
#include "app/UpdateLog.h"
#include "browser/WebFormLogin.h"
#include "start/VersionCheck.h"

namespace {

// The login popup's steps: host window, activation, target below the 72-pixel strip, the login page,
// hidden until complete.
struct LoginFixture
{
    explicit LoginFixture(const std::wstring& strUrl = std::wstring())
    {
        host.m_fnUrlAtReport = [] { return std::wstring(g_strNavigateUrl); };
        login.m_hHostWnd = host.Handle();
        activated = login.ActivateBrowser();
        login.m_rcTarget = RECT{0, 72, 700, 460};
        if (!strUrl.empty())
            login.NavigateTo(strUrl.c_str());
        login.SetBrowserRect(RECT{0, 0, 0, 0});
    }
    HWND Control() const { return FirstChild(host.Handle()); }

    CTestHostWindow host;
    WebFormLogin login;
    bool activated = false;
};

// How many version-query lines the update log holds.
int CountVersionCheckLines()
{
    std::string bytes = ReadFileBytes(GetUpdateLogPath());
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    std::wstring needle(GetVersionQueryUrl());
    int n = 0;
    for (size_t pos = text.find(needle); pos != std::wstring::npos; pos = text.find(needle, pos + 1))
        ++n;
    return n;
}

HRESULT DocumentComplete(WebFormLogin& login, const wchar_t* pszUrl)
{
    CEventParams params;
    params.Dispatch(nullptr).VariantString(pszUrl);
    return RaiseEvent(&login, DISPID_DOCUMENTCOMPLETE, params.Get());
}

HRESULT BeforeNavigate(WebFormLogin& login, const wchar_t* pszUrl, VARIANT_BOOL* pCancel)
{
    CEventParams params;
    params.Dispatch(nullptr).VariantString(pszUrl).VariantLong(0).VariantEmpty().VariantEmpty().VariantEmpty()
        .BoolRef(pCancel);
    return RaiseEvent(&login, DISPID_BEFORENAVIGATE2, params.Get());
}

} // namespace

TEST(WebFormLogin, RealNavigationIsReportedWithItsUrl)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    std::wstring strUrl = server.Url(L"/vorq/login/");
    g_strNavigateUrl = L"";
    LoginFixture f(strUrl);
    ASSERT_TRUE(f.activated);
    EXPECT_EQ(f.login.m_strUrl, CString(strUrl.c_str()));

    ASSERT_TRUE(PumpUntil([&] { return !f.host.m_vecReports.empty() && server.CountRequestsContaining("/vorq/login/") > 0; },
                          10000));
    ASSERT_EQ(f.host.m_vecReports.size(), 1u);
    EXPECT_EQ(f.host.m_vecReports[0].wParam, static_cast<WPARAM>(10001));
    EXPECT_EQ(f.host.m_vecReports[0].lParam, 0);
    EXPECT_EQ(f.host.m_vecReports[0].strUrl, strUrl);
    EXPECT_EQ(std::wstring(g_strNavigateUrl), strUrl);
}

TEST(WebFormLogin, GameStartAddressIsCancelledButReported)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    LoginFixture f;
    ASSERT_TRUE(f.activated);

    std::wstring strGame = server.Url(L"/vorq/start?play_gamecode=7f3a");
    ASSERT_TRUE(f.login.NavigateTo(strGame.c_str()));
    ASSERT_TRUE(PumpUntil([&] { return !f.host.m_vecReports.empty(); }, 10000));
    EXPECT_EQ(f.host.m_vecReports[0].strUrl, strGame);
    PumpFor(1500);
    EXPECT_EQ(server.CountRequestsContaining("play_gamecode"), 0) << "the browser went to the game address";

    // The marker only in capitals is an ordinary address: reported and followed.
    std::wstring strUpper = server.Url(L"/vorq/start?PLAY_GAMECODE=7f3a");
    ASSERT_TRUE(f.login.NavigateTo(strUpper.c_str()));
    EXPECT_TRUE(PumpUntil([&] { return server.CountRequestsContaining("PLAY_GAMECODE") == 1; }, 10000));
    ASSERT_EQ(f.host.m_vecReports.size(), 2u);
    EXPECT_EQ(f.host.m_vecReports[1].strUrl, strUpper);
}

TEST(WebFormLogin, CancelIsWrittenAsA16BitVariantTrue)
{
    LoginFixture f;
    struct
    {
        VARIANT_BOOL before;
        VARIANT_BOOL cancel;
        VARIANT_BOOL after;
    } flags = {0x1234, VARIANT_FALSE, 0x5678};
    EXPECT_EQ(BeforeNavigate(f.login, L"http://127.0.0.1:9/x?play_gamecode=1", &flags.cancel), S_OK);
    EXPECT_EQ(flags.cancel, VARIANT_TRUE);
    EXPECT_EQ(flags.before, 0x1234);
    EXPECT_EQ(flags.after, 0x5678);

    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(BeforeNavigate(f.login, L"http://127.0.0.1:9/register", &cancel), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    ASSERT_EQ(f.host.m_vecReports.size(), 2u);
    EXPECT_EQ(f.host.m_vecReports[1].strUrl, L"http://127.0.0.1:9/register");
}

TEST(WebFormLogin, WithoutHostTheDecisionStillApplies)
{
    WebFormLogin login;
    g_strNavigateUrl = L"unchanged";
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(BeforeNavigate(login, L"http://h/play_gamecode", &cancel), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(std::wstring(g_strNavigateUrl), L"unchanged");
}

TEST(WebFormLogin, FirstCompletedPageRunsTheVersionCheckOnceAndShowsTheBrowser)
{
    ASSERT_FALSE(GetDataDir().IsEmpty());
    SHCreateDirectoryExW(nullptr, GetDataDir() + L"res", nullptr);
    int nBefore = CountVersionCheckLines();

    LoginFixture f;
    ASSERT_TRUE(f.activated);
    HWND hControl = f.Control();
    RECT rcHidden = RectInParent(hControl, f.host.Handle());
    EXPECT_EQ(rcHidden.right - rcHidden.left, 0);

    EXPECT_EQ(DocumentComplete(f.login, L"http://127.0.0.1:9/vorq/login/"), S_OK);
    EXPECT_EQ(f.login.m_bFirstLoadDone, TRUE);
    EXPECT_EQ(CountVersionCheckLines(), nBefore + 1);
    EXPECT_EQ(RectInParent(hControl, f.host.Handle()), (RECT{0, 72, 700, 460}));

    // The control moved itself; the next completed page puts it back, without a second check.
    f.login.SetBrowserRect(RECT{0, 0, 700, 460});
    EXPECT_EQ(DocumentComplete(f.login, L"http://127.0.0.1:9/vorq/register/"), S_OK);
    EXPECT_EQ(CountVersionCheckLines(), nBefore + 1);
    EXPECT_EQ(RectInParent(hControl, f.host.Handle()), (RECT{0, 72, 700, 460}));
}

TEST(WebFormLogin, NewWindowsAreCancelledAndOtherEventsAreNotImplemented)
{
    LoginFixture f;
    IDispatch* pNew = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    CEventParams newWindow2;
    newWindow2.DispatchRef(&pNew).BoolRef(&cancel);
    EXPECT_EQ(RaiseEvent(&f.login, DISPID_NEWWINDOW2, newWindow2.Get()), E_NOTIMPL);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    // A scheme other than http(s) is cancelled and starts nothing.
    cancel = VARIANT_FALSE;
    CEventParams newWindow3;
    newWindow3.DispatchRef(&pNew).BoolRef(&cancel).Long(0).String(L"http://127.0.0.1:9/").String(L"file:///c:/x.exe");
    EXPECT_EQ(RaiseEvent(&f.login, DISPID_NEWWINDOW3, newWindow3.Get()), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    const DISPID others[] = {DISPID_NAVIGATECOMPLETE2, DISPID_NAVIGATEERROR, DISPID_ONQUIT, DISPID_TITLECHANGE, 0, -1};
    for (DISPID dispid : others) {
        VARIANT_BOOL flag = VARIANT_FALSE;
        CEventParams params;
        params.Dispatch(nullptr).VariantString(L"http://h/play_gamecode").VariantEmpty().VariantLong(404)
            .BoolRef(&flag);
        EXPECT_EQ(RaiseEvent(&f.login, dispid, params.Get()), E_NOTIMPL) << dispid;
        EXPECT_EQ(flag, VARIANT_FALSE) << dispid;
    }
    EXPECT_TRUE(f.host.m_vecReports.empty());
    EXPECT_EQ(f.login.m_bFirstLoadDone, FALSE);
}

TEST(WebFormLogin, MalformedEventArgumentsChangeNothing)
{
    LoginFixture f;
    const VARIANT_BOOL kUntouched = 0x2A;
    IDispatch* pNew = nullptr;

    {   // BeforeNavigate2 with six arguments
        VARIANT_BOOL cancel = kUntouched;
        CEventParams p;
        p.VariantString(L"http://h/play_gamecode").VariantLong(0).VariantEmpty().VariantEmpty().VariantEmpty()
            .BoolRef(&cancel);
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_BEFORENAVIGATE2, p.Get()), DISP_E_BADPARAMCOUNT);
        EXPECT_EQ(cancel, kUntouched);
    }
    {   // the URL as a number
        VARIANT_BOOL cancel = kUntouched;
        CEventParams p;
        p.Dispatch(nullptr).VariantLong(5).VariantLong(0).VariantEmpty().VariantEmpty().VariantEmpty().BoolRef(&cancel);
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_BEFORENAVIGATE2, p.Get()), DISP_E_TYPEMISMATCH);
        EXPECT_EQ(cancel, kUntouched);
    }
    {   // Cancel by value instead of by reference
        CEventParams p;
        p.Dispatch(nullptr).VariantString(L"http://h/play_gamecode").VariantLong(0).VariantEmpty().VariantEmpty()
            .VariantEmpty().Bool(VARIANT_FALSE);
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_BEFORENAVIGATE2, p.Get()), DISP_E_TYPEMISMATCH);
    }
    {   // no parameters at all, and a null DISPPARAMS
        CEventParams p;
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_BEFORENAVIGATE2, p.Get()), DISP_E_BADPARAMCOUNT);
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_DOCUMENTCOMPLETE, nullptr), DISP_E_BADPARAMCOUNT);
        DISPPARAMS broken = {nullptr, nullptr, 7, 0};
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_BEFORENAVIGATE2, &broken), DISP_E_TYPEMISMATCH);
    }
    {   // DocumentComplete with one argument, and with a URL that is not a string
        CEventParams one;
        one.VariantString(L"http://h/");
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_DOCUMENTCOMPLETE, one.Get()), DISP_E_BADPARAMCOUNT);
        CEventParams wrong;
        wrong.Dispatch(nullptr).Long(1);
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_DOCUMENTCOMPLETE, wrong.Get()), DISP_E_TYPEMISMATCH);
    }
    {   // NewWindow3 with the URL as a number, and NewWindow2 with Cancel by value
        VARIANT_BOOL cancel = kUntouched;
        CEventParams p;
        p.DispatchRef(&pNew).BoolRef(&cancel).Long(0).String(L"").Long(80);
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_NEWWINDOW3, p.Get()), DISP_E_TYPEMISMATCH);
        EXPECT_EQ(cancel, kUntouched);
        CEventParams q;
        q.DispatchRef(&pNew).Bool(VARIANT_FALSE);
        EXPECT_EQ(RaiseEvent(&f.login, DISPID_NEWWINDOW2, q.Get()), DISP_E_TYPEMISMATCH);
    }
    EXPECT_TRUE(f.host.m_vecReports.empty());
    EXPECT_EQ(f.login.m_bFirstLoadDone, FALSE);
    RECT rc = RectInParent(f.Control(), f.host.Handle());
    EXPECT_EQ(rc.right - rc.left, 0) << "the hidden browser was shown";
}

TEST(WebFormLogin, HostInfoHasNoBorderNoScrollBarsAndTheDpiFlagInsteadOfTheOuterBorder)
{
    WebFormLogin login;
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(static_cast<IDocHostUIHandler*>(&login)->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x4000000Cu);
}
