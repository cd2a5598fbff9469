// The main window and a game window whose process has hung: every message the main window sends it
// comes back within the sends' time-out.
#include <gtest/gtest.h>

#include <thread>

#include "MainDlgTestSupport.h"
#include "app/GameWndMessages.h"
#include "framework/Handles.h"

namespace {
// A game window on a thread of its own, standing in for the one in a second process, whose thread
// can be suspended as a hung process's would be.
class CHangingGameWindow
{
public:
    CHangingGameWindow() : m_thread([this] { Run(); })
    {
        ::WaitForSingleObject(m_hReady.get(), 10000);
    }
    ~CHangingGameWindow()
    {
        Recover();
        ::PostThreadMessageW(m_dwThreadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
    HWND Handle() const { return m_hWnd; }
    bool Hang()
    {
        m_hThread.reset(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, m_dwThreadId));
        return m_hThread && ::SuspendThread(m_hThread.get()) != DWORD(-1);
    }
    void Recover()
    {
        if (m_hThread)
            ::ResumeThread(m_hThread.get());
        m_hThread.reset();
    }

private:
    void Run()
    {
        m_dwThreadId = ::GetCurrentThreadId();
        m_hWnd = ::CreateWindowExW(0, L"STATIC", L"game", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts to it
        ::SetEvent(m_hReady.get());
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        ::DestroyWindow(m_hWnd);
    }

    UniqueHandle m_hReady{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle m_hThread;
    DWORD m_dwThreadId = 0;
    HWND m_hWnd = nullptr;
    std::thread m_thread;
};
}  // namespace

TEST(MainWindow, ASendToAHungGameWindowComesBackWithinItsTimeOut)
{
    CHangingGameWindow game;
    ASSERT_NE(game.Handle(), nullptr);
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [&game](CProbeMainDlg& d) {
        // Moved in from its own thread and announced, as the game window does.
        ::SetWindowLongPtrW(game.Handle(), GWL_STYLE, WS_CHILD);
        ::SetParent(game.Handle(), d.GetSafeHwnd());
        d.SendMessage(WM_GAMEWND_ANNOUNCE, reinterpret_cast<WPARAM>(game.Handle()));
        EXPECT_EQ(d.GetGameWnd(), game.Handle());
        EXPECT_TRUE(game.Hang());

        // The fit is sent: it waits for the hung thread at most kGameWndSendTimeoutMs (2 s); the
        // bound adds a second for a busy machine. A send without a time-out never comes back.
        const DWORD dwStart = ::GetTickCount();
        d.SendToGameWindow(WM_GAMEWND_FIT, 0);
        EXPECT_LT(::GetTickCount() - dwStart, kGameWndSendTimeoutMs + 1000u);
        // Destroying the main window destroys its children, the game window too, through their thread.
        game.Recover();
        return true;
    }}), kScriptDone);
}
