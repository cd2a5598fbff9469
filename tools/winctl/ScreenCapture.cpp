#include "ScreenCapture.h"
#include "framework/Handles.h"
#include "mainwnd/Screenshot.h"

#include <objidl.h>
#include <gdiplus.h>
#include <vector>

namespace {
class GdiplusSession
{
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_bStarted = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession()
    {
        if (m_bStarted)
            Gdiplus::GdiplusShutdown(m_token);
    }
    bool Started() const { return m_bStarted; }

private:
    ULONG_PTR m_token = 0;
    bool m_bStarted = false;
};

}  // namespace

namespace {
// The screen's pixels now, as a bitmap; null when the copy failed.
UniqueGdiObj<HBITMAP> CopyScreen()
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    WindowDC screen(nullptr);
    if (!screen)
        return {};
    UniqueMemDC memory(::CreateCompatibleDC(screen.get()));
    UniqueGdiObj<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.get(), cx, cy));
    if (!memory || !bitmap)
        return {};
    SelectScope select(memory.get(), bitmap.get());
    // CAPTUREBLT: layered windows are part of what the player sees.
    if (!::BitBlt(memory.get(), 0, 0, cx, cy, screen.get(), 0, 0, SRCCOPY | CAPTUREBLT))
        return {};
    return bitmap;
}

std::vector<BYTE> PixelsOf(HBITMAP hBitmap)
{
    BITMAP bm{};
    if (!::GetObjectW(hBitmap, sizeof bm, &bm))
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> pixels(size_t(bm.bmWidth) * bm.bmHeight * 4);
    WindowDC screen(nullptr);
    if (!screen || !::GetDIBits(screen.get(), hBitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS))
        return {};
    return pixels;
}

bool Save(HBITMAP hBitmap, const wchar_t* pszPath)
{
    GdiplusSession gdiplus;
    CLSID clsidPng{};
    if (!gdiplus.Started() || !FindPngEncoder(clsidPng))
        return false;
    // The GDI+ bitmap copies the pixels; it is gone before the session ends.
    Gdiplus::Bitmap image(hBitmap, nullptr);
    return image.GetLastStatus() == Gdiplus::Ok && image.Save(pszPath, &clsidPng, nullptr) == Gdiplus::Ok;
}
}  // namespace

bool CScreenCapture::SavePng(const wchar_t* pszPath)
{
    const UniqueGdiObj<HBITMAP> bitmap = CopyScreen();
    return bitmap && Save(bitmap.get(), pszPath);
}

bool CScreenCapture::SaveSettledPng(const wchar_t* pszPath, DWORD nStableMs, DWORD nMaxMs)
{
    UniqueGdiObj<HBITMAP> bitmap = CopyScreen();
    std::vector<BYTE> pixels = bitmap ? PixelsOf(bitmap.get()) : std::vector<BYTE>();
    for (DWORD waited = 0; bitmap && waited < nMaxMs; waited += nStableMs) {
        ::Sleep(nStableMs);
        UniqueGdiObj<HBITMAP> next = CopyScreen();
        std::vector<BYTE> nextPixels = next ? PixelsOf(next.get()) : std::vector<BYTE>();
        const bool bSettled = !nextPixels.empty() && nextPixels == pixels;
        bitmap = std::move(next);
        pixels = std::move(nextPixels);
        if (bSettled)
            break;
    }
    return bitmap && Save(bitmap.get(), pszPath);
}
