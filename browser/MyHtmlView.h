// The view that shows the game page inside a dialog. New windows the page asks for open in the
// system's Internet Explorer; after every completed load the click sink listens to the current
// document. The view's creator owns it: destroying the window leaves the object alive.
#pragma once

#include <wrl/client.h>

#include "CHtmlView.h"

class SDocEvtHandler;

class CMyHtmlView : public CHtmlView
{
public:
    CMyHtmlView();
    ~CMyHtmlView() override;

    // Moves the click sink to pDocument: the previous connection is removed first, so the sink is
    // connected to one document at most. False when pDocument offers no document events.
    bool AttachDocEventSink(IDispatch* pDocument);
    void DetachDocEventSink();

protected:
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void PostNcDestroy() override;
    void OnNewWindow3(IDispatch** ppDisp, BOOL* pbCancel, DWORD dwFlags, LPCWSTR lpszUrlContext,
                      LPCWSTR lpszUrl) override;
    void OnDocumentComplete(LPCWSTR lpszUrl) override;

    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

protected:
    SDocEvtHandler* m_pDocEventSink;
    DWORD m_dwDocCookie;
    Microsoft::WRL::ComPtr<IDispatch> m_pDocument;
};
