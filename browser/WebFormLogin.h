// The login site's browser inside the login popup: hidden until its first page is complete, and
// reporting every navigation to the popup, which recognises the game's start address.
#pragma once

#include "WebBrowserBase.h"

// The URL of the latest navigation reported to the popup; set before the report is sent.
extern CString g_strNavigateUrl;

class WebFormLogin : public CWebBrowserBase
{
public:
    WebFormLogin() = default;

    HWND GetHostWindow() override;
    void OnDocumentComplete(const CString& strUrl) override;
    void OnBeforeNavigate2(const CString& strUrl, VARIANT_BOOL* pCancel) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* pInfo) override;

    HWND m_hHostWnd = nullptr;
    BOOL m_bFirstLoadDone = FALSE;
};
