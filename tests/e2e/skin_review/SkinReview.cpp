// Screenshots of the skin for review: a frame dressed like the main window (title strip, its nine
// buttons), the message box over it, the cache-cleaning overlay over it and the start picture with
// the login popup's strip. The pictures land in <build>/x86_64/screenshots.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ScreenCapture.h"
#include "WidgetTestSupport.h"
#include "resource.h"
#include "widgets/CustomMessageBox.h"
#include "widgets/MenbanDlg.h"
#include "widgets/PngImage.h"
#include "widgets/TouchButton.h"

namespace {

constexpr int kFrameW = 1000;
constexpr int kFrameH = 420;

// A window dressed like the main window: the title strip from its three pieces and a page below.
class CReviewFrame : public CWnd
{
public:
    CReviewFrame()
    {
        m_pLeft.reset(LoadPngImage(IDB_STRIP_LEFT));
        m_pMiddle.reset(LoadPngImage(IDB_STRIP_MIDDLE));
        m_pRight.reset(LoadPngImage(IDB_STRIP_RIGHT));
        CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW)), L"review",
                 WS_POPUP | WS_VISIBLE, CRect(20, 20, 20 + kFrameW, 20 + kFrameH), nullptr, 0);
        struct Placement { CTouchButton* pButton; UINT id; int x; int w; int h; UINT n, hv, p; };
        const int W = kFrameW;
        const Placement placements[] = {
            {&m_btnClose, IDC_BTN_CLOSE, W - 28, 28, 26, IDB_CLOSE, IDB_CLOSE_HOVER, IDB_CLOSE_DOWN},
            {&m_btnRestore, IDC_BTN_RESTORE, W - 57, 28, 26, IDB_RESTORE, IDB_RESTORE_HOVER, IDB_RESTORE_DOWN},
            {&m_btnMinimize, IDC_BTN_MINIMIZE, W - 86, 28, 26, IDB_MINIMIZE, IDB_MINIMIZE_HOVER, IDB_MINIMIZE_DOWN},
            {&m_btnFullScreen, IDC_BTN_FULLSCREEN, W - 192, 85, 24, IDB_FULLSCREEN, IDB_FULLSCREEN_HOVER,
             IDB_FULLSCREEN_DOWN},
            {&m_btnBossKey, IDC_BTN_BOSSKEY, W - 294, 97, 24, IDB_BOSSKEY, IDB_BOSSKEY_HOVER, IDB_BOSSKEY_DOWN},
            {&m_btnClearCache, IDC_BTN_CLEAR_CACHE, W - 384, 85, 24, IDB_CLEAR_CACHE, IDB_CLEAR_CACHE_HOVER,
             IDB_CLEAR_CACHE_DOWN},
            {&m_btnRefresh, IDC_BTN_REFRESH, W - 458, 78, 24, IDB_REFRESH, IDB_REFRESH_HOVER, IDB_REFRESH_DOWN},
            {&m_btnSelectServer, IDC_BTN_SELECT_SERVER, W - 522, 59, 24, IDB_SELECT_SERVER,
             IDB_SELECT_SERVER_HOVER, IDB_SELECT_SERVER_DOWN},
        };
        for (const Placement& s : placements) {
            s.pButton->Create(L"", WS_VISIBLE | BS_PUSHBUTTON, CRect(s.x, 3, s.x + s.w, 3 + s.h), this, s.id);
            s.pButton->SetImages(s.n, s.hv, s.p);
        }
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

    CTouchButton m_btnClose, m_btnRestore, m_btnMinimize, m_btnFullScreen, m_btnBossKey, m_btnClearCache,
        m_btnRefresh, m_btnSelectServer;

protected:
    BOOL OnEraseBkgnd(CDC* pDC)
    {
        CRect rc;
        GetClientRect(&rc);
        Gdiplus::Graphics g(pDC->GetSafeHdc());
        // The page: a dusky gradient with a caption, standing in for the game.
        Gdiplus::LinearGradientBrush page(Gdiplus::Point(0, 30), Gdiplus::Point(0, rc.bottom),
                                          Gdiplus::Color(255, 70, 96, 120), Gdiplus::Color(255, 24, 30, 44));
        g.FillRectangle(&page, 0, 30, rc.Width(), rc.Height() - 30);
        Gdiplus::Font font(L"arial", 28.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
        Gdiplus::SolidBrush ink(Gdiplus::Color(90, 255, 255, 255));
        g.DrawString(L"game page", -1, &font, Gdiplus::PointF(40.0f, 60.0f), &ink);
        const int lw = static_cast<int>(m_pLeft->GetWidth());
        const int rw = static_cast<int>(m_pRight->GetWidth());
        Gdiplus::TextureBrush left(m_pLeft.get(), Gdiplus::WrapModeTile);
        g.FillRectangle(&left, 0, 0, lw, 30);
        Gdiplus::TextureBrush middle(m_pMiddle.get(), Gdiplus::WrapModeTile);
        middle.TranslateTransform(static_cast<Gdiplus::REAL>(lw), 0.0f);
        g.FillRectangle(&middle, lw, 0, rc.Width() - lw - rw, 30);
        Gdiplus::TextureBrush right(m_pRight.get(), Gdiplus::WrapModeTile);
        right.TranslateTransform(static_cast<Gdiplus::REAL>(rc.Width() - rw), 0.0f);
        g.FillRectangle(&right, rc.Width() - rw, 0, rw, 30);
        return TRUE;
    }

    std::unique_ptr<Gdiplus::Image> m_pLeft, m_pMiddle, m_pRight;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReviewFrame, CWnd)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

std::wstring Shot(const wchar_t* name)
{
    return ScreenshotDir() + name;
}

void ExpectSaved(Gdiplus::Bitmap& bitmap, const wchar_t* name)
{
    EXPECT_TRUE(SavePng(bitmap, Shot(name)));
    WIN32_FILE_ATTRIBUTE_DATA fad{};
    ASSERT_TRUE(::GetFileAttributesExW(Shot(name).c_str(), GetFileExInfoStandard, &fad));
    EXPECT_GT(fad.nFileSizeLow, 1000u);
}

// Where a window lies in the frame's client coordinates.
CPoint OffsetIn(HWND hwnd, HWND frame)
{
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    POINT pt{rc.left, rc.top};
    ::ScreenToClient(frame, &pt);
    return CPoint(pt);
}

CCustomMessageBox* g_pBox = nullptr;
std::function<void()> g_action;

void CALLBACK ActOnceShown(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_action && g_pBox && g_pBox->GetSafeHwnd() && ::IsWindowVisible(g_pBox->GetSafeHwnd())) {
        ::RedrawWindow(g_pBox->GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        auto action = std::move(g_action);
        g_action = nullptr;
        action();
    }
}

}  // namespace

TEST(SkinReview, TitleStripInEveryState)
{
    CReviewFrame frame;
    auto normal = CaptureClient(frame.GetSafeHwnd());
    ExpectSaved(*normal, L"strip_normal.png");

    for (CTouchButton* p : {&frame.m_btnSelectServer, &frame.m_btnClose})
        p->SendMessage(WM_MOUSEHOVER);
    frame.m_btnBossKey.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    frame.m_btnMinimize.SendMessage(WM_MOUSEHOVER);
    frame.m_btnMinimize.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::RedrawWindow(frame.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    auto touched = CaptureClient(frame.GetSafeHwnd());
    ExpectSaved(*touched, L"strip_hover_and_pressed.png");

    Gdiplus::Color a, b;
    normal->GetPixel(kFrameW - 522 + 10, 3 + 12, &a);
    touched->GetPixel(kFrameW - 522 + 10, 3 + 12, &b);
    EXPECT_NE(a.GetValue(), b.GetValue()) << "the hover look shows";
    frame.m_btnBossKey.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    frame.m_btnMinimize.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(500, 500));
}

TEST(SkinReview, MessageBoxOverTheWindow)
{
    CReviewFrame frame;
    auto under = CaptureClient(frame.GetSafeHwnd());
    CCustomMessageBox box;
    box.SetTexts(L"关闭提示", L"是否退出《Vantor》微端？");
    g_pBox = &box;
    bool shot = false;
    g_action = [&] {
        HWND hwndBox = box.GetSafeHwnd();
        // Put the box in the middle of the frame, as it shows over the main window.
        RECT rcFrame{};
        ::GetWindowRect(frame.GetSafeHwnd(), &rcFrame);
        ::SetWindowPos(hwndBox, nullptr, rcFrame.left + (kFrameW - 253) / 2, rcFrame.top + 140, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER);
        ::RedrawWindow(hwndBox, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        auto boxShot = CaptureClient(hwndBox);
        ExpectSaved(*boxShot, L"msgbox.png");
        Gdiplus::Graphics g(under.get());
        CPoint at = OffsetIn(hwndBox, frame.GetSafeHwnd());
        g.DrawImage(boxShot.get(), static_cast<INT>(at.x), static_cast<INT>(at.y));
        ExpectSaved(*under, L"msgbox_over_window.png");

        // The OK button touched, for the hover look.
        ::SendMessageW(::GetDlgItem(hwndBox, IDOK), WM_MOUSEHOVER, 0, 0);
        ::UpdateWindow(::GetDlgItem(hwndBox, IDOK));
        ::SendMessageW(::GetDlgItem(hwndBox, IDCANCEL), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::UpdateWindow(::GetDlgItem(hwndBox, IDCANCEL));
        auto touched = CaptureClient(hwndBox);
        ExpectSaved(*touched, L"msgbox_ok_hover_cancel_pressed.png");
        ::SendMessageW(::GetDlgItem(hwndBox, IDCANCEL), WM_LBUTTONUP, 0, MAKELPARAM(500, 500));
        shot = true;
        ::SendMessageW(::GetDlgItem(hwndBox, IDOK), BM_CLICK, 0, 0);
    };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &ActOnceShown);
    EXPECT_EQ(box.DoModal(), IDOK);
    ::KillTimer(nullptr, timer);
    g_pBox = nullptr;
    EXPECT_TRUE(shot);
}

TEST(SkinReview, MessageBoxWithALongMessage)
{
    CCustomMessageBox box;
    box.SetTexts(L"温馨提示", L"缓存清理完成后请重新登录游戏，如果仍然无法进入游戏，请联系客服并提供您的账号"
                              L"与区服信息，我们会尽快为您处理。WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    g_pBox = &box;
    g_action = [&] {
        auto shot = CaptureClient(box.GetSafeHwnd());
        ExpectSaved(*shot, L"msgbox_long_message.png");
        ::SendMessageW(::GetDlgItem(box.GetSafeHwnd(), IDCANCEL), BM_CLICK, 0, 0);
    };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &ActOnceShown);
    EXPECT_EQ(box.DoModal(), IDCANCEL);
    ::KillTimer(nullptr, timer);
    g_pBox = nullptr;
}

TEST(SkinReview, CacheOverlayOverTheWindow)
{
    CReviewFrame frame;
    auto under = CaptureClient(frame.GetSafeHwnd());
    CMenbanDlg overlay(&frame);
    ASSERT_TRUE(overlay.Create(IDD_MENBAN, &frame));
    RECT rc{};
    frame.GetWindowRect(&rc);
    overlay.SetWindowPos(nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    overlay.ShowWindow(SW_SHOWNOACTIVATE);
    overlay.UpdateWindow();
    for (int frameNo = 1; frameNo <= 4; ++frameNo) {
        overlay.SendMessage(WM_TIMER, CMenbanDlg::kTimerId, 0);
        auto top = CaptureClient(overlay.GetSafeHwnd());
        // What the compositor shows: the overlay at 229/255 over the window.
        Gdiplus::Bitmap blended(kFrameW, kFrameH, PixelFormat32bppRGB);
        Gdiplus::Graphics g(&blended);
        g.DrawImage(under.get(), 0, 0);
        Gdiplus::ColorMatrix alpha = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0},
                                       {0, 0, 0, 229.0f / 255.0f, 0}, {0, 0, 0, 0, 1}}};
        Gdiplus::ImageAttributes attributes;
        attributes.SetColorMatrix(&alpha);
        g.DrawImage(top.get(), Gdiplus::Rect(0, 0, kFrameW, kFrameH), 0, 0, kFrameW, kFrameH, Gdiplus::UnitPixel,
                    &attributes);
        wchar_t name[64];
        wsprintfW(name, L"overlay_frame%d.png", frameNo);
        ExpectSaved(blended, name);
    }
}

TEST(SkinReview, StartPictureWithThePopupStrip)
{
    std::unique_ptr<Gdiplus::Image> picture(LoadPngImage(IDB_START_BACKGROUND));
    ASSERT_NE(picture, nullptr);
    Gdiplus::Bitmap canvas(1115 + 80, 723 + 80, PixelFormat32bppRGB);
    Gdiplus::Graphics g(&canvas);
    // A desktop behind the per-pixel transparent window.
    Gdiplus::LinearGradientBrush desktop(Gdiplus::Point(0, 0), Gdiplus::Point(1195, 803),
                                         Gdiplus::Color(255, 40, 110, 150), Gdiplus::Color(255, 150, 190, 200));
    g.FillRectangle(&desktop, 0, 0, 1195, 803);
    g.DrawImage(picture.get(), 40, 40, 1115, 723);
    // The login popup at (359, 197), 700 x 460: its patterned strip, then the page.
    HBITMAP hbm = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                    MAKEINTRESOURCEW(IDB_POPUP_BACKGROUND), IMAGE_BITMAP, 0, 0,
                                                    LR_CREATEDIBSECTION));
    ASSERT_NE(hbm, nullptr);
    {
        Gdiplus::Bitmap strip(hbm, nullptr);
        g.DrawImage(&strip, Gdiplus::Rect(40 + 359, 40 + 197, 700, 460), 0, 0, 700, 460, Gdiplus::UnitPixel);
    }
    ::DeleteObject(hbm);
    Gdiplus::SolidBrush pageBrush(Gdiplus::Color(255, 246, 244, 238));
    g.FillRectangle(&pageBrush, 40 + 359, 40 + 197 + 72, 700, 460 - 72);
    std::unique_ptr<Gdiplus::Image> minimize(LoadPngImage(IDB_POPUP_BTN_320));
    std::unique_ptr<Gdiplus::Image> close(LoadPngImage(IDB_POPUP_BTN_323));
    g.DrawImage(minimize.get(), Gdiplus::Rect(40 + 359 + 700 - 65, 40 + 197 + 30, 27, 27), 0, 0, 27, 27,
                Gdiplus::UnitPixel);
    g.DrawImage(close.get(), Gdiplus::Rect(40 + 359 + 700 - 82, 40 + 197, 28, 28), 0, 0, 28, 28,
                Gdiplus::UnitPixel);
    ExpectSaved(canvas, L"start_window.png");
}
