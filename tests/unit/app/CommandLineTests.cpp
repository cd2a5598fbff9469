// Which role a process plays, from its raw command line.
#include "app/CommandLine.h"
#include <gtest/gtest.h>

TEST(CommandLineRole, FirstMatchWins)
{
    struct Case
    {
        const wchar_t* line;
        ProcessRole role;
    } cases[] = {
        {L"-d C:\\Games\\Torvel_Qerm.exe", ProcessRole::UpdateStep},
        {L"-d", ProcessRole::UpdateStep},                 // the caller runs normally on its own
        {L"-d C:\\x -u", ProcessRole::UpdateStep},        // "-d" is tested before "-u"
        {L"C:\\path\\Torvel_Qerm.exe -u", ProcessRole::UninstallPrompt},
        {L"-u", ProcessRole::UninstallPrompt},            // ends in "-u" as well
        {L"-u C:\\path\\Torvel_Qerm.exe", ProcessRole::Uninstall},
        {L"-D C:\\x", ProcessRole::Other},                // case-sensitive
        {L"-U C:\\x", ProcessRole::Other},
        {L"C:\\x -U", ProcessRole::Other},
        {L"\"C:\\Program Files\\qzrv\\Torvel_Qerm.exe\" 1", ProcessRole::Other},
        {L"", ProcessRole::Other},
        {L"x", ProcessRole::Other},
        {L" -d C:\\x", ProcessRole::Other},               // the switch must stand first
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyCommandLine(c.line), c.role) << CString(c.line).ToUtf8();
}

TEST(CommandLineRole, ArgumentIsEverythingFromTheFourthCharacter)
{
    EXPECT_EQ(SwitchArgument(L"-d C:\\a b\\c.exe"), CString(L"C:\\a b\\c.exe"));
    EXPECT_EQ(SwitchArgument(L"-d \"C:\\q.exe\""), CString(L"\"C:\\q.exe\"")) << "quotes stay";
    EXPECT_EQ(SwitchArgument(L"-dXC:\\x"), CString(L"C:\\x")) << "any separator character";
    EXPECT_EQ(SwitchArgument(L"-d"), CString(L""));
    EXPECT_EQ(SwitchArgument(L"-d "), CString(L""));
}

TEST(GameWindowSwitches, HandleAndUrl)
{
    GameWindowSwitches s = ParseGameWindowSwitches(L"\"C:\\t.exe\" -frameWnd=132456 -gameurl=http://h/play?a=1 b");
    EXPECT_EQ(s.hFrameWnd, reinterpret_cast<HWND>(132456));
    EXPECT_EQ(s.strGameUrl, CString(L"http://h/play?a=1 b")) << "spaces belong to the URL";

    s = ParseGameWindowSwitches(L"-frameWnd=77 x -gameurl=");
    EXPECT_EQ(s.hFrameWnd, reinterpret_cast<HWND>(77));
    EXPECT_EQ(s.strGameUrl, CString(L""));

    s = ParseGameWindowSwitches(L"-frameWnd=12ab -gameurl=u");
    EXPECT_EQ(s.hFrameWnd, reinterpret_cast<HWND>(12)) << "digits end at the first other character";
    EXPECT_EQ(s.strGameUrl, CString(L"u"));
}

TEST(GameWindowSwitches, NoHandleMeansNormalRun)
{
    // A number at the very end, without a space after it, is not taken.
    GameWindowSwitches s = ParseGameWindowSwitches(L"x.exe -frameWnd=4242");
    EXPECT_EQ(s.hFrameWnd, nullptr);
    EXPECT_EQ(s.strGameUrl, CString(L""));

    s = ParseGameWindowSwitches(L"-frameWnd=0 -gameurl=http://h/");
    EXPECT_EQ(s.hFrameWnd, nullptr);
    EXPECT_EQ(s.strGameUrl, CString(L"http://h/"));

    s = ParseGameWindowSwitches(L"x.exe -gameurl=http://h/");
    EXPECT_EQ(s.hFrameWnd, nullptr) << "-gameurl= alone has no effect on the role";

    s = ParseGameWindowSwitches(L"-frameWnd= -gameurl=http://h/");
    EXPECT_EQ(s.hFrameWnd, nullptr);

    s = ParseGameWindowSwitches(L"-framewnd=55 -gameurl=u");
    EXPECT_EQ(s.hFrameWnd, nullptr) << "case-sensitive";
}

TEST(GameWindowSwitches, HandlesAre32BitSignedOrUnsigned)
{
    const HWND minusTwo = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2));
    EXPECT_EQ(ParseGameWindowSwitches(L"-frameWnd=4294967294 ").hFrameWnd, minusTwo);
    EXPECT_EQ(ParseGameWindowSwitches(L"-frameWnd=-2 ").hFrameWnd, minusTwo);
    EXPECT_EQ(ParseGameWindowSwitches(L"-frameWnd=2147483647 ").hFrameWnd,
              reinterpret_cast<HWND>(static_cast<LONG_PTR>(2147483647)));
    EXPECT_EQ(ParseGameWindowSwitches(L"-frameWnd=2147483648 ").hFrameWnd,
              reinterpret_cast<HWND>(static_cast<LONG_PTR>(INT_MIN)));
    EXPECT_EQ(ParseGameWindowSwitches(L"-frameWnd=-2147483648 ").hFrameWnd,
              reinterpret_cast<HWND>(static_cast<LONG_PTR>(INT_MIN)));
    // Beyond 32 bits nothing is taken, rather than a wrapped or saturated value.
    EXPECT_EQ(ParseGameWindowSwitches(L"-frameWnd=4294967296 ").hFrameWnd, nullptr);
    EXPECT_EQ(ParseGameWindowSwitches(L"-frameWnd=-2147483649 ").hFrameWnd, nullptr);
    EXPECT_EQ(ParseGameWindowSwitches(L"-frameWnd=99999999999999999999999 ").hFrameWnd, nullptr);
}
