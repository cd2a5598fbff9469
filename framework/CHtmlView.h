// A child window that hosts the WebBrowser control and turns the control's events into virtual
// functions. Like a framework view it deletes itself when its window is destroyed; a view owned by
// someone else overrides PostNcDestroy with an empty body.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <wrl/client.h>

#include "CWnd.h"
#include "Handles.h"

class CHtmlViewSite;

class CHtmlView : public CWnd
{
public:
    CHtmlView();
    ~CHtmlView() override;

    // lpszClassName null: the framework's own class. pContext is accepted for the familiar shape and
    // not used: the view lives inside a dialog, not in a document/frame arrangement.
    virtual bool Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, void* pContext = nullptr);

    bool Navigate(LPCWSTR lpszUrl, DWORD dwFlags = 0, LPCWSTR lpszTargetFrameName = nullptr,
                  LPCWSTR lpszHeaders = nullptr, const void* lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    void Refresh();
    void Stop();
    // The control's IWebBrowser2; null when the control could not be created or is already gone.
    IWebBrowser2* GetWebBrowser() const { return m_pBrowserApp.Get(); }
    // The current top-level document, or null.
    Microsoft::WRL::ComPtr<IDispatch> GetHtmlDocument() const;

    bool PreTranslateMessage(MSG* pMsg) override;

    // Events of the control. The defaults let everything proceed.
    virtual void OnBeforeNavigate2(LPCWSTR lpszUrl, DWORD nFlags, LPCWSTR lpszTargetFrameName,
                                   LPCWSTR lpszHeaders, BOOL* pbCancel);
    virtual void OnNewWindow2(IDispatch** ppDisp, BOOL* pbCancel);
    virtual void OnNewWindow3(IDispatch** ppDisp, BOOL* pbCancel, DWORD dwFlags, LPCWSTR lpszUrlContext,
                              LPCWSTR lpszUrl);
    virtual void OnNavigateComplete2(LPCWSTR lpszUrl);
    // The raw event with the object that completed (the control itself for the top-level document,
    // a frame's browser otherwise); the default calls OnDocumentComplete.
    virtual void DocumentComplete(IDispatch* pDisp, LPCWSTR lpszUrl);
    virtual void OnDocumentComplete(LPCWSTR lpszUrl);
    virtual void OnQuit();
    virtual void OnNavigateError(LPCWSTR lpszUrl, LPCWSTR lpszFrame, DWORD dwStatusCode, BOOL* pbCancel);
    // An ambient property the control asks its site for; FALSE leaves it to the control's default.
    virtual BOOL OnAmbientProperty(DISPID dispid, VARIANT* pvar);
    // The host's UI flags the control asks for; E_NOTIMPL leaves the control's own.
    virtual HRESULT OnGetHostInfo(DOCHOSTUIINFO* pInfo);
    // True when pDisp is this view's control, so an event is about the top-level document.
    bool IsTopLevelBrowser(IDispatch* pDisp) const;

protected:
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    void PostNcDestroy() override;

    int OnCreate(LPCREATESTRUCTW lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

protected:
    // Declared before the COM pointers: OLE stays initialised until every one of them is released.
    OleInitScope m_oleInit;
    Microsoft::WRL::ComPtr<IWebBrowser2> m_pBrowserApp;

private:
    friend class CHtmlViewSite;
    bool CreateBrowser();
    void DestroyBrowser();
    HRESULT DispatchBrowserEvent(DISPID dispid, const DISPPARAMS* pParams);

    CHtmlViewSite* m_pSite = nullptr;
    Microsoft::WRL::ComPtr<IStorage> m_pStorage;
    Microsoft::WRL::ComPtr<IOleObject> m_pOleObject;
    Microsoft::WRL::ComPtr<IOleInPlaceObject> m_pInPlaceObject;
    DWORD m_dwEventCookie = 0;
};
