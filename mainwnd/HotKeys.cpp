#include "mainwnd/HotKeys.h"

#include "app/GameWndMessages.h"
#include "mainwnd/KeyNames.h"
#include "start/Settings.h"

static_assert(kHotKeyModAlt == MOD_ALT && kHotKeyModControl == MOD_CONTROL && kHotKeyModShift == MOD_SHIFT,
              "the parser's modifier flags are RegisterHotKey's");

namespace {

// Held keys are reported once: without it the system repeats WM_HOTKEY at the keyboard's repeat rate,
// a pile of screenshots, reloads and boss-key flicker.
bool RegisterOnce(HWND hWnd, int nId, UINT nModifiers, UINT nKey)
{
    return RegisterHotKey(hWnd, nId, nModifiers | MOD_NOREPEAT, nKey) != FALSE;
}

// An empty value switches the key off; an unknown name registers nothing, because a hotkey with
// the key code 0 is no key the player can press.
bool RegisterSettingHotKey(HWND hMainWnd, int nId, const KeyNameTable& table, LPCWSTR pszKey, LPCWSTR pszDefault)
{
    WCHAR szValue[MAX_PATH];
    GetSettingString(L"Setting", pszKey, pszDefault, szValue);
    if (!szValue[0])
        return true;
    UnregisterHotKey(hMainWnd, nId);
    std::uint32_t modifiers = 0, key = 0;
    if (!ParseHotkeyText(table, szValue, modifiers, key))
        return false;
    return RegisterOnce(hMainWnd, nId, modifiers, key);
}

}  // namespace

bool RegisterGlobalHotKeys(HWND hMainWnd)
{
    const KeyNameTable table = BuildKeyNameTable();
    // Without the settings file the keys are the shipped ones, which the buttons' tooltips name;
    // a bare "0" would take the digit key away from every program on the desktop.
    bool bAll = RegisterSettingHotKey(hMainWnd, kHotKeyBoss, table, L"screentoggle", L"F10");
    bAll = RegisterSettingHotKey(hMainWnd, kHotKeyFullScreen, table, L"fullscreen", L"F11") && bAll;
    bAll = UpdateRefreshHotKey(hMainWnd, true) && bAll;
    return bAll;
}

void UnregisterGlobalHotKeys(HWND hMainWnd)
{
    for (int nId : {kHotKeyRefresh, kHotKeyBoss, kHotKeyFullScreen, kHotKeyScreenshot})
        UnregisterHotKey(hMainWnd, nId);
}

bool UpdateRefreshHotKey(HWND hMainWnd, bool bActive)
{
    UnregisterHotKey(hMainWnd, kHotKeyRefresh);
    if (!bActive)
        return false;
    return RegisterOnce(hMainWnd, kHotKeyRefresh, 0, VK_F5);
}

bool UpdateScreenshotHotKey(HWND hMainWnd, bool bActive)
{
    UnregisterHotKey(hMainWnd, kHotKeyScreenshot);
    if (!bActive)
        return false;
    const KeyNameTable table = BuildKeyNameTable();
    WCHAR szValue[MAX_PATH];
    GetSettingString(L"Setting", L"screenshots", L"Ctrl+Shift+A", szValue);
    std::uint32_t modifiers = 0, key = 0;
    if (!szValue[0] || !ParseHotkeyText(table, szValue, modifiers, key))
        return false;
    return RegisterOnce(hMainWnd, kHotKeyScreenshot, modifiers, key);
}

bool IsActiveMainWindow(HWND hMainWnd)
{
    const HWND hForeground = GetForegroundWindow();
    return hMainWnd && hForeground && (hForeground == hMainWnd || hForeground == GetLastActivePopup(hMainWnd));
}

HotKeyAction ChooseHotKeyAction(int nId, const HotKeyWindowState& state)
{
    switch (nId) {
    case kHotKeyRefresh:
        return state.bActive ? HotKeyAction::Refresh : HotKeyAction::None;
    case kHotKeyBoss:
        // After the minimise button the boss key brings the window back in its former layout.
        if (state.bMinimized)
            return state.bMaximized ? HotKeyAction::ShowMaximized : HotKeyAction::ShowRestored;
        return state.bVisible ? HotKeyAction::Hide : HotKeyAction::Show;
    case kHotKeyFullScreen:
        if (!state.bActive)
            return HotKeyAction::None;
        return state.bFullScreen ? HotKeyAction::LeaveFullScreen : HotKeyAction::EnterFullScreen;
    case kHotKeyScreenshot:
        return state.bActive ? HotKeyAction::Screenshot : HotKeyAction::None;
    default:
        return HotKeyAction::None;
    }
}

HotKeyAction HandleGlobalHotKey(HWND hMainWnd, int nId, IHotKeyTarget& target)
{
    HotKeyWindowState state;
    state.bActive = IsActiveMainWindow(hMainWnd);
    state.bVisible = IsWindowVisible(hMainWnd) != FALSE;
    state.bMinimized = target.IsMinimizedByButton();
    state.bMaximized = target.IsMaximizedLayout();
    state.bFullScreen = target.IsFullScreen();
    const HotKeyAction action = ChooseHotKeyAction(nId, state);
    switch (action) {
    case HotKeyAction::None:
        break;
    case HotKeyAction::Refresh:
        if (const HWND hGameWnd = target.GetGameWnd())
            PostMessageW(hGameWnd, WM_GAMEWND_REFRESH, 0, 0);
        target.RefreshView();
        break;
    case HotKeyAction::Hide:
        ShowWindow(hMainWnd, SW_HIDE);
        break;
    case HotKeyAction::Show:
        ShowWindow(hMainWnd, SW_SHOW);
        break;
    case HotKeyAction::ShowMaximized:
    case HotKeyAction::ShowRestored:
        ShowWindow(hMainWnd, SW_SHOW);
        if (action == HotKeyAction::ShowMaximized)
            target.MaximizeLayout();
        else
            target.RestoreLayout();
        SetForegroundWindow(hMainWnd);
        break;
    case HotKeyAction::EnterFullScreen:
        target.EnterFullScreenFromHotKey();
        break;
    case HotKeyAction::LeaveFullScreen:
        target.LeaveFullScreenFromHotKey();
        break;
    case HotKeyAction::Screenshot:
        target.SaveScreenshot();
        break;
    }
    return action;
}
