#include "EventArgs.h"

const VARIANT* CEventArgs::At(UINT index) const
{
    if (!m_pParams || !m_pParams->rgvarg || index >= m_pParams->cArgs)
        return nullptr;
    return &m_pParams->rgvarg[m_pParams->cArgs - 1 - index];
}

const VARIANT* CEventArgs::ValueAt(UINT index) const
{
    const VARIANT* pVar = At(index);
    if (pVar && V_VT(pVar) == (VT_VARIANT | VT_BYREF))
        pVar = V_VARIANTREF(pVar);
    return pVar;
}

bool CEventArgs::GetString(UINT index, CString& strOut) const
{
    const VARIANT* pVar = ValueAt(index);
    if (!pVar)
        return false;
    BSTR bstr = nullptr;
    if (V_VT(pVar) == VT_BSTR)
        bstr = V_BSTR(pVar);
    else if (V_VT(pVar) == (VT_BSTR | VT_BYREF) && V_BSTRREF(pVar))
        bstr = *V_BSTRREF(pVar);
    else
        return false;
    strOut = bstr ? CString(bstr, static_cast<int>(SysStringLen(bstr))) : CString();
    return true;
}

bool CEventArgs::GetLong(UINT index, long& lOut) const
{
    const VARIANT* pVar = ValueAt(index);
    if (!pVar)
        return false;
    switch (V_VT(pVar)) {
    case VT_I4:
        lOut = V_I4(pVar);
        return true;
    case VT_UI4:
        lOut = static_cast<long>(V_UI4(pVar));
        return true;
    case VT_INT:
        lOut = V_INT(pVar);
        return true;
    default:
        return false;
    }
}

VARIANT_BOOL* CEventArgs::GetBoolRef(UINT index) const
{
    const VARIANT* pVar = At(index);
    if (!pVar || V_VT(pVar) != (VT_BOOL | VT_BYREF))
        return nullptr;
    return V_BOOLREF(pVar);
}

IDispatch** CEventArgs::GetDispatchRef(UINT index) const
{
    const VARIANT* pVar = At(index);
    if (!pVar || V_VT(pVar) != (VT_DISPATCH | VT_BYREF))
        return nullptr;
    return V_DISPATCHREF(pVar);
}

IDispatch* CEventArgs::GetDispatch(UINT index) const
{
    const VARIANT* pVar = ValueAt(index);
    if (!pVar || V_VT(pVar) != VT_DISPATCH)
        return nullptr;
    return V_DISPATCH(pVar);
}
