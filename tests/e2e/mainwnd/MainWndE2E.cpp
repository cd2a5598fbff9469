// The real client's main window from outside, started from copies whose login address holds the
// game-start marker: the start window hands the address to the main window, the close prompt keeps
// or ends the client, and the server re-selection ends it in favour of a fresh process of the same
// executable.
#include <gtest/gtest.h>

#include "MainWndDriver.h"
#include "framework/Handles.h"
#include "support/ClientWindows.h"
#include "support/RectText.h"
#include "support/SettingKept.h"
#include "support/Wait.h"
#include "support/XKeys.h"
#include "support/LoopbackHttpServer.h"

#include <vector>

namespace {
// The process running strExe that dwParent started, once it exists; 0 on timeout.
DWORD WaitForChildOf(DWORD dwParent, const CString& strExe, DWORD nTimeoutMs = 10000)
{
    std::vector<DWORD> children;
    WaitUntil([&] { return !(children = ProcessesRunning(strExe, dwParent)).empty(); }, nTimeoutMs, 100);
    return children.empty() ? 0 : children.front();
}
}  // namespace

TEST(MainWindowE2E, StartWindowHandsTheGameAddressToAMainWindowThatCoversTheScreen)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    CPatchedClient copy(server.Url(L"/game/start?play_gamecode=e2e").c_str());
    ASSERT_TRUE(copy.Ready());
    ClientProcess client;
    ASSERT_TRUE(copy.Start(client));
    HWND hMain = WaitForMainWindow(client.Id());
    ASSERT_NE(hMain, nullptr) << "the start window did not give way to the main window";
    EXPECT_TRUE(::IsZoomed(hMain));
    // The start window cancelled its own navigation; the game view asks for the address once.
    WaitUntil([&] { return server.CountRequestsContaining("play_gamecode=e2e") > 0; }, 10000, 100);
    EXPECT_EQ(server.CountRequestsContaining("play_gamecode=e2e"), 1);

    // As the player sees it: the window covers the work area, is the active window, and the title
    // strip's close button lies inside it.
    RECT rcWork{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_TRUE(PumpUntil([&] { return ScreenRect(hMain) == rcWork; }, 5000))
        << "window " << testing::PrintToString(ScreenRect(hMain)) << ", work area " << testing::PrintToString(rcWork);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == hMain; }, 5000)) << "the main window is not active";
    HWND hClose = ::GetDlgItem(hMain, 1001);
    ASSERT_NE(hClose, nullptr);
    EXPECT_TRUE(::IsWindowVisible(hClose));
    const RECT rcClose = ScreenRect(hClose), rcMain = ScreenRect(hMain);
    EXPECT_TRUE(rcClose.left >= rcMain.left && rcClose.top >= rcMain.top && rcClose.right <= rcMain.right &&
                rcClose.bottom <= rcMain.bottom && rcClose.right > rcClose.left)
        << "close button " << testing::PrintToString(rcClose) << ", window " << testing::PrintToString(rcMain);

    // F10 typed at the keyboard hides the client; typed again, with another window in front since
    // the client has none left on screen, it shows the client again.
    ASSERT_TRUE(TypeKeys(hMain, L"F10"));
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(hMain); }, 5000)) << "F10 did not hide the client";
    UniqueWindow hOther(::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100,
                                          nullptr, nullptr, nullptr, nullptr));
    ::SetForegroundWindow(hOther.get());
    ASSERT_TRUE(TypeKeys(hOther.get(), L"F10"));
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(hMain) != FALSE; }, 5000)) << "F10 did not show the client";
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
    ASSERT_TRUE(AnswerMessageBox(client.Id(), IDCANCEL)) << "the close button opened no prompt";
    EXPECT_FALSE(client.WaitForExit(1500)) << "cancelling the prompt ended the client";
    EXPECT_TRUE(::IsWindowVisible(hMain));

    // The tray menu's exit asks too; confirming ends the client with 0.
    ::PostMessageW(hMain, WM_COMMAND, 32777, 0);
    ASSERT_TRUE(AnswerMessageBox(client.Id(), IDOK)) << "the tray menu's exit opened no prompt";
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
    ASSERT_TRUE(AnswerMessageBox(client.Id(), IDCANCEL));
    EXPECT_FALSE(client.WaitForExit(1500));

    ::PostMessageW(hMain, WM_COMMAND, MAKEWPARAM(1007, BN_CLICKED), 0);
    ASSERT_TRUE(AnswerMessageBox(client.Id(), IDOK));
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
    EXPECT_EQ(ProcessesRunning(copy.Path(), client.Id()), std::vector<DWORD>{dwFresh}) << "more than one fresh client";

    // The fresh client closes through its own prompt.
    ::PostMessageW(hFresh, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(AnswerMessageBox(dwFresh, IDOK));
    EXPECT_EQ(::WaitForSingleObject(hProcess.get(), 15000), WAIT_OBJECT_0);
    DWORD dwExit = 1;
    ::GetExitCodeProcess(hProcess.get(), &dwExit);
    EXPECT_EQ(dwExit, 0u);
    if (::WaitForSingleObject(hProcess.get(), 0) != WAIT_OBJECT_0)
        ::TerminateProcess(hProcess.get(), 99);
}

namespace {
std::wstring StoredSetting(const wchar_t* pszKey)
{
    WCHAR szValue[MAX_PATH];
    GetSettingString(L"Setting", pszKey, L"(missing)", szValue);
    return szValue;
}

// The client's visible top-level window whose text begins with the zoom label's word; null if none.
HWND ZoomLabelOf(DWORD dwProcessId)
{
    for (HWND hWnd : TopLevelWindowsOf(dwProcessId, true)) {
        wchar_t text[64] = L"";
        ::GetWindowTextW(hWnd, text, 64);
        if (std::wstring(text).rfind(L"缩放 ", 0) == 0)
            return hWnd;
    }
    return nullptr;
}

std::wstring TextOf(HWND hWnd)
{
    wchar_t text[64] = L"";
    ::GetWindowTextW(hWnd, text, 64);
    return text;
}
}  // namespace

TEST(MainWindowE2E, CtrlWheelAndZoomKeysStepTheRememberedPageZoom)
{
    SettingKept keptZoom(L"Setting", L"zoom", L"100");
    SettingKept keptMute(L"Setting", L"soundoff", L"0");
    SettingKept keptBossKey(L"Setting", L"screentoggle", L"F10");
    SetSettingString(L"Setting", L"zoom", L"150");
    const std::wstring strMute = StoredSetting(L"soundoff"), strBossKey = StoredSetting(L"screentoggle");

    CPatchedClient copy(kUnreachableGameUrl);
    ASSERT_TRUE(copy.Ready());
    ClientProcess client;
    ASSERT_TRUE(copy.Start(client));
    HWND hMain = WaitForMainWindow(client.Id());
    ASSERT_NE(hMain, nullptr);
    // The keyboard at the client, as after the player clicked it.
    ASSERT_TRUE(TypeKeys(hMain, L"shift"));
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == hMain; }, 5000)) << "the main window is not active";

    // Each input as the player makes it, and the zoom the settings file then holds: the stored 150
    // is where the steps start.
    const struct
    {
        const char* what;
        bool bWheel;
        int nValue;  // wheel delta or virtual key
        const wchar_t* pszStored;
    } steps[] = {
        {"Ctrl + wheel up", true, WHEEL_DELTA, L"175"},
        {"Ctrl + =", false, VK_OEM_PLUS, L"200"},
        {"Ctrl + numpad -", false, VK_SUBTRACT, L"175"},
        {"Ctrl + wheel down", true, -WHEEL_DELTA, L"150"},
        {"Ctrl + -", false, VK_OEM_MINUS, L"125"},
        {"Ctrl + numpad +", false, VK_ADD, L"150"},
        {"Ctrl + 0", false, '0', L"100"},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(step.bWheel ? SendCtrlWheel(step.nValue) : SendCtrlKey(static_cast<WORD>(step.nValue)))
            << step.what;
        EXPECT_TRUE(PumpUntil([&] { return StoredSetting(L"zoom") == step.pszStored; }, 5000))
            << step.what << ": zoom is " << testing::PrintToString(StoredSetting(L"zoom"));
        // The player sees the new value beside the title in the strip.
        HWND hLabel = nullptr;
        EXPECT_TRUE(PumpUntil([&] { return (hLabel = ZoomLabelOf(client.Id())) != nullptr &&
                                           TextOf(hLabel) == std::wstring(L"缩放 ") + step.pszStored + L"%"; },
                              5000))
            << step.what << ": label " << testing::PrintToString(hLabel ? TextOf(hLabel) : std::wstring(L"(none)"));
        if (hLabel) {
            POINT ptClient{0, 0};
            ::ClientToScreen(hMain, &ptClient);
            RECT rc = ScreenRect(hLabel);
            ::OffsetRect(&rc, -ptClient.x, -ptClient.y);
            EXPECT_EQ(rc, (RECT{211, 4, 311, 26})) << step.what << ": the label is not beside the title";
            EXPECT_NE(::GetForegroundWindow(), hLabel) << "the label took the activation";
        }
    }
    // About two seconds later the label is gone; the other keys of the file are as they were.
    EXPECT_TRUE(PumpUntil([&] { return ZoomLabelOf(client.Id()) == nullptr; }, 5000)) << "the label stayed";
    EXPECT_EQ(StoredSetting(L"soundoff"), strMute);
    EXPECT_EQ(StoredSetting(L"screentoggle"), strBossKey);
    EXPECT_TRUE(CloseThroughPrompt(client, hMain));
}
