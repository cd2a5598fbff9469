// PNG resources as GDI+ images: the shipped skin, missing and foreign resources, undecodable bytes,
// and who frees the bytes.
#include <gtest/gtest.h>

#include <memory>

#include "WidgetTestSupport.h"
#include "resource.h"
#include "widgets/GdiPlusBitmap.h"
#include "widgets/PngImage.h"

namespace {

struct SkinSize
{
    UINT id;
    UINT width;
    UINT height;
};

// Every picture of the skin at the size its window lays it out for.
const SkinSize kSkin[] = {
    {172, 1, 30}, {203, 203, 30}, {206, 92, 30},
    {207, 28, 26}, {208, 28, 26}, {209, 28, 26}, {210, 28, 26}, {213, 28, 26}, {217, 28, 26},
    {220, 28, 26}, {221, 28, 26}, {227, 28, 26}, {228, 28, 26}, {229, 28, 26}, {230, 28, 26},
    {211, 59, 24}, {212, 59, 24}, {231, 59, 24},
    {214, 86, 24}, {224, 86, 24}, {234, 86, 24},
    {215, 97, 24}, {223, 97, 24}, {233, 97, 24},
    {219, 78, 24}, {226, 78, 24}, {236, 78, 24}, {252, 78, 24}, {253, 78, 24}, {261, 78, 24},
    {275, 1, 1}, {276, 23, 23}, {277, 23, 23}, {278, 23, 23}, {279, 23, 23},
    {304, 256, 110}, {311, 82, 34}, {312, 82, 34}, {313, 82, 34}, {314, 82, 34}, {316, 9, 8},
    {319, 1115, 723},
    {320, 27, 30}, {321, 27, 30}, {322, 27, 30}, {323, 28, 31}, {324, 28, 31}, {325, 28, 31},
};

// The image drawn onto a transparent 32-bit canvas, so its pixels and alpha can be read.
std::unique_ptr<Gdiplus::Bitmap> Rasterise(Gdiplus::Image* pImage)
{
    auto canvas = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(pImage->GetWidth()),
                                                    static_cast<INT>(pImage->GetHeight()), PixelFormat32bppARGB);
    Gdiplus::Graphics g(canvas.get());
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    g.DrawImage(pImage, 0, 0, static_cast<INT>(pImage->GetWidth()), static_cast<INT>(pImage->GetHeight()));
    return canvas;
}

BYTE AlphaAt(Gdiplus::Bitmap& bitmap, int x, int y)
{
    Gdiplus::Color c;
    bitmap.GetPixel(x, y, &c);
    return c.GetA();
}

}  // namespace

TEST(LoadPngImage, EverySkinPictureLoadsAtItsSize)
{
    for (const SkinSize& s : kSkin) {
        std::unique_ptr<Gdiplus::Image> image(LoadPngImage(s.id));
        ASSERT_NE(image, nullptr) << "PNG " << s.id;
        EXPECT_EQ(image->GetLastStatus(), Gdiplus::Ok) << "PNG " << s.id;
        EXPECT_EQ(image->GetWidth(), s.width) << "PNG " << s.id;
        EXPECT_EQ(image->GetHeight(), s.height) << "PNG " << s.id;
    }
}

TEST(LoadPngImage, StartPictureIsShapedByItsAlpha)
{
    std::unique_ptr<Gdiplus::Image> image(LoadPngImage(IDB_START_BACKGROUND));
    ASSERT_NE(image, nullptr);
    auto pixels = Rasterise(image.get());
    EXPECT_EQ(AlphaAt(*pixels, 5, 5), 0);         // outside the frame, above its corner
    EXPECT_EQ(AlphaAt(*pixels, 1110, 5), 0);
    EXPECT_EQ(AlphaAt(*pixels, 600, 400), 255);   // under the login popup
    EXPECT_EQ(AlphaAt(*pixels, 145, 30), 255);    // the tower's spire rises above the frame
    EXPECT_EQ(AlphaAt(*pixels, 709, 40), 255);    // and so does the banner with the name
}

TEST(LoadPngImage, MissingOrForeignResourceGivesNull)
{
    EXPECT_EQ(LoadPngImage(IDB_TEST_MISSING), nullptr);
    EXPECT_EQ(LoadPngImage(IDB_POPUP_BACKGROUND), nullptr);  // a BITMAP, not a PNG
    EXPECT_EQ(LoadPngImage(IDI_APP), nullptr);               // an icon group
    EXPECT_EQ(LoadPngImage(IDB_TEST_EMPTY_PNG), nullptr);    // a PNG entry without bytes
}

TEST(LoadPngImage, UndecodableBytesGiveAnImageThatFailed)
{
    std::unique_ptr<Gdiplus::Image> image(LoadPngImage(IDB_TEST_NOT_A_PNG));
    ASSERT_NE(image, nullptr);
    EXPECT_NE(image->GetLastStatus(), Gdiplus::Ok);
}

TEST(LoadPngImage, DeletingTheImageFreesItsBytes)
{
    // 100 loads of the start picture would keep 100 copies of its 146 KB (about 14 MB) alive if the
    // bytes outlived their image.
    for (int i = 0; i < 5; ++i)
        std::unique_ptr<Gdiplus::Image>(LoadPngImage(IDB_START_BACKGROUND));
    const SIZE_T before = PrivateBytes();
    for (int i = 0; i < 100; ++i) {
        std::unique_ptr<Gdiplus::Image> image(LoadPngImage(IDB_START_BACKGROUND));
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->GetWidth(), 1115u);
    }
    const SIZE_T after = PrivateBytes();
    EXPECT_LT(after, before + 6 * 1024 * 1024) << "grew from " << before << " to " << after;
}

TEST(CGdiPlusBitmapResource, LoadsAPngAndKeepsItsBytesLocked)
{
    CGdiPlusBitmapResource holder;
    ASSERT_TRUE(holder.LoadFromResource(IDB_MSGBOX_BTN_314));
    ASSERT_NE(holder.m_pBitmap, nullptr);
    EXPECT_EQ(holder.m_pBitmap->GetWidth(), 82u);
    EXPECT_EQ(holder.m_pBitmap->GetHeight(), 34u);
    ASSERT_NE(holder.m_hBuffer, nullptr);
    EXPECT_EQ(GlobalFlags(holder.m_hBuffer) & GMEM_LOCKCOUNT, 1u);
}

TEST(CGdiPlusBitmapResource, MissingForeignEmptyOrUndecodableGivesFalseAndAnEmptyHolder)
{
    const UINT ids[] = {IDB_TEST_MISSING, IDB_POPUP_BACKGROUND, IDI_APP, IDB_TEST_EMPTY_PNG, IDB_TEST_NOT_A_PNG};
    for (UINT id : ids) {
        CGdiPlusBitmapResource holder;
        EXPECT_FALSE(holder.LoadFromResource(id)) << id;
        EXPECT_EQ(holder.m_pBitmap, nullptr) << id;
        EXPECT_EQ(holder.m_hBuffer, nullptr) << id;
    }
}

TEST(CGdiPlusBitmapResource, AFailedLoadEmptiesAHolderThatHeldAPicture)
{
    CGdiPlusBitmapResource holder;
    ASSERT_TRUE(holder.LoadFromResource(IDB_CLOSE));
    EXPECT_FALSE(holder.LoadFromResource(IDB_TEST_NOT_A_PNG));
    EXPECT_EQ(holder.m_pBitmap, nullptr);
    EXPECT_EQ(holder.m_hBuffer, nullptr);
}

TEST(CGdiPlusBitmapResource, LoadingAgainFreesTheFirstPicture)
{
    CGdiPlusBitmapResource holder;
    ASSERT_TRUE(holder.LoadFromResource(IDB_CLOSE));
    ASSERT_TRUE(holder.LoadFromResource(IDB_MSGBOX_BACKGROUND));
    EXPECT_EQ(holder.m_pBitmap->GetWidth(), 256u);
    // A decoded start picture is 1115 x 723 x 4 bytes (3.2 MB); 20 loads into one holder that
    // forgot the previous picture would keep 64 MB.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(holder.LoadFromResource(IDB_START_BACKGROUND));
    const SIZE_T before = PrivateBytes();
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(holder.LoadFromResource(IDB_START_BACKGROUND));
    const SIZE_T after = PrivateBytes();
    EXPECT_LT(after, before + 32 * 1024 * 1024) << "grew from " << before << " to " << after;
    EXPECT_EQ(GlobalFlags(holder.m_hBuffer) & GMEM_LOCKCOUNT, 1u);
}

TEST(SkinIcon, CarriesEverySizeFrom16To256AndEachLoads)
{
    // The icon group lists its images: 6-byte header, then 14-byte entries (width 0 means 256).
    HMODULE hModule = ::GetModuleHandleW(nullptr);
    HRSRC hGroup = ::FindResourceW(hModule, MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
    ASSERT_NE(hGroup, nullptr);
    const BYTE* pDir = static_cast<const BYTE*>(::LockResource(::LoadResource(hModule, hGroup)));
    ASSERT_NE(pDir, nullptr);
    const WORD count = *reinterpret_cast<const WORD*>(pDir + 4);
    ASSERT_EQ(count, 7);
    const int expected[] = {16, 24, 32, 48, 64, 128, 256};
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = pDir + 6 + 14 * i;
        const int width = entry[0] ? entry[0] : 256;
        EXPECT_EQ(width, expected[i]);
        EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32) << "bits per pixel";
        const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
        HRSRC hImage = ::FindResourceW(hModule, MAKEINTRESOURCEW(id), RT_ICON);
        ASSERT_NE(hImage, nullptr);
        HICON hIcon = ::CreateIconFromResourceEx(
            static_cast<PBYTE>(::LockResource(::LoadResource(hModule, hImage))), ::SizeofResource(hModule, hImage),
            TRUE, 0x00030000, 0, 0, 0);
        ASSERT_NE(hIcon, nullptr) << width;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(hIcon, &info));
        BITMAP bm{};
        ::GetObjectW(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, width);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(hIcon);
    }
}
