#include "CHtmlView.h"

#include <exdispid.h>
#include <olectl.h>

#include "EventArgs.h"
#include "HtmlViewSite.h"
#include "OleSite.h"

using Microsoft::WRL::ComPtr;

BEGIN_MESSAGE_MAP(CHtmlView, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CHtmlView::CHtmlView() = default;

CHtmlView::~CHtmlView()
{
    // The window (if any) goes with CWnd's destructor; the control must not outlive this part.
    DestroyBrowser();
}

bool CHtmlView::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, void*)
{
    CREATESTRUCTW cs{};
    cs.lpszClass = lpszClassName ? lpszClassName
                                 : AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID));
    if (!PreCreateWindow(cs))
        return false;
    RECT rcWindow = {cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
    return CreateEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, rcWindow, pParentWnd, nID);
}

BOOL CHtmlView::PreCreateWindow(CREATESTRUCTW&)
{
    return TRUE;
}

void CHtmlView::PostNcDestroy()
{
    delete this;
}

int CHtmlView::OnCreate(LPCREATESTRUCTW)
{
    if (Default() == -1)
        return -1;
    // A view without a browser stays a harmless empty window; navigation then does nothing.
    CreateBrowser();
    return 0;
}

void CHtmlView::OnSize(UINT, int cx, int cy)
{
    Default();
    if (m_pInPlaceObject) {
        RECT rc = {0, 0, cx, cy};
        m_pInPlaceObject->SetObjectRects(&rc, &rc);
    }
}

void CHtmlView::OnDestroy()
{
    DestroyBrowser();
    Default();
}

bool CHtmlView::CreateBrowser()
{
    if (m_pOleObject || FAILED(m_oleInit.result()))
        return false;
    m_pSite = new CHtmlViewSite(this);
    m_pSite->AddRef();
    if (FAILED(CreateWebBrowserObject(m_pSite, m_pStorage.GetAddressOf(), m_pOleObject.GetAddressOf()))) {
        DestroyBrowser();
        return false;
    }
    m_pOleObject.As(&m_pInPlaceObject);
    m_pOleObject.As(&m_pBrowserApp);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (!m_pBrowserApp ||
        FAILED(m_pOleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_pSite, 0, m_hWnd, &rc))) {
        DestroyBrowser();
        return false;
    }
    AdviseConnection(m_pBrowserApp.Get(), DIID_DWebBrowserEvents2, static_cast<IDispatch*>(m_pSite),
                     &m_dwEventCookie);
    return true;
}

void CHtmlView::DestroyBrowser()
{
    if (m_dwEventCookie && m_pBrowserApp)
        UnadviseConnection(m_pBrowserApp.Get(), DIID_DWebBrowserEvents2, m_dwEventCookie);
    m_dwEventCookie = 0;
    ShutDownWebBrowserObject(m_pOleObject.Get(), m_pInPlaceObject.Get());
    m_pBrowserApp.Reset();
    m_pInPlaceObject.Reset();
    m_pOleObject.Reset();
    m_pStorage.Reset();
    if (m_pSite) {
        m_pSite->Detach();
        m_pSite->Release();
        m_pSite = nullptr;
    }
}

bool CHtmlView::Navigate(LPCWSTR lpszUrl, DWORD dwFlags, LPCWSTR lpszTargetFrameName, LPCWSTR lpszHeaders,
                         const void* lpvPostData, DWORD dwPostDataLen)
{
    if (!m_pBrowserApp || !lpszUrl)
        return false;
    UniqueBstr bstrUrl(SysAllocString(lpszUrl));
    UniqueVariant varFlags, varTarget, varPostData, varHeaders;
    V_VT(varFlags.get()) = VT_I4;
    V_I4(varFlags.get()) = static_cast<LONG>(dwFlags);
    if (lpszTargetFrameName) {
        V_VT(varTarget.get()) = VT_BSTR;
        V_BSTR(varTarget.get()) = SysAllocString(lpszTargetFrameName);
    }
    if (lpszHeaders) {
        V_VT(varHeaders.get()) = VT_BSTR;
        V_BSTR(varHeaders.get()) = SysAllocString(lpszHeaders);
    }
    if (lpvPostData && dwPostDataLen) {
        SAFEARRAY* psa = SafeArrayCreateVector(VT_UI1, 0, dwPostDataLen);
        void* pData = nullptr;
        if (!psa || FAILED(SafeArrayAccessData(psa, &pData))) {
            if (psa)
                SafeArrayDestroy(psa);
            return false;
        }
        CopyMemory(pData, lpvPostData, dwPostDataLen);
        SafeArrayUnaccessData(psa);
        V_VT(varPostData.get()) = VT_ARRAY | VT_UI1;
        V_ARRAY(varPostData.get()) = psa;
    }
    if (!bstrUrl)
        return false;
    return SUCCEEDED(m_pBrowserApp->Navigate(bstrUrl.get(), varFlags.get(), varTarget.get(), varPostData.get(),
                                             varHeaders.get()));
}

void CHtmlView::Refresh()
{
    if (m_pBrowserApp)
        m_pBrowserApp->Refresh();
}

void CHtmlView::Stop()
{
    if (m_pBrowserApp)
        m_pBrowserApp->Stop();
}

ComPtr<IDispatch> CHtmlView::GetHtmlDocument() const
{
    ComPtr<IDispatch> pDocument;
    if (m_pBrowserApp && FAILED(m_pBrowserApp->get_Document(&pDocument)))
        pDocument.Reset();
    return pDocument;
}

bool CHtmlView::PreTranslateMessage(MSG* pMsg)
{
    // Keys typed into the page (Tab between fields, the clipboard keys) belong to the control first.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_pBrowserApp &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        ComPtr<IOleInPlaceActiveObject> pActive;
        if (SUCCEEDED(m_pBrowserApp.As(&pActive)) && pActive->TranslateAccelerator(pMsg) == S_OK)
            return true;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CHtmlView::OnBeforeNavigate2(LPCWSTR, DWORD, LPCWSTR, LPCWSTR, BOOL*)
{
}

void CHtmlView::OnNewWindow2(IDispatch**, BOOL*)
{
}

void CHtmlView::OnNewWindow3(IDispatch**, BOOL*, DWORD, LPCWSTR, LPCWSTR)
{
}

void CHtmlView::OnNavigateComplete2(LPCWSTR)
{
}

void CHtmlView::DocumentComplete(IDispatch*, LPCWSTR lpszUrl)
{
    OnDocumentComplete(lpszUrl);
}

void CHtmlView::OnDocumentComplete(LPCWSTR)
{
}

HRESULT CHtmlView::OnGetHostInfo(DOCHOSTUIINFO*)
{
    return E_NOTIMPL;
}

bool CHtmlView::IsTopLevelBrowser(IDispatch* pDisp) const
{
    return IsSameComObject(pDisp, m_pBrowserApp.Get());
}

void CHtmlView::OnQuit()
{
}

void CHtmlView::OnNavigateError(LPCWSTR, LPCWSTR, DWORD, BOOL*)
{
}

BOOL CHtmlView::OnAmbientProperty(DISPID dispid, VARIANT* pvar)
{
    switch (dispid) {
    case DISPID_AMBIENT_USERMODE:
        V_VT(pvar) = VT_BOOL;
        V_BOOL(pvar) = VARIANT_TRUE;
        return TRUE;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
    case DISPID_AMBIENT_MESSAGEREFLECT:
        V_VT(pvar) = VT_BOOL;
        V_BOOL(pvar) = VARIANT_FALSE;
        return TRUE;
    case DISPID_AMBIENT_LOCALEID:
        V_VT(pvar) = VT_I4;
        V_I4(pvar) = static_cast<LONG>(::GetUserDefaultLCID());
        return TRUE;
    default:
        return FALSE;
    }
}

namespace {

// The control's by-reference VARIANT_BOOL read as BOOL for a handler and written back as the 16-bit
// value the control expects.
class CancelFlag
{
public:
    explicit CancelFlag(VARIANT_BOOL* pCancel) : m_pCancel(pCancel), m_bCancel(*pCancel != VARIANT_FALSE) {}
    CancelFlag(const CancelFlag&) = delete;
    CancelFlag& operator=(const CancelFlag&) = delete;
    ~CancelFlag() { *m_pCancel = m_bCancel ? VARIANT_TRUE : VARIANT_FALSE; }
    BOOL* get() { return &m_bCancel; }

private:
    VARIANT_BOOL* m_pCancel;
    BOOL m_bCancel;
};

} // namespace

HRESULT CHtmlView::DispatchBrowserEvent(DISPID dispid, const DISPPARAMS* pParams)
{
    CEventArgs args(pParams);
    CString strUrl, strOther, strHeaders;
    long lValue = 0;
    switch (dispid) {
    case DISPID_BEFORENAVIGATE2: {  // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
        if (args.GetCount() != 7)
            return DISP_E_BADPARAMCOUNT;
        VARIANT_BOOL* pCancel = args.GetBoolRef(6);
        if (!pCancel || !args.GetString(1, strUrl))
            return DISP_E_TYPEMISMATCH;
        // The optional parts may arrive empty (VT_EMPTY) rather than as strings.
        args.GetLong(2, lValue);
        args.GetString(3, strOther);
        args.GetString(5, strHeaders);
        CancelFlag cancel(pCancel);
        OnBeforeNavigate2(strUrl, static_cast<DWORD>(lValue), strOther, strHeaders, cancel.get());
        return S_OK;
    }
    case DISPID_NEWWINDOW2: {  // (ppDisp, Cancel)
        if (args.GetCount() != 2)
            return DISP_E_BADPARAMCOUNT;
        IDispatch** ppDisp = args.GetDispatchRef(0);
        VARIANT_BOOL* pCancel = args.GetBoolRef(1);
        if (!ppDisp || !pCancel)
            return DISP_E_TYPEMISMATCH;
        CancelFlag cancel(pCancel);
        OnNewWindow2(ppDisp, cancel.get());
        return S_OK;
    }
    case DISPID_NEWWINDOW3: {  // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
        if (args.GetCount() != 5)
            return DISP_E_BADPARAMCOUNT;
        IDispatch** ppDisp = args.GetDispatchRef(0);
        VARIANT_BOOL* pCancel = args.GetBoolRef(1);
        if (!ppDisp || !pCancel || !args.GetString(4, strUrl))
            return DISP_E_TYPEMISMATCH;
        args.GetLong(2, lValue);
        args.GetString(3, strOther);
        CancelFlag cancel(pCancel);
        OnNewWindow3(ppDisp, cancel.get(), static_cast<DWORD>(lValue), strOther, strUrl);
        return S_OK;
    }
    case DISPID_NAVIGATECOMPLETE2:  // (pDisp, URL)
    case DISPID_DOCUMENTCOMPLETE:   // (pDisp, URL)
        if (args.GetCount() != 2)
            return DISP_E_BADPARAMCOUNT;
        if (!args.GetString(1, strUrl))
            return DISP_E_TYPEMISMATCH;
        if (dispid == DISPID_DOCUMENTCOMPLETE)
            DocumentComplete(args.GetDispatch(0), strUrl);
        else
            OnNavigateComplete2(strUrl);
        return S_OK;
    case DISPID_ONQUIT:
        OnQuit();
        return S_OK;
    case DISPID_NAVIGATEERROR: {  // (pDisp, URL, Frame, StatusCode, Cancel)
        if (args.GetCount() != 5)
            return DISP_E_BADPARAMCOUNT;
        VARIANT_BOOL* pCancel = args.GetBoolRef(4);
        if (!pCancel || !args.GetString(1, strUrl))
            return DISP_E_TYPEMISMATCH;
        args.GetString(2, strOther);
        args.GetLong(3, lValue);
        CancelFlag cancel(pCancel);
        OnNavigateError(strUrl, strOther, static_cast<DWORD>(lValue), cancel.get());
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
