// The real client under Wine: which command lines make a normal run (the start window first) and
// which end quietly. The uninstall roles have tests of their own: they change the installation.
#include "../../support/ClientWindows.h"
#include <gtest/gtest.h>
#include <cwchar>

namespace {
// Starts the client, expects the start window that every normal run shows first (the login site
// of this build is not reachable here, so it stays) and ends the client through its close prompt.
void ExpectNormalRun(const CString& commandLine)
{
    ClientProcess client;
    ASSERT_TRUE(client.Start(ClientExePath(), commandLine)) << commandLine.ToUtf8();
    HWND start = WaitForStartWindow(client);
    ASSERT_NE(start, nullptr) << "no start window for: " << commandLine.ToUtf8();
    EXPECT_NE(GetWindowLongPtrW(start, GWL_EXSTYLE) & WS_EX_LAYERED, 0) << "the start window is a layered picture";
    EXPECT_EQ(GetDlgItem(start, 1001), nullptr) << "the main window came before the start window";
    EXPECT_EQ(GetDlgItem(start, 1030), nullptr) << "the main window came before the start window";
    EXPECT_TRUE(CloseThroughPrompt(client, start)) << "the close prompt's OK did not end the client with 0";
}

// Starts the client and expects it to end by itself, without a window.
void ExpectQuietEnd(const CString& commandLine)
{
    ClientProcess client;
    ASSERT_TRUE(client.Start(ClientExePath(), commandLine)) << commandLine.ToUtf8();
    ASSERT_TRUE(client.WaitForExit()) << "still running: " << commandLine.ToUtf8();
    EXPECT_EQ(client.ExitCode(), 0u) << commandLine.ToUtf8();
}
}  // namespace

TEST(Startup, NormalRunShowsTheStartWindowAndEndsWithZero)
{
    ExpectNormalRun(L"\"" + ClientExePath() + L"\"");
    // A shortcut's argument is ignored.
    ExpectNormalRun(L"\"" + ClientExePath() + L"\" 1");
}

TEST(Startup, SwitchesThatAreNotRolesRunNormally)
{
    ExpectNormalRun(L"-d");
    ExpectNormalRun(L"-D C:\\nowhere\\Torvel_Qerm.exe");
    ExpectNormalRun(L"-U C:\\nowhere\\Torvel_Qerm.exe");
    ExpectNormalRun(L"\"" + ClientExePath() + L"\" -frameWnd=1234");
    ExpectNormalRun(L"\"" + ClientExePath() + L"\" -frameWnd=0 -gameurl=http://127.0.0.1:9/");
    ExpectNormalRun(L"\"" + ClientExePath() + L"\" -gameurl=http://127.0.0.1:9/");
}

TEST(Startup, GameWindowSwitchWithoutSuchWindowEnds)
{
    // A handle that names no window must not leave an invisible process behind.
    ExpectQuietEnd(L"\"" + ClientExePath() + L"\" -frameWnd=305419896 -gameurl=http://127.0.0.1:9/");
    ExpectQuietEnd(L"\"" + ClientExePath() + L"\" -frameWnd=-2 -gameurl=http://127.0.0.1:9/");
}
