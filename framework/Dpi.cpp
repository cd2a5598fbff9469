#include "Dpi.h"
#include "Handles.h"

namespace {
// MDT_EFFECTIVE_DPI of shellscalingapi.h, which the headers of older SDKs lack.
constexpr int kMonitorEffectiveDpi = 0;

template <typename F>
F ProcAddress(HMODULE hModule, const char* pszName)
{
    if (!hModule)
        return nullptr;
    // The cast through a generic function pointer is how a looked-up entry gets its real type.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(::GetProcAddress(hModule, pszName)));
}

DpiFunctions LookUpDpiFunctions()
{
    DpiFunctions functions;
    functions.pGetDpiForWindow =
        ProcAddress<decltype(functions.pGetDpiForWindow)>(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    // Kept loaded for the life of the process: the pointer is used until its end.
    const HMODULE hShcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    functions.pGetDpiForMonitor = ProcAddress<decltype(functions.pGetDpiForMonitor)>(hShcore, "GetDpiForMonitor");
    return functions;
}
}  // namespace

const DpiFunctions& SystemDpiFunctions()
{
    static const DpiFunctions functions = LookUpDpiFunctions();
    return functions;
}

UINT QueryWindowDpi(HWND hWnd, const DpiFunctions& functions)
{
    if (functions.pGetDpiForWindow && hWnd) {
        const UINT nDpi = functions.pGetDpiForWindow(hWnd);
        if (nDpi)
            return nDpi;
    }
    if (functions.pGetDpiForMonitor) {
        const HMONITOR hMonitor = ::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST);
        UINT nDpiX = 0, nDpiY = 0;
        if (hMonitor && SUCCEEDED(functions.pGetDpiForMonitor(hMonitor, kMonitorEffectiveDpi, &nDpiX, &nDpiY)) &&
            nDpiX)
            return nDpiX;
    }
    // A process that knows only the system DPI: the screen's logical pixels per inch.
    WindowDC dcScreen(nullptr);
    const int nLogPixels = dcScreen ? ::GetDeviceCaps(dcScreen.get(), LOGPIXELSX) : 0;
    return nLogPixels > 0 ? static_cast<UINT>(nLogPixels) : kDefaultDpi;
}

UINT GetWindowDpi(HWND hWnd)
{
    return QueryWindowDpi(hWnd, SystemDpiFunctions());
}
