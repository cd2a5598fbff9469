// Geometry of the main window that needs no window: where the title buttons sit, where the game
// view goes, and which rectangle the maximised window takes. Every fixed pixel is given at 96 DPI
// and scales with the window's DPI (ScaleForDpi); at 96 the numbers are the skin's own.
#pragma once
#include "framework/Dpi.h"
#include "framework/Geometry.h"

// The strip's height at 96 DPI.
constexpr int kTitleStripHeight = 30;
// The restored window's size at 96 DPI.
constexpr int kRestoredWindowWidth = 1000;
constexpr int kRestoredWindowHeight = 700;

// The strip's height at nDpi: 30, 38, 45, 60 at 96, 120, 144, 192.
int TitleStripHeight(UINT nDpi = kDefaultDpi);

// Positions of the title buttons in the client area, for a client area whose right edge is
// nClientRight, at nDpi. Maximise and restore share one place.
struct TitleButtonLayout
{
    CRect close;
    CRect maximizeRestore;
    CRect minimize;
    CRect fullScreen;
    CRect bossKey;
    CRect clearCache;
    CRect refresh;
    CRect selectServer;
};
TitleButtonLayout ComputeTitleButtonLayout(int nClientRight, UINT nDpi = kDefaultDpi);

// The strip at the top of the client area.
CRect StripRect(const CRect& rcClient, UINT nDpi = kDefaultDpi);
// The client area below the strip; never of negative height (a minimised window has no client area).
CRect ViewRectBelowStrip(const CRect& rcClient, UINT nDpi = kDefaultDpi);

// The restored window's size at nDpi, no larger than the work area it is restored on (a 1000 x 700
// window at 150 % would not fit a 1920 x 1080 screen above its taskbar). A work area of zero
// size is not known and limits nothing.
CSize RestoredWindowSize(UINT nDpi, int cxWork = 0, int cyWork = 0);

// The rectangle of the maximised window on a screen of cxScreen x cyScreen, given the taskbar's
// window rectangle (null or empty when there is none). A taskbar across the bottom or the top takes
// its height away, one along a side edge its width; the window keeps clear of it.
CRect WorkAreaRect(int cxScreen, int cyScreen, const RECT* pTaskbar);

// The select-server button's show command from its string-table text: "0" hides it, any other
// number shows it (only the two commands make sense for a child button).
int SelectServerShowCommand(const wchar_t* pszText);
