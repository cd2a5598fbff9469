#include "DocEvtHandler.h"

#include <mshtml.h>
#include <mshtmdid.h>
#include <wrl/client.h>

#include "CString.h"
#include "Handles.h"
#include "HtmlGuids.h"
#include "Trace.h"

using Microsoft::WRL::ComPtr;

BEGIN_DISPATCH_MAP(SDocEvtHandler, CCmdTarget)
    DISP_FUNCTION_ID(SDocEvtHandler, "HTMLELEMENTEVENTS2_ONCLICK", DISPID_HTMLELEMENTEVENTS2_ONCLICK, OnClick)
END_DISPATCH_MAP()

BEGIN_INTERFACE_MAP(SDocEvtHandler, CCmdTarget)
    INTERFACE_PART(SDocEvtHandler, kDiidHtmlElementEvents2Sink, Dispatch)
    INTERFACE_PART(SDocEvtHandler, kDiidHtmlDocumentEvents2, Dispatch)
END_INTERFACE_MAP()

SDocEvtHandler::SDocEvtHandler()
{
    EnableAutomation();
}

namespace {

bool IsAnchorTag(IHTMLElement* pElement)
{
    UniqueBstr bstrTag;
    if (FAILED(pElement->get_tagName(bstrTag.put())) || !bstrTag)
        return false;
    // Exactly "a" or "A": "abbr", "area" and "address" are not links.
    return SysStringLen(bstrTag.get()) == 1 && (bstrTag.get()[0] == L'a' || bstrTag.get()[0] == L'A');
}

void TraceLinkAddress(IHTMLElement* pAnchor)
{
    UniqueBstr bstrName(SysAllocString(L"href"));
    if (!bstrName)
        return;
    UniqueVariant varHref;
    HRESULT hr = pAnchor->getAttribute(bstrName.get(), 0, varHref.get());
    // An anchor with only a name has no address: a null or non-string value writes nothing.
    if (SUCCEEDED(hr) && V_VT(varHref.get()) == VT_BSTR && V_BSTR(varHref.get())) {
        CString strLine;
        strLine.Format(L"单击事件:%s\r\n", V_BSTR(varHref.get()));
        Trace(strLine);
    }
}

} // namespace

void SDocEvtHandler::OnClick(IDispatch* pEvtObj)
{
    if (!pEvtObj)
        return;
    ComPtr<IHTMLEventObj> pEvent;
    if (FAILED(pEvtObj->QueryInterface(IID_PPV_ARGS(&pEvent))))
        return;
    ComPtr<IHTMLElement> pElement;
    if (FAILED(pEvent->get_srcElement(&pElement)))
        return;
    while (pElement) {
        if (IsAnchorTag(pElement.Get())) {
            TraceLinkAddress(pElement.Get());
            return;
        }
        ComPtr<IHTMLElement> pParent;
        if (FAILED(pElement->get_parentElement(&pParent)))
            return;
        pElement = pParent;
    }
}
