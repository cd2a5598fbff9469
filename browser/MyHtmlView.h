// The view that shows the game page inside a dialog. New windows the page asks for open in the
// system's Internet Explorer; after every completed load the click sink listens to the current
// document. The view's creator owns it: destroying the window leaves the object alive.
#pragma once

#include <wrl/client.h>

#include "CHtmlView.h"
#include "browser/PageZoomTarget.h"

class SDocEvtHandler;

// Sent by the view to its parent when the player asked for another page zoom with the keys or the
// wheel: wParam is the zoom in percent, lParam 1 when it changed (0 at the end of the steps).
constexpr UINT WM_PAGE_ZOOM_CHANGED = WM_APP + 20;

class CMyHtmlView : public CHtmlView
{
public:
    CMyHtmlView();
    ~CMyHtmlView() override;

    // Moves the click sink to pDocument: the previous connection is removed first, so the sink is
    // connected to one document at most. False when pDocument offers no document events.
    bool AttachDocEventSink(IDispatch* pDocument);
    void DetachDocEventSink();

    // The player's page zoom in percent, applied now where the control takes it and to every new
    // document after it.
    void SetPageZoom(int nPercent);
    int GetPageZoom() const { return m_zoomer.GetZoom(); }
    // True while the zoom waits for a document the control will apply it to.
    bool IsPageZoomPending() const { return m_zoomer.IsPending(); }
    // Where the zoom goes; null is the control itself.
    void SetZoomTarget(IPageZoomTarget* pTarget) { m_zoomer.SetTarget(pTarget); }
    // Ctrl with "=", "+", "-" or "0" (main keyboard or numpad) and Ctrl + wheel: the zoom moves a
    // step and the parent is told. True when pMsg was one of them; the control never sees it, since
    // its own zoom would not be remembered.
    bool TakeZoomInput(const MSG* pMsg);

    bool PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void PostNcDestroy() override;
    void OnNewWindow3(IDispatch** ppDisp, BOOL* pbCancel, DWORD dwFlags, LPCWSTR lpszUrlContext,
                      LPCWSTR lpszUrl) override;
    void DocumentComplete(IDispatch* pDisp, LPCWSTR lpszUrl) override;
    void OnDocumentComplete(LPCWSTR lpszUrl) override;
    // The page is laid out for the display's DPI rather than stretched.
    HRESULT OnGetHostInfo(DOCHOSTUIINFO* pInfo) override;

    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

protected:
    SDocEvtHandler* m_pDocEventSink;
    DWORD m_dwDocCookie;
    Microsoft::WRL::ComPtr<IDispatch> m_pDocument;
    CPageZoomer m_zoomer;
    CWheelZoom m_wheelZoom;
};
