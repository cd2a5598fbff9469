// The real client's main window from outside, started from copies whose login address holds the
// game-start marker: the start window hands the address to the main window, the close prompt keeps
// or ends the client, and the server re-selection ends it in favour of a fresh process of the same
// executable.
#include <gtest/gtest.h>

#include "MainWndDriver.h"
#include "../../unit/browser/LoopbackServer.h"
#include "framework/Handles.h"
#include "support/XKeys.h"

#include <tlhelp32.h>

#include <ostream>

namespace {
CString ImageOf(HANDLE hProcess)
{
    wchar_t path[MAX_PATH * 2] = L"";
    DWORD n = MAX_PATH * 2;
    ::QueryFullProcessImageNameW(hProcess, 0, path, &n);
    return CString(path);
}

// The process running strExe that dwParent started, once it exists; 0 on timeout. Wine may start
// helpers of its own from the client (its menu builder for a saved link), so the image decides.
DWORD WaitForChildOf(DWORD dwParent, const CString& strExe, DWORD nTimeoutMs = 10000)
{
    for (DWORD waited = 0; waited <= nTimeoutMs; waited += 100) {
        UniqueHandle hSnapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W pe{};
        pe.dwSize = sizeof pe;
        for (BOOL more = ::Process32FirstW(hSnapshot.get(), &pe); more; more = ::Process32NextW(hSnapshot.get(), &pe)) {
            if (pe.th32ParentProcessID != dwParent || pe.th32ProcessID == dwParent)
                continue;
            UniqueHandle hProcess(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pe.th32ProcessID));
            if (hProcess && ImageOf(hProcess.get()).CompareNoCase(strExe) == 0)
                return pe.th32ProcessID;
        }
        ::Sleep(100);
    }
    return 0;
}

// Polls until the condition holds; false when it still does not after the time. The thread's own
// windows get their messages meanwhile (keys typed into them arrive only through its queue).
template <typename Condition>
bool WaitUntil(Condition condition, DWORD nTimeoutMs = 5000)
{
    for (DWORD waited = 0; !condition(); waited += 50) {
        if (waited >= nTimeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
    return true;
}

RECT WindowRect(HWND hWnd)
{
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

}  // namespace

// For the messages of the checks below (found through the argument type, so outside the namespace).
static bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& os, const RECT& rc)
{
    return os << "(" << rc.left << ", " << rc.top << ")-(" << rc.right << ", " << rc.bottom << ")";
}

const wchar_t kUnreachableGameUrl[] = L"http://127.0.0.1:9/game/start?play_gamecode=e2e";

TEST(MainWindowE2E, StartWindowHandsTheGameAddressToAMainWindowThatCoversTheScreen)
{
    CLoopbackServer server;
    ASSERT_TRUE(server.Start());
    CPatchedClient copy(server.Url(L"/game/start?play_gamecode=e2e").c_str());
    ASSERT_TRUE(copy.Ready());
    ClientProcess client;
    ASSERT_TRUE(copy.Start(client));
    HWND hMain = WaitForMainWindow(client.Id());
    ASSERT_NE(hMain, nullptr) << "the start window did not give way to the main window";
    EXPECT_TRUE(::IsZoomed(hMain));
    // The start window cancelled its own navigation; the game view asks for the address once.
    for (int i = 0; i < 100 && server.CountRequestsContaining("play_gamecode=e2e") == 0; ++i)
        ::Sleep(100);
    EXPECT_EQ(server.CountRequestsContaining("play_gamecode=e2e"), 1);

    // As the player sees it: the window covers the work area, is the active window, and the title
    // strip's close button lies inside it.
    RECT rcWork{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(hMain) == rcWork; }))
        << "window " << WindowRect(hMain) << ", work area " << rcWork;
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == hMain; })) << "the main window is not active";
    HWND hClose = ::GetDlgItem(hMain, 1001);
    ASSERT_NE(hClose, nullptr);
    EXPECT_TRUE(::IsWindowVisible(hClose));
    const RECT rcClose = WindowRect(hClose), rcMain = WindowRect(hMain);
    EXPECT_TRUE(rcClose.left >= rcMain.left && rcClose.top >= rcMain.top && rcClose.right <= rcMain.right &&
                rcClose.bottom <= rcMain.bottom && rcClose.right > rcClose.left)
        << "close button " << rcClose << ", window " << rcMain;

    // F10 typed at the keyboard hides the client; typed again, with another window in front since
    // the client has none left on screen, it shows the client again.
    ASSERT_TRUE(TypeKeys(hMain, L"F10"));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(hMain); })) << "F10 did not hide the client";
    UniqueWindow hOther(::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100,
                                          nullptr, nullptr, nullptr, nullptr));
    ::SetForegroundWindow(hOther.get());
    ASSERT_TRUE(TypeKeys(hOther.get(), L"F10"));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(hMain) != FALSE; })) << "F10 did not show the client";
    hOther.reset();
    EXPECT_TRUE(CloseThroughPrompt(client, hMain));
}

TEST(MainWindowE2E, CloseButtonAsksAndCancelKeepsTheClient)
{
    CPatchedClient copy(kUnreachableGameUrl);
    ASSERT_TRUE(copy.Ready());
    ClientProcess client;
    ASSERT_TRUE(copy.Start(client));
    HWND hMain = WaitForMainWindow(client.Id());
    ASSERT_NE(hMain, nullptr);
    EXPECT_TRUE(::IsZoomed(hMain));

    ::PostMessageW(hMain, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0);
    HWND hBox = WaitForMessageBox(client.Id());
    ASSERT_NE(hBox, nullptr) << "the close button opened no prompt";
    AnswerMessageBox(hBox, IDCANCEL);
    EXPECT_FALSE(client.WaitForExit(1500)) << "cancelling the prompt ended the client";
    EXPECT_TRUE(::IsWindowVisible(hMain));

    // The tray menu's exit asks too; confirming ends the client with 0.
    ::PostMessageW(hMain, WM_COMMAND, 32777, 0);
    hBox = WaitForMessageBox(client.Id());
    ASSERT_NE(hBox, nullptr) << "the tray menu's exit opened no prompt";
    AnswerMessageBox(hBox, IDOK);
    ASSERT_TRUE(client.WaitForExit());
    EXPECT_EQ(client.ExitCode(), 0u);
}

TEST(MainWindowE2E, SelectServerEndsTheClientAndStartsAFreshOne)
{
    CPatchedClient copy(kUnreachableGameUrl);
    ASSERT_TRUE(copy.Ready());
    ClientProcess client;
    ASSERT_TRUE(copy.Start(client));
    HWND hMain = WaitForMainWindow(client.Id());
    ASSERT_NE(hMain, nullptr);

    // Cancel changes nothing.
    ::PostMessageW(hMain, WM_COMMAND, MAKEWPARAM(1007, BN_CLICKED), 0);
    HWND hBox = WaitForMessageBox(client.Id());
    ASSERT_NE(hBox, nullptr);
    AnswerMessageBox(hBox, IDCANCEL);
    EXPECT_FALSE(client.WaitForExit(1500));

    ::PostMessageW(hMain, WM_COMMAND, MAKEWPARAM(1007, BN_CLICKED), 0);
    hBox = WaitForMessageBox(client.Id());
    ASSERT_NE(hBox, nullptr);
    AnswerMessageBox(hBox, IDOK);
    ASSERT_TRUE(client.WaitForExit());
    EXPECT_EQ(client.ExitCode(), 0u);

    const DWORD dwFresh = WaitForChildOf(client.Id(), copy.Path());
    ASSERT_NE(dwFresh, 0u) << "the client started no fresh process";
    UniqueHandle hProcess(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                        dwFresh));
    ASSERT_TRUE(hProcess);
    HWND hFresh = WaitForMainWindow(dwFresh);
    if (!hFresh)
        ::TerminateProcess(hProcess.get(), 99);
    ASSERT_NE(hFresh, nullptr) << "the fresh client showed no main window";
    EXPECT_EQ(ImageOf(hProcess.get()).CompareNoCase(copy.Path()), 0) << ImageOf(hProcess.get()).ToUtf8();

    // The fresh client closes through its own prompt.
    ::PostMessageW(hFresh, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND hFreshBox = WaitForMessageBox(dwFresh);
    ASSERT_NE(hFreshBox, nullptr);
    AnswerMessageBox(hFreshBox, IDOK);
    EXPECT_EQ(::WaitForSingleObject(hProcess.get(), 15000), WAIT_OBJECT_0);
    DWORD dwExit = 1;
    ::GetExitCodeProcess(hProcess.get(), &dwExit);
    EXPECT_EQ(dwExit, 0u);
    if (::WaitForSingleObject(hProcess.get(), 0) != WAIT_OBJECT_0)
        ::TerminateProcess(hProcess.get(), 99);
}
