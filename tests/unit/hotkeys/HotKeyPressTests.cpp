// Real key presses on the X display (xdotool, started as a Unix program from Wine) reach the window
// that registered the hotkeys from the settings file as WM_HOTKEY with the right id, modifiers and key.
#include <gtest/gtest.h>

#include "HotKeyTestSupport.h"
#include "support/XKeys.h"

#include <string>

namespace {

class HotKeyPresses : public testing::Test
{
protected:
    HotKeyPresses()
    {
        ShowWindow(m_main.Hwnd(), SW_SHOW);
        SetForegroundWindow(m_main.Hwnd());
        PumpFor(100);
    }
    ~HotKeyPresses() override { UnregisterGlobalHotKeys(m_main.Hwnd()); }

    // Types keys until a WM_HOTKEY arrives (another test's window may hold the focus for a moment).
    bool PressUntilHotKey(const std::wstring& keys)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const size_t before = m_main.m_messages.size();
            if (!TypeKeys(m_main.Hwnd(), keys))
                return false;
            PumpFor(300);
            for (size_t i = before; i < m_main.m_messages.size(); ++i)
                if (m_main.m_messages[i].message == WM_HOTKEY)
                    return true;
        }
        return false;
    }
    RecordedMessage LastHotKey() const
    {
        for (auto it = m_main.m_messages.rbegin(); it != m_main.m_messages.rend(); ++it)
            if (it->message == WM_HOTKEY)
                return *it;
        return {0, 0, 0};
    }

    CSettingsFile m_settings;
    CRecordingWnd m_main{L"main"};
};

}  // namespace

TEST_F(HotKeyPresses, ConfiguredCombinationsArriveWithTheirIds)
{
    m_settings.Write("[Setting]\r\nscreentoggle=Ctrl+Shift+K\r\nfullscreen=Alt+Num+\r\n");
    ASSERT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));

    ASSERT_TRUE(PressUntilHotKey(L"ctrl+shift+k"));
    EXPECT_EQ(LastHotKey().wParam, 2u);
    EXPECT_EQ(LastHotKey().lParam, MAKELPARAM(MOD_CONTROL | MOD_SHIFT, 'K'));

    ASSERT_TRUE(PressUntilHotKey(L"alt+KP_Add"));
    EXPECT_EQ(LastHotKey().wParam, 3u);
    EXPECT_EQ(LastHotKey().lParam, MAKELPARAM(MOD_ALT, VK_ADD));

    ASSERT_TRUE(PressUntilHotKey(L"F5"));
    EXPECT_EQ(LastHotKey().wParam, 1u);
    EXPECT_EQ(LastHotKey().lParam, MAKELPARAM(0, VK_F5));
}

TEST_F(HotKeyPresses, WithoutSettingsF10AndF11AreTheKeys)
{
    m_settings.Remove();
    ASSERT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    ASSERT_TRUE(PressUntilHotKey(L"F10"));
    EXPECT_EQ(LastHotKey().wParam, 2u);
    ASSERT_TRUE(PressUntilHotKey(L"F11"));
    EXPECT_EQ(LastHotKey().wParam, 3u);
}

TEST_F(HotKeyPresses, MainKeyboardPlusBehindCtrl)
{
    m_settings.Write("[Setting]\r\nscreentoggle=Ctrl++\r\nfullscreen=\r\n");
    ASSERT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    // The key that carries "+" and "=" is VK_OEM_PLUS.
    ASSERT_TRUE(PressUntilHotKey(L"ctrl+equal"));
    EXPECT_EQ(LastHotKey().wParam, 2u);
    EXPECT_EQ(LastHotKey().lParam, MAKELPARAM(MOD_CONTROL, VK_OEM_PLUS));
}

TEST_F(HotKeyPresses, ReleasedF5IsAnOrdinaryKeyAgain)
{
    m_settings.Write("[Setting]\r\nscreentoggle=F10\r\nfullscreen=F11\r\n");
    ASSERT_TRUE(RegisterGlobalHotKeys(m_main.Hwnd()));
    UpdateRefreshHotKey(m_main.Hwnd(), false);
    bool bKeyDown = false;
    for (int attempt = 0; attempt < 3 && !bKeyDown; ++attempt) {
        ASSERT_TRUE(TypeKeys(m_main.Hwnd(), L"F5"));
        PumpFor(300);
        bKeyDown = m_main.Count(WM_KEYDOWN) > 0;
    }
    EXPECT_TRUE(bKeyDown);
    EXPECT_EQ(m_main.Count(WM_HOTKEY), 0);
    for (const RecordedMessage& m : m_main.m_messages) {
        if (m.message == WM_KEYDOWN) {
            EXPECT_EQ(m.wParam, WPARAM(VK_F5));
        }
    }
}
