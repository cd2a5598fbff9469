// Display scaling: the one way the program asks a window's DPI, and the one rounding every fixed
// pixel goes through. The newer system functions are looked up at run time, so the same exe runs on
// systems that lack them (Windows 7 has neither; 8.1 has only the monitor's).
#pragma once
#include <windows.h>

// The DPI every fixed pixel of the skin is given in: 100 % display scaling.
constexpr UINT kDefaultDpi = 96;

// value x dpi / 96, rounded half away from zero (MulDiv), the same for every fixed pixel.
inline int ScaleForDpi(int nValue, UINT nDpi)
{
    return nDpi == kDefaultDpi || nDpi == 0 ? nValue : ::MulDiv(nValue, static_cast<int>(nDpi), kDefaultDpi);
}

// The system's DPI functions as this process found them; a null member is one the system lacks.
struct DpiFunctions
{
    UINT(WINAPI* pGetDpiForWindow)(HWND) = nullptr;                                // user32, Windows 10 1607
    HRESULT(WINAPI* pGetDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;  // shcore, Windows 8.1
};

// Looks the functions up once per process (shcore is loaded for it and kept).
const DpiFunctions& SystemDpiFunctions();

// A window's DPI through the given functions: the window's own where the system knows it, else its
// monitor's effective DPI, else the screen context's logical pixels (what a Windows 7 process, aware
// of the system DPI only, sees). Never 0: a failing step falls through to the next, the last to 96.
UINT QueryWindowDpi(HWND hWnd, const DpiFunctions& functions);

// QueryWindowDpi with this system's functions: what every window of the program asks.
UINT GetWindowDpi(HWND hWnd);
