// The main window's title strip: three skin pieces (left end, a one-pixel middle that tiles, right
// end) composed off screen and copied to the window in one BitBlt, so erasing never shows a
// half-drawn strip.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/CDC.h"

// Draws the strip of a client area nClientWidth pixels wide at the top of pTarget. False (and
// nothing drawn) when a piece is missing or does not decode, or the width is zero.
bool DrawTitleStrip(CDC* pTarget, int nClientWidth, Gdiplus::Image* pLeft, Gdiplus::Image* pMiddle,
                    Gdiplus::Image* pRight);
