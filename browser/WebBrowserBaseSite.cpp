// CWebBrowserBase as the control's container: client site, in-place site and frame, host UI handler.
#include "WebBrowserBase.h"

// IOleClientSite

STDMETHODIMP CWebBrowserBase::SaveObject()
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer)
        *ppContainer = nullptr;
    return E_FAIL;
}

STDMETHODIMP CWebBrowserBase::ShowObject()
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::OnShowWindow(BOOL)
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::RequestNewObjectLayout()
{
    return S_OK;
}

// IOleWindow

STDMETHODIMP CWebBrowserBase::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = GetHostWindow();
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

// IOleInPlaceSite

STDMETHODIMP CWebBrowserBase::CanInPlaceActivate()
{
    return m_bInPlaceActive ? S_OK : S_FALSE;
}

STDMETHODIMP CWebBrowserBase::OnInPlaceActivate()
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::OnUIActivate()
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect || !lpFrameInfo)
        return E_POINTER;
    *ppFrame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *ppDoc = nullptr;
    // The control asks again later (on UI activation, for instance); answering with the rectangle it
    // was last given keeps a hidden or moved browser where the owner put it.
    *lprcPosRect = m_rcBrowser;
    *lprcClipRect = m_rcBrowser;
    lpFrameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    lpFrameInfo->fMDIApp = FALSE;
    HWND hHost = GetHostWindow();
    lpFrameInfo->hwndFrame = hHost ? ::GetParent(hHost) : nullptr;
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::Scroll(SIZE)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::OnUIDeactivate(BOOL)
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::OnInPlaceDeactivate()
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::DiscardUndoState()
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::DeactivateAndUndo()
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::OnPosRectChange(LPCRECT)
{
    return S_OK;
}

// IOleInPlaceUIWindow / IOleInPlaceFrame

STDMETHODIMP CWebBrowserBase::GetBorder(LPRECT lprectBorder)
{
    if (!lprectBorder)
        return E_POINTER;
    HWND hHost = GetHostWindow();
    if (!hHost || !::GetClientRect(hHost, lprectBorder))
        SetRectEmpty(lprectBorder);
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::RequestBorderSpace(LPCBORDERWIDTHS)
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::SetBorderSpace(LPCBORDERWIDTHS)
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR)
{
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::SetMenu(HMENU, HOLEMENU, HWND)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::RemoveMenus(HMENU)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::SetStatusText(LPCOLESTR)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::EnableModeless(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::TranslateAccelerator(LPMSG, WORD)
{
    return E_NOTIMPL;
}

// IDocHostUIHandler: everything but the host flags is left to the browser's own defaults.

STDMETHODIMP CWebBrowserBase::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    if (!pInfo)
        return E_POINTER;
    // DPI aware: the page is laid out for the display rather than stretched.
    pInfo->dwFlags |= DOCHOSTUIFLAG_NO3DOUTERBORDER | DOCHOSTUIFLAG_DPI_AWARE;
    return S_OK;
}

STDMETHODIMP CWebBrowserBase::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::HideUI()
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::UpdateUI()
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::OnDocWindowActivate(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::OnFrameWindowActivate(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::TranslateAccelerator(LPMSG, const GUID*, DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::GetOptionKeyPath(LPOLESTR* pchKey, DWORD)
{
    if (pchKey)
        *pchKey = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::GetDropTarget(IDropTarget*, IDropTarget** ppDropTarget)
{
    if (ppDropTarget)
        *ppDropTarget = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::GetExternal(IDispatch** ppDispatch)
{
    if (ppDispatch)
        *ppDispatch = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::TranslateUrl(DWORD, LPWSTR, LPWSTR* ppchURLOut)
{
    if (ppchURLOut)
        *ppchURLOut = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::FilterDataObject(IDataObject*, IDataObject** ppDORet)
{
    if (ppDORet)
        *ppDORet = nullptr;
    return E_NOTIMPL;
}
