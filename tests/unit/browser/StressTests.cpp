// Creating and deleting the browsers many times while their navigations are still pending (the
// server holds every request unanswered): nothing crashes and nothing is left behind. Wine keeps one
// handle of its own for every aborted request, also in a browser that lives on; the containers may
// leave nothing beyond that.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "BrowserTestSupport.h"
#include "support/LoopbackHttpServer.h"
#include "browser/MyHtmlView.h"
#include "browser/WebFormLogin.h"
#include "Handles.h"

namespace {

// How many aborted requests Wine keeps a handle for depends on how far each one got, which varies
// with the machine's load; a container leaking per cycle would leave 200 or more.
constexpr long kHandleSlack = 20;

struct Residue
{
    long lHandles;
    long lWindows;
    size_t nRequests;
};

// Runs nCycles cycles against a server that holds every request, closes the server, and returns
// what the cycles left behind.
Residue ResidueOf(int nCycles, const std::function<void(CLoopbackHttpServer&, int)>& cycle)
{
    PumpFor(200);
    DWORD dwHandles = ProcessHandleCount();
    DWORD dwWindows = ThreadWindowCount();
    size_t nRequests = 0;
    {
        CPageServer server;
        if (!server.IsListening())
            return {-1, -1, 0};
        server.SetHold(true);
        for (int i = 0; i < nCycles; ++i) {
            cycle(server, i);
            if (i % 10 == 0)
                PumpFor(20);
        }
        nRequests = server.Requests().size();
    }
    PumpFor(1500);
    return {static_cast<long>(ProcessHandleCount()) - static_cast<long>(dwHandles),
            static_cast<long>(ThreadWindowCount()) - static_cast<long>(dwWindows), nRequests};
}

// What the platform itself keeps for nCycles aborted navigations in one browser that lives on.
Residue PlatformResidue(HWND hHost, int nCycles)
{
    WebFormLogin browser;
    browser.m_hHostWnd = hHost;
    browser.ActivateBrowser();
    return ResidueOf(nCycles, [&](CLoopbackHttpServer& server, int i) {
        browser.NavigateTo((server.Url(L"/kept/") + std::to_wstring(i)).c_str());
    });
}

void Report(const char* pszName, const Residue& platform, const Residue& cycles)
{
    std::printf("%s: platform keeps %ld handles; create/delete cycles left %ld handles, %ld windows (%zu requests)\n",
                pszName, platform.lHandles, cycles.lHandles, cycles.lWindows, cycles.nRequests);
}

} // namespace

TEST(BrowserStress, GameViewCreatedAndDeleted200TimesWhileNavigating)
{
    OleInitScope ole;  // as in the program, OLE stays initialised around the browsers
    CTestHostWindow host;
    ResidueOf(10, [&](CLoopbackHttpServer& server, int i) {  // warm-up: first-use allocations
        CMyHtmlView view;
        view.Create(nullptr, L"MyWebBrowser", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, CWnd::FromHandle(host.Handle()),
                    10000);
        view.Navigate((server.Url(L"/warm/") + std::to_wstring(i)).c_str());
    });
    Residue platform = PlatformResidue(host.Handle(), 200);
    Residue cycles = ResidueOf(200, [&](CLoopbackHttpServer& server, int i) {
        auto* pView = new CMyHtmlView;
        ASSERT_TRUE(pView->Create(nullptr, L"MyWebBrowser", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0},
                                  CWnd::FromHandle(host.Handle()), 10000));
        pView->MoveWindow(0, 30, 700, 430);
        pView->Navigate((server.Url(L"/game/") + std::to_wstring(i)).c_str());
        pView->DestroyWindow();
        delete pView;
    });
    Report("game view", platform, cycles);
    EXPECT_GE(cycles.nRequests, 100u) << "the navigations did not get under way";
    EXPECT_EQ(cycles.lWindows, 0);
    EXPECT_LE(cycles.lHandles, platform.lHandles + kHandleSlack);
}

TEST(BrowserStress, LoginBrowserCreatedAndDeleted200TimesWhileNavigating)
{
    OleInitScope ole;  // as in the program, OLE stays initialised around the browsers
    CTestHostWindow host;
    ResidueOf(10, [&](CLoopbackHttpServer& server, int i) {
        WebFormLogin browser;
        browser.m_hHostWnd = host.Handle();
        browser.ActivateBrowser();
        browser.NavigateTo((server.Url(L"/warm/") + std::to_wstring(i)).c_str());
    });
    Residue platform = PlatformResidue(host.Handle(), 200);
    Residue cycles = ResidueOf(200, [&](CLoopbackHttpServer& server, int i) {
        auto* pBrowser = new WebFormLogin;
        pBrowser->m_hHostWnd = host.Handle();
        ASSERT_TRUE(pBrowser->ActivateBrowser());
        pBrowser->m_rcTarget = RECT{0, 72, 700, 460};
        pBrowser->NavigateTo((server.Url(L"/login/") + std::to_wstring(i)).c_str());
        pBrowser->SetBrowserRect(RECT{0, 0, 0, 0});
        delete pBrowser;
    });
    Report("login browser", platform, cycles);
    EXPECT_GE(cycles.nRequests, 100u) << "the navigations did not get under way";
    EXPECT_EQ(cycles.lWindows, 0);
    EXPECT_LE(cycles.lHandles, platform.lHandles + kHandleSlack);
    EXPECT_EQ(FirstChild(host.Handle()), nullptr);
}
