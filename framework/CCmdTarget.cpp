#include "CCmdTarget.h"

static const CCmdTarget::DispatchEntry s_noDispatchEntries[] = {{nullptr, 0, nullptr}};
static const IID* const s_noInterfaceIids[] = {nullptr};

const CCmdTarget::DispatchMap CCmdTarget::s_dispatchMap = {nullptr, s_noDispatchEntries};
const CCmdTarget::InterfaceMap CCmdTarget::s_interfaceMap = {nullptr, s_noInterfaceIids};

CCmdTarget::CCmdTarget() : m_dwRef(1), m_bAutomation(false), m_xDispatch(this)
{
}

CCmdTarget::~CCmdTarget() = default;

void CCmdTarget::OnFinalRelease()
{
    delete this;
}

const CCmdTarget::DispatchMap* CCmdTarget::GetDispatchMap() const
{
    return &s_dispatchMap;
}

const CCmdTarget::InterfaceMap* CCmdTarget::GetInterfaceMap() const
{
    return &s_interfaceMap;
}

void CCmdTarget::EnableAutomation()
{
    m_bAutomation = true;
}

IDispatch* CCmdTarget::GetIDispatch(BOOL bAddRef)
{
    if (!m_bAutomation)
        return nullptr;
    if (bAddRef)
        ExternalAddRef();
    return &m_xDispatch;
}

IUnknown* CCmdTarget::GetIUnknown(BOOL bAddRef)
{
    if (bAddRef)
        ExternalAddRef();
    return &m_xDispatch;
}

ULONG CCmdTarget::ExternalAddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_dwRef));
}

ULONG CCmdTarget::ExternalRelease()
{
    LONG lRef = InterlockedDecrement(&m_dwRef);
    if (lRef == 0)
        OnFinalRelease();
    return static_cast<ULONG>(lRef);
}

HRESULT CCmdTarget::ExternalQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || (m_bAutomation && (riid == IID_IDispatch || IsMappedInterface(riid)))) {
        *ppv = &m_xDispatch;
        ExternalAddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

const CCmdTarget::DispatchEntry* CCmdTarget::FindDispatchEntry(DISPID dispid) const
{
    for (const DispatchMap* pMap = GetDispatchMap(); pMap; pMap = pMap->pBaseMap)
        for (const DispatchEntry* pEntry = pMap->pEntries; pEntry->pszName; ++pEntry)
            if (pEntry->dispid == dispid)
                return pEntry;
    return nullptr;
}

bool CCmdTarget::IsMappedInterface(REFIID riid) const
{
    for (const InterfaceMap* pMap = GetInterfaceMap(); pMap; pMap = pMap->pBaseMap)
        for (const IID* const* ppIid = pMap->ppIids; *ppIid; ++ppIid)
            if (**ppIid == riid)
                return true;
    return false;
}

STDMETHODIMP CCmdTarget::XDispatch::QueryInterface(REFIID riid, void** ppv)
{
    return m_pOwner->ExternalQueryInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) CCmdTarget::XDispatch::AddRef()
{
    return m_pOwner->ExternalAddRef();
}

STDMETHODIMP_(ULONG) CCmdTarget::XDispatch::Release()
{
    return m_pOwner->ExternalRelease();
}

STDMETHODIMP CCmdTarget::XDispatch::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CCmdTarget::XDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CCmdTarget::XDispatch::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID,
                                                  DISPID* rgDispId)
{
    if (!rgszNames || !rgDispId || cNames == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i)
        rgDispId[i] = DISPID_UNKNOWN;
    // Only the member name can be mapped; the table has no parameter names.
    for (const DispatchMap* pMap = m_pOwner->GetDispatchMap(); pMap; pMap = pMap->pBaseMap)
        for (const DispatchEntry* pEntry = pMap->pEntries; pEntry->pszName; ++pEntry)
            if (rgszNames[0] && lstrcmpiW(pEntry->pszName, rgszNames[0]) == 0) {
                rgDispId[0] = pEntry->dispid;
                return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
            }
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CCmdTarget::XDispatch::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams,
                                           VARIANT* pVarResult, EXCEPINFO*, UINT*)
{
    const DispatchEntry* pEntry = m_pOwner->FindDispatchEntry(dispIdMember);
    if (!pEntry)
        return DISP_E_MEMBERNOTFOUND;
    if (pVarResult)
        VariantInit(pVarResult);
    // Keep the object alive through a handler that makes the last holder let go.
    m_pOwner->ExternalAddRef();
    HRESULT hr;
    try {
        hr = pEntry->pfnInvoke(m_pOwner, pDispParams);
    } catch (...) {
        hr = E_OUTOFMEMORY;
    }
    m_pOwner->ExternalRelease();
    return hr;
}

namespace CmdTargetArgs {

static const VARIANT& Value(const VARIANT& var)
{
    if (V_VT(&var) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&var))
        return *V_VARIANTREF(&var);
    return var;
}

bool Convert(const VARIANT& var, IDispatch*& out)
{
    const VARIANT& v = Value(var);
    if (V_VT(&v) == VT_DISPATCH)
        out = V_DISPATCH(&v);
    else if (V_VT(&v) == VT_EMPTY || V_VT(&v) == VT_NULL)
        out = nullptr;
    else
        return false;
    return true;
}

bool Convert(const VARIANT& var, long& out)
{
    const VARIANT& v = Value(var);
    if (V_VT(&v) == VT_I4)
        out = V_I4(&v);
    else if (V_VT(&v) == VT_UI4)
        out = static_cast<long>(V_UI4(&v));
    else
        return false;
    return true;
}

bool Convert(const VARIANT& var, BSTR& out)
{
    const VARIANT& v = Value(var);
    if (V_VT(&v) != VT_BSTR)
        return false;
    out = V_BSTR(&v);
    return true;
}

bool Convert(const VARIANT& var, VARIANT_BOOL*& out)
{
    if (V_VT(&var) != (VT_BOOL | VT_BYREF))
        return false;
    out = V_BOOLREF(&var);
    return true;
}

} // namespace CmdTargetArgs
