// Window pixels as 32-bit pictures that can be combined and saved as PNG files.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <string>

// The client area of a window as a GDI+ bitmap (what the window painted, without compositing).
std::unique_ptr<Gdiplus::Bitmap> CaptureClient(HWND hwnd);
// Saves a bitmap as PNG; false when the encoder is missing or the file cannot be written.
bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path);
// <folder of the test program>\..\screenshots\, created on first use.
std::wstring ScreenshotDir();
