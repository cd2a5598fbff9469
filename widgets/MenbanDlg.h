// The translucent overlay shown over the main window while the browser cache is cleaned: a tiled
// texture, a four-frame animation turned by timer 5000 and a line of text.
#pragma once
#include "CDialog.h"
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

    // Where a frame of fw x fh sits in a window of w x h: centred, 40 pixels above the middle.
    static CRect FrameRect(int w, int h, int fw, int fh);
    // The text's layout box: 200 x 31, centred on the window (negative x on narrow windows).
    static CRect TextRect(int w, int h);

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

    DECLARE_MESSAGE_MAP()
};
