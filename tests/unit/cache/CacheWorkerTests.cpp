// The cleaning worker with a real main window and the real overlay: the report arrives once, on
// the window's thread, after the cache and the Temporary Internet Files folder are clean; a request
// made while a cleaning runs is absorbed; the overlay covers the window, animates and goes away.
#include <gtest/gtest.h>

#include "CacheTestSupport.h"
#include "mainwnd/CacheCleaner.h"
#include "res/resource.h"
#include "support/WindowingEnvironment.h"
#include "widgets/MenbanDlg.h"

namespace {

class CProbeOverlay : public CMenbanDlg
{
public:
    using CMenbanDlg::CMenbanDlg;
    using CMenbanDlg::m_nFrame;
};

// GDI+ for the overlay's pictures, for the whole program.
const testing::Environment* const g_windowing = testing::AddGlobalTestEnvironment(new WindowingEnvironment);

class CacheWorker : public testing::Test
{
protected:
    CacheWorker()
    {
        m_overlay.Create(IDD_MENBAN, nullptr);
        m_overlay.ShowWindow(SW_HIDE);
        m_main.m_hOverlay = m_overlay.GetSafeHwnd();
        ShowWindow(m_main.Hwnd(), SW_SHOWNOACTIVATE);
    }
    ~CacheWorker() override
    {
        PumpUntil([] { return !IsCacheCleaningRunning(); }, 30000);
        m_overlay.DestroyWindow();
    }
    bool WaitForReports(size_t nCount)
    {
        return PumpUntil([&] { return m_main.m_commands.size() >= nCount; }, 30000);
    }

    CCommandWnd m_main;
    CProbeOverlay m_overlay;
};

}  // namespace

TEST_F(CacheWorker, CleansAndReportsOnceOnTheWindowThread)
{
    const std::wstring folder = InternetCacheFolder();
    ASSERT_FALSE(folder.empty());
    MakeFolder(folder + L"\\torvel-test\\deep");
    MakeFile(folder + L"\\torvel-test\\page.htm");
    MakeFile(folder + L"\\torvel-test\\deep\\old.js", "x", FILE_ATTRIBUTE_READONLY);
    MakeFolder(folder + L"\\torvel-kept");
    MakeFile(folder + L"\\torvel-kept\\desktop.ini", "[.ShellClassInfo]");
    ASSERT_TRUE(AddCacheEntry(L"http://worker.invalid/game.swf"));
    ASSERT_TRUE(AddCookieEntry(L"Cookie:tester@worker.invalid/"));

    CTraceCapture trace;
    ShowCleaningOverlay(m_main.Hwnd(), m_overlay.GetSafeHwnd());
    EXPECT_TRUE(m_overlay.IsWindowVisible());
    EXPECT_TRUE(StartCacheCleaning(m_main.Hwnd()));
    ASSERT_TRUE(WaitForReports(1));
    PumpFor(200);

    ASSERT_EQ(m_main.m_commands.size(), 1u);
    EXPECT_EQ(m_main.m_commands[0].wParam, WPARAM(10002));
    EXPECT_EQ(m_main.m_commands[0].lParam, 0);
    EXPECT_EQ(m_main.m_commands[0].nThreadId, GetCurrentThreadId());
    // Still running while its report is handled: a request then is absorbed, not a second worker.
    EXPECT_TRUE(m_main.m_commands[0].bRunningAtReport);
    EXPECT_FALSE(IsCacheCleaningRunning());
    EXPECT_FALSE(m_overlay.IsWindowVisible());
    // The report's handler killed the animation timer already.
    EXPECT_FALSE(KillTimer(m_overlay.GetSafeHwnd(), CMenbanDlg::kTimerId));

    EXPECT_FALSE(IsInCache(L"http://worker.invalid/game.swf"));
    EXPECT_TRUE(IsInCache(L"Cookie:tester@worker.invalid/"));
    EXPECT_FALSE(FolderExists(folder + L"\\torvel-test"));
    EXPECT_TRUE(FileExists(folder + L"\\torvel-kept\\desktop.ini"));
    EXPECT_EQ(trace.Count(L"临时文件夹路径为:" + folder + L"\r\n"), 1);
    EXPECT_EQ(trace.Count(L"开始清理" + folder + L"文件夹\r\n"), 1);
    EXPECT_EQ(trace.Count(L"开始清理" + folder + L"\\torvel-test\\deep文件夹\r\n"), 1);

    DeleteTree(folder + L"\\torvel-kept");
    EmptyCache();
}

TEST_F(CacheWorker, RequestWhileCleaningIsAbsorbed)
{
    CTraceCapture trace;
    trace.HoldAt(L"临时文件夹路径为:");
    ShowCleaningOverlay(m_main.Hwnd(), m_overlay.GetSafeHwnd());
    ASSERT_TRUE(StartCacheCleaning(m_main.Hwnd()));
    ASSERT_TRUE(trace.WaitHeld(30000));
    EXPECT_TRUE(IsCacheCleaningRunning());
    // The tray menu's request while the first cleaning runs.
    ShowCleaningOverlay(m_main.Hwnd(), m_overlay.GetSafeHwnd());
    EXPECT_FALSE(StartCacheCleaning(m_main.Hwnd()));
    PumpFor(100);
    EXPECT_TRUE(m_main.m_commands.empty());
    EXPECT_TRUE(m_overlay.IsWindowVisible());

    trace.Release();
    ASSERT_TRUE(WaitForReports(1));
    PumpFor(300);
    EXPECT_EQ(m_main.m_commands.size(), 1u);
    EXPECT_FALSE(m_overlay.IsWindowVisible());
    EXPECT_EQ(trace.Count(L"临时文件夹路径为:" + InternetCacheFolder() + L"\r\n"), 1);

    // Once reported, the next request starts a new cleaning.
    EXPECT_TRUE(StartCacheCleaning(m_main.Hwnd()));
    ASSERT_TRUE(WaitForReports(2));
    EXPECT_EQ(m_main.m_commands[1].wParam, WPARAM(10002));
}

TEST_F(CacheWorker, RequestWhileTheReportIsOnItsWayStartsNoSecondCleaning)
{
    CTraceCapture trace;
    ShowCleaningOverlay(m_main.Hwnd(), m_overlay.GetSafeHwnd());
    ASSERT_TRUE(StartCacheCleaning(m_main.Hwnd()));
    // The window's thread is busy elsewhere until the worker's report waits for it.
    ASSERT_TRUE(WaitUntil([] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; }, 30000, 5))
        << "no report within 30 s";

    // The player asks again just then.
    ShowCleaningOverlay(m_main.Hwnd(), m_overlay.GetSafeHwnd());
    EXPECT_FALSE(StartCacheCleaning(m_main.Hwnd())) << "a second worker was started";
    ASSERT_TRUE(PumpUntil([] { return !IsCacheCleaningRunning(); }, 30000));
    PumpFor(200);

    EXPECT_EQ(trace.Count(L"临时文件夹路径为:" + InternetCacheFolder() + L"\r\n"), 1);
    ASSERT_FALSE(m_main.m_commands.empty());
    for (const auto& command : m_main.m_commands)
        EXPECT_EQ(command.wParam, WPARAM(10002));
    EXPECT_FALSE(m_overlay.IsWindowVisible());
    // Afterwards a request starts a cleaning again.
    const size_t nReports = m_main.m_commands.size();
    EXPECT_TRUE(StartCacheCleaning(m_main.Hwnd()));
    ASSERT_TRUE(WaitForReports(nReports + 1));
}

TEST_F(CacheWorker, RequestAfterTheReportHidTheOverlayLeavesNoOverlayUp)
{
    CTraceCapture trace;
    // The worker stops right after its report was handled: the overlay is down, the worker not idle yet.
    trace.HoldAt(L"Cache cleaning reported");
    ShowCleaningOverlay(m_main.Hwnd(), m_overlay.GetSafeHwnd());
    ASSERT_TRUE(StartCacheCleaning(m_main.Hwnd()));
    ASSERT_TRUE(PumpUntil([&] { return !m_main.m_commands.empty() && trace.WaitHeld(0); }, 30000));
    EXPECT_FALSE(m_overlay.IsWindowVisible());

    // The player asks again just then: the overlay goes up and must come down again.
    ShowCleaningOverlay(m_main.Hwnd(), m_overlay.GetSafeHwnd());
    EXPECT_FALSE(StartCacheCleaning(m_main.Hwnd()));
    trace.Release();
    ASSERT_TRUE(PumpUntil([] { return !IsCacheCleaningRunning(); }, 30000));
    PumpFor(200);
    EXPECT_FALSE(m_overlay.IsWindowVisible()) << "the overlay stayed up with no cleaning to end it";
    EXPECT_EQ(m_main.m_commands.size(), 2u);
    EXPECT_TRUE(StartCacheCleaning(m_main.Hwnd()));
    ASSERT_TRUE(WaitForReports(3));
}

TEST_F(CacheWorker, OverlayCoversTheWindowAndAnimatesUntilHidden)
{
    SetWindowPos(m_main.Hwnd(), nullptr, 150, 70, 700, 420, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowCleaningOverlay(m_main.Hwnd(), m_overlay.GetSafeHwnd());
    RECT rc{};
    GetWindowRect(m_overlay.GetSafeHwnd(), &rc);
    EXPECT_EQ(rc.left, 150);
    EXPECT_EQ(rc.top, 70);
    EXPECT_EQ(rc.right, 850);
    EXPECT_EQ(rc.bottom, 490);
    EXPECT_TRUE(m_overlay.IsWindowVisible());

    const int nStart = m_overlay.m_nFrame;
    // One or two ticks of the 200 ms timer; four would bring the same frame back.
    PumpFor(300);
    EXPECT_NE(m_overlay.m_nFrame, nStart) << "no tick of timer 5000 in 300 ms";

    HideCleaningOverlay(m_overlay.GetSafeHwnd());
    EXPECT_FALSE(m_overlay.IsWindowVisible());
    const int nStopped = m_overlay.m_nFrame;
    PumpFor(500);
    EXPECT_EQ(m_overlay.m_nFrame, nStopped);
}

TEST_F(CacheWorker, NoOverlayWindowIsNoTimerOfTheThread)
{
    ShowCleaningOverlay(m_main.Hwnd(), nullptr);
    HideCleaningOverlay(nullptr);
    MSG msg;
    PumpFor(300);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST_F(CacheWorker, WorkerEndsWhenTheMainWindowIsGone)
{
    CTraceCapture trace;
    EXPECT_TRUE(StartCacheCleaning(nullptr));
    EXPECT_TRUE(PumpUntil([] { return !IsCacheCleaningRunning(); }, 30000));
    EXPECT_TRUE(m_main.m_commands.empty());
    EXPECT_EQ(trace.Count(L"临时文件夹路径为:" + InternetCacheFolder() + L"\r\n"), 1);
}
