#include "browser/PageZoomTarget.h"

#include <docobj.h>

#include "framework/Handles.h"

namespace {
class CBrowserZoomTarget final : public IPageZoomTarget
{
public:
    HRESULT SetOpticalZoom(IWebBrowser2* pBrowser, int nPercent) override
    {
        if (!pBrowser)
            return E_POINTER;
        VARIANT varZoom;
        VariantInit(&varZoom);
        V_VT(&varZoom) = VT_I4;
        V_I4(&varZoom) = nPercent;
        return pBrowser->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &varZoom, nullptr);
    }
};
}  // namespace

IPageZoomTarget& BrowserZoomTarget()
{
    static CBrowserZoomTarget target;
    return target;
}

int ZoomDpiOfWindow(HWND hWnd)
{
    if (!hWnd)
        return 96;
    const WindowDC dc(hWnd);
    const int nDpi = dc ? GetDeviceCaps(dc.get(), LOGPIXELSX) : 0;
    return nDpi > 0 ? nDpi : 96;
}

void CPageZoomer::SetZoom(IWebBrowser2* pBrowser, HWND hWnd, int nPercent)
{
    m_nZoom = nPercent;
    Apply(pBrowser, hWnd);
}

void CPageZoomer::OnNewDocument(IWebBrowser2* pBrowser, HWND hWnd)
{
    Apply(pBrowser, hWnd);
}

void CPageZoomer::Apply(IWebBrowser2* pBrowser, HWND hWnd)
{
    const int nPercent = OpticalZoomPercent(m_nZoom, ZoomDpiOfWindow(hWnd));
    m_bPending = !pBrowser || FAILED(m_pTarget->SetOpticalZoom(pBrowser, nPercent));
}
