// CTorvel_QermDlg: the page zoom, stored in the settings file and shown beside the strip's title.
#include "mainwnd/Torvel_QermDlg.h"

#include "browser/MyHtmlView.h"
#include "browser/PageZoom.h"
#include "mainwnd/TitleLayout.h"
#include "start/Settings.h"

namespace {
// Where the zoom label sits at 96 DPI: right of the title at the strip's left end, or in the page's
// corner in full screen, where the strip is gone.
constexpr int kBesideTitleX = 203 + 8;
constexpr int kFullScreenMargin = 8;
}  // namespace

void CTorvel_QermDlg::ApplyStoredPageZoom()
{
    if (m_pView)
        m_pView->SetPageZoom(ReadPageZoomSetting());
}

LRESULT CTorvel_QermDlg::OnPageZoomChanged(WPARAM wParam, LPARAM lParam)
{
    const int nPercent = static_cast<int>(wParam);
    // Written only when it changed: a step at the end of the range leaves the file alone.
    if (lParam)
        WritePageZoomSetting(nPercent);
    const int nDpi = ZoomDpiOfWindow(m_hWnd);
    const SIZE size = CZoomIndicator::SizeAt(nDpi);
    POINT pt = m_bFullScreen ? POINT{MulDiv(kFullScreenMargin, nDpi, 96), MulDiv(kFullScreenMargin, nDpi, 96)}
                             : POINT{MulDiv(kBesideTitleX, nDpi, 96), (MulDiv(kTitleStripHeight, nDpi, 96) - size.cy) / 2};
    ClientToScreen(&pt);
    m_zoomIndicator.Show(m_hWnd, PageZoomText(nPercent).c_str(), pt, nDpi);
    return 0;
}
