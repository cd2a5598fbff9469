// The page zoom shown for two seconds after the player changed it ("缩放 125%"): a small label in
// the skin's style (the title strip's texture, light text), in a window of its own so that it
// shows the same over the main window's strip, over a full-screen page and over a game window that
// lives in another process's frame. It never takes the focus or a click from the page.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "framework/CWnd.h"

class CZoomIndicator : public CWnd
{
public:
    static constexpr UINT_PTR kHideTimerId = 1;
    static constexpr UINT kShowMs = 2000;
    // The label's size at 96 DPI; it grows with the display's scale.
    static constexpr int kWidth = 100;
    static constexpr int kHeight = 22;
    static constexpr int kTextPixels = 13;

    CZoomIndicator() = default;
    ~CZoomIndicator() override;

    // Shows strText with the label's top-left corner at ptScreen, sized for nDpi, for two seconds
    // from now (a label still showing starts its two seconds again). hHost is the window it belongs
    // to: the label stays above that window's top-level window while the player works there.
    bool Show(HWND hHost, const CString& strText, POINT ptScreen, int nDpi);
    void Hide();
    // The label's size at nDpi.
    static SIZE SizeAt(int nDpi);

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnNcHitTest(CPoint point);

private:
    bool CreateFor(HWND hHost);

    std::unique_ptr<Gdiplus::Image> m_pTexture;
    int m_nDpi = 96;

    DECLARE_MESSAGE_MAP()
};
