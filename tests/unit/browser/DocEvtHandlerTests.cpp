// The click sink, with small COM objects for the event and the elements (the DOM cannot run here),
// and the command target's dispatch and interface tables underneath it.
#include <gtest/gtest.h>

#include <mshtmdid.h>
#include <wrl/client.h>

#include "BrowserTestSupport.h"
#include "HtmlFakes.h"
#include "browser/DocEvtHandler.h"
#include "browser/HtmlGuids.h"

using Microsoft::WRL::ComPtr;

namespace {

// One sink as the view owns it: the owner's reference goes with ExternalRelease.
struct SinkOwner
{
    SinkOwner() : pSink(new SDocEvtHandler) {}
    ~SinkOwner() { pSink->ExternalRelease(); }
    IDispatch* Dispatch() { return pSink->GetIDispatch(FALSE); }
    SDocEvtHandler* pSink;
};

HRESULT Click(IDispatch* pSink, FakeElement* pSource)
{
    FakeEvent* pEvent = new FakeEvent(pSource);
    CEventParams params;
    params.Dispatch(pEvent);
    HRESULT hr = RaiseEvent(pSink, DISPID_HTMLELEMENTEVENTS2_ONCLICK, params.Get());
    pEvent->Release();
    return hr;
}

} // namespace

TEST(DocEvtHandler, ClickOnAnImageInsideALinkTracesTheLinkOnce)
{
    CTraceCapture trace;
    SinkOwner sink;
    FakeElement* pLink = new FakeElement(L"A");
    pLink->SetHref(L"http://game.example/server?id=3");
    FakeElement* pSpan = new FakeElement(L"SPAN", pLink);
    FakeElement* pImage = new FakeElement(L"IMG", pSpan);

    EXPECT_EQ(Click(sink.Dispatch(), pImage), S_OK);
    ASSERT_EQ(CTraceCapture::Lines().size(), 1u);
    EXPECT_EQ(CTraceCapture::Lines()[0], L"单击事件:http://game.example/server?id=3\r\n");
    ASSERT_EQ(pLink->m_vecAttributeFlags.size(), 1u);
    EXPECT_EQ(pLink->m_vecAttributeFlags[0], 0);

    pImage->Release();
    pSpan->Release();
    pLink->Release();
}

TEST(DocEvtHandler, ClickOutsideAnyLinkTracesNothing)
{
    CTraceCapture trace;
    SinkOwner sink;
    FakeElement* pBody = new FakeElement(L"BODY");
    FakeElement* pDiv = new FakeElement(L"DIV", pBody);
    FakeElement* pImage = new FakeElement(L"IMG", pDiv);
    EXPECT_EQ(Click(sink.Dispatch(), pImage), S_OK);
    EXPECT_EQ(Click(sink.Dispatch(), pBody), S_OK);
    EXPECT_TRUE(CTraceCapture::Lines().empty());
    pImage->Release();
    pDiv->Release();
    pBody->Release();
}

TEST(DocEvtHandler, LinkIsFoundThroughDeepNesting)
{
    CTraceCapture trace;
    SinkOwner sink;
    FakeElement* pLink = new FakeElement(L"a");
    pLink->SetHref(L"/deep");
    FakeElement* pElement = pLink;
    pElement->AddRef();
    for (int i = 0; i < 200; ++i) {
        FakeElement* pChild = new FakeElement(i % 2 ? L"SPAN" : L"B", pElement);
        pElement->Release();
        pElement = pChild;
    }
    EXPECT_EQ(Click(sink.Dispatch(), pElement), S_OK);
    ASSERT_EQ(CTraceCapture::Lines().size(), 1u);
    EXPECT_EQ(CTraceCapture::Lines()[0], L"单击事件:/deep\r\n");
    pElement->Release();
    pLink->Release();
}

TEST(DocEvtHandler, OnlyTheOneLetterAnchorTagMatches)
{
    CTraceCapture trace;
    SinkOwner sink;
    for (const wchar_t* pszTag : {L"ABBR", L"abbr", L"AREA", L"area", L"ADDRESS", L"B", L"a ", L""}) {
        FakeElement* pElement = new FakeElement(pszTag);
        pElement->SetHref(L"http://not.a.link/");
        EXPECT_EQ(Click(sink.Dispatch(), pElement), S_OK);
        pElement->Release();
    }
    EXPECT_TRUE(CTraceCapture::Lines().empty());
}

TEST(DocEvtHandler, AnchorWithoutAnAddressWritesNothingAndEndsTheSearch)
{
    CTraceCapture trace;
    SinkOwner sink;
    FakeElement* pOuter = new FakeElement(L"A");
    pOuter->SetHref(L"http://outer/");
    FakeElement* pNamed = new FakeElement(L"A", pOuter);
    pNamed->SetHrefNull();
    FakeElement* pText = new FakeElement(L"SPAN", pNamed);
    EXPECT_EQ(Click(sink.Dispatch(), pText), S_OK);
    FakeElement* pNoAttribute = new FakeElement(L"a");
    EXPECT_EQ(Click(sink.Dispatch(), pNoAttribute), S_OK);
    EXPECT_TRUE(CTraceCapture::Lines().empty());
    pNoAttribute->Release();
    pText->Release();
    pNamed->Release();
    pOuter->Release();
}

TEST(DocEvtHandler, LongAddressIsTracedWhole)
{
    CTraceCapture trace;
    SinkOwner sink;
    std::wstring strHref = L"http://game.example/?q=" + std::wstring(20000, L'x');
    FakeElement* pLink = new FakeElement(L"A");
    pLink->SetHref(strHref.c_str());
    EXPECT_EQ(Click(sink.Dispatch(), pLink), S_OK);
    ASSERT_EQ(CTraceCapture::Lines().size(), 1u);
    EXPECT_EQ(CTraceCapture::Lines()[0], L"单击事件:" + strHref + L"\r\n");
    pLink->Release();
}

TEST(DocEvtHandler, MissingOrMalformedEventsDoNothing)
{
    CTraceCapture trace;
    SinkOwner sink;
    {
        CEventParams params;
        params.Dispatch(nullptr);
        EXPECT_EQ(RaiseEvent(sink.Dispatch(), DISPID_HTMLELEMENTEVENTS2_ONCLICK, params.Get()), S_OK);
    }
    EXPECT_EQ(Click(sink.Dispatch(), nullptr), S_OK);  // an event without a source element
    {
        CEventParams params;
        params.Long(7);
        EXPECT_EQ(RaiseEvent(sink.Dispatch(), DISPID_HTMLELEMENTEVENTS2_ONCLICK, params.Get()), DISP_E_TYPEMISMATCH);
    }
    {
        CEventParams none;
        EXPECT_EQ(RaiseEvent(sink.Dispatch(), DISPID_HTMLELEMENTEVENTS2_ONCLICK, none.Get()), DISP_E_BADPARAMCOUNT);
        EXPECT_EQ(RaiseEvent(sink.Dispatch(), DISPID_HTMLELEMENTEVENTS2_ONCLICK, nullptr), DISP_E_BADPARAMCOUNT);
    }
    {
        FakeElement* pLink = new FakeElement(L"A");
        pLink->SetHref(L"http://x/");
        FakeEvent* pEvent = new FakeEvent(pLink);
        CEventParams params;
        params.Dispatch(pEvent);
        EXPECT_EQ(RaiseEvent(sink.Dispatch(), DISPID_HTMLELEMENTEVENTS2_ONDBLCLICK, params.Get()),
                  DISP_E_MEMBERNOTFOUND);
        pEvent->Release();
        pLink->Release();
    }
    EXPECT_TRUE(CTraceCapture::Lines().empty());
}

TEST(DocEvtHandler, AnswersItsEventInterfacesWithItsDispatch)
{
    SinkOwner sink;
    IDispatch* pDispatch = sink.Dispatch();
    ASSERT_NE(pDispatch, nullptr);
    for (const IID* pIid : {&IID_IUnknown, &IID_IDispatch, &kDiidHtmlElementEvents2Sink, &kDiidHtmlDocumentEvents2}) {
        void* pv = nullptr;
        EXPECT_EQ(pDispatch->QueryInterface(*pIid, &pv), S_OK);
        EXPECT_EQ(pv, static_cast<void*>(pDispatch));
        if (pv)
            static_cast<IUnknown*>(pv)->Release();
    }
    void* pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(pDispatch->QueryInterface(IID_IHTMLElement, &pv), E_NOINTERFACE);
    EXPECT_EQ(pv, nullptr);

    LPOLESTR pszName = const_cast<LPOLESTR>(L"HTMLELEMENTEVENTS2_ONCLICK");
    DISPID dispid = 0;
    EXPECT_EQ(pDispatch->GetIDsOfNames(IID_NULL, &pszName, 1, LOCALE_USER_DEFAULT, &dispid), S_OK);
    EXPECT_EQ(dispid, -600);
    LPOLESTR pszOther = const_cast<LPOLESTR>(L"onmouseover");
    EXPECT_EQ(pDispatch->GetIDsOfNames(IID_NULL, &pszOther, 1, LOCALE_USER_DEFAULT, &dispid), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(dispid, DISPID_UNKNOWN);
}

TEST(DocEvtHandler, LastReleaseEndsTheSink)
{
    auto* pSink = new SDocEvtHandler;
    IDispatch* pHeld = pSink->GetIDispatch(TRUE);  // a document's reference
    EXPECT_EQ(pSink->ExternalRelease(), 1u);        // the owner lets go; the document still holds it
    CTraceCapture trace;
    FakeElement* pLink = new FakeElement(L"A");
    pLink->SetHref(L"http://still.alive/");
    EXPECT_EQ(Click(pHeld, pLink), S_OK);
    EXPECT_EQ(CTraceCapture::Lines().size(), 1u);
    pLink->Release();
    EXPECT_EQ(pHeld->Release(), 0u);
}
