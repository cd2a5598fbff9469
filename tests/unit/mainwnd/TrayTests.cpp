// The notification-area icon, its menu and the close prompt on the real main window.
#include <gtest/gtest.h>

#include <string>

#include "MainDlgTestSupport.h"
#include "WidgetTestSupport.h"

namespace {
// Waits for the close prompt, checks its texts and answers it with the button nId.
Step AnswerPrompt(int nId, const wchar_t* pszTitle, const wchar_t* pszMessage)
{
    return [=](CProbeMainDlg&) {
        CCustomMessageBox* pBox = FindMessageBox();
        if (!pBox)
            return false;
        const BoxTexts texts = TextsOf(pBox);
        EXPECT_STREQ(texts.strTitle, pszTitle);
        EXPECT_STREQ(texts.strMessage, pszMessage);
        Click(::GetDlgItem(pBox->GetSafeHwnd(), nId));
        return true;
    };
}

Step AnswerClosePrompt(int nId)
{
    return AnswerPrompt(nId, L"关闭提示", L"是否退出《Vantor》微端？");
}

// The visible pop-up menu window of this thread, or null.
HWND FindMenuWindow()
{
    HWND hMenu = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            wchar_t cls[32] = L"";
            ::GetClassNameW(h, cls, 32);
            if (::IsWindowVisible(h) && std::wstring(cls) == L"#32768") {
                *reinterpret_cast<HWND*>(lp) = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&hMenu));
    return hMenu;
}
}  // namespace

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
            d.SendMessage(WM_USER + 2001, reinterpret_cast<WPARAM>(game.Handle()));
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
            Click(d.m_btnFullScreen);
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
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        Click(d.m_btnBossKey);
        EXPECT_FALSE(d.IsWindowVisible());
        EXPECT_EQ(d.SendMessage(WM_USER + 1, 0, WM_LBUTTONDOWN), 0);
        EXPECT_TRUE(d.IsWindowVisible());
        // Other mouse messages of the icon do nothing.
        d.SendMessage(WM_USER + 1, 0, WM_MOUSEMOVE);
        d.SendMessage(WM_USER + 1, 0, WM_LBUTTONUP);
        EXPECT_TRUE(d.IsWindowVisible());
        d.SendMessage(WM_COMMAND, 32775);
        EXPECT_FALSE(d.IsWindowVisible());
        d.SendMessage(WM_COMMAND, 32775);
        EXPECT_TRUE(d.IsWindowVisible());
        return true;
    }}), kScriptDone);
}

TEST(TrayIcon, LeftClickKeepsAMinimisedWindowMinimised)
{
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(), [](CProbeMainDlg& d) {
        Click(d.m_btnMinimize);
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
            EXPECT_EQ(::GetMenuItemCount(hMenu), 3);
            const struct
            {
                UINT id;
                const wchar_t* text;
            } items[] = {{32775, L"隐藏/显示(F10)"}, {32776, L"清理缓存"}, {32777, L"退出"}};
            for (int i = 0; i < 3; ++i) {
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
