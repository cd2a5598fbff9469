// What the embedded browsers cost under Wine: creating, activating, navigating and deleting the login
// browser and the game view, the delay until a navigation is reported to the popup, and the click
// sink's walk up a nested page. Prints figures; never passes or fails on time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <mshtmdid.h>
#include <string>
#include <vector>

#include "BrowserTestSupport.h"
#include "HtmlFakes.h"
#include "support/LoopbackHttpServer.h"
#include "Handles.h"
#include "browser/DocEvtHandler.h"
#include "browser/MyHtmlView.h"
#include "browser/WebFormLogin.h"
#include "resource.h"

namespace {

double NowMs()
{
    LARGE_INTEGER freq, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}

void Print(const char* pszName, std::vector<double> samples, const char* pszUnit, double scale = 1.0)
{
    std::sort(samples.begin(), samples.end());
    double sum = 0;
    for (double d : samples)
        sum += d;
    std::printf("%-44s n=%4zu  median %8.3f  mean %8.3f  p90 %8.3f  max %8.3f %s\n", pszName, samples.size(),
                samples[samples.size() / 2] * scale, sum / static_cast<double>(samples.size()) * scale,
                samples[samples.size() * 9 / 10] * scale, samples.back() * scale, pszUnit);
}

std::vector<double> Measure(int nRuns, const std::function<void(int)>& fn)
{
    std::vector<double> samples;
    for (int i = 0; i < nRuns; ++i) {
        double start = NowMs();
        fn(i);
        samples.push_back(NowMs() - start);
    }
    return samples;
}

} // namespace

int wmain()
{
    OleInitScope ole;
    CPageServer server;
    if (!server.IsListening())
        return 1;
    CTestHostWindow host;

    Measure(5, [&](int) { WebFormLogin warm; warm.m_hHostWnd = host.Handle(); warm.ActivateBrowser(); });

    Print("login browser: create + activate + delete", Measure(100, [&](int) {
              WebFormLogin login;
              login.m_hHostWnd = host.Handle();
              login.ActivateBrowser();
          }), "ms");

    Print("login browser: ... + navigate (loopback)", Measure(100, [&](int i) {
              WebFormLogin login;
              login.m_hHostWnd = host.Handle();
              login.ActivateBrowser();
              login.NavigateTo((server.Url(L"/login/") + std::to_wstring(i)).c_str());
          }), "ms");

    Print("game view: create + delete", Measure(100, [&](int) {
              CMyHtmlView view;
              view.Create(nullptr, L"MyWebBrowser", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0},
                          CWnd::FromHandle(host.Handle()), IDC_GAME_VIEW);
              view.DestroyWindow();
          }), "ms");

    {
        WebFormLogin login;
        login.m_hHostWnd = host.Handle();
        host.m_fnUrlAtReport = [] { return std::wstring(g_strNavigateUrl); };
        login.ActivateBrowser();
        Print("login browser: NavigateTo until command 10001", Measure(50, [&](int i) {
                  size_t nBefore = host.m_vecReports.size();
                  login.NavigateTo((server.Url(L"/report/") + std::to_wstring(i)).c_str());
                  PumpUntil([&] { return host.m_vecReports.size() > nBefore; }, 5000);
              }), "ms");
    }

    {
        // One link, 30 elements deep; each click walks all the way up.
        SDocEvtHandler* pSink = new SDocEvtHandler;
        FakeElement* pElement = new FakeElement(L"A");
        pElement->SetHref(L"http://game.example/bench");
        for (int i = 0; i < 30; ++i) {
            FakeElement* pChild = new FakeElement(L"SPAN", pElement);
            pElement->Release();
            pElement = pChild;
        }
        FakeEvent* pEvent = new FakeEvent(pElement);
        CTraceCapture trace;
        std::vector<double> samples = Measure(20, [&](int) {
            for (int i = 0; i < 1000; ++i) {
                CEventParams params;
                params.Dispatch(pEvent);
                RaiseEvent(pSink->GetIDispatch(FALSE), DISPID_HTMLELEMENTEVENTS2_ONCLICK, params.Get());
            }
        });
        Print("click sink: one click, link 30 levels up", samples, "us", 1000.0 / 1000.0);
        pEvent->Release();
        pElement->Release();
        pSink->ExternalRelease();
    }
    return 0;
}
