#include "MenbanDlg.h"
#include "PngImage.h"
#include "SkinText.h"
#include "app/Paths.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CMenbanDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
bool Usable(const Gdiplus::Image* pImage)
{
    return pImage && pImage->GetLastStatus() == Gdiplus::Ok;
}

int FloorHalf(int v)
{
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}
}  // namespace

CMenbanDlg::CMenbanDlg(CWnd* pParent) : CDialog(IDD_MENBAN, pParent)
{
}

CRect CMenbanDlg::FrameRect(int w, int h, int fw, int fh)
{
    const int left = FloorHalf(w - fw);
    const int top = FloorHalf(h - fh) - 40;
    return CRect(left, top, left + fw, top + fh);
}

CRect CMenbanDlg::TextRect(int w, int h)
{
    // C++ division truncates toward zero, which is how the box is centred.
    const int left = (w - 200) / 2;
    const int top = (h - 31) / 2;
    return CRect(left, top, left + 200, top + 31);
}

BOOL CMenbanDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pTexture.reset(LoadPngImage(IDB_MASK_TEXTURE));
    const UINT frameIds[4] = {IDB_MASK_FRAME1, IDB_MASK_FRAME2, IDB_MASK_FRAME3, IDB_MASK_FRAME4};
    for (int i = 0; i < 4; ++i)
        m_pFrames[i].reset(LoadPngImage(frameIds[i]));
    m_pCurrentFrame = m_pFrames[0].get();
    m_nFrame = 1;
    ModifyStyleEx(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, kAlpha, LWA_ALPHA);
    return TRUE;
}

BOOL CMenbanDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CMenbanDlg::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    const int w = rc.Width();
    const int h = rc.Height();
    CDC memDC;
    CBitmap bitmap;
    if (w <= 0 || h <= 0 || !memDC.CreateCompatibleDC(&dc) || !bitmap.CreateCompatibleBitmap(&dc, w, h))
        return;
    HGDIOBJ hPrev = memDC.SelectObject(&bitmap);
    memDC.FillSolidRect(&rc, RGB(255, 255, 255));
    {
        Gdiplus::Graphics graphics(memDC.GetSafeHdc());
        if (Usable(m_pTexture.get())) {
            Gdiplus::TextureBrush brush(m_pTexture.get(), Gdiplus::WrapModeTile);
            brush.TranslateTransform(static_cast<Gdiplus::REAL>(rc.left), static_cast<Gdiplus::REAL>(rc.top));
            graphics.FillRectangle(&brush, rc.left, rc.top, w, h);
        }
        if (Usable(m_pCurrentFrame)) {
            CRect rcFrame = FrameRect(w, h, static_cast<int>(m_pCurrentFrame->GetWidth()),
                                      static_cast<int>(m_pCurrentFrame->GetHeight()));
            graphics.DrawImage(m_pCurrentFrame, rcFrame.left, rcFrame.top, rcFrame.Width(), rcFrame.Height());
        }
        const CString strText = LoadResString(IDS_MASK_TEXT);
        CRect rcText = TextRect(w, h);
        DrawSkinText(graphics, strText, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::Color(0xFF, 0xFF, 0xF5, 0xD3),
                     Gdiplus::RectF(static_cast<Gdiplus::REAL>(rcText.left), static_cast<Gdiplus::REAL>(rcText.top),
                                    200.0f, 31.0f),
                     Gdiplus::StringTrimmingEllipsisWord);
    }
    dc.BitBlt(0, 0, w, h, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(hPrev);
}

void CMenbanDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kTimerId)
        return;
    if (m_nFrame < 1 || m_nFrame > 4)
        m_nFrame = 1;
    m_pCurrentFrame = m_pFrames[m_nFrame - 1].get();
    if (Usable(m_pCurrentFrame)) {
        CRect rc;
        GetClientRect(&rc);
        CRect rcFrame = FrameRect(rc.Width(), rc.Height(), static_cast<int>(m_pCurrentFrame->GetWidth()),
                                  static_cast<int>(m_pCurrentFrame->GetHeight()));
        InvalidateRect(&rcFrame, true);
        UpdateWindow();
    }
    ++m_nFrame;
}
