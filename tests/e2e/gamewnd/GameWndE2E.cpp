// The game-window process from outside: the real client started with "-frameWnd=<handle>
// -gameurl=<address>" inside a frame window of this program, which plays the main window's part.
// Wine never draws a child window of another process, so everything is read from window state,
// the requests the loopback server saw and exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/GameWndMessages.h"
#include "framework/Handles.h"
#include "support/ClientProcess.h"
#include "support/RectText.h"
#include "support/SettingKept.h"
#include "support/XKeys.h"
#include "support/Wait.h"
#include "support/LoopbackHttpServer.h"

namespace {
constexpr int kFrameWidth = 1000;
constexpr int kFrameHeight = 700;
// Bounds for waits that normally end much sooner: a client under Wine takes seconds to start.
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kSendTimeoutMs = 10000;
constexpr DWORD kExitTimeoutMs = 15000;
// What the process promises once its frame is gone without a close: its watcher looks for the frame
// every second and, when the game window is still there to take the close it posts, gives the main
// thread two seconds to end the process before it ends it itself. Each bound adds one second for
// the process's own end under Wine on a busy machine.
constexpr DWORD kFrameGoneExitMs = 1000 + 1000;
constexpr DWORD kFrameGoneStuckExitMs = 1000 + 2000 + 1000;

const wchar_t kGamePath[] = L"/game/start?play_gamecode=e2e";

bool WaitForExitPumping(ClientProcess& client, DWORD nTimeoutMs)
{
    return PumpUntil([&client] { return client.WaitForExit(0); }, nTimeoutMs);
}

// True when the window answered: its process was alive and its thread took the message.
bool SendTo(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam = 0)
{
    DWORD_PTR dwResult = 0;
    return ::SendMessageTimeoutW(hWnd, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &dwResult) != 0;
}

// Starts the client with a game window inside hFrame that opens strUrl.
bool StartInFrame(ClientProcess& client, HWND hFrame, const std::wstring& strUrl)
{
    const std::wstring strHandle = std::to_wstring(reinterpret_cast<INT_PTR>(hFrame));
    return hFrame && client.Start(ClientExePath(), L"\"" + ClientExePath() + L"\" -frameWnd=" + CString(strHandle) +
                                                       L" -gameurl=" + CString(strUrl));
}

// Shown as far as the window itself goes, whatever its parent.
bool HasVisibleStyle(HWND hWnd)
{
    return (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

// A hidden borderless top-level window standing in for the main window: its client area is the
// whole window. It records what the game window does to it.
class CTestFrame
{
public:
    struct Message
    {
        UINT message;
        WPARAM wParam;
    };

    CTestFrame()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &CTestFrame::WndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TorvelTestFrame";
        ::RegisterClassW(&wc);
        m_hWnd.reset(::CreateWindowExW(0, wc.lpszClassName, L"frame", WS_POPUP, 0, 0, kFrameWidth, kFrameHeight,
                                       nullptr, nullptr, wc.hInstance, this));
    }
    HWND Handle() const { return m_hWnd.get(); }
    void Destroy() { m_hWnd.reset(); }

    // The handle the first announcement carried, and the first child window created inside.
    HWND Announced() const { return m_hAnnounced; }
    HWND FirstChild() const { return m_hFirstChild; }

    // Sent to the game window the next time its thread calls into this frame (the default
    // processing of WM_MOUSEACTIVATE in a child asks its parent first). Until the frame answers,
    // that thread cannot reach its message loop, so nothing sent here can be overtaken by its quit.
    std::vector<Message> m_sendOnCallIn;
    int m_nAnswered = 0;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (uMsg == WM_NCCREATE) {
            auto* pcs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pcs->lpCreateParams));
        }
        auto* self = reinterpret_cast<CTestFrame*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (!self)
            return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
        switch (uMsg) {
        case WM_GAMEWND_ANNOUNCE:
            if (!self->m_hAnnounced)
                self->m_hAnnounced = reinterpret_cast<HWND>(wParam);
            return 0;
        case WM_PARENTNOTIFY:
            if (LOWORD(wParam) == WM_CREATE && !self->m_hFirstChild)
                self->m_hFirstChild = reinterpret_cast<HWND>(lParam);
            return 0;
        case WM_MOUSEACTIVATE:
            for (const Message& m : self->m_sendOnCallIn)
                self->m_nAnswered += SendTo(self->m_hAnnounced, m.message, m.wParam) ? 1 : 0;
            self->m_sendOnCallIn.clear();
            return MA_NOACTIVATE;
        default:
            return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
        }
    }

    UniqueWindow m_hWnd;
    HWND m_hAnnounced = nullptr;
    HWND m_hFirstChild = nullptr;
};

}  // namespace

TEST(GameWindowProcess, MovesIntoTheFrameFollowsItsLayoutsAndEndsOnClose)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    CTestFrame frame;
    ClientProcess client;
    ASSERT_TRUE(StartInFrame(client, frame.Handle(), server.Url(kGamePath)));
    PumpUntil([&frame] { return frame.Announced() != nullptr; }, kStartTimeoutMs);
    const HWND hGame = frame.Announced();
    ASSERT_NE(hGame, nullptr) << "no announcement reached the frame";

    // The announced window is the client's own, a child of the frame below the 30-pixel strip.
    DWORD dwPid = 0;
    ::GetWindowThreadProcessId(hGame, &dwPid);
    EXPECT_EQ(dwPid, client.Id());
    EXPECT_EQ(::GetAncestor(hGame, GA_PARENT), frame.Handle());
    EXPECT_EQ(::GetParent(hGame), frame.Handle());
    EXPECT_TRUE(::IsChild(frame.Handle(), hGame));
    EXPECT_NE(::GetWindowLongPtrW(hGame, GWL_STYLE) & WS_CHILD, 0);
    EXPECT_EQ(RectInParent(hGame), (RECT{0, 30, 1000, 700}));
    // The game view fills the game window.
    const HWND hView = ::GetDlgItem(hGame, 10000);
    ASSERT_NE(hView, nullptr) << "no game view";
    EXPECT_EQ(RectInParent(hView), (RECT{0, 0, 1000, 670}));

    // Fitting: full screen takes the whole client area, otherwise the strip stays free, as high as
    // the DPI the frame says it draws at (none said: the frame's own, 96 here); the frame's client
    // area is read at every fit.
    const struct
    {
        const char* what;
        WPARAM wFullScreen;
        LPARAM lFrameDpi;
        SIZE frameSize;
        RECT game;
        RECT view;
    } fits[] = {
        {"full screen", 1, 0, {1000, 700}, {0, 0, 1000, 700}, {0, 0, 1000, 700}},
        {"back from full screen", 0, 0, {1000, 700}, {0, 30, 1000, 700}, {0, 0, 1000, 670}},
        {"frame at 150 %", 0, 144, {1000, 700}, {0, 45, 1000, 700}, {0, 0, 1000, 655}},
        {"frame at 200 %, full screen", 1, 192, {1000, 700}, {0, 0, 1000, 700}, {0, 0, 1000, 700}},
        {"frame at 200 %", 0, 192, {1000, 700}, {0, 60, 1000, 700}, {0, 0, 1000, 640}},
        {"frame at 100 %", 0, 96, {1000, 700}, {0, 30, 1000, 700}, {0, 0, 1000, 670}},
        {"smaller frame", 0, 0, {800, 600}, {0, 30, 800, 600}, {0, 0, 800, 570}},
        {"smaller frame, full screen", 1, 0, {800, 600}, {0, 0, 800, 600}, {0, 0, 800, 600}},
    };
    for (const auto& f : fits) {
        ::SetWindowPos(frame.Handle(), nullptr, 0, 0, f.frameSize.cx, f.frameSize.cy, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_TRUE(SendTo(hGame, WM_GAMEWND_FIT, f.wFullScreen, f.lFrameDpi)) << f.what;
        EXPECT_EQ(RectInParent(hGame), f.game) << f.what;
        EXPECT_EQ(RectInParent(hView), f.view) << f.what;
    }

    // The game view asks the loopback server for the game address.
    EXPECT_TRUE(PumpUntil([&server] { return server.CountRequestsContaining("play_gamecode=e2e") > 0; },
                          kStartTimeoutMs));
    const std::vector<std::string> requests = server.Requests();
    EXPECT_NE(std::find(requests.begin(), requests.end(), "/game/start?play_gamecode=e2e"), requests.end());

    // A fit shows a game window that is hidden (the frame itself stays hidden here, so the window's
    // own style tells). The page was asked for, so the process's own start, which shows the window
    // too, is over.
    ::ShowWindow(hGame, SW_HIDE);
    ASSERT_FALSE(HasVisibleStyle(hGame));
    EXPECT_TRUE(SendTo(hGame, WM_GAMEWND_FIT, 0));
    EXPECT_TRUE(HasVisibleStyle(hGame)) << "a fit left the game window hidden";

    // WM_CLOSE, then what a frame may still send: a refresh, fits, a second close. All reach the
    // live process after its close, none may touch the view it deleted, and it ends with 0.
    frame.m_sendOnCallIn = {
        {WM_CLOSE, 0}, {WM_GAMEWND_REFRESH, 0}, {WM_GAMEWND_FIT, 0}, {WM_GAMEWND_FIT, 1}, {WM_CLOSE, 0}};
    EXPECT_TRUE(SendTo(hGame, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame.Handle())));
    EXPECT_EQ(frame.m_nAnswered, 5) << "the game window did not take every message after its close";
    ASSERT_TRUE(WaitForExitPumping(client, kExitTimeoutMs)) << "WM_CLOSE did not end the process";
    EXPECT_EQ(client.ExitCode(), 0u);
}

namespace {
// How a frame goes without closing the game window first.
enum class FrameEnd
{
    Destroyed,      // its window is destroyed
    ProcessKilled,  // its process is killed: its windows vanish without a message to anyone
};

// Starts the client in a frame of gamewnd_frame_host, or of this program, and ends the frame that way
// once the game window is shown inside it. With bStuck, the game process's main thread is suspended
// first, so only its watcher can end it. The process must end with 0 within nBoundMs.
void ExpectEndWhenFrameGoes(FrameEnd how, bool bStuck, DWORD nBoundMs)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    ClientProcess host;
    CTestFrame ownFrame;
    HWND hFrame = ownFrame.Handle();
    if (how == FrameEnd::ProcessKilled) {
        ASSERT_TRUE(host.Start(TestBinDir() + L"gamewnd_frame_host.exe", L"gamewnd_frame_host.exe"));
        ASSERT_TRUE(WaitUntil([&] { return !host.TopLevelWindows(false).empty(); }, kStartTimeoutMs))
            << "the frame host showed no window";
        hFrame = host.TopLevelWindows(false).front();
    }
    ClientProcess client;
    ASSERT_TRUE(StartInFrame(client, hFrame, server.Url(kGamePath)));
    // Shown once its initialisation is over (the frame of this program answers its announcement).
    HWND hGame = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        hGame = ::FindWindowExW(hFrame, nullptr, nullptr, nullptr);
        return hGame && HasVisibleStyle(hGame);
    }, kStartTimeoutMs)) << "the game window never appeared in the frame";

    UniqueHandle hMainThread;
    if (bStuck) {
        hMainThread.reset(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, ::GetWindowThreadProcessId(hGame, nullptr)));
        ASSERT_TRUE(hMainThread);
        ASSERT_NE(::SuspendThread(hMainThread.get()), DWORD(-1));
    }
    if (how == FrameEnd::ProcessKilled)
        host.Kill();
    else
        ownFrame.Destroy();
    EXPECT_TRUE(WaitForExitPumping(client, nBoundMs)) << "still running " << nBoundMs << " ms after the frame went";
    EXPECT_EQ(client.ExitCode(), 0u);
}
}  // namespace

TEST(GameWindowProcess, FrameThatGoesWithoutClosingEndsTheProcessEvenWithItsMainThreadStuck)
{
    // With the main thread stuck nothing there can end the process: the watcher must.
    const struct { const char* what; FrameEnd how; bool bStuck; DWORD nBoundMs; } ends[] = {
        {"frame destroyed", FrameEnd::Destroyed, false, kFrameGoneExitMs},
        {"frame's process killed", FrameEnd::ProcessKilled, false, kFrameGoneExitMs},
        {"frame's process killed while the game's main thread is stuck", FrameEnd::ProcessKilled, true,
         kFrameGoneStuckExitMs},
    };
    for (const auto& e : ends) {
        SCOPED_TRACE(e.what);
        ExpectEndWhenFrameGoes(e.how, e.bStuck, e.nBoundMs);
    }
}

namespace {
// A frame on its own thread that answers until the game window has been created inside it and
// then stops answering, as a hung main window would, until it is released.
class CHangingFrame
{
public:
    CHangingFrame() : m_thread([this] { Run(); })
    {
        ::WaitForSingleObject(m_hReady.get(), INFINITE);
    }
    ~CHangingFrame()
    {
        ::SetEvent(m_hRelease.get());
        m_thread.join();
    }
    CTestFrame* operator->() const { return m_pFrame; }
    bool IsHanging() const { return m_bHanging; }

private:
    void Run()
    {
        CTestFrame frame;
        m_pFrame = &frame;
        ::SetEvent(m_hReady.get());
        if (PumpUntil([&frame] { return frame.FirstChild() != nullptr; }, kStartTimeoutMs))
            m_bHanging = true;
        ::WaitForSingleObject(m_hRelease.get(), INFINITE);
    }

    UniqueHandle m_hReady{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle m_hRelease{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    CTestFrame* m_pFrame = nullptr;
    std::atomic<bool> m_bHanging{false};
    std::thread m_thread;
};
}  // namespace

TEST(GameWindowProcess, FrameThatHangsDuringTheAnnouncementCannotHoldTheProcess)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    CHangingFrame frame;
    ClientProcess client;
    ASSERT_TRUE(StartInFrame(client, frame->Handle(), server.Url(kGamePath)));
    ASSERT_TRUE(WaitUntil([&frame] { return frame.IsHanging(); }, kStartTimeoutMs))
        << "the game window was never created inside the frame";
    const HWND hGame = frame->FirstChild();

    // The announcement goes unanswered; the game window still takes a close from elsewhere and its
    // process ends, while the frame is alive and hanging.
    EXPECT_TRUE(SendTo(hGame, WM_CLOSE, 0));
    ASSERT_TRUE(client.WaitForExit(kExitTimeoutMs)) << "the hanging frame held the process";
    EXPECT_EQ(client.ExitCode(), 0u);
}

TEST(GameWindowProcess, CtrlWheelAndCtrlEqualsInTheGameWindowStepTheRememberedZoom)
{
    SettingKept keptZoom(L"Setting", L"zoom", L"100");
    SetSettingString(L"Setting", L"zoom", L"80");
    auto stored = [] {
        WCHAR szValue[MAX_PATH];
        GetSettingString(L"Setting", L"zoom", L"(missing)", szValue);
        return std::wstring(szValue);
    };
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    CTestFrame frame;
    ::ShowWindow(frame.Handle(), SW_SHOW);
    ClientProcess client;
    ASSERT_TRUE(StartInFrame(client, frame.Handle(), server.Url(kGamePath)));
    HWND hGame = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        hGame = ::FindWindowExW(frame.Handle(), nullptr, nullptr, nullptr);
        return hGame && HasVisibleStyle(hGame);
    }, kStartTimeoutMs)) << "the game window never appeared in the frame";
    const HWND hView = ::GetDlgItem(hGame, 10000);
    ASSERT_NE(hView, nullptr);

    // The keyboard at the game page, as after the player clicked into it: the frame has the
    // display's focus, and the game window (a child of the frame, so sharing its input) the
    // window focus.
    ASSERT_TRUE(TypeKeys(frame.Handle(), L"shift"));
    const DWORD dwGameThread = ::GetWindowThreadProcessId(hGame, nullptr);
    ::AttachThreadInput(::GetCurrentThreadId(), dwGameThread, TRUE);
    ::SetFocus(hView);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == hView || ::IsChild(hView, ::GetFocus()); }, 5000))
        << "the game view did not take the focus";

    ASSERT_TRUE(SendCtrlWheel(WHEEL_DELTA));
    EXPECT_TRUE(PumpUntil([&] { return stored() == L"90"; }, 5000)) << "Ctrl + wheel: " << testing::PrintToString(stored());
    ASSERT_TRUE(SendCtrlKey(VK_OEM_PLUS));
    EXPECT_TRUE(PumpUntil([&] { return stored() == L"100"; }, 5000)) << "Ctrl + =: " << testing::PrintToString(stored());
    ASSERT_TRUE(SendCtrlKey(VK_OEM_PLUS));
    EXPECT_TRUE(PumpUntil([&] { return stored() == L"110"; }, 5000)) << "Ctrl + =: " << testing::PrintToString(stored());

    // The game process shows the value itself, at the game window's corner.
    HWND hLabel = nullptr;
    for (HWND hWnd : TopLevelWindowsOf(client.Id(), true)) {
        wchar_t text[64] = L"";
        ::GetWindowTextW(hWnd, text, 64);
        if (std::wstring(text) == L"缩放 110%")
            hLabel = hWnd;
    }
    ASSERT_NE(hLabel, nullptr) << "no zoom label of the game process";
    RECT rcLabel = ScreenRect(hLabel);
    const RECT rcGame = ScreenRect(hGame);
    ::OffsetRect(&rcLabel, -rcGame.left, -rcGame.top);
    EXPECT_EQ(rcLabel, (RECT{8, 8, 108, 30}));

    ::AttachThreadInput(::GetCurrentThreadId(), dwGameThread, FALSE);
    frame.Destroy();
    EXPECT_TRUE(WaitForExitPumping(client, kExitTimeoutMs));
}
