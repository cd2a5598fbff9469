// How the program asks a window's DPI: the window's own where the system knows it, else its
// monitor's, else the screen's logical pixels. The functions are given as the loader found them, so
// each system's chain is tried here with the newer ones absent or failing.
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include <gtest/gtest.h>

namespace {
int g_nMonitorType = -1;

UINT WINAPI WindowAt120(HWND) { return 120; }
// A window the system cannot place (GetDpiForWindow answers 0 for a handle it does not know).
UINT WINAPI WindowUnknown(HWND) { return 0; }
HRESULT WINAPI MonitorAt144(HMONITOR, int nType, UINT* pX, UINT* pY)
{
    g_nMonitorType = nType;
    *pX = *pY = 144;
    return S_OK;
}
HRESULT WINAPI MonitorFails(HMONITOR, int, UINT*, UINT*) { return E_INVALIDARG; }

UniqueWindow MakeWindow()
{
    return UniqueWindow(::CreateWindowExW(0, L"STATIC", L"dpi", WS_POPUP, 10, 10, 100, 80, nullptr, nullptr,
                                          nullptr, nullptr));
}
}  // namespace

TEST(DpiQuery, EachStepAnswersWhenTheOneBeforeIsMissingOrFails)
{
    const UniqueWindow hWnd = MakeWindow();
    ASSERT_TRUE(hWnd);
    // The suite's prefix runs at 100 %: the screen's logical pixels are 96.
    const struct { const char* what; DpiFunctions functions; UINT nExpected; } cases[] = {
        {"Windows 10: the window's own", {&WindowAt120, &MonitorAt144}, 120},
        {"Windows 8.1: the monitor's", {nullptr, &MonitorAt144}, 144},
        {"a window the system does not place", {&WindowUnknown, &MonitorAt144}, 144},
        {"Windows 7: the screen's logical pixels", {nullptr, nullptr}, 96},
        {"a failing monitor query", {nullptr, &MonitorFails}, 96},
        {"nothing answers but the screen", {&WindowUnknown, &MonitorFails}, 96},
    };
    for (const auto& c : cases) {
        g_nMonitorType = -1;
        EXPECT_EQ(QueryWindowDpi(hWnd.get(), c.functions), c.nExpected) << c.what;
    }
    // The monitor is asked for its effective DPI (MDT_EFFECTIVE_DPI), the one that follows the
    // player's scale setting, not the raw one of the panel.
    g_nMonitorType = -1;
    QueryWindowDpi(hWnd.get(), DpiFunctions{nullptr, &MonitorAt144});
    EXPECT_EQ(g_nMonitorType, 0);
}

TEST(DpiQuery, TheSystemsFunctionsAreFoundAndAgreeWithTheScreen)
{
    // Wine 8 has both newer functions, as Windows 10 does; they are looked up, not linked, so the
    // same exe still starts where they are missing.
    const DpiFunctions& functions = SystemDpiFunctions();
    EXPECT_NE(functions.pGetDpiForWindow, nullptr);
    EXPECT_NE(functions.pGetDpiForMonitor, nullptr);
    const UniqueWindow hWnd = MakeWindow();
    ASSERT_TRUE(hWnd);
    EXPECT_EQ(GetWindowDpi(hWnd.get()), 96u);
    EXPECT_EQ(QueryWindowDpi(hWnd.get(), DpiFunctions{}), 96u);
}
