#include "mainwnd/TitleLayout.h"
#include <cwchar>

namespace {
// A button offsetFromRight pixels (at 96 DPI) left of the client area's right edge; the edge itself
// is a real pixel, every skin distance is scaled.
CRect Place(int nClientRight, int offsetFromRight, int cx, int cy, UINT nDpi)
{
    // Every title button hangs 3 pixels below the top of the strip.
    const int x = nClientRight - ScaleForDpi(offsetFromRight, nDpi);
    const int y = ScaleForDpi(3, nDpi);
    return CRect(x, y, x + ScaleForDpi(cx, nDpi), y + ScaleForDpi(cy, nDpi));
}
}  // namespace

int TitleStripHeight(UINT nDpi)
{
    return ScaleForDpi(kTitleStripHeight, nDpi);
}

TitleButtonLayout ComputeTitleButtonLayout(int nClientRight, UINT nDpi)
{
    const int w = nClientRight;
    TitleButtonLayout layout;
    layout.close = Place(w, 28, 28, 26, nDpi);
    layout.maximizeRestore = Place(w, 57, 28, 26, nDpi);
    layout.minimize = Place(w, 86, 28, 26, nDpi);
    layout.fullScreen = Place(w, 192, 85, 24, nDpi);
    layout.bossKey = Place(w, 294, 97, 24, nDpi);
    layout.clearCache = Place(w, 384, 85, 24, nDpi);
    layout.refresh = Place(w, 458, 78, 24, nDpi);
    layout.selectServer = Place(w, 522, 59, 24, nDpi);
    return layout;
}

CRect StripRect(const CRect& rcClient, UINT nDpi)
{
    return CRect(rcClient.left, rcClient.top, rcClient.right, rcClient.top + TitleStripHeight(nDpi));
}

CRect ViewRectBelowStrip(const CRect& rcClient, UINT nDpi)
{
    const int top = rcClient.top + TitleStripHeight(nDpi);
    const int bottom = rcClient.bottom > top ? rcClient.bottom : top;
    const int right = rcClient.right > rcClient.left ? rcClient.right : rcClient.left;
    return CRect(rcClient.left, top, right, bottom);
}

CRect WorkAreaRect(int cxScreen, int cyScreen, const RECT* pTaskbar)
{
    CRect rc(0, 0, cxScreen, cyScreen);
    if (!pTaskbar)
        return rc;
    // Only the part of the taskbar that lies on the screen counts.
    CRect bar(*pTaskbar);
    if (bar.left < 0)
        bar.left = 0;
    if (bar.top < 0)
        bar.top = 0;
    if (bar.right > cxScreen)
        bar.right = cxScreen;
    if (bar.bottom > cyScreen)
        bar.bottom = cyScreen;
    if (bar.IsRectEmpty())
        return rc;
    const bool bAcross = bar.Width() >= bar.Height();
    if (bAcross) {
        if (bar.top == 0 && bar.bottom < cyScreen)
            rc.top = bar.bottom;
        else
            rc.bottom = cyScreen - bar.Height();
    } else {
        if (bar.left == 0 && bar.right < cxScreen)
            rc.left = bar.right;
        else
            rc.right = cxScreen - bar.Width();
    }
    return rc;
}

CSize RestoredWindowSize(UINT nDpi, int cxWork, int cyWork)
{
    int cx = ScaleForDpi(kRestoredWindowWidth, nDpi);
    int cy = ScaleForDpi(kRestoredWindowHeight, nDpi);
    if (cxWork > 0 && cx > cxWork)
        cx = cxWork;
    if (cyWork > 0 && cy > cyWork)
        cy = cyWork;
    return CSize(cx, cy);
}

int SelectServerShowCommand(const wchar_t* pszText)
{
    const long n = pszText ? std::wcstol(pszText, nullptr, 10) : 0;
    return n == 0 ? SW_HIDE : SW_SHOWNORMAL;
}
