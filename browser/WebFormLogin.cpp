#include "WebFormLogin.h"

#include "resource.h"
#include "start/VersionCheck.h"

CString g_strNavigateUrl;

HWND WebFormLogin::GetHostWindow()
{
    return m_hHostWnd;
}

void WebFormLogin::OnDocumentComplete(const CString&)
{
    if (!m_bFirstLoadDone) {
        // Set first: nothing the check does can bring a second run in through a nested event.
        m_bFirstLoadDone = TRUE;
        RunVersionCheck();
    }
    SetBrowserRect(m_rcTarget);
}

void WebFormLogin::OnBeforeNavigate2(const CString& strUrl, VARIANT_BOOL* pCancel)
{
    // The game's start address ends the login; the game window, not this popup, shows it.
    if (strUrl.Find(L"play_gamecode") >= 0)
        *pCancel = VARIANT_TRUE;
    if (m_hHostWnd) {
        g_strNavigateUrl = strUrl;
        ::SendMessageW(m_hHostWnd, WM_COMMAND, MAKEWPARAM(IDM_NAVIGATE_STARTED, 0), 0);
    }
}

STDMETHODIMP WebFormLogin::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    if (!pInfo)
        return E_POINTER;
    pInfo->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_DPI_AWARE;
    return S_OK;
}
