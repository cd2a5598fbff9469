#include "WebBrowserBase.h"

#include <exdispid.h>
#include <shlobj.h>
#include <shlguid.h>

#include "BrowserFeatures.h"
#include "EventArgs.h"
#include "Handles.h"
#include "OleSite.h"
#include "SystemBrowser.h"

using Microsoft::WRL::ComPtr;

CWebBrowserBase::CWebBrowserBase()
    : m_lRefCount(0), m_rcBrowser{}, m_bInPlaceActive(FALSE), m_rcTarget{}, m_hrOleInit(E_FAIL),
      m_dwEventCookie(0)
{
    m_hrOleInit = OleInitialize(nullptr);
    if (FAILED(m_hrOleInit))
        return;
    EnableModernPageMode();
    CreateWebBrowserObject(static_cast<IOleClientSite*>(this), m_pStorage.GetAddressOf(),
                           m_pOleObject.GetAddressOf());
    if (m_pOleObject)
        m_pOleObject.As(&m_pInPlaceObject);
}

CWebBrowserBase::~CWebBrowserBase()
{
    // The control keeps pointers to this object's interfaces: cut every one of them before the
    // memory goes. While this runs, virtual calls reach only this class's harmless versions.
    if (m_dwEventCookie && m_pWebBrowser)
        UnadviseConnection(m_pWebBrowser.Get(), DIID_DWebBrowserEvents2, m_dwEventCookie);
    m_dwEventCookie = 0;
    ShutDownWebBrowserObject(m_pOleObject.Get(), m_pInPlaceObject.Get());
    m_pWebBrowser.Reset();
    m_pInPlaceObject.Reset();
    m_pOleObject.Reset();
    m_pStorage.Reset();
    if (SUCCEEDED(m_hrOleInit))
        OleUninitialize();
}

HWND CWebBrowserBase::GetHostWindow()
{
    return nullptr;
}

void CWebBrowserBase::OnDocumentComplete(const CString&)
{
}

void CWebBrowserBase::OnBeforeNavigate2(const CString&, VARIANT_BOOL*)
{
}

bool CWebBrowserBase::ActivateBrowser()
{
    if (!m_pOleObject)
        return false;
    if (m_bInPlaceActive)
        return true;

    HWND hHost = GetHostWindow();
    // Activation fills the host's client area; owners that want less call SetBrowserRect afterwards.
    if (!hHost || !::GetClientRect(hHost, &m_rcBrowser))
        SetRectEmpty(&m_rcBrowser);
    m_bInPlaceActive = TRUE;
    HRESULT hr = m_pOleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0,
                                      hHost, &m_rcBrowser);
    if (FAILED(hr))
        return false;

    IWebBrowser2* pBrowser = GetWebBrowser();
    if (!pBrowser)
        return false;
    hr = AdviseConnection(pBrowser, DIID_DWebBrowserEvents2, static_cast<IDispatch*>(this), &m_dwEventCookie);
    return SUCCEEDED(hr);
}

bool CWebBrowserBase::NavigateTo(LPCWSTR pszUrl)
{
    m_strUrl = pszUrl ? CString(pszUrl) : CString();
    IWebBrowser2* pBrowser = GetWebBrowser();
    if (!pBrowser)
        return false;
    UniqueBstr bstrUrl(SysAllocStringLen(m_strUrl, static_cast<UINT>(m_strUrl.GetLength())));
    if (!bstrUrl)
        return false;
    VARIANT varEmpty;
    VariantInit(&varEmpty);
    return SUCCEEDED(pBrowser->Navigate(bstrUrl.get(), &varEmpty, &varEmpty, &varEmpty, &varEmpty));
}

bool CWebBrowserBase::SetBrowserRect(const RECT& rc)
{
    if (m_bInPlaceActive) {
        if (!m_pOleObject || !m_pInPlaceObject)
            return false;
        // OLE extents are in HIMETRIC (0.01 mm), not pixels.
        HDC hdcScreen = ::GetDC(nullptr);
        int nDpiX = hdcScreen ? GetDeviceCaps(hdcScreen, LOGPIXELSX) : 96;
        int nDpiY = hdcScreen ? GetDeviceCaps(hdcScreen, LOGPIXELSY) : 96;
        if (hdcScreen)
            ::ReleaseDC(nullptr, hdcScreen);
        SIZEL size = {MulDiv(rc.right - rc.left, 2540, nDpiX), MulDiv(rc.bottom - rc.top, 2540, nDpiY)};
        if (FAILED(m_pOleObject->SetExtent(DVASPECT_CONTENT, &size)))
            return false;
        if (FAILED(m_pInPlaceObject->SetObjectRects(&rc, &rc)))
            return false;
    }
    m_rcBrowser = rc;
    return true;
}

IWebBrowser2* CWebBrowserBase::GetWebBrowser()
{
    if (!m_pWebBrowser && m_pOleObject)
        m_pOleObject.As(&m_pWebBrowser);
    return m_pWebBrowser.Get();
}

HWND CWebBrowserBase::FindRenderWindow()
{
    HWND hStart = nullptr;
    if (IWebBrowser2* pBrowser = GetWebBrowser()) {
        ComPtr<IServiceProvider> pProvider;
        ComPtr<IOleWindow> pWindow;
        if (SUCCEEDED(pBrowser->QueryInterface(IID_PPV_ARGS(&pProvider))) &&
            SUCCEEDED(pProvider->QueryService(SID_SShellBrowser, IID_PPV_ARGS(&pWindow))) &&
            FAILED(pWindow->GetWindow(&hStart)))
            hStart = nullptr;
    }
    // A control that offers no shell browser service is searched from its own in-place window,
    // which lies above the render window on the same first-child line.
    if (!hStart && m_pInPlaceObject && FAILED(m_pInPlaceObject->GetWindow(&hStart)))
        hStart = nullptr;
    return FindRenderWindowFrom(hStart);
}

HWND CWebBrowserBase::FindRenderWindowFrom(HWND hWndStart)
{
    for (HWND hWnd = hWndStart; hWnd; hWnd = ::GetWindow(hWnd, GW_CHILD)) {
        wchar_t szClass[MAX_PATH] = L"";
        ::GetClassNameW(hWnd, szClass, MAX_PATH);
        if (lstrcmpiW(szClass, L"Internet Explorer_Server") == 0)
            return hWnd;
    }
    return nullptr;
}

STDMETHODIMP CWebBrowserBase::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IUnknown || riid == IID_IDispatch)
        *ppv = static_cast<IDispatch*>(this);
    else if (riid == IID_IDocHostUIHandler)
        *ppv = static_cast<IDocHostUIHandler*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceFrame || riid == IID_IOleInPlaceUIWindow)
        *ppv = static_cast<IOleInPlaceFrame*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserBase::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_lRefCount));
}

STDMETHODIMP_(ULONG) CWebBrowserBase::Release()
{
    return static_cast<ULONG>(InterlockedDecrement(&m_lRefCount));
}

STDMETHODIMP CWebBrowserBase::GetTypeInfoCount(UINT*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserBase::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams, VARIANT*,
                                     EXCEPINFO*, UINT*)
{
    try {
        return OnEvent(dispIdMember, pDispParams);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

bool CWebBrowserBase::IsTopLevelBrowser(IDispatch* pDisp)
{
    return IsSameComObject(pDisp, GetWebBrowser());
}

HRESULT CWebBrowserBase::OnEvent(DISPID dispIdMember, const DISPPARAMS* pDispParams)
{
    CEventArgs args(pDispParams);
    CString strUrl;
    switch (dispIdMember) {
    case DISPID_DOCUMENTCOMPLETE:  // (pDisp, URL)
        if (args.GetCount() != 2)
            return DISP_E_BADPARAMCOUNT;
        if (!args.GetString(1, strUrl))
            return DISP_E_TYPEMISMATCH;
        // Every new page forgets its zoom, and the display's scale comes only with a zoom set.
        if (IsTopLevelBrowser(args.GetDispatch(0)))
            m_zoomer.OnNewDocument(GetWebBrowser(), GetHostWindow());
        OnDocumentComplete(strUrl);
        return S_OK;

    case DISPID_BEFORENAVIGATE2: {  // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
        if (args.GetCount() != 7)
            return DISP_E_BADPARAMCOUNT;
        VARIANT_BOOL* pCancel = args.GetBoolRef(6);
        if (!pCancel || !args.GetString(1, strUrl))
            return DISP_E_TYPEMISMATCH;
        OnBeforeNavigate2(strUrl, pCancel);
        return S_OK;
    }

    case DISPID_NEWWINDOW2: {  // (ppDisp, Cancel): no window opens inside this program
        if (args.GetCount() != 2)
            return DISP_E_BADPARAMCOUNT;
        VARIANT_BOOL* pCancel = args.GetBoolRef(1);
        if (!pCancel)
            return DISP_E_TYPEMISMATCH;
        *pCancel = VARIANT_TRUE;
        return E_NOTIMPL;
    }

    case DISPID_NEWWINDOW3: {  // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
        if (args.GetCount() != 5)
            return DISP_E_BADPARAMCOUNT;
        VARIANT_BOOL* pCancel = args.GetBoolRef(1);
        if (!pCancel || !args.GetString(4, strUrl))
            return DISP_E_TYPEMISMATCH;
        *pCancel = VARIANT_TRUE;
        OpenInSystemBrowser(strUrl);
        return S_OK;
    }

    default:
        return E_NOTIMPL;
    }
}
