// Geometry of the start window and its login popup that needs no window. Every fixed pixel is
// given at 96 DPI and scales with a layout DPI: the display's, or less where the picture at the
// display's scale would not fit the work area of its monitor. At 96 the numbers are the skin's own.
#pragma once
#include "framework/Dpi.h"
#include "framework/Geometry.h"

// The start picture's size at 96 DPI.
constexpr int kStartPictureWidth = 1115;
constexpr int kStartPictureHeight = 723;

struct StartWindowLayout
{
    // The scale everything of the start window and its popup is drawn at (a DPI value).
    UINT nDpi = kDefaultDpi;
    // The window: the picture at that scale.
    CSize window;
    // The popup, relative to the window's top-left corner.
    CRect popup;
};

// The largest layout DPI, at most nDpi, at which a picture of cxPicture x cyPicture (at 96 DPI) fits
// a work area of cxWork x cyWork; the aspect is kept. A work area of zero size is not known and
// limits nothing; the result is never below 1.
UINT FitStartWindowDpi(UINT nDpi, int cxPicture, int cyPicture, int cxWork, int cyWork);

// The start window at the display's nDpi on a work area of cxWork x cyWork.
StartWindowLayout ComputeStartWindowLayout(UINT nDpi, int cxWork, int cyWork,
                                           int cxPicture = kStartPictureWidth, int cyPicture = kStartPictureHeight);

// Inside the popup at a layout DPI, in client coordinates; the buttons are measured from the client
// area's right edge nClientRight (by default the popup's own width).
struct LoginPopupLayout
{
    CSize size;
    // The patterned strip above the page; the page is the client area below it.
    int nStripHeight = 0;
    CRect minimize;
    CRect close;
};
LoginPopupLayout ComputeLoginPopupLayout(UINT nDpi, int nClientRight = -1);
