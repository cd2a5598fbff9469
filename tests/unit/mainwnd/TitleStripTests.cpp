// The title strip drawn into a memory bitmap: three pieces in place, nothing at all when a piece is
// missing.
#include <gtest/gtest.h>

#include <memory>

#include "WidgetTestSupport.h"
#include "mainwnd/TitleStrip.h"
#include "res/resource.h"
#include "widgets/GdiPlusBitmap.h"
#include "widgets/PngImage.h"

namespace {
// A 32-bit bitmap of w x 30 filled with one colour, selected into a memory context.
class CCanvas
{
public:
    CCanvas(int w, COLORREF fill) : m_w(w)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -30;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        m_dc.CreateCompatibleDC(nullptr);
        m_hBitmap = ::CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits), nullptr, 0);
        m_hPrev = m_dc.SelectObject(m_hBitmap);
        RECT rc = {0, 0, w, 30};
        m_dc.FillSolidRect(&rc, fill);
    }
    ~CCanvas()
    {
        m_dc.SelectObject(m_hPrev);
        ::DeleteObject(m_hBitmap);
    }
    CDC* DC() { return &m_dc; }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        const DWORD v = m_pBits[y * m_w + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

private:
    int m_w;
    CDC m_dc;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hPrev = nullptr;
    DWORD* m_pBits = nullptr;
};

COLORREF PixelOf(UINT nId, int x, int y)
{
    CGdiPlusBitmapResource image;
    if (!image.LoadFromResource(nId))
        return CLR_INVALID;
    Gdiplus::Color c;
    static_cast<Gdiplus::Bitmap*>(image)->GetPixel(x, y, &c);
    return RGB(c.GetR(), c.GetG(), c.GetB());
}
}  // namespace

TEST(TitleStrip, PiecesSitAtBothEndsAndTheMiddleTiles)
{
    std::unique_ptr<Gdiplus::Image> left(LoadPngImage(IDB_STRIP_LEFT));
    std::unique_ptr<Gdiplus::Image> middle(LoadPngImage(IDB_STRIP_MIDDLE));
    std::unique_ptr<Gdiplus::Image> right(LoadPngImage(IDB_STRIP_RIGHT));
    ASSERT_EQ(left->GetWidth(), 203u);
    ASSERT_EQ(middle->GetWidth(), 1u);
    ASSERT_EQ(right->GetWidth(), 92u);
    CCanvas canvas(1000, RGB(255, 0, 255));
    ASSERT_TRUE(DrawTitleStrip(canvas.DC(), 1000, left.get(), middle.get(), right.get()));
    const struct
    {
        int x, y;
        UINT nId;
        int xImage;
    } samples[] = {{0, 0, IDB_STRIP_LEFT, 0},     {57, 15, IDB_STRIP_LEFT, 57},  {202, 29, IDB_STRIP_LEFT, 202},
                   {203, 0, IDB_STRIP_MIDDLE, 0}, {500, 15, IDB_STRIP_MIDDLE, 0}, {907, 29, IDB_STRIP_MIDDLE, 0},
                   {908, 0, IDB_STRIP_RIGHT, 0},  {950, 15, IDB_STRIP_RIGHT, 42}, {999, 29, IDB_STRIP_RIGHT, 91}};
    for (const auto& s : samples) {
        const COLORREF expected = PixelOf(s.nId, s.xImage, s.y);
        EXPECT_TRUE(Near(canvas.At(s.x, s.y), expected, 3))
            << "(" << s.x << ", " << s.y << "): " << std::hex << canvas.At(s.x, s.y) << " instead of " << expected;
    }
}

TEST(TitleStrip, MissingOrBrokenPieceDrawsNothing)
{
    std::unique_ptr<Gdiplus::Image> left(LoadPngImage(IDB_STRIP_LEFT));
    std::unique_ptr<Gdiplus::Image> middle(LoadPngImage(IDB_STRIP_MIDDLE));
    std::unique_ptr<Gdiplus::Image> right(LoadPngImage(IDB_STRIP_RIGHT));
    CCanvas canvas(400, RGB(255, 0, 255));
    EXPECT_FALSE(DrawTitleStrip(canvas.DC(), 400, left.get(), nullptr, right.get()));
    EXPECT_FALSE(DrawTitleStrip(canvas.DC(), 400, nullptr, middle.get(), right.get()));
    EXPECT_FALSE(DrawTitleStrip(canvas.DC(), 400, left.get(), middle.get(), nullptr));
    EXPECT_FALSE(DrawTitleStrip(canvas.DC(), 0, left.get(), middle.get(), right.get()));
    for (int x : {0, 150, 250, 399})
        EXPECT_EQ(canvas.At(x, 10), RGB(255, 0, 255)) << "x " << x;
}

TEST(TitleStrip, NarrowWindowStillGetsBothEnds)
{
    // Narrower than the two ends together: the right end is drawn over the left, no middle.
    std::unique_ptr<Gdiplus::Image> left(LoadPngImage(IDB_STRIP_LEFT));
    std::unique_ptr<Gdiplus::Image> middle(LoadPngImage(IDB_STRIP_MIDDLE));
    std::unique_ptr<Gdiplus::Image> right(LoadPngImage(IDB_STRIP_RIGHT));
    CCanvas canvas(250, RGB(255, 0, 255));
    ASSERT_TRUE(DrawTitleStrip(canvas.DC(), 250, left.get(), middle.get(), right.get()));
    EXPECT_TRUE(Near(canvas.At(10, 15), PixelOf(IDB_STRIP_LEFT, 10, 15), 3));
    EXPECT_TRUE(Near(canvas.At(249, 15), PixelOf(IDB_STRIP_RIGHT, 91, 15), 3));
}
