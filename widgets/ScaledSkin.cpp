#include "ScaledSkin.h"
#include "PngImage.h"
#include "resource.h"
#include <memory>

namespace {
bool Decoded(const Gdiplus::Image* pImage)
{
    return pImage && const_cast<Gdiplus::Image*>(pImage)->GetLastStatus() == Gdiplus::Ok &&
           const_cast<Gdiplus::Image*>(pImage)->GetWidth() > 0 && const_cast<Gdiplus::Image*>(pImage)->GetHeight() > 0;
}
}  // namespace

Gdiplus::Bitmap* ResampleImage(Gdiplus::Image* pSource, int cx, int cy)
{
    if (!Decoded(pSource) || cx <= 0 || cy <= 0)
        return nullptr;
    auto pTarget = std::make_unique<Gdiplus::Bitmap>(cx, cy, PixelFormat32bppPARGB);
    if (pTarget->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    pTarget->SetResolution(static_cast<Gdiplus::REAL>(kDefaultDpi), static_cast<Gdiplus::REAL>(kDefaultDpi));
    {
        Gdiplus::Graphics graphics(pTarget.get());
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
        // Edge pixels are sampled as if the image went on mirrored, not faded into transparency.
        Gdiplus::ImageAttributes attributes;
        attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
        const Gdiplus::Status status =
            graphics.DrawImage(pSource, Gdiplus::Rect(0, 0, cx, cy), 0, 0, static_cast<INT>(pSource->GetWidth()),
                               static_cast<INT>(pSource->GetHeight()), Gdiplus::UnitPixel, &attributes);
        if (status != Gdiplus::Ok)
            return nullptr;
    }
    return pTarget.release();
}

Gdiplus::Bitmap* LoadScaledSkinBitmap(UINT nID, UINT nDpi)
{
    if (nDpi == kDefaultDpi || nDpi == 0)
        return nullptr;
    std::unique_ptr<Gdiplus::Image> pDouble(LoadPngImage(nID + IDB_2X_OFFSET));
    if (Decoded(pDouble.get())) {
        // The 2x image is exactly twice the 1x one: its half is the size the skin is laid out in.
        const int cx = ScaleForDpi(static_cast<int>(pDouble->GetWidth() / 2), nDpi);
        const int cy = ScaleForDpi(static_cast<int>(pDouble->GetHeight() / 2), nDpi);
        return ResampleImage(pDouble.get(), cx, cy);
    }
    std::unique_ptr<Gdiplus::Image> pSingle(LoadPngImage(nID));
    if (!Decoded(pSingle.get()))
        return nullptr;
    return ResampleImage(pSingle.get(), ScaleForDpi(static_cast<int>(pSingle->GetWidth()), nDpi),
                         ScaleForDpi(static_cast<int>(pSingle->GetHeight()), nDpi));
}

Gdiplus::Image* LoadSkinImage(UINT nID, UINT nDpi)
{
    if (nDpi == kDefaultDpi || nDpi == 0)
        return LoadPngImage(nID);
    return LoadScaledSkinBitmap(nID, nDpi);
}
