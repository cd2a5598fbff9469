// The main window's icon in the notification area, its menu, and the one prompt every exit from the
// main window goes through.
#include "mainwnd/Torvel_QermDlg.h"
#include "app/Paths.h"
#include "framework/CWinApp.h"
#include "framework/Trace.h"
#include "mainwnd/AudioMute.h"
#include "mainwnd/Screenshot.h"
#include "res/resource.h"
#include "start/Settings.h"
#include "widgets/CustomMessageBox.h"

namespace {
// The menu opens with its left edge this far left of the cursor, so it stays near the icon.
constexpr int kTrayMenuOffsetX = 130;
// How long a game window of a second process gets to close before the main window goes on.
constexpr DWORD kGameWndCloseWait = 50;
}  // namespace

void CTorvel_QermDlg::AddTrayIcon(const CString& strTip, HWND hWnd, HICON hIcon)
{
    m_nid = NOTIFYICONDATAW{};
    m_nid.cbSize = sizeof m_nid;
    m_nid.hWnd = hWnd;
    m_nid.uID = 0;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_TRAY_NOTIFY;
    m_nid.hIcon = hIcon;
    // The tip field holds 128 characters; a longer text is cut, never run past the field.
    lstrcpynW(m_nid.szTip, strTip, static_cast<int>(sizeof m_nid.szTip / sizeof m_nid.szTip[0]));
    Shell_NotifyIconW(NIM_ADD, &m_nid);
    m_bTrayAdded = true;
}

void CTorvel_QermDlg::RemoveTrayIcon()
{
    if (!m_bTrayAdded)
        return;
    Shell_NotifyIconW(NIM_DELETE, &m_nid);
    m_bTrayAdded = false;
}

void CTorvel_QermDlg::CloseGameWindow()
{
    if (!GetGameWnd())
        return;
    SendToGameWindow(WM_CLOSE, 0);
    Sleep(kGameWndCloseWait);
}

void CTorvel_QermDlg::ConfirmExit()
{
    CString strMessage;
    strMessage.Format(L"是否退出%s？", static_cast<LPCWSTR>(LoadResString(IDS_CLIENT_NAME)));
    CCustomMessageBox box;
    box.SetTexts(L"关闭提示", strMessage);
    if (box.DoModal() != IDOK)
        return;
    RemoveTrayIcon();
    CloseGameWindow();
    EndDialog(0);
}

LRESULT CTorvel_QermDlg::OnTrayNotify(WPARAM, LPARAM lParam)
{
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDOWN:
        // Shown in its current state: a minimised window stays minimised.
        ShowWindow(SW_SHOW);
        SetForegroundWindow();
        break;
    case WM_RBUTTONUP: {
        UniqueMenu menu(LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
        HMENU hPopup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
        if (!hPopup)
            break;
        POINT pt{};
        GetCursorPos(&pt);
        // Without the foreground the menu would not close when the player clicks elsewhere, and
        // without a message after it the next click on the icon would be lost.
        SetForegroundWindow();
        CheckMenuItem(hPopup, ID_TRAY_MUTE, MF_BYCOMMAND | (m_bMuted ? MF_CHECKED : MF_UNCHECKED));
        TrackPopupMenu(hPopup, TPM_RIGHTBUTTON, pt.x - kTrayMenuOffsetX, pt.y, 0, m_hWnd, nullptr);
        PostMessage(WM_NULL);
        break;
    }
    case NIN_BALLOONUSERCLICK:
        // Only a saved picture has a folder to show; a failure's balloon just goes.
        if (!m_strLastScreenshot.IsEmpty())
            ShowFileInFolder(m_strLastScreenshot);
        break;
    default:
        break;
    }
    return 0;
}

void CTorvel_QermDlg::OnTrayToggleShow()
{
    // The menu's hide is the boss key's: silent while hidden, the player's choice back when shown.
    if (IsWindowVisible())
        HideAndSilence();
    else
        ShowWindow(SW_SHOW);
}

void CTorvel_QermDlg::ShowTrayBalloon(const CString& strTitle, const CString& strText, DWORD dwInfoFlags)
{
    NOTIFYICONDATAW nid = m_nid;
    nid.uFlags = NIF_INFO;
    lstrcpynW(nid.szInfoTitle, strTitle, static_cast<int>(sizeof nid.szInfoTitle / sizeof nid.szInfoTitle[0]));
    lstrcpynW(nid.szInfo, strText, static_cast<int>(sizeof nid.szInfo / sizeof nid.szInfo[0]));
    nid.dwInfoFlags = dwInfoFlags;
    const bool bShown = m_bTrayAdded && Shell_NotifyIconW(NIM_MODIFY, &nid);
    CString strLine;
    strLine.Format(L"Tray balloon%s: %s: %s", bShown ? L"" : L" (no icon to show it)", static_cast<LPCWSTR>(strTitle),
                   static_cast<LPCWSTR>(strText));
    Trace(strLine);
}

LRESULT CTorvel_QermDlg::OnTaskbarCreated(WPARAM, LPARAM)
{
    // A new shell starts with an empty notification area: the icon goes in again as it was added.
    if (m_bTrayAdded)
        Trace(Shell_NotifyIconW(NIM_ADD, &m_nid) ? L"Tray icon added again for a new shell"
                                                  : L"Tray icon not added again for a new shell");
    return 0;
}

void CTorvel_QermDlg::OnTrayMute()
{
    m_bMuted = !m_bMuted;
    SetSettingString(L"Setting", L"soundoff", m_bMuted ? L"1" : L"0");
    ApplyMute();
}

void CTorvel_QermDlg::ApplyMute()
{
    m_bSessionMuted = m_bMuted || m_bMutedByBossKey;
    // Without a playback device there is nothing to silence; the choice is kept all the same.
    SetOwnAudioMuted(m_bSessionMuted);
}
