// The skinned message box run modally for real: its results, its geometry, what it paints and how
// it answers hit tests. Each test acts on the box from a timer once the box is on screen.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "WidgetTestSupport.h"
#include "resource.h"
#include "widgets/CustomMessageBox.h"

namespace {

class CProbeBox : public CCustomMessageBox
{
public:
    using CCustomMessageBox::m_btnCancel;
    using CCustomMessageBox::m_btnClose;
    using CCustomMessageBox::m_btnOk;
    using CCustomMessageBox::m_pBackground;
    using CCustomMessageBox::m_strMessage;
    using CCustomMessageBox::m_strTitle;
};

CProbeBox* g_pBox = nullptr;
std::function<void(CProbeBox&)> g_action;
DWORD g_nDeadline = 0;

void CALLBACK ActOnceShown(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_pBox || !g_pBox->GetSafeHwnd())
        return;
    if (g_action && ::IsWindowVisible(g_pBox->GetSafeHwnd())) {
        ::RedrawWindow(g_pBox->GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        auto action = std::move(g_action);
        g_action = nullptr;
        action(*g_pBox);
    } else if (!g_action && ::GetTickCount() > g_nDeadline) {
        // The action did not end the box: end it with a result no button gives.
        g_pBox->EndDialog(-99);
    }
}

INT_PTR RunBox(CProbeBox& box, std::function<void(CProbeBox&)> action)
{
    g_pBox = &box;
    g_action = std::move(action);
    g_nDeadline = ::GetTickCount() + 5000;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &ActOnceShown);
    INT_PTR result = box.DoModal();
    ::KillTimer(nullptr, timer);
    g_pBox = nullptr;
    g_action = nullptr;
    return result;
}

void Click(CWnd& button)
{
    button.SendMessage(BM_CLICK);
}

bool IsMessageInk(COLORREF c)
{
    // The message colour is (255, 236, 247); the box behind it is dark.
    return GetRValue(c) >= 160 && GetGValue(c) >= 150 && GetBValue(c) >= 155;
}

bool IsWhite(COLORREF c)
{
    return GetRValue(c) >= 235 && GetGValue(c) >= 235 && GetBValue(c) >= 235;
}

int CountInk(const CPixels& px, const RECT& rc, bool (*pred)(COLORREF))
{
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            n += pred(px.At(x, y)) ? 1 : 0;
    return n;
}

const RECT kTitleBox = {85, 7, 185, 32};
const RECT kMessageBox = {28, 33, 248, 63};

}  // namespace

TEST(CCustomMessageBox, StartsWithTheDefaultTitleAndNoMessage)
{
    CProbeBox box;
    EXPECT_STREQ(box.m_strTitle, L"温馨提示");
    EXPECT_TRUE(box.m_strMessage.IsEmpty());
    box.SetTexts(L"关闭提示", L"是否退出《Vantor》微端？");
    EXPECT_STREQ(box.m_strTitle, L"关闭提示");
    EXPECT_STREQ(box.m_strMessage, L"是否退出《Vantor》微端？");
}

TEST(CCustomMessageBox, OkGivesOne)
{
    CProbeBox box;
    EXPECT_EQ(RunBox(box, [](CProbeBox& b) { Click(b.m_btnOk); }), IDOK);
}

TEST(CCustomMessageBox, CancelGivesTwo)
{
    CProbeBox box;
    EXPECT_EQ(RunBox(box, [](CProbeBox& b) { Click(b.m_btnCancel); }), IDCANCEL);
}

TEST(CCustomMessageBox, TheCloseButtonGivesTwo)
{
    CProbeBox box;
    EXPECT_EQ(RunBox(box, [](CProbeBox& b) { Click(b.m_btnClose); }), IDCANCEL);
}

TEST(CCustomMessageBox, EscapeGivesTwoAndEnterGivesOne)
{
    CProbeBox escape;
    EXPECT_EQ(RunBox(escape, [](CProbeBox& b) { b.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0x00010001); }), IDCANCEL);
    CProbeBox enter;
    EXPECT_EQ(RunBox(enter, [](CProbeBox& b) { b.PostMessage(WM_KEYDOWN, VK_RETURN, 0x001C0001); }), IDOK);
}

TEST(CCustomMessageBox, IsABorderless253By106BoxWithItsButtonsInPlace)
{
    CProbeBox box;
    RunBox(box, [](CProbeBox& b) {
        CRect rcWnd, rcClient;
        b.GetWindowRect(&rcWnd);
        b.GetClientRect(&rcClient);
        EXPECT_EQ(rcWnd.Width(), 253);
        EXPECT_EQ(rcWnd.Height(), 106);
        EXPECT_EQ(rcClient, CRect(0, 0, 253, 106));
        const DWORD style = b.GetStyle();
        EXPECT_EQ(style & WS_CAPTION, 0u);
        EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX), static_cast<DWORD>(WS_SYSMENU | WS_MINIMIZEBOX));
        auto placed = [&](CWnd& button) {
            CRect rc;
            button.GetWindowRect(&rc);
            ::MapWindowPoints(HWND_DESKTOP, b.GetSafeHwnd(), reinterpret_cast<LPPOINT>(&rc), 2);
            return rc;
        };
        EXPECT_EQ(placed(b.m_btnClose), CRect(228, 10, 256, 36));
        EXPECT_EQ(placed(b.m_btnOk), CRect(45, 61, 127, 95));
        EXPECT_EQ(placed(b.m_btnCancel), CRect(137, 61, 219, 95));
        ASSERT_NE(b.m_pBackground, nullptr);
        EXPECT_EQ(b.m_pBackground->GetWidth(), 256u);
        Click(b.m_btnOk);
    });
}

TEST(CCustomMessageBox, AClientHitIsACaptionHitButAButtonIsNot)
{
    CProbeBox box;
    RunBox(box, [](CProbeBox& b) {
        CPoint text(60, 45);   // on the message line
        b.ClientToScreen(&text);
        EXPECT_EQ(b.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(text.x, text.y)), HTCAPTION);
        CPoint ok(86, 78);
        CPoint okScreen = ok;
        b.ClientToScreen(&okScreen);
        EXPECT_EQ(::ChildWindowFromPoint(b.GetSafeHwnd(), ok), b.m_btnOk.GetSafeHwnd());
        EXPECT_EQ(b.m_btnOk.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(okScreen.x, okScreen.y)), HTCLIENT);
        Click(b.m_btnCancel);
    });
}

TEST(CCustomMessageBox, DrawsItsTitleInWhiteAndNothingWithoutOne)
{
    CProbeBox titled;
    int titledInk = 0;
    RunBox(titled, [&](CProbeBox& b) {
        titledInk = CountInk(CPixels(b.GetSafeHwnd()), kTitleBox, IsWhite);
        Click(b.m_btnOk);
    });
    CProbeBox untitled;
    untitled.SetTexts(L"", L"");
    int untitledInk = -1;
    RunBox(untitled, [&](CProbeBox& b) {
        untitledInk = CountInk(CPixels(b.GetSafeHwnd()), kTitleBox, IsWhite);
        Click(b.m_btnOk);
    });
    EXPECT_GT(titledInk, 20);
    EXPECT_EQ(untitledInk, 0);
}

TEST(CCustomMessageBox, ALongMessageStaysInsideItsBoxAndEndsInAnEllipsis)
{
    std::wstring longText;
    for (int i = 0; i < 120; ++i)
        longText += L"W";
    CProbeBox empty;
    empty.SetTexts(L"", L"");
    std::unique_ptr<CPixels> blank;
    RunBox(empty, [&](CProbeBox& b) {
        blank = std::make_unique<CPixels>(b.GetSafeHwnd());
        Click(b.m_btnOk);
    });
    CProbeBox full;
    full.SetTexts(L"", longText.c_str());
    std::unique_ptr<CPixels> text;
    RunBox(full, [&](CProbeBox& b) {
        text = std::make_unique<CPixels>(b.GetSafeHwnd());
        Click(b.m_btnOk);
    });
    ASSERT_TRUE(blank && text);
    ASSERT_EQ(text->Width(), 253);

    // Outside the 220 x 30 box nothing changed.
    int changedOutside = 0;
    for (int y = 0; y < 106; ++y)
        for (int x = 0; x < 253; ++x)
            if (!::PtInRect(&kMessageBox, POINT{x, y}) && text->At(x, y) != blank->At(x, y))
                ++changedOutside;
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(CountInk(*text, kMessageBox, IsMessageInk), 100);

    // The last line ends in dots: its rightmost ink columns are only a pixel or two high, where a W
    // is as tall as the line.
    int lastRow = -1;
    for (int y = kMessageBox.bottom - 1; y >= kMessageBox.top && lastRow < 0; --y)
        for (int x = kMessageBox.left; x < kMessageBox.right; ++x)
            if (IsMessageInk(text->At(x, y))) {
                lastRow = y;
                break;
            }
    ASSERT_GE(lastRow, 0);
    const int lineTop = lastRow - 9;
    int rightmost = -1;
    for (int x = kMessageBox.right - 1; x >= kMessageBox.left && rightmost < 0; --x)
        for (int y = lineTop; y <= lastRow; ++y)
            if (IsMessageInk(text->At(x, y))) {
                rightmost = x;
                break;
            }
    ASSERT_GE(rightmost, 0);
    int inkRowsAtEnd = 0;
    for (int y = lineTop; y <= lastRow; ++y) {
        bool any = false;
        for (int x = rightmost - 6; x <= rightmost; ++x)
            any = any || IsMessageInk(text->At(x, y));
        inkRowsAtEnd += any ? 1 : 0;
    }
    EXPECT_LE(inkRowsAtEnd, 3);
}
