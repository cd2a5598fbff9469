// Holders of GDI+ bitmaps. CGdiPlusBitmapResource decodes a "PNG" resource of the executable; GDI+
// reads its stream lazily, so the bytes stay in a locked global block as long as the bitmap lives.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

class CGdiPlusBitmap
{
public:
    CGdiPlusBitmap() = default;
    CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
    CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;
    virtual ~CGdiPlusBitmap() { Empty(); }

    void Empty();
    operator Gdiplus::Bitmap*() const { return m_pBitmap; }

    Gdiplus::Bitmap* m_pBitmap = nullptr;
};

class CGdiPlusBitmapResource : public CGdiPlusBitmap
{
public:
    CGdiPlusBitmapResource() = default;
    ~CGdiPlusBitmapResource() override { Empty(); }

    // Replaces the held bitmap by PNG resource nID of the executable. False for a missing resource,
    // an empty one or bytes that do not decode; the holder is then empty.
    bool LoadFromResource(UINT nID);
    // The same for drawing at nDpi: at 96 DPI the resource itself, else the bitmap LoadScaledSkinBitmap
    // makes (already decoded, so no bytes are kept).
    bool LoadFromResource(UINT nID, UINT nDpi);
    void Empty();

    HGLOBAL m_hBuffer = nullptr;
};
