// The game view on the framework's HTML view: a real child window with the real control under Wine,
// and the click sink's connection, with a small COM document standing in for the page.
#include <gtest/gtest.h>

#include <exdispid.h>
#include <mshtmdid.h>
#include <wrl/client.h>

#include "BrowserTestSupport.h"
#include "HtmlFakes.h"
#include "support/LoopbackHttpServer.h"
#include "browser/HtmlGuids.h"
#include "browser/MyHtmlView.h"
#include "resource.h"

using Microsoft::WRL::ComPtr;

namespace {

bool CreateGameView(CHtmlView& view, HWND hHost)
{
    return view.Create(nullptr, L"MyWebBrowser", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0},
                       CWnd::FromHandle(hHost), IDC_GAME_VIEW);
}

// A framework view that reports its own deletion.
class CCountedView : public CHtmlView
{
public:
    explicit CCountedView(bool* pbDeleted) : m_pbDeleted(pbDeleted) {}
    ~CCountedView() override { *m_pbDeleted = true; }

private:
    bool* m_pbDeleted;
};

int ClickAndCount(FakeDocument* pDocument)
{
    FakeElement* pLink = new FakeElement(L"A");
    pLink->SetHref(L"http://game.example/link");
    FakeEvent* pEvent = new FakeEvent(pLink);
    size_t nBefore = CTraceCapture::Lines().size();
    pDocument->Click(pEvent);
    pEvent->Release();
    pLink->Release();
    return static_cast<int>(CTraceCapture::Lines().size() - nBefore);
}

} // namespace

TEST(MyHtmlView, CreatedAsTheHostsChildWithTheControlInside)
{
    CTestHostWindow host;
    CMyHtmlView view;
    ASSERT_TRUE(CreateGameView(view, host.Handle()));
    EXPECT_EQ(GetParent(view.GetSafeHwnd()), host.Handle());
    EXPECT_EQ(GetDlgCtrlID(view.GetSafeHwnd()), 10000);
    EXPECT_EQ(std::wstring(view.GetWindowText()), L"MyWebBrowser");
    DWORD dwStyle = view.GetStyle();
    EXPECT_EQ(dwStyle & (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN), DWORD(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
    ASSERT_NE(view.GetWebBrowser(), nullptr);

    view.MoveWindow(0, 30, 700, 430, false);
    EXPECT_EQ(RectInParent(view.GetSafeHwnd(), host.Handle()), (RECT{0, 30, 700, 460}));
    HWND hControl = FirstChild(view.GetSafeHwnd());
    ASSERT_NE(hControl, nullptr);
    EXPECT_EQ(RectInParent(hControl, view.GetSafeHwnd()), (RECT{0, 0, 700, 430}));
}

TEST(MyHtmlView, NavigatesToTheGameUrl)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    CTestHostWindow host;
    CMyHtmlView view;
    ASSERT_TRUE(CreateGameView(view, host.Handle()));
    std::wstring strUrl = server.Url(L"/game/play?play_gamecode=9");
    EXPECT_TRUE(view.Navigate(strUrl.c_str(), 0, nullptr, nullptr, nullptr));
    EXPECT_TRUE(PumpUntil([&] { return server.CountRequestsContaining("/game/play?play_gamecode=9") == 1; }, 10000));
}

TEST(MyHtmlView, ContextMenuMessageIsSwallowed)
{
    CTestHostWindow host;
    CMyHtmlView view;
    ASSERT_TRUE(CreateGameView(view, host.Handle()));
    host.m_vecMessages.clear();
    view.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view.GetSafeHwnd()), MAKELPARAM(20, 20));
    EXPECT_EQ(std::count(host.m_vecMessages.begin(), host.m_vecMessages.end(), UINT(WM_CONTEXTMENU)), 0);

    // The plain framework view passes it on to its parent, as a child window does.
    bool bDeleted = false;
    auto* pPlain = new CCountedView(&bDeleted);
    ASSERT_TRUE(CreateGameView(*pPlain, host.Handle()));
    pPlain->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(pPlain->GetSafeHwnd()), MAKELPARAM(20, 20));
    EXPECT_EQ(std::count(host.m_vecMessages.begin(), host.m_vecMessages.end(), UINT(WM_CONTEXTMENU)), 1);
    pPlain->DestroyWindow();
    EXPECT_TRUE(bDeleted);
}

TEST(MyHtmlView, DestroyingTheWindowLeavesTheObjectToItsOwner)
{
    CTestHostWindow host;
    auto* pView = new CMyHtmlView;
    ASSERT_TRUE(CreateGameView(*pView, host.Handle()));
    ComPtr<IOleObject> pControl;
    ASSERT_EQ(pView->GetWebBrowser()->QueryInterface(IID_PPV_ARGS(&pControl)), S_OK);

    EXPECT_TRUE(pView->DestroyWindow());
    EXPECT_EQ(pView->GetSafeHwnd(), nullptr);
    EXPECT_EQ(pView->GetWebBrowser(), nullptr);
    // The control was taken down with the window and no longer knows its site.
    ComPtr<IOleClientSite> pSite;
    pControl->GetClientSite(&pSite);
    EXPECT_EQ(pSite.Get(), nullptr);
    EXPECT_FALSE(pView->Navigate(L"http://127.0.0.1:9/"));
    delete pView;
}

TEST(MyHtmlView, SinkIsConnectedToTheLatestDocumentOnly)
{
    CTraceCapture trace;
    CMyHtmlView view;
    FakeDocument* pFirst = new FakeDocument(kDiidHtmlDocumentEvents2);
    FakeDocument* pSecond = new FakeDocument(kDiidHtmlDocumentEvents2);

    EXPECT_TRUE(view.AttachDocEventSink(pFirst));
    EXPECT_TRUE(view.AttachDocEventSink(pFirst));
    EXPECT_TRUE(view.AttachDocEventSink(pSecond));
    EXPECT_TRUE(view.AttachDocEventSink(pSecond));
    EXPECT_EQ(pFirst->ConnectedCount(), 0u);
    EXPECT_EQ(pSecond->ConnectedCount(), 1u);
    EXPECT_EQ(pSecond->m_nAdvises, 2);
    EXPECT_EQ(ClickAndCount(pSecond), 1);
    EXPECT_EQ(ClickAndCount(pFirst), 0);
    ASSERT_EQ(CTraceCapture::Lines().size(), 1u);
    EXPECT_EQ(CTraceCapture::Lines()[0], L"单击事件:http://game.example/link\r\n");

    // A page without document events leaves the sink unattached, also from the previous page.
    FakeDocument* pPlain = new FakeDocument(kDiidHtmlDocumentEvents2);
    pPlain->m_bOfferEvents = false;
    EXPECT_FALSE(view.AttachDocEventSink(pPlain));
    EXPECT_FALSE(view.AttachDocEventSink(nullptr));
    EXPECT_EQ(pSecond->ConnectedCount(), 0u);
    EXPECT_EQ(pPlain->RefCount(), 1);

    pPlain->Release();
    pSecond->Release();
    pFirst->Release();
}

TEST(MyHtmlView, DeletingTheViewUnadvisesAndReleasesTheDocumentAndTheSink)
{
    FakeDocument* pDocument = new FakeDocument(kDiidHtmlDocumentEvents2);
    pDocument->m_bKeepSinksAfterUnadvise = true;  // so the test can see the sink's last reference go
    auto* pView = new CMyHtmlView;
    ASSERT_TRUE(pView->AttachDocEventSink(pDocument));
    EXPECT_GT(pDocument->RefCount(), 1);

    delete pView;
    EXPECT_EQ(pDocument->ConnectedCount(), 0u);
    ASSERT_EQ(pDocument->m_vecUnadvised.size(), 1u);
    EXPECT_EQ(pDocument->m_vecUnadvised[0], 1u);
    EXPECT_EQ(pDocument->RefCount(), 1) << "the view kept the document";
    ASSERT_EQ(pDocument->m_vecKeptSinks.size(), 1u);
    EXPECT_EQ(pDocument->m_vecKeptSinks[0]->Release(), 0u) << "the view kept the sink";
    pDocument->Release();
}

TEST(MyHtmlView, NewWindowsOfThePageAreCancelled)
{
    CTestHostWindow host;
    CMyHtmlView view;
    ASSERT_TRUE(CreateGameView(view, host.Handle()));
    ComPtr<IOleObject> pControl;
    ASSERT_EQ(view.GetWebBrowser()->QueryInterface(IID_PPV_ARGS(&pControl)), S_OK);
    ComPtr<IOleClientSite> pSite;
    ASSERT_EQ(pControl->GetClientSite(&pSite), S_OK);
    ComPtr<IDispatch> pEvents;
    ASSERT_EQ(pSite.As(&pEvents), S_OK);

    // NewWindow2 stays uncancelled; NewWindow3 decides, for a scheme that starts nothing as well.
    IDispatch* pNew = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    CEventParams newWindow2;
    newWindow2.DispatchRef(&pNew).BoolRef(&cancel);
    EXPECT_EQ(RaiseEvent(pEvents.Get(), DISPID_NEWWINDOW2, newWindow2.Get()), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);

    CEventParams newWindow3;
    newWindow3.DispatchRef(&pNew).BoolRef(&cancel).Long(0).String(L"").String(L"javascript:alert(1)");
    EXPECT_EQ(RaiseEvent(pEvents.Get(), DISPID_NEWWINDOW3, newWindow3.Get()), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    // Malformed: nothing changes.
    VARIANT_BOOL untouched = 0x2A;
    CEventParams broken;
    broken.DispatchRef(&pNew).BoolRef(&untouched).Long(0).String(L"");
    EXPECT_EQ(RaiseEvent(pEvents.Get(), DISPID_NEWWINDOW3, broken.Get()), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(untouched, 0x2A);

    // A completed load with no document to attach to (no HTML engine here) leaves the sink alone.
    CEventParams complete;
    complete.Dispatch(nullptr).VariantString(L"http://127.0.0.1:9/");
    EXPECT_EQ(RaiseEvent(pEvents.Get(), DISPID_DOCUMENTCOMPLETE, complete.Get()), S_OK);
}
