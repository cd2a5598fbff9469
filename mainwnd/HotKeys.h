// The main window's global hotkeys: F5 refreshes the game page, the boss key hides and shows the
// client, the full-screen key switches full screen, the screenshot key saves a picture of the page.
// The boss, full-screen and screenshot keys come from the settings file. The window keeps its layout code; what the keys do to it lives here, behind
// IHotKeyTarget, so that the window's WM_HOTKEY handler is one call:
//     void OnHotKey(UINT nHotKeyId, UINT, UINT) { HandleGlobalHotKey(m_hWnd, int(nHotKeyId), *this); Default(); }
#pragma once

#include <windows.h>

constexpr int kHotKeyRefresh = 1;
constexpr int kHotKeyBoss = 2;
constexpr int kHotKeyFullScreen = 3;
constexpr int kHotKeyScreenshot = 4;

// Reads "Setting"/"screentoggle" and "Setting"/"fullscreen" from the settings file and registers
// them as ids 2 and 3, then F5 as id 1, all on hMainWnd. A missing key falls back to the shipped
// F10 and F11; an empty value leaves its id unregistered on purpose. A name that is not a key, or
// a combination that another program holds, is not registered. Returns true when every hotkey
// that the settings ask for is registered. Every key here is registered without repeat: a held key
// acts once.
bool RegisterGlobalHotKeys(HWND hMainWnd);

// Releases ids 1 to 4 of hMainWnd (they also end with the window).
void UnregisterGlobalHotKeys(HWND hMainWnd);

// F5 is a hotkey only while the main window is the active window; in the background it belongs to
// whatever program the player is using. Call it from the main window's WM_ACTIVATE with
// nState != WA_INACTIVE. Returns whether F5 is registered afterwards.
bool UpdateRefreshHotKey(HWND hMainWnd, bool bActive);

// Like F5, the screenshot key ("Setting"/"screenshots", the shipped Ctrl+Shift+A when the key is
// missing, none when empty) is held only while the main window is active, so it never takes the
// combination from another program. Reads the setting at each call; returns whether the key is
// registered afterwards.
bool UpdateScreenshotHotKey(HWND hMainWnd, bool bActive);

// True when the foreground window is hMainWnd or its last active pop-up.
bool IsActiveMainWindow(HWND hMainWnd);

// What the hotkeys need from the main window: its layout flags and its layout actions.
class IHotKeyTarget
{
public:
    virtual bool IsMinimizedByButton() const = 0;   // set by the minimise button only
    virtual bool IsMaximizedLayout() const = 0;     // maximised rather than restored
    virtual bool IsFullScreen() const = 0;
    virtual HWND GetGameWnd() const = 0;            // the announced game window, or null
    virtual void RefreshView() = 0;                 // Refresh() of the game view, when there is one
    virtual void MaximizeLayout() = 0;              // the maximise button's action
    virtual void RestoreLayout() = 0;               // the restore button's action
    virtual void EnterFullScreenFromHotKey() = 0;   // as the button, but keeps the minimised flag
    virtual void LeaveFullScreenFromHotKey() = 0;   // as Escape, without the strip invalidation
    virtual void SaveScreenshot() = 0;              // a picture of the game view, reported in the tray

protected:
    ~IHotKeyTarget() = default;
};

enum class HotKeyAction
{
    None,
    Refresh,            // reload the game window, then refresh the view
    Hide,
    Show,
    ShowMaximized,      // show, maximise layout, bring to front
    ShowRestored,       // show, restore layout, bring to front
    EnterFullScreen,
    LeaveFullScreen,
    Screenshot,
};

// The state a hotkey decision depends on.
struct HotKeyWindowState
{
    bool bActive = false;       // IsActiveMainWindow
    bool bVisible = false;
    bool bMinimized = false;    // IHotKeyTarget::IsMinimizedByButton
    bool bMaximized = false;
    bool bFullScreen = false;
};

// Refresh, full screen and the screenshot act only on the active main window; the boss key acts always.
HotKeyAction ChooseHotKeyAction(int nId, const HotKeyWindowState& state);

// The WM_HOTKEY behaviour of the main window: decides and carries out the action for nId. The
// caller still runs the default processing afterwards.
HotKeyAction HandleGlobalHotKey(HWND hMainWnd, int nId, IHotKeyTarget& target);
