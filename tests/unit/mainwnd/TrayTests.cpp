// The notification-area icon, its menu and the close prompt on the real main window.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MainDlgTestSupport.h"
#include "app/GameWndMessages.h"
#include "WidgetTestSupport.h"
#include "res/resource.h"
#include "start/Settings.h"
#include "support/SettingKept.h"

#include <audioclient.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>

namespace {
// Waits for the close prompt, checks its texts and answers it with the button nId.
Step AnswerPrompt(int nId, const wchar_t* pszTitle, const wchar_t* pszMessage)
{
    return [=](CProbeMainDlg&) {
        const HWND hBox = FindMessageBox();
        if (!hBox)
            return false;
        const BoxTexts texts = TextsOf(hBox);
        EXPECT_STREQ(texts.strTitle, pszTitle);
        EXPECT_STREQ(texts.strMessage, pszMessage);
        ClickButton(::GetDlgItem(hBox, nId));
        return true;
    };
}

Step AnswerClosePrompt(int nId)
{
    return AnswerPrompt(nId, L"关闭提示", L"是否退出《Vantor》微端？");
}

BOOL CALLBACK VisitMenuWindow(HWND h, LPARAM lp)
{
    wchar_t cls[32] = L"";
    ::GetClassNameW(h, cls, 32);
    if (::IsWindowVisible(h) && std::wstring(cls) == L"#32768") {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

// The visible pop-up menu window of this thread, or null.
HWND FindMenuWindow()
{
    HWND hMenu = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), VisitMenuWindow, reinterpret_cast<LPARAM>(&hMenu));
    return hMenu;
}
// The "soundoff" value of the settings file.
std::wstring SoundOffSetting()
{
    WCHAR szValue[MAX_PATH];
    GetSettingString(L"Setting", L"soundoff", L"(missing)", szValue);
    return szValue;
}

// Opens the tray menu and reports whether its mute item is checked (-1: no menu).
Step OpenTrayMenu()
{
    return [](CProbeMainDlg& d) {
        d.PostMessage(WM_USER + 1, 0, WM_RBUTTONUP);
        return true;
    };
}
Step ReadMuteCheckAndCloseMenu(int* pnChecked)
{
    return [pnChecked](CProbeMainDlg&) {
        HWND hMenuWnd = FindMenuWindow();
        if (!hMenuWnd)
            return false;
        HMENU hMenu = reinterpret_cast<HMENU>(::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0));
        *pnChecked = (::GetMenuState(hMenu, ID_TRAY_MUTE, MF_BYCOMMAND) & MF_CHECKED) ? 1 : 0;
        ::EndMenu();
        return true;
    };
}
Step WaitForMenuToClose()
{
    return [](CProbeMainDlg&) { return FindMenuWindow() == nullptr; };
}

// The mute state of this process's own audio session; false when the system offers none.
bool ReadOwnSessionMute(bool& bMuted)
{
    using Microsoft::WRL::ComPtr;
    ComPtr<IMMDeviceEnumerator> pEnumerator;
    ComPtr<IMMDevice> pDevice;
    ComPtr<IAudioSessionManager> pSessions;
    ComPtr<ISimpleAudioVolume> pVolume;
    BOOL bMute = FALSE;
    if (FAILED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&pEnumerator))) ||
        FAILED(pEnumerator->GetDefaultAudioEndpoint(eRender, eConsole, &pDevice)) ||
        FAILED(pDevice->Activate(__uuidof(IAudioSessionManager), CLSCTX_INPROC_SERVER, nullptr,
                                 reinterpret_cast<void**>(pSessions.GetAddressOf()))) ||
        FAILED(pSessions->GetSimpleAudioVolume(nullptr, FALSE, &pVolume)) || FAILED(pVolume->GetMute(&bMute)))
        return false;
    bMuted = bMute != FALSE;
    return true;
}

// Checks the session against the expectation where the system has a playback device.
void ExpectSessionMute(bool bExpected)
{
    bool bMuted = false;
    if (ReadOwnSessionMute(bMuted))
        EXPECT_EQ(bMuted, bExpected) << "the audio session does not follow";
    else
        std::printf("no audio session on this system: only the client's own state is checked\n");
}

// Whether the notification area holds the window's icon: only an icon that is there can be changed.
bool TrayHoldsIcon(const NOTIFYICONDATAW& nid)
{
    NOTIFYICONDATAW probe = nid;
    return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}
}  // namespace

TEST(TrayIcon, MuteItemTogglesTheSoundWritesTheSettingAndSurvivesARestart)
{
    const SettingKept kept(L"Setting", L"soundoff", L"0");
    SetSettingString(L"Setting", L"soundoff", L"0");
    int nCheckedBefore = -1, nCheckedAfter = -1, nCheckedAtRestart = -1;
    {
        CProbeMainDlg dlg;
        EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), OpenTrayMenu(), ReadMuteCheckAndCloseMenu(&nCheckedBefore),
            WaitForMenuToClose(),
            [](CProbeMainDlg& d) {
                EXPECT_FALSE(d.m_bMuted);
                d.SendMessage(WM_COMMAND, ID_TRAY_MUTE);
                EXPECT_TRUE(d.m_bMuted);
                EXPECT_TRUE(d.m_bSessionMuted);
                EXPECT_EQ(SoundOffSetting(), L"1");
                ExpectSessionMute(true);
                return true;
            },
            OpenTrayMenu(), ReadMuteCheckAndCloseMenu(&nCheckedAfter), WaitForMenuToClose()}), kScriptDone);
    }
    EXPECT_EQ(nCheckedBefore, 0);
    EXPECT_EQ(nCheckedAfter, 1);
    {
        // A new start reads the choice back: muted from the beginning, and the item says so.
        CProbeMainDlg dlg;
        EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), OpenTrayMenu(), ReadMuteCheckAndCloseMenu(&nCheckedAtRestart),
            WaitForMenuToClose(),
            [](CProbeMainDlg& d) {
                EXPECT_TRUE(d.m_bMuted);
                EXPECT_TRUE(d.m_bSessionMuted);
                d.SendMessage(WM_COMMAND, ID_TRAY_MUTE);
                EXPECT_FALSE(d.m_bSessionMuted);
                EXPECT_EQ(SoundOffSetting(), L"0");
                ExpectSessionMute(false);
                return true;
            }}), kScriptDone);
    }
    EXPECT_EQ(nCheckedAtRestart, 1);
}

TEST(TrayIcon, BossKeySilencesTheHiddenWindowAndShowingRestoresThePlayersChoice)
{
    const SettingKept kept(L"Setting", L"soundoff", L"0");
    SetSettingString(L"Setting", L"soundoff", L"0");
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        EXPECT_FALSE(d.m_bSessionMuted);
        d.SendMessage(WM_HOTKEY, 2, MAKELPARAM(0, VK_F10));
        EXPECT_FALSE(d.IsWindowVisible());
        EXPECT_TRUE(d.m_bSessionMuted) << "hidden by the boss key, still audible";
        ExpectSessionMute(true);
        EXPECT_FALSE(d.m_bMuted) << "the player's choice changed";
        EXPECT_EQ(SoundOffSetting(), L"0");
        d.SendMessage(WM_HOTKEY, 2, MAKELPARAM(0, VK_F10));
        EXPECT_TRUE(d.IsWindowVisible());
        EXPECT_FALSE(d.m_bSessionMuted) << "shown again, still silent";
        ExpectSessionMute(false);
        // A player who muted keeps the silence after the boss key.
        d.SendMessage(WM_COMMAND, ID_TRAY_MUTE);
        d.SendMessage(WM_HOTKEY, 2, MAKELPARAM(0, VK_F10));
        d.SendMessage(WM_HOTKEY, 2, MAKELPARAM(0, VK_F10));
        EXPECT_TRUE(d.IsWindowVisible());
        EXPECT_TRUE(d.m_bSessionMuted);
        return true;
    }}), kScriptDone);
}

TEST(TrayIcon, ANewShellGetsTheIconAgain)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        EXPECT_TRUE(TrayHoldsIcon(d.m_nid));
        // A shell that restarts has forgotten every icon, then says so to every top-level window.
        NOTIFYICONDATAW nid = d.m_nid;
        EXPECT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &nid));
        EXPECT_FALSE(TrayHoldsIcon(d.m_nid)) << "the icon is still there after its removal";
        DWORD_PTR dwResult = 0;
        ::SendMessageTimeoutW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG,
                              5000, &dwResult);
        EXPECT_TRUE(TrayHoldsIcon(d.m_nid)) << "the icon did not come back";
        EXPECT_TRUE(d.m_bTrayAdded);
        return true;
    }}), kScriptDone);
}

TEST(TrayIcon, RecordHoldsTheWindowTheTitleAndTheCallback)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        EXPECT_TRUE(d.m_bTrayAdded);
        // The record's own size on each architecture, not the 32-bit figure everywhere.
#ifdef _WIN64
        EXPECT_EQ(d.m_nid.cbSize, 976u);
#else
        EXPECT_EQ(d.m_nid.cbSize, 956u);
#endif
        EXPECT_EQ(d.m_nid.hWnd, d.GetSafeHwnd());
        EXPECT_EQ(d.m_nid.uID, 0u);
        EXPECT_EQ(d.m_nid.uFlags, 7u);
        EXPECT_EQ(d.m_nid.uCallbackMessage, 1025u);
        EXPECT_NE(d.m_nid.hIcon, nullptr);
        EXPECT_STREQ(d.m_nid.szTip, L"《Vantor》微端");
        // The icon carries the system's large-icon size.
        ICONINFO ii{};
        if (d.m_nid.hIcon && ::GetIconInfo(d.m_nid.hIcon, &ii)) {
            BITMAP bm{};
            ::GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
            EXPECT_EQ(bm.bmWidth, ::GetSystemMetrics(SM_CXICON));
            if (ii.hbmColor)
                ::DeleteObject(ii.hbmColor);
            ::DeleteObject(ii.hbmMask);
        }
        return true;
    }}), kScriptDone);
}

TEST(TrayIcon, LongTipIsCutToTheField)
{
    CProbeMainDlg dlg;
    const std::wstring strLong(200, L'长');
    dlg.AddTrayIcon(strLong.c_str(), nullptr, nullptr);
    EXPECT_TRUE(dlg.m_bTrayAdded) << "set whatever the shell answered";
    EXPECT_EQ(std::wstring(dlg.m_nid.szTip), std::wstring(127, L'长'));
    EXPECT_EQ(dlg.m_nid.szTip[127], L'\0');
    dlg.RemoveTrayIcon();
    EXPECT_FALSE(dlg.m_bTrayAdded);
}

TEST(ClosePrompt, CancelKeepsEverythingAndOkEndsWithZero)
{
    CGameWndRecorder game;
    CProbeMainDlg dlg;
    const INT_PTR result = RunMainDlg(dlg, {WaitUntilShown(),
        [&game](CProbeMainDlg& d) {
            game.AdoptInto(d.GetSafeHwnd());
            d.SendMessage(WM_GAMEWND_ANNOUNCE, reinterpret_cast<WPARAM>(game.Handle()));
            d.PostMessage(WM_COMMAND, 1001);
            return true;
        },
        AnswerClosePrompt(IDCANCEL),
        [&game](CProbeMainDlg& d) {
            if (FindMessageBox())
                return false;
            EXPECT_TRUE(d.IsWindowVisible());
            EXPECT_TRUE(d.m_bTrayAdded) << "cancelling kept the icon";
            EXPECT_EQ(game.Count(WM_CLOSE), 0);
            // The tray menu's exit asks the same question.
            d.PostMessage(WM_COMMAND, 32777);
            return true;
        },
        AnswerClosePrompt(IDOK)});
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(dlg.m_bTrayAdded) << "a confirmed exit removes the icon";
    EXPECT_EQ(game.Count(WM_CLOSE), 1) << "the game window is closed before the window ends";
}

TEST(ClosePrompt, SystemCloseAsksAndCancellingLeavesFullScreen)
{
    CProbeMainDlg dlg;
    const INT_PTR result = RunMainDlg(dlg, {WaitUntilShown(),
        [](CProbeMainDlg& d) {
            ClickButton(d.m_btnFullScreen);
            EXPECT_TRUE(d.m_bFullScreen);
            d.PostMessage(WM_SYSCOMMAND, SC_CLOSE);
            return true;
        },
        AnswerClosePrompt(IDCANCEL),
        [](CProbeMainDlg& d) {
            if (d.m_bFullScreen)
                return false;
            EXPECT_TRUE(d.IsWindowVisible());
            EXPECT_TRUE(d.m_bMaximized);
            d.PostMessage(WM_SYSCOMMAND, SC_CLOSE);
            return true;
        },
        AnswerClosePrompt(IDOK)});
    EXPECT_EQ(result, 0);
}

TEST(TrayIcon, LeftClickShowsTheHiddenWindowAndTheMenuCommandToggles)
{
    // An audible player, so that silence after hiding comes from the hiding alone.
    const SettingKept kept(L"Setting", L"soundoff", L"0");
    SetSettingString(L"Setting", L"soundoff", L"0");
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        EXPECT_FALSE(d.m_bMuted);
        EXPECT_FALSE(d.m_bSessionMuted);
        ClickButton(d.m_btnBossKey);
        EXPECT_FALSE(d.IsWindowVisible());
        EXPECT_EQ(d.SendMessage(WM_USER + 1, 0, WM_LBUTTONDOWN), 0);
        EXPECT_TRUE(d.IsWindowVisible());
        // Other mouse messages of the icon do nothing.
        d.SendMessage(WM_USER + 1, 0, WM_MOUSEMOVE);
        d.SendMessage(WM_USER + 1, 0, WM_LBUTTONUP);
        EXPECT_TRUE(d.IsWindowVisible());
        // The menu's hide silences the window as the boss key does; showing it brings back the
        // player's choice.
        d.SendMessage(WM_COMMAND, 32775);
        EXPECT_FALSE(d.IsWindowVisible());
        EXPECT_TRUE(d.m_bSessionMuted) << "hidden from the tray menu, still audible";
        ExpectSessionMute(true);
        EXPECT_FALSE(d.m_bMuted) << "the player's choice changed";
        EXPECT_EQ(SoundOffSetting(), L"0");
        d.SendMessage(WM_COMMAND, 32775);
        EXPECT_TRUE(d.IsWindowVisible());
        EXPECT_FALSE(d.m_bSessionMuted) << "shown again, still silent";
        ExpectSessionMute(false);
        return true;
    }}), kScriptDone);
}

TEST(TrayIcon, LeftClickKeepsAMinimisedWindowMinimised)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        ClickButton(d.m_btnMinimize);
        d.SendMessage(WM_USER + 1, 0, WM_LBUTTONDOWN);
        EXPECT_TRUE(d.IsWindowVisible());
        EXPECT_TRUE(d.IsIconic());
        return true;
    }}), kScriptDone);
}

TEST(TrayIcon, RightClickOpensTheMenuLeftOfTheCursor)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(),
        [](CProbeMainDlg& d) {
            ::SetCursorPos(600, 400);
            d.PostMessage(WM_USER + 1, 0, WM_RBUTTONUP);
            return true;
        },
        [](CProbeMainDlg&) {
            HWND hMenuWnd = FindMenuWindow();
            if (!hMenuWnd)
                return false;
            RECT rc = ScreenRect(hMenuWnd);
            EXPECT_EQ(rc.left, 470);
            EXPECT_EQ(rc.top, 400);
            HMENU hMenu = reinterpret_cast<HMENU>(::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0));
            EXPECT_EQ(::GetMenuItemCount(hMenu), 4);
            const struct
            {
                UINT id;
                const wchar_t* text;
            } items[] = {{32775, L"隐藏/显示(F10)"}, {32776, L"清理缓存"}, {ID_TRAY_MUTE, L"静音"}, {32777, L"退出"}};
            for (int i = 0; i < 4; ++i) {
                wchar_t text[64] = L"";
                ::GetMenuStringW(hMenu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                EXPECT_EQ(::GetMenuItemID(hMenu, i), items[i].id);
                EXPECT_STREQ(text, items[i].text);
            }
            ::EndMenu();
            return true;
        },
        [](CProbeMainDlg& d) {
            if (FindMenuWindow())
                return false;
            EXPECT_TRUE(d.IsWindowVisible());
            return true;
        }}), kScriptDone);
}
