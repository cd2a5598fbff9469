// What a state change of the image button costs: one BitBlt from a ready rendering, against the
// naive repaint that decodes the PNG and blends it over the background every time.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>

#include "resource.h"
#include "widgets/GdiPlusBitmap.h"
#include "widgets/TouchButton.h"

namespace {

class CBenchHost : public CWnd
{
public:
    CBenchHost()
    {
        CreateEx(0, AfxRegisterWndClass(0, nullptr, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH))), L"bench",
                 WS_POPUP | WS_VISIBLE, CRect(40, 40, 440, 200), nullptr, 0);
    }
};

class CBenchButton : public CTouchButton
{
public:
    using CTouchButton::m_bRendered;
    using CTouchButton::m_dcHover;
};

const Gdiplus::ColorMatrix kHover = {{{1.05f, 0, 0, 0, 0}, {0, 1.05f, 0, 0, 0}, {0, 0, 1.05f, 0, 0},
                                      {0, 0, 0, 1, 0}, {0.05f, 0.05f, 0.05f, 0, 1}}};

// The naive button: every paint decodes its picture, copies the parent's pixels and blends.
class CNaiveButton : public CButton
{
public:
    bool m_bHover = false;

    void DrawItem(LPDRAWITEMSTRUCT dis) override { Compose(dis->hDC); }

    void Compose(HDC hdcTarget)
    {
        CRect rc;
        GetClientRect(&rc);
        const int w = rc.Width(), h = rc.Height();
        CGdiPlusBitmapResource picture;
        picture.LoadFromResource(m_bHover ? IDB_BOSSKEY_HOVER : IDB_BOSSKEY);
        HDC hdcParent = ::GetDC(::GetParent(m_hWnd));
        HDC hdcMem = ::CreateCompatibleDC(hdcTarget);
        HBITMAP hbm = ::CreateCompatibleBitmap(hdcTarget, w, h);
        HGDIOBJ prev = ::SelectObject(hdcMem, hbm);
        CRect rcWnd;
        GetWindowRect(&rcWnd);
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&rcWnd), 2);
        ::BitBlt(hdcMem, 0, 0, w, h, hdcParent, rcWnd.left, rcWnd.top, SRCCOPY);
        {
            Gdiplus::Graphics g(hdcMem);
            Gdiplus::ImageAttributes attributes;
            if (m_bHover)
                attributes.SetColorMatrix(&kHover);
            g.DrawImage(picture.m_pBitmap, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel, &attributes);
        }
        ::BitBlt(hdcTarget, 0, 0, w, h, hdcMem, 0, 0, SRCCOPY);
        ::SelectObject(hdcMem, prev);
        ::DeleteObject(hbm);
        ::DeleteDC(hdcMem);
        ::ReleaseDC(::GetParent(m_hWnd), hdcParent);
    }
};

double Now()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

}  // namespace

int wmain()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        CBenchHost host;
        CBenchButton button;
        const int w = 97, h = 24;
        button.Create(L"", WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 20, 20 + w, 20 + h), &host, 1);
        button.SetImages(IDB_BOSSKEY, IDB_BOSSKEY_HOVER, IDB_BOSSKEY_DOWN);
        ::RedrawWindow(host.GetSafeHwnd(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (!button.m_bRendered) {
            std::printf("the button did not render; nothing to measure\n");
            return 1;
        }
        CNaiveButton naive;
        naive.Create(L"", WS_VISIBLE | BS_OWNERDRAW, CRect(20, 80, 20 + w, 80 + h), &host, 2);
        ::RedrawWindow(host.GetSafeHwnd(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const int rounds = 2000;

        // A whole state change as the player causes it: hover in or out, then the window's repaint.
        double t0 = Now();
        for (int i = 0; i < rounds; ++i) {
            button.SendMessage(i % 2 ? WM_MOUSELEAVE : WM_MOUSEHOVER);
            button.UpdateWindow();
        }
        const double readyChange = (Now() - t0) / rounds;
        t0 = Now();
        for (int i = 0; i < rounds; ++i) {
            naive.m_bHover = i % 2 == 0;
            naive.Invalidate(true);
            naive.UpdateWindow();
        }
        const double naiveChange = (Now() - t0) / rounds;

        // The drawing alone, without the paint cycle around it.
        HDC hdcButton = ::GetDC(button.GetSafeHwnd());
        t0 = Now();
        for (int i = 0; i < rounds; ++i)
            ::BitBlt(hdcButton, 0, 0, w, h, button.m_dcHover.GetSafeHdc(), 0, 0, SRCCOPY);
        ::GdiFlush();
        const double readyDraw = (Now() - t0) / rounds;
        ::ReleaseDC(button.GetSafeHwnd(), hdcButton);
        HDC hdcNaive = ::GetDC(naive.GetSafeHwnd());
        t0 = Now();
        for (int i = 0; i < rounds; ++i) {
            naive.m_bHover = i % 2 == 0;
            naive.Compose(hdcNaive);
        }
        ::GdiFlush();
        const double naiveDraw = (Now() - t0) / rounds;
        ::ReleaseDC(naive.GetSafeHwnd(), hdcNaive);

        std::printf("image button %dx%d, %d state changes each (microseconds per state change)\n", w, h, rounds);
        std::printf("                          ready renderings   naive decode+blend   naive/ready\n");
        std::printf("  drawing alone           %12.1f       %12.1f       %8.1fx\n", readyDraw * 1e6,
                    naiveDraw * 1e6, readyDraw > 0 ? naiveDraw / readyDraw : 0.0);
        std::printf("  with the paint cycle    %12.1f       %12.1f       %8.1fx\n", readyChange * 1e6,
                    naiveChange * 1e6, readyChange > 0 ? naiveChange / readyChange : 0.0);
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
