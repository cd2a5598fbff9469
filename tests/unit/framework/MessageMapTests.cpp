// Message tables on real windows: dispatch, inheritance, commands, default processing and the end of
// a window's life.
#include "framework/CWnd.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
constexpr UINT WM_PING = WM_APP + 1;

class CBaseProbe : public CWnd
{
public:
    bool Create()
    {
        return CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), L"probe", WS_POPUP, CRect(0, 0, 120, 80), nullptr, 0);
    }
    std::vector<std::wstring> m_log;
    int m_nPostNcDestroy = 0;

protected:
    int OnCreate(LPCREATESTRUCTW cs)
    {
        m_log.push_back(L"create:" + std::wstring(cs->lpszName));
        return 0;
    }
    void OnTimer(UINT_PTR id) { m_log.push_back(L"base-timer:" + std::to_wstring(id)); }
    LRESULT OnPing(WPARAM wp, LPARAM lp) { return static_cast<LRESULT>(wp) + lp; }
    void OnCommandA() { m_log.push_back(L"A"); }
    void PostNcDestroy() override { ++m_nPostNcDestroy; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbe, CWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_PING, OnPing)
    ON_COMMAND(500, OnCommandA)
END_MESSAGE_MAP()

class CDerivedProbe : public CBaseProbe
{
public:
    CPoint m_ptLast;

protected:
    void OnTimer(UINT_PTR id) { m_log.push_back(L"derived-timer:" + std::to_wstring(id)); }
    LRESULT OnNcHitTest(CPoint pt)
    {
        m_ptLast = pt;
        // A client hit becomes a caption hit, anything else stays as the system says.
        LRESULT hit = CWnd::OnNcHitTest(pt);
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    void OnRange(UINT id) { m_log.push_back(L"range:" + std::to_wstring(id)); }
    void OnChange() { m_log.push_back(L"change"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbe, CBaseProbe)
    ON_WM_TIMER()
    ON_WM_NCHITTEST()
    ON_COMMAND_RANGE(600, 610, OnRange)
    ON_CONTROL(EN_CHANGE, 700, OnChange)
END_MESSAGE_MAP()
}  // namespace

TEST(MessageMap, CreationMessagesReachTheObject)
{
    CBaseProbe wnd;
    ASSERT_TRUE(wnd.Create());
    ASSERT_EQ(wnd.m_log.size(), 1u);
    EXPECT_EQ(wnd.m_log[0], L"create:probe");
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
}

TEST(MessageMap, DerivedTablesOverrideAndInheritEntries)
{
    CDerivedProbe wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.SendMessage(WM_TIMER, 7, 0);
    EXPECT_EQ(wnd.SendMessage(WM_PING, 40, 2), 42) << "a base-class entry must still be found";
    ASSERT_EQ(wnd.m_log.size(), 2u);
    EXPECT_EQ(wnd.m_log[1], L"derived-timer:7");

    CBaseProbe base;
    ASSERT_TRUE(base.Create());
    base.SendMessage(WM_TIMER, 3, 0);
    EXPECT_EQ(base.m_log.back(), L"base-timer:3");
}

TEST(MessageMap, UnhandledMessagesAndDefaultGoToTheSystem)
{
    CBaseProbe base;
    CDerivedProbe derived;
    ASSERT_TRUE(base.Create());
    ASSERT_TRUE(derived.Create());
    SetWindowPos(base.m_hWnd, nullptr, 100, 100, 120, 80, SWP_NOZORDER);
    SetWindowPos(derived.m_hWnd, nullptr, 300, 100, 120, 80, SWP_NOZORDER);
    EXPECT_EQ(base.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(150, 130)), HTCLIENT);
    EXPECT_EQ(derived.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(350, 130)), HTCAPTION);
    EXPECT_EQ(derived.m_ptLast, CPoint(350, 130));
    EXPECT_EQ(derived.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(10, 10)), HTNOWHERE);
    // Negative screen coordinates survive the unpacking.
    derived.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(-5, -7));
    EXPECT_EQ(derived.m_ptLast, CPoint(-5, -7));
    // Unhandled: the window text is set by the default procedure.
    derived.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"renamed"));
    EXPECT_EQ(derived.GetWindowText(), CString(L"renamed"));
}

TEST(MessageMap, CommandsMatchByIdAndNotificationCode)
{
    CDerivedProbe wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.m_log.clear();
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(500, 0), 0);      // menu item
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(500, 1), 0);      // accelerator
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(500, EN_CHANGE), 0); // a notice, not a command
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(605, 0), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(611, 0), 0);      // outside the range
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(700, EN_CHANGE), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(700, 0), 0);      // the same id as a command: no entry
    std::vector<std::wstring> expected{L"A", L"A", L"range:605", L"change"};
    EXPECT_EQ(wnd.m_log, expected);
}

TEST(MessageMap, DestroyUnbindsAndNotifiesTheObject)
{
    CBaseProbe wnd;
    ASSERT_TRUE(wnd.Create());
    HWND hwnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(wnd.m_nPostNcDestroy, 1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(MessageMap, ForeignWindowsGetTemporaryObjects)
{
    HWND plain = CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    CWnd* temp = CWnd::FromHandle(plain);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, plain);
    EXPECT_EQ(CWnd::FromHandle(plain), temp);
    CWnd::DeleteTempMap();
    DestroyWindow(plain);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}
