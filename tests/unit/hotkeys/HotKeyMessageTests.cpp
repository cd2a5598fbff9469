// WM_HOTKEY posted to a real main window, as the system delivers a pressed hotkey: the boss key with
// and without the minimised flag, and refresh and full screen only while the window is active.
#include <gtest/gtest.h>

#include "HotKeyTestSupport.h"
#include "app/GameWndMessages.h"

namespace {

class HotKeyMessages : public testing::Test
{
protected:
    HotKeyMessages()
    {
        m_target.m_hMainWnd = m_main.Hwnd();
        m_main.m_pTarget = &m_target;
    }

    void Press(int nId, UINT vk)
    {
        PostMessageW(m_main.Hwnd(), WM_HOTKEY, WPARAM(nId), MAKELPARAM(0, vk));
        PumpFor(60);
    }
    // Shows a window and makes it the foreground window; false when the system refused.
    static bool BringToFront(HWND hwnd)
    {
        ShowWindow(hwnd, SW_SHOW);
        for (int attempt = 0; attempt < 5; ++attempt) {
            SetForegroundWindow(hwnd);
            PumpFor(40);
            if (GetForegroundWindow() == hwnd)
                return true;
        }
        return false;
    }
    // Presses a key while hFront is in front. Windows of other test programs on the same desktop
    // can take the foreground at any moment; a press that found the main window inactive must have
    // done nothing, and is made again.
    bool PressInFront(HWND hFront, int nId, UINT vk)
    {
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (!BringToFront(hFront))
                continue;
            Press(nId, vk);
            if (!m_main.m_activeAtHotKey.empty() && m_main.m_activeAtHotKey.back())
                return true;
            EXPECT_EQ(int(m_main.m_actions.back()), int(HotKeyAction::None));
        }
        return false;
    }

    CRecordingWnd m_main{L"main"};
    CRecordingWnd m_other{L"another program"};
    CRecordingTarget m_target;
};

}  // namespace

TEST_F(HotKeyMessages, BossKeyHidesAndShowsWhileAnotherWindowIsInFront)
{
    ShowWindow(m_main.Hwnd(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(BringToFront(m_other.Hwnd()));
    Press(kHotKeyBoss, VK_F10);
    EXPECT_FALSE(IsWindowVisible(m_main.Hwnd()));
    Press(kHotKeyBoss, VK_F10);
    EXPECT_TRUE(IsWindowVisible(m_main.Hwnd()));
    ASSERT_EQ(m_main.m_actions.size(), 2u);
    EXPECT_EQ(int(m_main.m_actions[0]), int(HotKeyAction::Hide));
    EXPECT_EQ(int(m_main.m_actions[1]), int(HotKeyAction::Show));
    EXPECT_TRUE(m_target.m_calls.empty());
}

TEST_F(HotKeyMessages, BossKeyAfterMinimiseBringsBackTheMaximisedLayout)
{
    m_target.m_bMinimized = true;
    m_target.m_bMaximized = true;
    ASSERT_TRUE(BringToFront(m_other.Hwnd()));
    Press(kHotKeyBoss, VK_F10);
    EXPECT_TRUE(IsWindowVisible(m_main.Hwnd()));
    ASSERT_EQ(m_target.m_calls, std::vector<std::string>{"Maximize"});
    EXPECT_TRUE(m_target.m_bVisibleAtLayout);
    EXPECT_FALSE(m_target.m_bMinimized);
    EXPECT_EQ(m_main.m_hForegroundAfterHotKey, m_main.Hwnd());
    // The flag is cleared now: the next press hides again.
    Press(kHotKeyBoss, VK_F10);
    EXPECT_FALSE(IsWindowVisible(m_main.Hwnd()));
    EXPECT_EQ(m_target.m_calls.size(), 1u);
}

TEST_F(HotKeyMessages, BossKeyAfterMinimiseBringsBackTheRestoredLayout)
{
    m_target.m_bMinimized = true;
    m_target.m_bMaximized = false;
    Press(kHotKeyBoss, VK_F10);
    EXPECT_TRUE(IsWindowVisible(m_main.Hwnd()));
    EXPECT_EQ(m_target.m_calls, std::vector<std::string>{"Restore"});
    EXPECT_TRUE(m_target.m_bVisibleAtLayout);
    EXPECT_EQ(m_main.m_hForegroundAfterHotKey, m_main.Hwnd());
}

TEST_F(HotKeyMessages, RefreshReloadsTheGameWindowThenTheViewWhenActive)
{
    CRecordingWnd game(L"game window");
    m_target.m_hGameWnd = game.Hwnd();
    ASSERT_TRUE(PressInFront(m_main.Hwnd(), kHotKeyRefresh, VK_F5));
    EXPECT_EQ(m_target.m_calls, std::vector<std::string>{"RefreshView"});
    EXPECT_TRUE(m_target.m_bReloadQueuedAtRefresh);
    ASSERT_EQ(game.Count(WM_GAMEWND_REFRESH), 1);
    EXPECT_EQ(game.m_messages[0].wParam, 0u);
    EXPECT_EQ(game.m_messages[0].lParam, 0);
    EXPECT_TRUE(IsWindowVisible(m_main.Hwnd()));
}

TEST_F(HotKeyMessages, RefreshWithoutGameWindowRefreshesTheView)
{
    ASSERT_TRUE(PressInFront(m_main.Hwnd(), kHotKeyRefresh, VK_F5));
    EXPECT_EQ(m_target.m_calls, std::vector<std::string>{"RefreshView"});
    EXPECT_FALSE(m_target.m_bReloadQueuedAtRefresh);
}

TEST_F(HotKeyMessages, RefreshAndFullScreenIgnoredInTheBackground)
{
    CRecordingWnd game(L"game window");
    m_target.m_hGameWnd = game.Hwnd();
    ShowWindow(m_main.Hwnd(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(BringToFront(m_other.Hwnd()));
    Press(kHotKeyRefresh, VK_F5);
    Press(kHotKeyFullScreen, VK_F11);
    ASSERT_EQ(m_main.m_activeAtHotKey, (std::vector<bool>{false, false}));
    EXPECT_TRUE(m_target.m_calls.empty());
    EXPECT_EQ(game.Count(WM_GAMEWND_REFRESH), 0);
    EXPECT_FALSE(m_target.m_bFullScreen);
    EXPECT_TRUE(IsWindowVisible(m_main.Hwnd()));
}

TEST_F(HotKeyMessages, FullScreenSwitchesBothWaysWhenActive)
{
    m_target.m_bMinimized = true;
    ASSERT_TRUE(PressInFront(m_main.Hwnd(), kHotKeyFullScreen, VK_F11));
    ASSERT_TRUE(PressInFront(m_main.Hwnd(), kHotKeyFullScreen, VK_F11));
    EXPECT_EQ(m_target.m_calls, (std::vector<std::string>{"EnterFullScreen", "LeaveFullScreen"}));
    EXPECT_TRUE(m_target.m_bMinimized);
}

TEST_F(HotKeyMessages, ActiveOwnedPopupCountsAsTheMainWindow)
{
    CRecordingWnd popup(L"message box", m_main.Hwnd());
    ShowWindow(m_main.Hwnd(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(PressInFront(popup.Hwnd(), kHotKeyRefresh, VK_F5));
    EXPECT_EQ(m_target.m_calls, std::vector<std::string>{"RefreshView"});
    ASSERT_TRUE(BringToFront(m_other.Hwnd()));
    EXPECT_FALSE(IsActiveMainWindow(m_main.Hwnd()));
}

TEST_F(HotKeyMessages, OtherIdsDoNothing)
{
    ShowWindow(m_main.Hwnd(), SW_SHOWNOACTIVATE);
    Press(4, 'A');
    Press(0, 'B');
    EXPECT_TRUE(m_target.m_calls.empty());
    EXPECT_TRUE(IsWindowVisible(m_main.Hwnd()));
    ASSERT_EQ(m_main.m_actions.size(), 2u);
    EXPECT_EQ(int(m_main.m_actions[0]), int(HotKeyAction::None));
    EXPECT_EQ(m_main.Count(WM_HOTKEY), 2);
}
