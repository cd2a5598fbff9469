// Pieces of the hotkey tests: a plain top-level window that records what reaches it and hands
// WM_HOTKEY to the hotkey handler, a target that records the layout actions, the settings file in
// the real data folder, and a probe for combinations that some window holds.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "mainwnd/HotKeys.h"
#include "support/Wait.h"
#include "support/NoCopy.h"

struct RecordedMessage
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CRecordingWnd : CNoCopy
{
public:
    explicit CRecordingWnd(LPCWSTR pszTitle, HWND hOwner = nullptr);
    ~CRecordingWnd();

    HWND Hwnd() const { return m_hWnd; }
    // Counts the recorded messages of one kind.
    int Count(UINT message) const;

    std::vector<RecordedMessage> m_messages;
    IHotKeyTarget* m_pTarget = nullptr;           // WM_HOTKEY goes to HandleGlobalHotKey when set
    std::vector<HotKeyAction> m_actions;
    std::vector<bool> m_activeAtHotKey;           // IsActiveMainWindow when each WM_HOTKEY arrived
    HWND m_hForegroundAfterHotKey = nullptr;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd = nullptr;
};

// Layout flags as the main window keeps them, and the actions called on it, in order.
class CRecordingTarget : public IHotKeyTarget
{
public:
    bool IsMinimizedByButton() const override { return m_bMinimized; }
    bool IsMaximizedLayout() const override { return m_bMaximized; }
    bool IsFullScreen() const override { return m_bFullScreen; }
    HWND GetGameWnd() const override { return m_hGameWnd; }
    void RefreshView() override;
    void MaximizeLayout() override;
    void RestoreLayout() override;
    void EnterFullScreenFromHotKey() override { m_calls.push_back("EnterFullScreen"); m_bFullScreen = true; }
    void LeaveFullScreenFromHotKey() override { m_calls.push_back("LeaveFullScreen"); m_bFullScreen = false; }
    void SaveScreenshot() override { m_calls.push_back("Screenshot"); }

    bool m_bMinimized = false;
    bool m_bMaximized = false;
    bool m_bFullScreen = false;
    HWND m_hGameWnd = nullptr;
    HWND m_hMainWnd = nullptr;
    std::vector<std::string> m_calls;
    bool m_bReloadQueuedAtRefresh = false;         // the game window's reload was already posted
    bool m_bVisibleAtLayout = false;               // the main window was shown before its layout
};

// Replaces the settings file for the test's lifetime and puts the old one back.
class CSettingsFile
{
public:
    CSettingsFile();
    ~CSettingsFile();
    void Write(const std::string& text) const;
    void Remove() const;

private:
    std::wstring m_strPath;
    std::string m_strSaved;
    bool m_bHadFile = false;
};

// True when some window already holds the combination (RegisterHotKey refuses it).
bool IsHotKeyTaken(UINT modifiers, UINT vk);
