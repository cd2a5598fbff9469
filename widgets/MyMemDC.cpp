#include "MyMemDC.h"

CMyMemDC::CMyMemDC(CDC* pTargetDC, const RECT* pRect) : m_pTargetDC(pTargetDC)
{
    if (pRect && !CRect(*pRect).IsRectNull())
        m_rcArea = *pRect;
    else if (pTargetDC)
        pTargetDC->GetClipBox(&m_rcArea);

    // A printer gets the drawing directly, and so does any target that leaves no memory for a copy:
    // the picture is then drawn without the flicker guard instead of not at all.
    if (pTargetDC && !pTargetDC->IsPrinting() && !m_rcArea.IsRectEmpty() && CreateCompatibleDC(pTargetDC)) {
        if (m_offscreenBitmap.CreateCompatibleBitmap(pTargetDC, m_rcArea.Width(), m_rcArea.Height())) {
            m_hPrevBitmap = SelectObject(&m_offscreenBitmap);
            SetWindowOrg(m_rcArea.left, m_rcArea.top);
            m_bOffscreen = true;
            return;
        }
        DeleteDC();
    }
    if (pTargetDC)
        Attach(pTargetDC->GetSafeHdc());
}

CMyMemDC::~CMyMemDC()
{
    if (m_bOffscreen) {
        m_pTargetDC->BitBlt(m_rcArea.left, m_rcArea.top, m_rcArea.Width(), m_rcArea.Height(), this,
                            m_rcArea.left, m_rcArea.top, SRCCOPY);
        SelectObject(m_hPrevBitmap);
    } else {
        // The target's handle was only borrowed.
        Detach();
    }
}
