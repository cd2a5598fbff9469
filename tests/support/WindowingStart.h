// What the application starts before its first window, for programs that make the client's windows
// without the application: the common controls (tooltips) and GDI+ (the skin pictures).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include "support/NoCopy.h"

class CWindowingStart : CNoCopy
{
public:
    CWindowingStart()
    {
        INITCOMMONCONTROLSEX icc{};
        icc.dwSize = sizeof icc;
        icc.dwICC = ICC_WIN95_CLASSES;
        ::InitCommonControlsEx(&icc);
        Gdiplus::GdiplusStartupInput input;
        m_bStarted = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~CWindowingStart()
    {
        if (m_bStarted)
            Gdiplus::GdiplusShutdown(m_token);
    }
    bool Started() const { return m_bStarted; }

private:
    ULONG_PTR m_token = 0;
    bool m_bStarted = false;
};
