// The real client under Wine: which command lines show the main window and which end quietly.
#include "../../support/ClientProcess.h"
#include <gtest/gtest.h>

namespace {
const wchar_t kTitle[] = L"《Vantor》微端";

// Starts the client, expects its main window and closes it with the close command.
void ExpectNormalRun(const CString& commandLine)
{
    ClientProcess client;
    ASSERT_TRUE(client.Start(ClientExePath(), commandLine)) << commandLine.ToUtf8();
    HWND main = client.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr) << "no main window for: " << commandLine.ToUtf8();
    RECT rc{};
    GetWindowRect(main, &rc);
    EXPECT_EQ(rc.right - rc.left, 1000);
    EXPECT_EQ(rc.bottom - rc.top, 700);
    LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0) << "the window draws its own title strip";
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(client.WaitForExit());
    EXPECT_EQ(client.ExitCode(), 0u);
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

TEST(Startup, NormalRunShowsTheMainWindowAndEndsWithZero)
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

TEST(Startup, RolesEndCleanly)
{
    ExpectQuietEnd(L"\"" + ClientExePath() + L"\" -u");
    ExpectQuietEnd(L"-u C:\\nowhere\\Torvel_Qerm.exe");
}

TEST(Startup, GameWindowSwitchWithoutSuchWindowEnds)
{
    // A handle that names no window must not leave an invisible process behind.
    ExpectQuietEnd(L"\"" + ClientExePath() + L"\" -frameWnd=305419896 -gameurl=http://127.0.0.1:9/");
    ExpectQuietEnd(L"\"" + ClientExePath() + L"\" -frameWnd=-2 -gameurl=http://127.0.0.1:9/");
}
