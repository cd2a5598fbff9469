#include "MyHtmlView.h"

#include "BrowserFeatures.h"
#include "DocEvtHandler.h"
#include "HtmlGuids.h"
#include "OleSite.h"
#include "SystemBrowser.h"

BEGIN_MESSAGE_MAP(CMyHtmlView, CHtmlView)
    ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CMyHtmlView::CMyHtmlView() : m_pDocEventSink(new SDocEvtHandler), m_dwDocCookie(0)
{
}

CMyHtmlView::~CMyHtmlView()
{
    DetachDocEventSink();
    // The view's reference; a document that still held the sink would keep it alive, never dangling.
    m_pDocEventSink->ExternalRelease();
    m_pDocEventSink = nullptr;
}

BOOL CMyHtmlView::PreCreateWindow(CREATESTRUCTW& cs)
{
    cs.style |= WS_CLIPCHILDREN;
    // The control is created with the window.
    EnableModernPageMode();
    return CHtmlView::PreCreateWindow(cs);
}

void CMyHtmlView::PostNcDestroy()
{
    // Owned by the dialog that created it, not by its window.
}

void CMyHtmlView::OnNewWindow3(IDispatch**, BOOL* pbCancel, DWORD, LPCWSTR, LPCWSTR lpszUrl)
{
    // The game page stays; the new window opens outside, and only for a web address.
    *pbCancel = TRUE;
    OpenInSystemBrowser(lpszUrl);
}

void CMyHtmlView::OnDocumentComplete(LPCWSTR lpszUrl)
{
    AttachDocEventSink(GetHtmlDocument().Get());
    CHtmlView::OnDocumentComplete(lpszUrl);
}

bool CMyHtmlView::AttachDocEventSink(IDispatch* pDocument)
{
    DetachDocEventSink();
    if (!pDocument)
        return false;
    DWORD dwCookie = 0;
    if (FAILED(AdviseConnection(pDocument, kDiidHtmlDocumentEvents2, m_pDocEventSink->GetIUnknown(FALSE),
                                &dwCookie)) || dwCookie == 0)
        return false;
    m_pDocument = pDocument;
    m_dwDocCookie = dwCookie;
    return true;
}

void CMyHtmlView::DetachDocEventSink()
{
    if (m_dwDocCookie && m_pDocument)
        UnadviseConnection(m_pDocument.Get(), kDiidHtmlDocumentEvents2, m_dwDocCookie);
    m_dwDocCookie = 0;
    m_pDocument.Reset();
}

LRESULT CMyHtmlView::OnContextMenu(WPARAM, LPARAM)
{
    // Not passed on: the dialog around the view has no menu of its own to show.
    return 0;
}

void CMyHtmlView::OnDestroy()
{
    DetachDocEventSink();
    CHtmlView::OnDestroy();
}
