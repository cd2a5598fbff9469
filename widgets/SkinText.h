// Text in skinned painting: GDI+ text in "arial" with pixel sizes, centred in a fixed layout box.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <memory>

// The font "arial" at nPixels, or the generic sans-serif family where arial cannot be had.
std::unique_ptr<Gdiplus::Font> CreateSkinFont(Gdiplus::REAL nPixels, INT nStyle);

// Draws text centred horizontally in rcLayout, cut with an ellipsis by the given trimming.
void DrawSkinText(Gdiplus::Graphics& graphics, LPCWSTR lpszText, Gdiplus::REAL nPixels, INT nStyle,
                  const Gdiplus::Color& color, const Gdiplus::RectF& rcLayout,
                  Gdiplus::StringTrimming trimming);
