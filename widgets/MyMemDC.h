// Off-screen drawing: everything drawn into this context lands in a bitmap and is copied to the
// target in one BitBlt when the object goes out of scope. Drawing uses the target's coordinates.
#pragma once
#include "CDC.h"

class CMyMemDC : public CDC
{
public:
    // pRect null or all zero: the target's clip box.
    explicit CMyMemDC(CDC* pTargetDC, const RECT* pRect = nullptr);
    ~CMyMemDC() override;

    CMyMemDC* operator->() { return this; }
    const CRect& GetArea() const { return m_rcArea; }
    bool IsOffscreen() const { return m_bOffscreen; }

private:
    CBitmap m_offscreenBitmap;
    HGDIOBJ m_hPrevBitmap = nullptr;
    CDC* m_pTargetDC;
    CRect m_rcArea;
    bool m_bOffscreen = false;
};
