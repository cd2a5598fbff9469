// The translucent overlay shown over the main window while the browser cache is cleaned: a tiled
// texture, a four-frame animation turned by timer 5000 and a line of text.
#pragma once
#include "CDialog.h"
#include "Dpi.h"
#include <memory>
#include <objidl.h>
#include <gdiplus.h>

class CMenbanDlg : public CDialog
{
public:
    explicit CMenbanDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    static constexpr UINT_PTR kTimerId = 5000;
    static constexpr UINT kTimerPeriod = 200;
    static constexpr BYTE kAlpha = 229;

    // Where a frame of fw x fh sits in a window of w x h: centred, 40 pixels (at 96 DPI) above the middle.
    static CRect FrameRect(int w, int h, int fw, int fh, UINT nDpi = kDefaultDpi);
    // The text's layout box: 200 x 31 at 96 DPI, centred on the window (negative x on narrow windows).
    static CRect TextRect(int w, int h, UINT nDpi = kDefaultDpi);
    // The text's size in pixels at nDpi.
    static int TextPixels(UINT nDpi = kDefaultDpi);

    // Draws the overlay for nDpi from now on: the frames are made for that scale once, here.
    void SetDpi(UINT nDpi);
    UINT GetDpi() const { return m_nDpi; }

protected:
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnOK() override {}
    void OnCancel() override {}

    std::unique_ptr<Gdiplus::Image> m_pTexture;
    std::unique_ptr<Gdiplus::Image> m_pFrames[4];
    Gdiplus::Image* m_pCurrentFrame = nullptr;
    int m_nFrame = 1;
    UINT m_nDpi = kDefaultDpi;

    DECLARE_MESSAGE_MAP()
};
