// Geometry of the main window that needs no window: where the title buttons sit, where the game
// view goes, and which rectangle the maximised window takes.
#pragma once
#include "framework/Geometry.h"

constexpr int kTitleStripHeight = 30;

// Positions of the title buttons in the client area, for a client area whose right edge is
// nClientRight. Maximise and restore share one place.
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
TitleButtonLayout ComputeTitleButtonLayout(int nClientRight);

// The top 30 pixels of the client area.
CRect StripRect(const CRect& rcClient);
// The client area below the strip; never of negative height (a minimised window has no client area).
CRect ViewRectBelowStrip(const CRect& rcClient);

// The rectangle of the maximised window on a screen of cxScreen x cyScreen, given the taskbar's
// window rectangle (null or empty when there is none). A taskbar across the bottom or the top takes
// its height away, one along a side edge its width; the window keeps clear of it.
CRect WorkAreaRect(int cxScreen, int cyScreen, const RECT* pTaskbar);

// The select-server button's show command from its string-table text: "0" hides it, any other
// number shows it (only the two commands make sense for a child button).
int SelectServerShowCommand(const wchar_t* pszText);
