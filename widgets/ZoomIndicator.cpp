#include "widgets/ZoomIndicator.h"

#include "framework/Handles.h"
#include "res/resource.h"
#include "widgets/PngImage.h"
#include "widgets/SkinText.h"

BEGIN_MESSAGE_MAP(CZoomIndicator, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_NCHITTEST()
END_MESSAGE_MAP()

namespace {
// The strip's light text and a darker edge, so the label reads on the page as on the strip.
const Gdiplus::Color kTextColour(255, 255, 255, 255);
const Gdiplus::Color kEdgeColour(255, 40, 40, 40);
}  // namespace

CZoomIndicator::~CZoomIndicator()
{
    if (m_hWnd)
        DestroyWindow();
}

SIZE CZoomIndicator::SizeAt(int nDpi)
{
    if (nDpi <= 0)
        nDpi = 96;
    return SIZE{MulDiv(kWidth, nDpi, 96), MulDiv(kHeight, nDpi, 96)};
}

bool CZoomIndicator::CreateFor(HWND hHost)
{
    if (m_hWnd)
        return true;
    // Owned by the host's top-level window when that is this process's own, so it stays above it; a
    // game window's frame belongs to another process, and there the label stays above everything for
    // its two seconds instead.
    HWND hRoot = hHost ? ::GetAncestor(hHost, GA_ROOT) : nullptr;
    DWORD dwRootProcess = 0;
    if (hRoot)
        ::GetWindowThreadProcessId(hRoot, &dwRootProcess);
    CWnd* pOwner = hRoot && dwRootProcess == ::GetCurrentProcessId() ? CWnd::FromHandle(hRoot) : nullptr;
    m_pTexture.reset(LoadPngImage(IDB_STRIP_MIDDLE));
    const SIZE size = SizeAt(96);
    return CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST,
                    AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW)), L"", WS_POPUP,
                    CRect(0, 0, size.cx, size.cy), pOwner, 0);
}

bool CZoomIndicator::Show(HWND hHost, const CString& strText, POINT ptScreen, int nDpi)
{
    if (!CreateFor(hHost))
        return false;
    m_nDpi = nDpi > 0 ? nDpi : 96;
    SetWindowText(strText);
    const SIZE size = SizeAt(m_nDpi);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, ptScreen.x, ptScreen.y, size.cx, size.cy,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate(false);
    UpdateWindow();
    SetTimer(kHideTimerId, kShowMs);
    return true;
}

void CZoomIndicator::Hide()
{
    if (!m_hWnd)
        return;
    KillTimer(kHideTimerId);
    ShowWindow(SW_HIDE);
}

void CZoomIndicator::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kHideTimerId)
        Hide();
}

BOOL CZoomIndicator::OnEraseBkgnd(CDC*)
{
    // The whole label is painted in one copy.
    return TRUE;
}

LRESULT CZoomIndicator::OnNcHitTest(CPoint)
{
    // A click meant for the page under the label still reaches it.
    return HTTRANSPARENT;
}

void CZoomIndicator::OnPaint()
{
    PaintScope paint(m_hWnd);
    CRect rc;
    GetClientRect(&rc);
    if (!paint.get() || rc.Width() <= 0 || rc.Height() <= 0)
        return;
    UniqueMemDC memDC(::CreateCompatibleDC(paint.get()));
    UniqueGdiObj<HBITMAP> bitmap(::CreateCompatibleBitmap(paint.get(), rc.Width(), rc.Height()));
    if (!memDC || !bitmap)
        return;
    SelectScope select(memDC.get(), bitmap.get());
    {
        Gdiplus::Graphics graphics(memDC.get());
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
        Gdiplus::SolidBrush edge(kEdgeColour);
        graphics.FillRectangle(&edge, 0, 0, rc.Width(), rc.Height());
        if (m_pTexture && m_pTexture->GetLastStatus() == Gdiplus::Ok) {
            // The strip's one-pixel column stretched over the label: the same gradient at any size.
            graphics.DrawImage(m_pTexture.get(), Gdiplus::Rect(1, 1, rc.Width() - 2, rc.Height() - 2), 0, 0,
                               static_cast<INT>(m_pTexture->GetWidth()), static_cast<INT>(m_pTexture->GetHeight()),
                               Gdiplus::UnitPixel);
        }
        const Gdiplus::REAL textPixels = static_cast<Gdiplus::REAL>(MulDiv(kTextPixels, m_nDpi, 96));
        // Centred vertically by hand: the skin's text helper centres across only.
        const Gdiplus::REAL top = (static_cast<Gdiplus::REAL>(rc.Height()) - textPixels * 1.25f) / 2;
        const Gdiplus::RectF layout(0, top, static_cast<Gdiplus::REAL>(rc.Width()),
                                    static_cast<Gdiplus::REAL>(rc.Height()) - top);
        const CString strText = GetWindowText();
        DrawSkinText(graphics, strText, textPixels, Gdiplus::FontStyleBold, kTextColour, layout,
                     Gdiplus::StringTrimmingNone);
    }
    ::BitBlt(paint.get(), 0, 0, rc.Width(), rc.Height(), memDC.get(), 0, 0, SRCCOPY);
}
