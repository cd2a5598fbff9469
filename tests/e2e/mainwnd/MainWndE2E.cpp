// The real client's main window from outside, started from copies whose login address holds the
// game-start marker: the start window hands the address to the main window, the close prompt keeps
// or ends the client, and the server re-selection ends it in favour of a fresh process of the same
// executable.
#include <gtest/gtest.h>

#include "MainWndDriver.h"
#include "../../unit/browser/LoopbackServer.h"
#include "framework/Handles.h"

#include <tlhelp32.h>

namespace {
CString ImageOf(HANDLE hProcess)
{
    wchar_t path[MAX_PATH * 2] = L"";
    DWORD n = MAX_PATH * 2;
    ::QueryFullProcessImageNameW(hProcess, 0, path, &n);
    return CString(path);
}

// The first process that dwParent started, once it exists; 0 on timeout.
DWORD WaitForChildOf(DWORD dwParent, DWORD nTimeoutMs = 10000)
{
    for (DWORD waited = 0; waited <= nTimeoutMs; waited += 100) {
        UniqueHandle hSnapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W pe{};
        pe.dwSize = sizeof pe;
        for (BOOL more = ::Process32FirstW(hSnapshot.get(), &pe); more; more = ::Process32NextW(hSnapshot.get(), &pe)) {
            if (pe.th32ParentProcessID == dwParent && pe.th32ProcessID != dwParent)
                return pe.th32ProcessID;
        }
        ::Sleep(100);
    }
    return 0;
}
}  // namespace

const wchar_t kUnreachableGameUrl[] = L"http://127.0.0.1:9/game/start?play_gamecode=e2e";

TEST(MainWindowE2E, StartWindowHandsTheGameAddressToTheMainWindow)
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

    const DWORD dwFresh = WaitForChildOf(client.Id());
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
