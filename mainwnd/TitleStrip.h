// The main window's title strip: three skin pieces (left end, a one-pixel middle that tiles, right
// end) composed off screen and copied to the window in one BitBlt, so erasing never shows a
// half-drawn strip.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/CDC.h"
#include "mainwnd/TitleLayout.h"

// Draws the strip, nStripHeight pixels high, of a client area nClientWidth pixels wide at the top of
// pTarget. The pieces are drawn at their own pixel sizes: a scaled strip is given pieces made for
// its scale. False (and nothing drawn) when a piece is missing or does not decode, or the width is zero.
bool DrawTitleStrip(CDC* pTarget, int nClientWidth, Gdiplus::Image* pLeft, Gdiplus::Image* pMiddle,
                    Gdiplus::Image* pRight, int nStripHeight = kTitleStripHeight);
