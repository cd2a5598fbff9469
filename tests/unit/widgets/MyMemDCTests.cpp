// Off-screen drawing: the area it covers, target coordinates, the single copy at the end, printers.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "widgets/MyMemDC.h"

namespace {

// A 64 x 48 memory bitmap painted blue, standing in for a window's context.
class CTargetDC : public CDC
{
public:
    CTargetDC()
    {
        CreateCompatibleDC(nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = 64;
        bi.bmiHeader.biHeight = -48;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* pBits = nullptr;
        m_bitmap.Attach(::CreateDIBSection(m_hDC, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0));
        m_hPrev = SelectObject(&m_bitmap);
        CRect all(0, 0, 64, 48);
        FillSolidRect(&all, RGB(0, 0, 255));
    }
    ~CTargetDC() override { SelectObject(m_hPrev); }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

private:
    CBitmap m_bitmap;
    HGDIOBJ m_hPrev = nullptr;
};

class CPrinterDC : public CTargetDC
{
public:
    bool IsPrinting() const override { return true; }
};

}  // namespace

TEST(CMyMemDC, AnAllZeroRectangleCoversTheTargetsClipBox)
{
    CTargetDC target;
    ::IntersectClipRect(target.GetSafeHdc(), 10, 5, 40, 30);
    {
        CRect zero;
        CMyMemDC mem(&target, &zero);
        EXPECT_TRUE(mem.IsOffscreen());
        EXPECT_EQ(mem.GetArea(), CRect(10, 5, 40, 30));
        CRect fill(0, 0, 64, 48);
        mem.FillSolidRect(&fill, RGB(255, 0, 0));
        // Nothing reaches the target before the end.
        EXPECT_EQ(target.Pixel(20, 20), RGB(0, 0, 255));
    }
    ::SelectClipRgn(target.GetSafeHdc(), nullptr);
    EXPECT_EQ(target.Pixel(10, 5), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(39, 29), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(9, 5), RGB(0, 0, 255));
    EXPECT_EQ(target.Pixel(40, 29), RGB(0, 0, 255));
    EXPECT_EQ(target.Pixel(39, 30), RGB(0, 0, 255));
}

TEST(CMyMemDC, NoRectangleAtAllAlsoMeansTheClipBox)
{
    CTargetDC target;
    CMyMemDC mem(&target);
    EXPECT_EQ(mem.GetArea(), CRect(0, 0, 64, 48));
}

TEST(CMyMemDC, DrawingUsesTheTargetsCoordinatesAndTheWholeAreaIsCopied)
{
    CTargetDC target;
    {
        CRect area(20, 10, 50, 30);
        CMyMemDC mem(&target, &area);
        CRect green(20, 10, 30, 20);
        mem.FillSolidRect(&green, RGB(0, 255, 0));
    }
    EXPECT_EQ(target.Pixel(20, 10), RGB(0, 255, 0));
    EXPECT_EQ(target.Pixel(29, 19), RGB(0, 255, 0));
    // The rest of the area was not drawn: the fresh off-screen bitmap is black.
    EXPECT_EQ(target.Pixel(35, 25), RGB(0, 0, 0));
    EXPECT_EQ(target.Pixel(19, 10), RGB(0, 0, 255));
    EXPECT_EQ(target.Pixel(50, 29), RGB(0, 0, 255));
}

TEST(CMyMemDC, APrinterIsDrawnOnDirectlyAndKeepsItsContext)
{
    CPrinterDC printer;
    HDC hPrinter = printer.GetSafeHdc();
    {
        CRect area(0, 0, 32, 32);
        CMyMemDC mem(&printer, &area);
        EXPECT_FALSE(mem.IsOffscreen());
        EXPECT_EQ(mem.GetSafeHdc(), hPrinter);
        CRect red(0, 0, 8, 8);
        mem.FillSolidRect(&red, RGB(255, 0, 0));
        EXPECT_EQ(printer.Pixel(4, 4), RGB(255, 0, 0));
    }
    // The borrowed context is still alive and still the printer's.
    EXPECT_EQ(::GetObjectType(hPrinter), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(printer.Pixel(4, 4), RGB(255, 0, 0));
}
