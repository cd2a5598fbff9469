#include "mainwnd/TitleStrip.h"
#include "mainwnd/TitleLayout.h"

namespace {
bool Usable(Gdiplus::Image* pImage)
{
    return pImage && pImage->GetLastStatus() == Gdiplus::Ok && pImage->GetWidth() > 0 && pImage->GetHeight() > 0;
}

// Fills a rectangle with an image tiled from the rectangle's own top-left corner.
void FillTiled(Gdiplus::Graphics& graphics, Gdiplus::Image* pImage, int x, int y, int cx, int cy)
{
    if (cx <= 0 || cy <= 0)
        return;
    Gdiplus::TextureBrush brush(pImage, Gdiplus::WrapModeTile);
    brush.TranslateTransform(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y));
    graphics.FillRectangle(&brush, x, y, cx, cy);
}
}  // namespace

bool DrawTitleStrip(CDC* pTarget, int nClientWidth, Gdiplus::Image* pLeft, Gdiplus::Image* pMiddle,
                    Gdiplus::Image* pRight, int nStripHeight)
{
    if (!pTarget || nClientWidth <= 0 || nStripHeight <= 0 || !Usable(pLeft) || !Usable(pMiddle) || !Usable(pRight))
        return false;
    CDC memDC;
    CBitmap bitmap;
    if (!memDC.CreateCompatibleDC(pTarget) || !bitmap.CreateCompatibleBitmap(pTarget, nClientWidth, nStripHeight))
        return false;
    HGDIOBJ hPrev = memDC.SelectObject(&bitmap);
    {
        Gdiplus::Graphics graphics(memDC.GetSafeHdc());
        const int leftWidth = static_cast<int>(pLeft->GetWidth());
        const int rightWidth = static_cast<int>(pRight->GetWidth());
        FillTiled(graphics, pLeft, 0, 0, leftWidth, static_cast<int>(pLeft->GetHeight()));
        FillTiled(graphics, pMiddle, leftWidth, 0, nClientWidth - leftWidth - rightWidth,
                  static_cast<int>(pMiddle->GetHeight()));
        FillTiled(graphics, pRight, nClientWidth - rightWidth, 0, rightWidth, static_cast<int>(pRight->GetHeight()));
    }
    pTarget->BitBlt(0, 0, nClientWidth, nStripHeight, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(hPrev);
    return true;
}
