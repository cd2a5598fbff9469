// Small COM objects standing in for the HTML engine's event object, elements and document, which
// cannot run under Wine here. They implement only what the click sink and the view call.
#pragma once

#include <windows.h>
#include <mshtml.h>
#include <mshtmdid.h>
#include <ocidl.h>

#include <map>
#include <string>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

// Every method of IHTMLElement answers E_NOTIMPL; a test object overrides the few it needs.
class HTMLElementStub : public IHTMLElement
{
public:
    STDMETHODIMP setAttribute(BSTR, VARIANT, LONG) override { return E_NOTIMPL; }
    STDMETHODIMP getAttribute(BSTR, LONG, VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP removeAttribute(BSTR, LONG, VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP put_className(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_className(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP put_id(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_id(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP get_tagName(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP get_parentElement(IHTMLElement **) override { return E_NOTIMPL; }
    STDMETHODIMP get_style(IHTMLStyle **) override { return E_NOTIMPL; }
    STDMETHODIMP put_onhelp(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onhelp(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onclick(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onclick(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_ondblclick(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_ondblclick(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onkeydown(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onkeydown(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onkeyup(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onkeyup(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onkeypress(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onkeypress(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmouseout(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmouseout(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmouseover(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmouseover(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmousemove(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmousemove(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmousedown(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmousedown(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmouseup(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmouseup(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP get_document(IDispatch **) override { return E_NOTIMPL; }
    STDMETHODIMP put_title(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_title(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP put_language(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_language(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onselectstart(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onselectstart(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP scrollIntoView(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP contains(IHTMLElement *, VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP get_sourceIndex(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_recordNumber(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_lang(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_lang(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP get_offsetLeft(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_offsetTop(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_offsetWidth(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_offsetHeight(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_offsetParent(IHTMLElement **) override { return E_NOTIMPL; }
    STDMETHODIMP put_innerHTML(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_innerHTML(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP put_innerText(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_innerText(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP put_outerHTML(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_outerHTML(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP put_outerText(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_outerText(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP insertAdjacentHTML(BSTR, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP insertAdjacentText(BSTR, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_parentTextEdit(IHTMLElement **) override { return E_NOTIMPL; }
    STDMETHODIMP get_isTextEdit(VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP click() override { return E_NOTIMPL; }
    STDMETHODIMP get_filters(IHTMLFiltersCollection **) override { return E_NOTIMPL; }
    STDMETHODIMP put_ondragstart(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_ondragstart(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP toString(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onbeforeupdate(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onbeforeupdate(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onafterupdate(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onafterupdate(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onerrorupdate(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onerrorupdate(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onrowexit(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onrowexit(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onrowenter(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onrowenter(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_ondatasetchanged(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_ondatasetchanged(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_ondataavailable(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_ondataavailable(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_ondatasetcomplete(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_ondatasetcomplete(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_onfilterchange(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_onfilterchange(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP get_children(IDispatch **) override { return E_NOTIMPL; }
    STDMETHODIMP get_all(IDispatch **) override { return E_NOTIMPL; }
};

// Every method of IHTMLEventObj answers E_NOTIMPL; a test object overrides the few it needs.
class HTMLEventObjStub : public IHTMLEventObj
{
public:
    STDMETHODIMP get_srcElement(IHTMLElement **) override { return E_NOTIMPL; }
    STDMETHODIMP get_altKey(VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP get_ctrlKey(VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP get_shiftKey(VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP put_returnValue(VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP get_returnValue(VARIANT *) override { return E_NOTIMPL; }
    STDMETHODIMP put_cancelBubble(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_cancelBubble(VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP get_fromElement(IHTMLElement **) override { return E_NOTIMPL; }
    STDMETHODIMP get_toElement(IHTMLElement **) override { return E_NOTIMPL; }
    STDMETHODIMP put_keyCode(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_keyCode(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_button(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_type(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP get_qualifier(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP get_reason(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_x(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_y(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_clientX(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_clientY(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_offsetX(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_offsetY(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_screenX(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_screenY(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP get_srcFilter(IDispatch **) override { return E_NOTIMPL; }
};

#pragma GCC diagnostic pop

// IUnknown and IDispatch for a stub: counted, answering IUnknown, IDispatch and iid.
template <class Base, const IID* pIid>
class FakeComObject : public Base
{
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == *pIid) {
            *ppv = static_cast<Base*>(this);
            this->AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_lRef); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG lRef = --m_lRef;
        if (lRef == 0)
            delete this;
        return static_cast<ULONG>(lRef);
    }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    LONG RefCount() const { return m_lRef; }

protected:
    virtual ~FakeComObject() = default;
    LONG m_lRef = 1;
};

// An element with a tag name, an optional href attribute (a string, or another variant type) and
// an optional parent.
class FakeElement : public FakeComObject<HTMLElementStub, &IID_IHTMLElement>
{
public:
    FakeElement(const wchar_t* pszTag, FakeElement* pParent = nullptr) : m_strTag(pszTag), m_pParent(pParent)
    {
        VariantInit(&m_varHref);
        if (m_pParent)
            m_pParent->AddRef();
    }
    void SetHref(const wchar_t* pszHref)
    {
        VariantClear(&m_varHref);
        V_VT(&m_varHref) = VT_BSTR;
        V_BSTR(&m_varHref) = SysAllocString(pszHref);
    }
    void SetHrefNull()
    {
        VariantClear(&m_varHref);
        V_VT(&m_varHref) = VT_NULL;
    }
    STDMETHODIMP get_tagName(BSTR* p) override
    {
        *p = SysAllocString(m_strTag.c_str());
        return S_OK;
    }
    STDMETHODIMP get_parentElement(IHTMLElement** pp) override
    {
        *pp = m_pParent;
        if (m_pParent)
            m_pParent->AddRef();
        return S_OK;
    }
    STDMETHODIMP getAttribute(BSTR name, LONG lFlags, VARIANT* pValue) override
    {
        m_vecAttributeFlags.push_back(lFlags);
        VariantInit(pValue);
        if (lstrcmpiW(name, L"href") != 0)
            return S_OK;
        return VariantCopy(pValue, &m_varHref);
    }
    std::vector<LONG> m_vecAttributeFlags;

private:
    ~FakeElement() override
    {
        VariantClear(&m_varHref);
        if (m_pParent)
            m_pParent->Release();
    }
    std::wstring m_strTag;
    FakeElement* m_pParent;
    VARIANT m_varHref;
};

class FakeEvent : public FakeComObject<HTMLEventObjStub, &IID_IHTMLEventObj>
{
public:
    explicit FakeEvent(FakeElement* pSource) : m_pSource(pSource)
    {
        if (m_pSource)
            m_pSource->AddRef();
    }
    STDMETHODIMP get_srcElement(IHTMLElement** pp) override
    {
        *pp = m_pSource;
        if (m_pSource)
            m_pSource->AddRef();
        return S_OK;
    }

private:
    ~FakeEvent() override
    {
        if (m_pSource)
            m_pSource->Release();
    }
    FakeElement* m_pSource;
};

// A document offering one connection point, for its document events. Clicks go to every connected
// sink, as the engine would deliver them.
class FakeDocument : public FakeComObject<IDispatch, &IID_IDispatch>,
                     public IConnectionPointContainer,
                     public IConnectionPoint
{
public:
    explicit FakeDocument(const IID& iidEvents) : m_iidEvents(iidEvents) {}

    // One count for all three interfaces; the container only while the document offers events.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid != IID_IConnectionPointContainer)
            return FakeComObject::QueryInterface(riid, ppv);
        *ppv = m_bOfferEvents ? static_cast<IConnectionPointContainer*>(this) : nullptr;
        if (!m_bOfferEvents)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return FakeComObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FakeComObject::Release(); }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override
    {
        if (riid != m_iidEvents) {
            *ppCP = nullptr;
            return CONNECT_E_NOCONNECTION;
        }
        *ppCP = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }

    // IConnectionPoint; like the engine, the sink is asked for the event interface, then IDispatch.
    STDMETHODIMP GetConnectionInterface(IID* pIID) override
    {
        *pIID = m_iidEvents;
        return S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override
    {
        *ppCPC = static_cast<IConnectionPointContainer*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override
    {
        IDispatch* pSink = nullptr;
        if (FAILED(pUnkSink->QueryInterface(m_iidEvents, reinterpret_cast<void**>(&pSink))) &&
            FAILED(pUnkSink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pSink))))
            return CONNECT_E_CANNOTCONNECT;
        *pdwCookie = m_dwNextCookie++;
        m_mapSinks[*pdwCookie] = pSink;
        ++m_nAdvises;
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD dwCookie) override
    {
        auto it = m_mapSinks.find(dwCookie);
        m_vecUnadvised.push_back(dwCookie);
        if (it == m_mapSinks.end())
            return CONNECT_E_NOCONNECTION;
        IDispatch* pSink = it->second;
        m_mapSinks.erase(it);
        if (m_bKeepSinksAfterUnadvise)
            m_vecKeptSinks.push_back(pSink);
        else
            pSink->Release();
        return S_OK;
    }
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // Delivers a click to every connected sink; the number of sinks reached.
    int Click(IDispatch* pEvent)
    {
        std::vector<IDispatch*> vecSinks;
        for (auto& entry : m_mapSinks)
            vecSinks.push_back(entry.second);
        for (IDispatch* pSink : vecSinks) {
            VARIANT varArg;
            VariantInit(&varArg);
            V_VT(&varArg) = VT_DISPATCH;
            V_DISPATCH(&varArg) = pEvent;
            DISPPARAMS params = {&varArg, nullptr, 1, 0};
            pSink->Invoke(DISPID_HTMLELEMENTEVENTS2_ONCLICK, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                          &params, nullptr, nullptr, nullptr);
        }
        return static_cast<int>(vecSinks.size());
    }
    size_t ConnectedCount() const { return m_mapSinks.size(); }

    bool m_bOfferEvents = true;
    bool m_bKeepSinksAfterUnadvise = false;  // a leaky engine: the sink outlives its connection
    std::vector<IDispatch*> m_vecKeptSinks;
    std::vector<DWORD> m_vecUnadvised;
    int m_nAdvises = 0;

private:
    ~FakeDocument() override
    {
        for (auto& entry : m_mapSinks)
            entry.second->Release();
    }
    IID m_iidEvents;
    DWORD m_dwNextCookie = 1;
    std::map<DWORD, IDispatch*> m_mapSinks;
};
