// Typed, checked access to the arguments of a dispatch event. The caller of Invoke fills DISPPARAMS,
// and a hostile or broken one may send fewer arguments or other types than the event declares; every
// getter checks the count and the type and fails rather than read something else.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "CString.h"

class CEventArgs
{
public:
    explicit CEventArgs(const DISPPARAMS* pParams) : m_pParams(pParams) {}

    // Indexes count in the order the event declares its parameters (rgvarg holds them reversed).
    UINT GetCount() const { return m_pParams ? m_pParams->cArgs : 0; }

    // A string, given directly or by reference, or a variant by reference holding one; a null BSTR
    // reads as an empty string.
    bool GetString(UINT index, CString& strOut) const;
    // A 32-bit integer, directly or through a variant by reference.
    bool GetLong(UINT index, long& lOut) const;
    // The event's by-reference VARIANT_BOOL (Cancel); null when the argument is anything else.
    VARIANT_BOOL* GetBoolRef(UINT index) const;
    // A by-reference dispatch pointer (ppDisp of the new-window events); null when it is anything else.
    IDispatch** GetDispatchRef(UINT index) const;
    // A dispatch pointer given directly (pDisp of the navigation events); null for anything else.
    IDispatch* GetDispatch(UINT index) const;

private:
    const VARIANT* At(UINT index) const;         // the argument as passed
    const VARIANT* ValueAt(UINT index) const;    // through one VT_VARIANT|VT_BYREF level

    const DISPPARAMS* m_pParams;
};
