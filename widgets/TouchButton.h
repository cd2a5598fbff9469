// The image button of the skinned windows: three PNG looks (normal, hover, pressed) laid over the
// piece of the parent's background behind the button. The three renderings are composed once; a
// state change afterwards is a single BitBlt.
#pragma once
#include "CButton.h"
#include "CToolTipCtrl.h"
#include "GdiPlusBitmap.h"
#include <memory>

class CTouchButton : public CButton
{
public:
    CTouchButton() = default;
    ~CTouchButton() override;

    // Loads the three looks for drawing at nDpi (the skin's pixels scaled by nDpi / 96). Call after
    // the window exists; again with a new DPI, which also takes the parent's background again.
    // Returns whether the hover look loaded.
    bool SetImages(UINT nNormal, UINT nHover, UINT nPressed, UINT nDpi = 96);
    // Empty text means no tooltip.
    void SetTooltipText(const CString& strText, bool bActivate = true);
    // Forgets the parent's pixels behind the button and the renderings made over them; the next
    // paint captures them again. For the parent after it has moved the button or repainted what
    // lies behind it at a new size.
    void CaptureBackgroundAgain();

    bool PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;

    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    BOOL OnEraseBkgnd(CDC* pDC);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    void OnMouseLeave();

    // Composes the three renderings over the parent's pixels; once, when all three looks are there.
    void BuildRenderings(CDC* pTargetDC);
    bool ImagesLoaded() const;

    BOOL m_bRendered = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bTracking = FALSE;
    std::unique_ptr<CGdiPlusBitmapResource> m_pImgHover;
    std::unique_ptr<CGdiPlusBitmapResource> m_pImgNormal;
    std::unique_ptr<CGdiPlusBitmapResource> m_pImgPressed;
    CString m_strTooltip;
    std::unique_ptr<CToolTipCtrl> m_pTooltip;
    // Each bitmap is declared before the context it is selected into, so the context goes first.
    CBitmap m_bmpBackground, m_bmpNormal, m_bmpPressed, m_bmpHover;
    CDC m_dcBackground;
    CDC m_dcNormal, m_dcPressed, m_dcHover;
    CDC* m_pCurrentDC = nullptr;

    DECLARE_MESSAGE_MAP()
};
