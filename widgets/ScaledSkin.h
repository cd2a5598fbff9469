// Skin images for a display scale. The skin is drawn for 96 DPI and once more at twice its size; at
// 96 DPI the 1x image is used as it is, at every other scale the 2x image is reduced once to the
// exact scaled size with high-quality interpolation and kept, so drawing and animation afterwards
// cost what they cost at 100 % and never show a 1x image enlarged.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/Dpi.h"

// PNG nID for drawing at nDpi, owned by the caller: at 96 DPI what LoadPngImage gives; else a
// bitmap of the 1x size scaled by nDpi (ScaleForDpi), made from the 2x resource (nID +
// IDB_2X_OFFSET), or from the 1x one where no 2x exists. Null when neither loads.
Gdiplus::Image* LoadSkinImage(UINT nID, UINT nDpi);

// The same as a bitmap that owns its pixels (no stream behind it); null at 96 DPI, where the
// caller keeps its 1x resource as it is.
Gdiplus::Bitmap* LoadScaledSkinBitmap(UINT nID, UINT nDpi);

// pSource reduced (or enlarged) to exactly cx x cy with high-quality bicubic interpolation, as a
// 32-bit premultiplied bitmap of 96 DPI resolution (so no later draw scales it again). Null on failure.
Gdiplus::Bitmap* ResampleImage(Gdiplus::Image* pSource, int cx, int cy);
