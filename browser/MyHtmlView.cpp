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

void CMyHtmlView::DocumentComplete(IDispatch* pDisp, LPCWSTR lpszUrl)
{
    // A frame's document leaves the page's zoom as it is.
    if (IsTopLevelBrowser(pDisp))
        m_zoomer.OnNewDocument(GetWebBrowser(), m_hWnd);
    CHtmlView::DocumentComplete(pDisp, lpszUrl);
}

HRESULT CMyHtmlView::OnGetHostInfo(DOCHOSTUIINFO* pInfo)
{
    pInfo->dwFlags |= DOCHOSTUIFLAG_DPI_AWARE;
    return S_OK;
}

void CMyHtmlView::SetPageZoom(int nPercent)
{
    m_zoomer.SetZoom(GetWebBrowser(), m_hWnd, nPercent);
}

bool CMyHtmlView::TakeZoomInput(const MSG* pMsg)
{
    const int nBefore = GetPageZoom();
    int nAfter = nBefore;
    // With no window of the thread focused, keys arrive at the active window as system keys.
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) {
        const PageZoomCommand command = ZoomCommandForKey(
            static_cast<unsigned>(pMsg->wParam), ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_MENU) < 0);
        if (command == PageZoomCommand::None)
            return false;
        nAfter = NextPageZoom(nBefore, command);
    } else if (pMsg->message == WM_MOUSEWHEEL) {
        const bool bCtrl = (GET_KEYSTATE_WPARAM(pMsg->wParam) & MK_CONTROL) != 0;
        const int nSteps = m_wheelZoom.Add(GET_WHEEL_DELTA_WPARAM(pMsg->wParam), bCtrl);
        // Part of a notch with Ctrl held is still the zoom's: the page must not scroll with it.
        if (nSteps == 0)
            return bCtrl;
        for (int i = 0; i < (nSteps > 0 ? nSteps : -nSteps); ++i)
            nAfter = NextPageZoom(nAfter, nSteps > 0 ? PageZoomCommand::In : PageZoomCommand::Out);
    } else {
        return false;
    }
    if (nAfter != nBefore)
        SetPageZoom(nAfter);
    if (m_hWnd)
        ::SendMessageW(::GetParent(m_hWnd), WM_PAGE_ZOOM_CHANGED, static_cast<WPARAM>(nAfter),
                       nAfter != nBefore ? 1 : 0);
    return true;
}

bool CMyHtmlView::PreTranslateMessage(MSG* pMsg)
{
    // Before the control's own keys: it has a zoom of its own that nothing would remember.
    if (TakeZoomInput(pMsg))
        return true;
    return CHtmlView::PreTranslateMessage(pMsg);
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
