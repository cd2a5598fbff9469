#include "mainwnd/TitleLayout.h"
#include <cwchar>

namespace {
CRect Place(int x, int cx, int cy)
{
    // Every title button hangs 3 pixels below the top of the strip.
    return CRect(x, 3, x + cx, 3 + cy);
}
}  // namespace

TitleButtonLayout ComputeTitleButtonLayout(int nClientRight)
{
    const int w = nClientRight;
    TitleButtonLayout layout;
    layout.close = Place(w - 28, 28, 26);
    layout.maximizeRestore = Place(w - 57, 28, 26);
    layout.minimize = Place(w - 86, 28, 26);
    layout.fullScreen = Place(w - 192, 85, 24);
    layout.bossKey = Place(w - 294, 97, 24);
    layout.clearCache = Place(w - 384, 85, 24);
    layout.refresh = Place(w - 458, 78, 24);
    layout.selectServer = Place(w - 522, 59, 24);
    return layout;
}

CRect StripRect(const CRect& rcClient)
{
    return CRect(rcClient.left, rcClient.top, rcClient.right, rcClient.top + kTitleStripHeight);
}

CRect ViewRectBelowStrip(const CRect& rcClient)
{
    const int top = rcClient.top + kTitleStripHeight;
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

int SelectServerShowCommand(const wchar_t* pszText)
{
    const long n = pszText ? std::wcstol(pszText, nullptr, 10) : 0;
    return n == 0 ? SW_HIDE : SW_SHOWNORMAL;
}
