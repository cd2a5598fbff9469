#include "TouchButton.h"
#include "MyMemDC.h"

BEGIN_MESSAGE_MAP(CTouchButton, CButton)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
    ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

namespace {
// Hover look: every colour channel times 1.05 plus 0.05, alpha untouched.
const Gdiplus::ColorMatrix kHoverMatrix = {{
    {1.05f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.0f, 1.05f, 0.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 1.05f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
    {0.05f, 0.05f, 0.05f, 0.0f, 1.0f},
}};

// Draws one look at its own pixel size at the top-left corner.
void DrawLook(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* pImage, const Gdiplus::ColorMatrix* pMatrix)
{
    const INT w = static_cast<INT>(pImage->GetWidth());
    const INT h = static_cast<INT>(pImage->GetHeight());
    if (!pMatrix) {
        graphics.DrawImage(pImage, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
        return;
    }
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(pMatrix, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeBitmap);
    graphics.DrawImage(pImage, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel, &attributes);
}
}  // namespace

CTouchButton::~CTouchButton()
{
    // The tooltip is owned by this window: it goes before the button's window does.
    m_pTooltip.reset();
    DestroyWindow();
}

void CTouchButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW, SWP_FRAMECHANGED);
}

bool CTouchButton::SetImages(UINT nNormal, UINT nHover, UINT nPressed, UINT nDpi)
{
    // Renderings made from looks of another scale are of no use any more.
    if (m_bRendered)
        CaptureBackgroundAgain();
    m_pImgHover = std::make_unique<CGdiPlusBitmapResource>();
    m_pImgNormal = std::make_unique<CGdiPlusBitmapResource>();
    m_pImgPressed = std::make_unique<CGdiPlusBitmapResource>();
    bool bHover = m_pImgHover->LoadFromResource(nHover, nDpi);
    m_pImgNormal->LoadFromResource(nNormal, nDpi);
    m_pImgPressed->LoadFromResource(nPressed, nDpi);
    return bHover;
}

bool CTouchButton::ImagesLoaded() const
{
    return m_pImgNormal && m_pImgNormal->m_pBitmap && m_pImgPressed && m_pImgPressed->m_pBitmap &&
           m_pImgHover && m_pImgHover->m_pBitmap;
}

HBRUSH CTouchButton::CtlColor(CDC* pDC, UINT)
{
    BuildRenderings(pDC);
    return nullptr;
}

void CTouchButton::BuildRenderings(CDC* pTargetDC)
{
    if (m_bRendered || !ImagesLoaded())
        return;
    CRect rc;
    GetClientRect(&rc);
    if (rc.IsRectEmpty())
        return;
    const int w = rc.Width();
    const int h = rc.Height();
    CMyMemDC memDC(pTargetDC, &rc);

    if (!m_dcBackground.GetSafeHdc()) {
        // The parent's pixels behind the button, as they are now; kept until the parent asks for
        // them again (CaptureBackgroundAgain), so a hover never captures the button's own looks.
        CClientDC dcParent(GetParent());
        CRect rcWnd;
        GetWindowRect(&rcWnd);
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&rcWnd), 2);
        // A context without its bitmap would be taken for a capture at every later paint.
        if (!m_dcBackground.CreateCompatibleDC(&dcParent))
            return;
        if (!m_bmpBackground.CreateCompatibleBitmap(&dcParent, w, h)) {
            m_dcBackground.DeleteDC();
            return;
        }
        m_dcBackground.SelectObject(&m_bmpBackground);
        m_dcBackground.BitBlt(0, 0, w, h, &dcParent, rcWnd.left, rcWnd.top, SRCCOPY);
    }

    struct Look { CDC* pDC; CBitmap* pBmp; Gdiplus::Bitmap* pImage; const Gdiplus::ColorMatrix* pMatrix; };
    const Look looks[] = {
        {&m_dcNormal, &m_bmpNormal, m_pImgNormal->m_pBitmap, nullptr},
        {&m_dcPressed, &m_bmpPressed, m_pImgPressed->m_pBitmap, nullptr},
        {&m_dcHover, &m_bmpHover, m_pImgHover->m_pBitmap, &kHoverMatrix},
    };
    for (const Look& look : looks) {
        if (look.pDC->GetSafeHdc())
            continue;
        memDC.BitBlt(0, 0, w, h, &m_dcBackground, 0, 0, SRCCOPY);
        {
            Gdiplus::Graphics graphics(memDC.GetSafeHdc());
            DrawLook(graphics, look.pImage, look.pMatrix);
        }
        if (!look.pDC->CreateCompatibleDC(&memDC) || !look.pBmp->CreateCompatibleBitmap(&memDC, w, h)) {
            look.pDC->DeleteDC();
            return;
        }
        look.pDC->SelectObject(look.pBmp);
        look.pDC->BitBlt(0, 0, w, h, &memDC, 0, 0, SRCCOPY);
    }
    if (!m_pCurrentDC)
        m_pCurrentDC = &m_dcNormal;
    m_bRendered = TRUE;
}

void CTouchButton::CaptureBackgroundAgain()
{
    // Each context goes before the bitmap selected into it.
    for (CDC* pDC : {&m_dcBackground, &m_dcNormal, &m_dcPressed, &m_dcHover})
        pDC->DeleteDC();
    for (CBitmap* pBmp : {&m_bmpBackground, &m_bmpNormal, &m_bmpPressed, &m_bmpHover})
        pBmp->DeleteObject();
    m_pCurrentDC = nullptr;
    m_bRendered = FALSE;
    if (m_hWnd)
        Invalidate(FALSE);
}

void CTouchButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (!m_bRendered || !lpDrawItemStruct)
        return;
    CDC* pChosen = &m_dcNormal;
    if (lpDrawItemStruct->itemState & ODS_SELECTED)
        pChosen = &m_dcPressed;
    else if (m_bHover)
        pChosen = &m_dcHover;
    m_pCurrentDC = pChosen;
    CRect rc;
    GetClientRect(&rc);
    ::BitBlt(lpDrawItemStruct->hDC, 0, 0, rc.Width(), rc.Height(), pChosen->GetSafeHdc(), 0, 0, SRCCOPY);
}

BOOL CTouchButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

BOOL CTouchButton::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

void CTouchButton::OnMouseMove(UINT, CPoint)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT tme{};
        tme.cbSize = sizeof tme;
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = 1;
        m_bTracking = ::TrackMouseEvent(&tme);
    }
    Default();
}

LRESULT CTouchButton::OnMouseHover(WPARAM, LPARAM)
{
    m_bHover = TRUE;
    Invalidate(true);
    m_pTooltip.reset();
    SetTooltipText(m_strTooltip, true);
    if (m_pTooltip)
        m_pTooltip->Update();
    return 0;
}

void CTouchButton::OnMouseLeave()
{
    m_bTracking = FALSE;
    m_bHover = FALSE;
    Invalidate(true);
}

void CTouchButton::SetTooltipText(const CString& strText, bool bActivate)
{
    if (strText.IsEmpty())
        return;
    // Kept before the tooltip exists, so that the next hover makes it when this time fails.
    m_strTooltip = strText;
    if (!m_pTooltip) {
        auto pTooltip = std::make_unique<CToolTipCtrl>();
        if (!pTooltip->Create(this, 0))
            return;
        pTooltip->Activate(true);
        m_pTooltip = std::move(pTooltip);
    }
    if (m_pTooltip->GetToolCount() == 0) {
        CRect rc;
        GetClientRect(&rc);
        m_pTooltip->AddTool(this, strText, &rc, 1);
    }
    m_pTooltip->UpdateTipText(strText, this, 1);
    m_pTooltip->SetDelayTime(TTDT_AUTOMATIC, 2000);
    m_pTooltip->Activate(bActivate);
}

bool CTouchButton::PreTranslateMessage(MSG* pMsg)
{
    // An owner-drawn button reports a double click instead of a second click: make it a click.
    if (pMsg->message == WM_LBUTTONDBLCLK)
        pMsg->message = WM_LBUTTONDOWN;
    if (m_pTooltip && m_pTooltip->GetSafeHwnd())
        m_pTooltip->RelayEvent(pMsg);
    return CButton::PreTranslateMessage(pMsg);
}
