// Where a page zoom goes, and the zoom a browser host keeps for its documents.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include "browser/PageZoom.h"

// The control's optical zoom behind a small interface: the real control answers it only once a
// document exists, and a replacement lets the hosts be driven without one.
class IPageZoomTarget
{
public:
    virtual ~IPageZoomTarget() = default;
    // Sets the zoom of pBrowser's document to nPercent; S_OK when the control took it.
    virtual HRESULT SetOpticalZoom(IWebBrowser2* pBrowser, int nPercent) = 0;
};

// The real target: IWebBrowser2::ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, VT_I4).
IPageZoomTarget& BrowserZoomTarget();

// The DPI a host's page is shown at: the logical pixels per inch of the window's DC (96 when there
// is no window). The one place the zoom asks for it.
int ZoomDpiOfWindow(HWND hWnd);

// The zoom of one browser host. The control forgets its zoom with every new document, and takes a
// DPI-aware host's scale only once a zoom has been set, so the zoom is set at every completed
// top-level document, also at 100 %. Before a document exists the control refuses it: the zoom then
// waits for the next completed document.
class CPageZoomer
{
public:
    // Null puts the real target back.
    void SetTarget(IPageZoomTarget* pTarget) { m_pTarget = pTarget ? pTarget : &BrowserZoomTarget(); }
    int GetZoom() const { return m_nZoom; }
    bool IsPending() const { return m_bPending; }

    // The player's zoom, applied at once where the control takes it.
    void SetZoom(IWebBrowser2* pBrowser, HWND hWnd, int nPercent);
    // A new top-level document is complete.
    void OnNewDocument(IWebBrowser2* pBrowser, HWND hWnd);

private:
    void Apply(IWebBrowser2* pBrowser, HWND hWnd);

    IPageZoomTarget* m_pTarget = &BrowserZoomTarget();
    int m_nZoom = kDefaultPageZoom;
    bool m_bPending = true;
};
