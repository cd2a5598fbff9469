#include "MenbanDlg.h"
#include "PngImage.h"
#include "ScaledSkin.h"
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

CRect CMenbanDlg::FrameRect(int w, int h, int fw, int fh, UINT nDpi)
{
    const int left = FloorHalf(w - fw);
    const int top = FloorHalf(h - fh) - ScaleForDpi(40, nDpi);
    return CRect(left, top, left + fw, top + fh);
}

CRect CMenbanDlg::TextRect(int w, int h, UINT nDpi)
{
    const int cx = ScaleForDpi(200, nDpi);
    const int cy = ScaleForDpi(31, nDpi);
    // C++ division truncates toward zero, which is how the box is centred.
    const int left = (w - cx) / 2;
    const int top = (h - cy) / 2;
    return CRect(left, top, left + cx, top + cy);
}

int CMenbanDlg::TextPixels(UINT nDpi)
{
    return ScaleForDpi(14, nDpi);
}

void CMenbanDlg::SetDpi(UINT nDpi)
{
    m_nDpi = nDpi ? nDpi : kDefaultDpi;
    // The 1 x 1 texture tiles the same at every scale; the frames are made for this one.
    const UINT frameIds[4] = {IDB_MASK_FRAME1, IDB_MASK_FRAME2, IDB_MASK_FRAME3, IDB_MASK_FRAME4};
    // The frame on show stays the one on show, made anew.
    int nCurrent = 0;
    for (int i = 0; i < 4; ++i)
        if (m_pCurrentFrame && m_pCurrentFrame == m_pFrames[i].get())
            nCurrent = i;
    for (int i = 0; i < 4; ++i)
        m_pFrames[i].reset(LoadSkinImage(frameIds[i], m_nDpi));
    m_pCurrentFrame = m_pFrames[nCurrent].get();
    if (m_hWnd)
        Invalidate(false);
}

BOOL CMenbanDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pTexture.reset(LoadPngImage(IDB_MASK_TEXTURE));
    m_pCurrentFrame = nullptr;
    SetDpi(GetWindowDpi(m_hWnd));
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
                                      static_cast<int>(m_pCurrentFrame->GetHeight()), m_nDpi);
            graphics.DrawImage(m_pCurrentFrame, rcFrame.left, rcFrame.top, rcFrame.Width(), rcFrame.Height());
        }
        const CString strText = LoadResString(IDS_MASK_TEXT);
        CRect rcText = TextRect(w, h, m_nDpi);
        DrawSkinText(graphics, strText, static_cast<Gdiplus::REAL>(TextPixels(m_nDpi)), Gdiplus::FontStyleRegular,
                     Gdiplus::Color(0xFF, 0xFF, 0xF5, 0xD3),
                     Gdiplus::RectF(static_cast<Gdiplus::REAL>(rcText.left), static_cast<Gdiplus::REAL>(rcText.top),
                                    static_cast<Gdiplus::REAL>(rcText.Width()),
                                    static_cast<Gdiplus::REAL>(rcText.Height())),
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
                                  static_cast<int>(m_pCurrentFrame->GetHeight()), m_nDpi);
        InvalidateRect(&rcFrame, true);
        UpdateWindow();
    }
    ++m_nFrame;
}
