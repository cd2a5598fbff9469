// Modal and modeless dialogs on real templates: how they end, what PreTranslateMessage sees, nested
// modal loops and messages reflected to bound controls.
#include "framework/CDialog.h"
#include "framework_tests.h"
#include <gtest/gtest.h>
#include <functional>
#include <vector>

namespace {
constexpr UINT WM_END_WITH = WM_APP + 10;

// A control that answers what its parent reflects: owner drawing and its colours.
class CReflectProbe : public CWnd
{
public:
    int m_nDrawItem = 0;
    int m_nCtlColor = 0;
    HBRUSH m_hBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));

protected:
    void DrawItem(LPDRAWITEMSTRUCT dis)
    {
        ++m_nDrawItem;
        FillRect(dis->hDC, &dis->rcItem, m_hBrush);
    }
    HBRUSH CtlColor(CDC*, UINT nCtlColor)
    {
        if (nCtlColor == CTLCOLOR_BTN)
            ++m_nCtlColor;
        return m_hBrush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectProbe, CWnd)
    ON_WM_DRAWITEM_REFLECT()
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CTestDlg : public CDialog
{
public:
    explicit CTestDlg(UINT id = IDD_TEST_DIALOG) : CDialog(id) {}

    std::function<void(CTestDlg&)> m_onInit;
    bool m_bKeepOpenOnOk = false;
    bool m_bKeepOpenOnCancel = false;
    int m_nOk = 0, m_nCancel = 0, m_nParentCtlColor = 0;
    std::vector<std::pair<HWND, WPARAM>> m_keys;
    CReflectProbe m_ownerDraw, m_plain;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_onInit)
            m_onInit(*this);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (GetDlgItem(IDC_TEST_OWNERDRAW)) {
            DDX_Control(pDX, IDC_TEST_OWNERDRAW, m_ownerDraw);
            DDX_Control(pDX, IDC_TEST_PLAIN, m_plain);
        }
    }
    bool PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            m_keys.emplace_back(pMsg->hwnd, pMsg->wParam);
        return CDialog::PreTranslateMessage(pMsg);
    }
    void OnOK() override
    {
        ++m_nOk;
        if (!m_bKeepOpenOnOk)
            CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++m_nCancel;
        if (!m_bKeepOpenOnCancel)
            CDialog::OnCancel();
    }
    // lParam: how many more trips through the queue before ending, so that messages the system
    // posts in reply to earlier ones are handled first.
    LRESULT OnEndWith(WPARAM wp, LPARAM lp)
    {
        if (lp > 0) {
            PostMessage(WM_END_WITH, wp, lp - 1);
            return 0;
        }
        EndDialog(static_cast<int>(wp));
        return 0;
    }
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        ++m_nParentCtlColor;
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_MESSAGE(WM_END_WITH, OnEndWith)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

HWND Item(CDialog& d, int id)
{
    return GetDlgItem(d.m_hWnd, id);
}
}  // namespace

TEST(DialogModal, EndsWithTheResultGiven)
{
    CTestDlg inInit;
    inInit.m_onInit = [](CTestDlg& d) { d.EndDialog(7); };
    EXPECT_EQ(inInit.DoModal(), 7);
    EXPECT_EQ(inInit.m_hWnd, nullptr) << "the window is destroyed when DoModal returns";

    CTestDlg later;
    later.m_onInit = [](CTestDlg& d) { d.PostMessage(WM_END_WITH, 12); };
    EXPECT_EQ(later.DoModal(), 12);
}

TEST(DialogModal, OkCancelEnterAndEscape)
{
    CTestDlg ok;
    ok.m_onInit = [](CTestDlg& d) { d.PostMessage(WM_COMMAND, IDOK); };
    EXPECT_EQ(ok.DoModal(), IDOK);

    CTestDlg cancel;
    cancel.m_onInit = [](CTestDlg& d) { d.PostMessage(WM_COMMAND, IDCANCEL); };
    EXPECT_EQ(cancel.DoModal(), IDCANCEL);

    CTestDlg enter;
    enter.m_onInit = [](CTestDlg& d) { PostMessageW(Item(d, IDC_TEST_EDIT), WM_KEYDOWN, VK_RETURN, 0); };
    EXPECT_EQ(enter.DoModal(), IDOK);
    EXPECT_EQ(enter.m_nOk, 1);

    CTestDlg escape;
    escape.m_onInit = [](CTestDlg& d) { PostMessageW(Item(d, IDC_TEST_EDIT), WM_KEYDOWN, VK_ESCAPE, 0); };
    EXPECT_EQ(escape.DoModal(), IDCANCEL);
    EXPECT_EQ(escape.m_nCancel, 1);

    CTestDlg closed;
    closed.m_onInit = [](CTestDlg& d) { d.PostMessage(WM_CLOSE); };
    EXPECT_EQ(closed.DoModal(), IDCANCEL);
}

TEST(DialogModal, EmptyOkAndCancelKeepTheDialogOpen)
{
    CTestDlg dlg;
    dlg.m_bKeepOpenOnOk = dlg.m_bKeepOpenOnCancel = true;
    dlg.m_onInit = [](CTestDlg& d) {
        PostMessageW(Item(d, IDC_TEST_EDIT), WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(Item(d, IDC_TEST_EDIT), WM_KEYDOWN, VK_ESCAPE, 0);
        d.PostMessage(WM_CLOSE);
        d.PostMessage(WM_END_WITH, 5, 3);
    };
    EXPECT_EQ(dlg.DoModal(), 5);
    EXPECT_EQ(dlg.m_nOk, 1);
    EXPECT_EQ(dlg.m_nCancel, 2);
}

TEST(DialogModal, PreTranslateSeesKeysAimedAtChildControls)
{
    CTestDlg dlg;
    HWND edit = nullptr;
    dlg.m_onInit = [&edit](CTestDlg& d) {
        edit = Item(d, IDC_TEST_EDIT);
        PostMessageW(edit, WM_KEYDOWN, 'A', 0);
        PostMessageW(Item(d, IDC_TEST_PLAIN), WM_KEYDOWN, VK_F5, 0);
        d.PostMessage(WM_END_WITH, 1);
    };
    dlg.DoModal();
    ASSERT_EQ(dlg.m_keys.size(), 2u);
    EXPECT_EQ(dlg.m_keys[0].first, edit);
    EXPECT_EQ(dlg.m_keys[0].second, static_cast<WPARAM>('A'));
    EXPECT_EQ(dlg.m_keys[1].second, static_cast<WPARAM>(VK_F5));
}

TEST(DialogModal, NestedModalFromInitialisationOfAnInvisibleDialog)
{
    CTestDlg outer;
    INT_PTR innerResult = 0;
    bool outerVisibleDuringInner = true;
    outer.m_onInit = [&](CTestDlg& d) {
        CTestDlg inner(IDD_TEST_INNER);
        inner.m_onInit = [&](CTestDlg& i) {
            outerVisibleDuringInner = d.IsWindowVisible();
            i.PostMessage(WM_COMMAND, IDOK);
        };
        innerResult = inner.DoModal();
        d.PostMessage(WM_END_WITH, 3);
    };
    EXPECT_EQ(outer.DoModal(), 3);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_FALSE(outerVisibleDuringInner);
}

TEST(DialogModal, QuitSeenByAnInnerLoopReachesTheOuterLoops)
{
    CTestDlg outer;
    INT_PTR innerResult = 0;
    outer.m_onInit = [&](CTestDlg&) {
        CTestDlg inner(IDD_TEST_INNER);
        inner.m_onInit = [](CTestDlg&) { PostQuitMessage(9); };
        innerResult = inner.DoModal();
    };
    EXPECT_EQ(outer.DoModal(), -1);
    EXPECT_EQ(innerResult, -1);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 9u);
}

TEST(DialogControls, BoundControlsGetReflectedDrawingAndColours)
{
    CTestDlg dlg;
    int drawn = 0, coloured = 0, parentColoured = 0;
    dlg.m_onInit = [&](CTestDlg& d) {
        EXPECT_EQ(CWnd::FromHandlePermanent(Item(d, IDC_TEST_OWNERDRAW)), &d.m_ownerDraw);
        d.ShowWindow(SW_SHOW);
        RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        drawn = d.m_ownerDraw.m_nDrawItem;
        coloured = d.m_plain.m_nCtlColor;
        parentColoured = d.m_nParentCtlColor;
        d.EndDialog(1);
    };
    dlg.DoModal();
    EXPECT_GE(drawn, 1);
    EXPECT_GE(coloured, 1);
    EXPECT_EQ(dlg.m_ownerDraw.m_hWnd, nullptr) << "bound controls are released with the dialog";
    (void)parentColoured;
}

TEST(DialogModeless, CreateShowsTemplateAndDestroys)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_INNER, nullptr));
    EXPECT_NE(dlg.m_hWnd, nullptr);
    EXPECT_NE(Item(dlg, IDOK), nullptr);
    EXPECT_FALSE(dlg.IsModalLoopRunning());
    dlg.EndDialog(IDOK);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}
