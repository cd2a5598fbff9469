// Runs the real main window modally and acts on it from a thread timer, step by step, as a player
// would: each step is retried on every tick until it reports that it is done.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "mainwnd/Torvel_QermDlg.h"
#include "widgets/CustomMessageBox.h"
#include "support/ClientWindows.h"
#include "support/RectText.h"
#include "support/TraceCapture.h"
#include "support/XKeys.h"

// The main window with its state open to the tests.
class CProbeMainDlg : public CTorvel_QermDlg
{
public:
    using CTorvel_QermDlg::AddTrayIcon;
    using CTorvel_QermDlg::m_bFullScreen;
    using CTorvel_QermDlg::m_bMaximized;
    using CTorvel_QermDlg::m_bMinimized;
    using CTorvel_QermDlg::m_bMuted;
    using CTorvel_QermDlg::m_bSessionMuted;
    using CTorvel_QermDlg::m_bTrayAdded;
    using CTorvel_QermDlg::m_btnBossKey;
    using CTorvel_QermDlg::m_btnClearCache;
    using CTorvel_QermDlg::m_btnClose;
    using CTorvel_QermDlg::m_btnFullScreen;
    using CTorvel_QermDlg::m_btnMaximize;
    using CTorvel_QermDlg::m_btnMinimize;
    using CTorvel_QermDlg::m_btnRefresh;
    using CTorvel_QermDlg::m_btnRestore;
    using CTorvel_QermDlg::m_btnSelectServer;
    using CTorvel_QermDlg::m_btnUnused1011;
    using CTorvel_QermDlg::m_btnUnused1017;
    using CTorvel_QermDlg::m_hAccel;
    using CTorvel_QermDlg::m_hGameWnd;
    using CTorvel_QermDlg::m_nid;
    using CTorvel_QermDlg::m_nSelectServerShow;
    using CTorvel_QermDlg::m_pImgStripLeft;
    using CTorvel_QermDlg::m_pImgStripMiddle;
    using CTorvel_QermDlg::m_pImgStripRight;
    using CTorvel_QermDlg::m_pMask;
    using CTorvel_QermDlg::m_pView;
    using CTorvel_QermDlg::m_nDpi;
    using CTorvel_QermDlg::m_strGameUrl;
    using CTorvel_QermDlg::m_strLastScreenshot;
    using CTorvel_QermDlg::RemoveTrayIcon;
    using CTorvel_QermDlg::SendToGameWindow;
};

// The message box's texts, read from the box the window opened.
struct BoxTexts
{
    CString strTitle;
    CString strMessage;
};
BoxTexts TextsOf(HWND hBox);

using Step = std::function<bool(CProbeMainDlg&)>;

// What RunMainDlg returns when the steps ran out and the window was still open (it is then ended
// with this value), and when the steps did not finish in time.
constexpr INT_PTR kScriptDone = 1000;
constexpr INT_PTR kScriptTimedOut = -99;

// The address the start window hands over in these tests: loopback, a port nothing listens on.
extern const wchar_t kTestGameUrl[];

// Runs the window modally. The start window that its initialisation runs first is ended as the
// login popup ends it, with a report of a navigation to kTestGameUrl; then the steps run.
INT_PTR RunMainDlg(CProbeMainDlg& dlg, std::vector<Step> steps, DWORD nTimeoutMs = 30000);

// A step that ends the start window as a navigation to strUrl would.
Step FinishStartWindow(const wchar_t* pszUrl);

// A step that waits until the window has been shown.
Step WaitUntilShown();
// A step that waits nMs.
Step Wait(DWORD nMs);

// A plain window of the test tries to take the key: false while some window holds it.
bool KeyIsFree(UINT nModifiers, UINT nKey);

// A window of this process standing in for a game window of a second process: it records the
// messages the main window sends and posts it. It starts as a hidden top-level window.
class CGameWndRecorder
{
public:
    CGameWndRecorder();
    ~CGameWndRecorder();
    HWND Handle() const { return m_hWnd; }
    // Moves into hParent as a child, as a game window does before it announces itself.
    void AdoptInto(HWND hParent);

    struct Record
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Record> m_records;
    // The wParam of the last WM_GAMEWND_FIT, or -1 when none came.
    int LastFit() const;
    // The lParam of the last WM_GAMEWND_FIT (the main window's DPI), or -1 when none came.
    LPARAM LastFitDpi() const;
    int Count(UINT message) const;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd = nullptr;
};

