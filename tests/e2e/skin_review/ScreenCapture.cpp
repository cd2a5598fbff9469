#include "ScreenCapture.h"
#include "mainwnd/Screenshot.h"

#include <vector>

std::unique_ptr<Gdiplus::Bitmap> CaptureClient(HWND hwnd)
{
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(rc.right, rc.bottom, PixelFormat32bppRGB);
    {
        Gdiplus::Graphics g(bitmap.get());
        HDC hdcTarget = g.GetHDC();
        HDC hdcWnd = ::GetDC(hwnd);
        ::BitBlt(hdcTarget, 0, 0, rc.right, rc.bottom, hdcWnd, 0, 0, SRCCOPY);
        ::ReleaseDC(hwnd, hdcWnd);
        g.ReleaseHDC(hdcTarget);
    }
    return bitmap;
}

bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path)
{
    CLSID clsidPng{};
    return FindPngEncoder(clsidPng) && bitmap.Save(path.c_str(), &clsidPng, nullptr) == Gdiplus::Ok;
}

std::wstring ScreenshotDir()
{
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring dir(exe);
    dir.resize(dir.find_last_of(L'\\'));                  // ...\bin
    dir.resize(dir.find_last_of(L'\\') + 1);              // ...\ (the build folder of the arch)
    dir += L"screenshots\\";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}
