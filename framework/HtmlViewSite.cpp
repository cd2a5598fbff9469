#include "HtmlViewSite.h"

#include "CHtmlView.h"

CHtmlViewSite::CHtmlViewSite(CHtmlView* pView) : m_lRefCount(0), m_pView(pView)
{
}

STDMETHODIMP CHtmlViewSite::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
        *ppv = static_cast<IOleInPlaceFrame*>(this);
    else if (riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2)
        *ppv = static_cast<IDispatch*>(this);
    else if (riid == IID_IDocHostUIHandler)
        *ppv = static_cast<IDocHostUIHandler*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CHtmlViewSite::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_lRefCount));
}

STDMETHODIMP_(ULONG) CHtmlViewSite::Release()
{
    LONG lRef = InterlockedDecrement(&m_lRefCount);
    if (lRef == 0)
        delete this;
    return static_cast<ULONG>(lRef);
}

STDMETHODIMP CHtmlViewSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHtmlViewSite::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer)
        *ppContainer = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CHtmlViewSite::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_pView ? m_pView->GetSafeHwnd() : nullptr;
    return *phwnd ? S_OK : E_FAIL;
}

STDMETHODIMP CHtmlViewSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                             LPRECT lprcPosRect, LPRECT lprcClipRect,
                                             LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect || !lpFrameInfo)
        return E_POINTER;
    *ppFrame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *ppDoc = nullptr;
    HWND hView = m_pView ? m_pView->GetSafeHwnd() : nullptr;
    if (!hView || !::GetClientRect(hView, lprcPosRect))
        SetRectEmpty(lprcPosRect);
    *lprcClipRect = *lprcPosRect;
    lpFrameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = hView ? ::GetAncestor(hView, GA_ROOT) : nullptr;
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP CHtmlViewSite::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CHtmlViewSite::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHtmlViewSite::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* pVarResult, EXCEPINFO*, UINT*)
{
    if (!m_pView)
        return DISP_E_MEMBERNOTFOUND;
    // A handler may end the view; this object stays valid until the call returns.
    AddRef();
    HRESULT hr = DISP_E_MEMBERNOTFOUND;
    try {
        if (wFlags & DISPATCH_PROPERTYGET) {
            if (pVarResult) {
                VariantInit(pVarResult);
                if (m_pView->OnAmbientProperty(dispIdMember, pVarResult))
                    hr = S_OK;
            }
        } else {
            hr = m_pView->DispatchBrowserEvent(dispIdMember, pDispParams);
        }
    } catch (...) {
        hr = E_OUTOFMEMORY;
    }
    Release();
    return hr;
}

STDMETHODIMP CHtmlViewSite::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    if (!pInfo)
        return E_POINTER;
    if (!m_pView)
        return E_NOTIMPL;
    try {
        return m_pView->OnGetHostInfo(pInfo);
    } catch (...) {
        return E_NOTIMPL;
    }
}

STDMETHODIMP CHtmlViewSite::GetOptionKeyPath(LPOLESTR* pchKey, DWORD)
{
    if (pchKey)
        *pchKey = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHtmlViewSite::GetDropTarget(IDropTarget*, IDropTarget** ppDropTarget)
{
    if (ppDropTarget)
        *ppDropTarget = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHtmlViewSite::GetExternal(IDispatch** ppDispatch)
{
    if (ppDispatch)
        *ppDispatch = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHtmlViewSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* ppchURLOut)
{
    if (ppchURLOut)
        *ppchURLOut = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHtmlViewSite::FilterDataObject(IDataObject*, IDataObject** ppDORet)
{
    if (ppDORet)
        *ppDORet = nullptr;
    return E_NOTIMPL;
}
