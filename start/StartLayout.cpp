#include "start/StartLayout.h"

namespace {
// The popup over the picture at 96 DPI: its place from the picture's top-left corner and its size.
constexpr int kPopupLeft = 359;
constexpr int kPopupTop = 197;
constexpr int kPopupWidth = 700;
constexpr int kPopupHeight = 460;
constexpr int kPopupStripHeight = 72;

bool Fits(UINT nDpi, int cxPicture, int cyPicture, int cxWork, int cyWork)
{
    return ScaleForDpi(cxPicture, nDpi) <= cxWork && ScaleForDpi(cyPicture, nDpi) <= cyWork;
}
}  // namespace

UINT FitStartWindowDpi(UINT nDpi, int cxPicture, int cyPicture, int cxWork, int cyWork)
{
    if (nDpi == 0)
        nDpi = kDefaultDpi;
    if (cxWork <= 0 || cyWork <= 0 || cxPicture <= 0 || cyPicture <= 0 ||
        Fits(nDpi, cxPicture, cyPicture, cxWork, cyWork))
        return nDpi;
    // The exact bound first, then the steps that rounding still lets fit.
    const long long byWidth = static_cast<long long>(cxWork) * kDefaultDpi / cxPicture;
    const long long byHeight = static_cast<long long>(cyWork) * kDefaultDpi / cyPicture;
    UINT nFit = static_cast<UINT>(byWidth < byHeight ? byWidth : byHeight);
    if (nFit < 1)
        nFit = 1;
    while (nFit + 1 < nDpi && Fits(nFit + 1, cxPicture, cyPicture, cxWork, cyWork))
        ++nFit;
    return nFit;
}

StartWindowLayout ComputeStartWindowLayout(UINT nDpi, int cxWork, int cyWork, int cxPicture, int cyPicture)
{
    StartWindowLayout layout;
    layout.nDpi = FitStartWindowDpi(nDpi, cxPicture, cyPicture, cxWork, cyWork);
    const UINT d = layout.nDpi;
    layout.window = CSize(ScaleForDpi(cxPicture, d), ScaleForDpi(cyPicture, d));
    const int x = ScaleForDpi(kPopupLeft, d);
    const int y = ScaleForDpi(kPopupTop, d);
    layout.popup = CRect(x, y, x + ScaleForDpi(kPopupWidth, d), y + ScaleForDpi(kPopupHeight, d));
    return layout;
}

LoginPopupLayout ComputeLoginPopupLayout(UINT nDpi, int nClientRight)
{
    LoginPopupLayout layout;
    layout.size = CSize(ScaleForDpi(kPopupWidth, nDpi), ScaleForDpi(kPopupHeight, nDpi));
    layout.nStripHeight = ScaleForDpi(kPopupStripHeight, nDpi);
    const int right = nClientRight < 0 ? layout.size.cx : nClientRight;
    // The minimise button sits 65 pixels from the right edge and 30 down, the close button 82 from
    // it at the top; both measured at 96 DPI.
    const int xMin = right - ScaleForDpi(65, nDpi);
    const int yMin = ScaleForDpi(30, nDpi);
    layout.minimize = CRect(xMin, yMin, xMin + ScaleForDpi(30, nDpi), yMin + ScaleForDpi(27, nDpi));
    const int xClose = right - ScaleForDpi(82, nDpi);
    layout.close = CRect(xClose, 0, xClose + ScaleForDpi(30, nDpi), ScaleForDpi(28, nDpi));
    return layout;
}
