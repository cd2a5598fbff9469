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

bool CScreenCapture::SavePng(const wchar_t* pszPath)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    WindowDC screen(nullptr);
    if (!screen)
        return false;
    UniqueMemDC memory(::CreateCompatibleDC(screen.get()));
    UniqueGdiObj<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.get(), cx, cy));
    if (!memory || !bitmap)
        return false;
    {
        SelectScope select(memory.get(), bitmap.get());
        // CAPTUREBLT: layered windows are part of what the player sees.
        if (!::BitBlt(memory.get(), 0, 0, cx, cy, screen.get(), 0, 0, SRCCOPY | CAPTUREBLT))
            return false;
    }
    GdiplusSession gdiplus;
    CLSID clsidPng{};
    if (!gdiplus.Started() || !FindPngEncoder(clsidPng))
        return false;
    // The GDI+ bitmap copies the pixels; it is gone before the session ends.
    Gdiplus::Bitmap image(bitmap.get(), nullptr);
    return image.GetLastStatus() == Gdiplus::Ok && image.Save(pszPath, &clsidPng, nullptr) == Gdiplus::Ok;
}
