// PNG resources of the application's resource module as GDI+ images.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// Loads PNG resource nID as an image the caller owns. Null when the resource is missing or empty.
// Bytes that do not decode still give an image object, with a failure status; it draws nothing.
// The image owns the copy of the bytes: deleting it frees them.
Gdiplus::Image* LoadPngImage(UINT nID);
