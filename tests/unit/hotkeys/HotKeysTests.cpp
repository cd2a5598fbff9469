// The global hotkeys on real windows: what the settings file registers (checked by asking the
// system for the same combinations), releasing them, and what WM_HOTKEY does to the main window.
#include <gtest/gtest.h>

#include "HotKeyTestSupport.h"
#include "app/GameWndMessages.h"

namespace {

const char kDefaultSettings[] =
    "[Info]\r\ncode=\r\npwd=\r\nrem=1\r\n[Setting]\r\nsoundoff=0\r\nautostart=0\r\nautologin=0\r\n"
    "screenshots=Ctrl+Shift+A\r\nscreentoggle=F10\r\nfullscreen=F11\r\n[Start]\r\nfirststart=1\r\n";

std::string SettingsWith(const char* pszToggle, const char* pszFullScreen)
{
    std::string text = "[Setting]\r\n";
    if (pszToggle)
        text += std::string("screentoggle=") + pszToggle + "\r\n";
    if (pszFullScreen)
        text += std::string("fullscreen=") + pszFullScreen + "\r\n";
    return text;
}

class HotKeyRegistration : public testing::Test
{
protected:
    void TearDown() override { UnregisterGlobalHotKeys(m_main.Hwnd()); }

    CSettingsFile m_settings;
    CRecordingWnd m_main{L"main"};
};

}  // namespace

TEST_F(HotKeyRegistration, ShippedSettingsTakeF10F11AndF5)
{
    m_settings.Write(kDefaultSettings);
    ASSERT_FALSE(IsHotKeyTaken(0, VK_F10));
    EXPECT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F10));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F11));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F5));
    // The screenshot key is carried in the file but is no hotkey.
    EXPECT_FALSE(IsHotKeyTaken(MOD_CONTROL | MOD_SHIFT, 'A'));
    // Each combination sits under its own id.
    EXPECT_TRUE(UnregisterHotKey(m_main.Hwnd(), 2));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F10));
    EXPECT_TRUE(UnregisterHotKey(m_main.Hwnd(), 3));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F11));
    EXPECT_TRUE(UnregisterHotKey(m_main.Hwnd(), 1));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F5));
}

TEST_F(HotKeyRegistration, CombinationsFromTheSettings)
{
    m_settings.Write(SettingsWith("Ctrl+Shift+Z", "Alt+Num+"));
    EXPECT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    EXPECT_TRUE(IsHotKeyTaken(MOD_CONTROL | MOD_SHIFT, 'Z'));
    EXPECT_FALSE(IsHotKeyTaken(0, 'Z'));
    EXPECT_TRUE(IsHotKeyTaken(MOD_ALT, VK_ADD));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F10));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F11));
}

TEST_F(HotKeyRegistration, MissingFileMeansTheShippedKeysNotTheDigitZero)
{
    m_settings.Remove();
    EXPECT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F10));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F11));
    EXPECT_FALSE(IsHotKeyTaken(0, '0'));
}

TEST_F(HotKeyRegistration, MissingKeyMeansItsShippedKey)
{
    m_settings.Write(SettingsWith(nullptr, "Ctrl+F9"));
    EXPECT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F10));
    EXPECT_TRUE(IsHotKeyTaken(MOD_CONTROL, VK_F9));
    EXPECT_FALSE(IsHotKeyTaken(0, '0'));
}

TEST_F(HotKeyRegistration, EmptyValueSwitchesItsKeyOff)
{
    m_settings.Write(SettingsWith("", "F11"));
    EXPECT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    EXPECT_FALSE(UnregisterHotKey(m_main.Hwnd(), 2));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F10));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F11));
}

TEST_F(HotKeyRegistration, UnknownNameRegistersNothingAndIsReported)
{
    m_settings.Write(SettingsWith("Ctrl+Esc", "ctrl+F11"));
    EXPECT_FALSE(RegisterGlobalHotKeys(m_main.Hwnd()));
    // No id 2 at all, rather than Ctrl with the key code 0.
    EXPECT_FALSE(UnregisterHotKey(m_main.Hwnd(), 2));
    // "ctrl" is no modifier: the plain F11 is the key.
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F11));
    EXPECT_FALSE(IsHotKeyTaken(MOD_CONTROL, VK_F11));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F5));
}

TEST_F(HotKeyRegistration, CombinationHeldElsewhereIsReported)
{
    m_settings.Write(kDefaultSettings);
    CRecordingWnd other(L"other program");
    ASSERT_TRUE(RegisterHotKey(other.Hwnd(), 7, 0, VK_F11));
    EXPECT_FALSE(RegisterGlobalHotKeys(m_main.Hwnd()));
    EXPECT_TRUE(UnregisterHotKey(m_main.Hwnd(), 2));
    EXPECT_FALSE(UnregisterHotKey(m_main.Hwnd(), 3));
    EXPECT_TRUE(UnregisterHotKey(m_main.Hwnd(), 1));
    UnregisterHotKey(other.Hwnd(), 7);
}

TEST_F(HotKeyRegistration, RegisteringAgainReplacesTheKeys)
{
    m_settings.Write(kDefaultSettings);
    EXPECT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    m_settings.Write(SettingsWith("Shift+F10", "Shift+F11"));
    EXPECT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F10));
    EXPECT_TRUE(IsHotKeyTaken(MOD_SHIFT, VK_F10));
    EXPECT_TRUE(IsHotKeyTaken(MOD_SHIFT, VK_F11));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F5));
}

TEST_F(HotKeyRegistration, UnregisterReleasesAllThree)
{
    m_settings.Write(kDefaultSettings);
    ASSERT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    UnregisterGlobalHotKeys(m_main.Hwnd());
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F10));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F11));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F5));
}

TEST_F(HotKeyRegistration, RefreshKeyFollowsActivation)
{
    m_settings.Write(kDefaultSettings);
    ASSERT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    EXPECT_FALSE(UpdateRefreshHotKey(m_main.Hwnd(), false));
    EXPECT_FALSE(IsHotKeyTaken(0, VK_F5));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F10));
    EXPECT_TRUE(UpdateRefreshHotKey(m_main.Hwnd(), true));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F5));
    // Activated twice in a row: still registered.
    EXPECT_TRUE(UpdateRefreshHotKey(m_main.Hwnd(), true));
    EXPECT_TRUE(IsHotKeyTaken(0, VK_F5));
}

TEST(ChooseHotKeyAction, DecisionTable)
{
    struct Row
    {
        int nId;
        bool bActive, bVisible, bMinimized, bMaximized, bFullScreen;
        HotKeyAction expected;
    };
    const Row rows[] = {
        {1, true, true, false, true, false, HotKeyAction::Refresh},
        {1, true, true, false, false, true, HotKeyAction::Refresh},
        {1, false, true, false, true, false, HotKeyAction::None},
        {2, false, true, false, true, false, HotKeyAction::Hide},
        {2, true, true, false, false, false, HotKeyAction::Hide},
        {2, false, false, false, true, false, HotKeyAction::Show},
        {2, false, true, true, true, false, HotKeyAction::ShowMaximized},
        {2, false, false, true, false, false, HotKeyAction::ShowRestored},
        {2, true, true, false, true, true, HotKeyAction::Hide},
        {3, true, true, false, true, false, HotKeyAction::EnterFullScreen},
        {3, true, true, true, true, false, HotKeyAction::EnterFullScreen},
        {3, true, true, false, true, true, HotKeyAction::LeaveFullScreen},
        {3, false, true, false, true, false, HotKeyAction::None},
        {3, false, true, false, true, true, HotKeyAction::None},
        {0, true, true, false, true, false, HotKeyAction::None},
        {4, true, true, false, true, false, HotKeyAction::Screenshot},
        {4, true, true, false, false, true, HotKeyAction::Screenshot},
        {4, false, true, false, true, false, HotKeyAction::None},
        {4, false, false, false, true, false, HotKeyAction::None},
        {5, true, true, false, true, false, HotKeyAction::None},
        {-1, true, true, true, true, true, HotKeyAction::None},
    };
    for (const Row& row : rows) {
        HotKeyWindowState state;
        state.bActive = row.bActive;
        state.bVisible = row.bVisible;
        state.bMinimized = row.bMinimized;
        state.bMaximized = row.bMaximized;
        state.bFullScreen = row.bFullScreen;
        EXPECT_EQ(int(ChooseHotKeyAction(row.nId, state)), int(row.expected))
            << "id " << row.nId << " active " << row.bActive << " visible " << row.bVisible << " minimized "
            << row.bMinimized << " maximized " << row.bMaximized << " full screen " << row.bFullScreen;
    }
}
