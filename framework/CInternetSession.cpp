#include "framework/CInternetSession.h"

#include <vector>

#include "framework/CWinApp.h"

bool CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    DWORD dwCode = 0;
    DWORD dwSize = sizeof dwCode;
    if (!m_hFile ||
        !HttpQueryInfoW(m_hFile.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwCode,
                        &dwSize, nullptr))
        return false;
    dwStatusCode = dwCode;
    return true;
}

bool CHttpFile::Read(void* pBuffer, DWORD nCount, DWORD& nRead)
{
    nRead = 0;
    return m_hFile && InternetReadFile(m_hFile.get(), pBuffer, nCount, &nRead);
}

CInternetSession::CInternetSession(LPCWSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   LPCWSTR pstrProxyName, LPCWSTR pstrProxyBypass, DWORD dwFlags)
    : m_dwContext(dwContext)
{
    const CString strAgent = pstrAgent ? CString(pstrAgent) : GetDefaultAgent();
    m_hSession.reset(
        InternetOpenW(strAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags));
}

namespace {

constexpr DWORD kTimeoutOptions[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                     INTERNET_OPTION_RECEIVE_TIMEOUT};

}  // namespace

bool CInternetSession::SetOption(DWORD dwOption, DWORD dwValue)
{
    for (size_t i = 0; i < sizeof kTimeoutOptions / sizeof kTimeoutOptions[0]; ++i) {
        if (kTimeoutOptions[i] == dwOption)
            m_timeouts[i] = dwValue;
    }
    return m_hSession && InternetSetOptionW(m_hSession.get(), dwOption, &dwValue, sizeof dwValue);
}

void CInternetSession::ApplyTimeouts(HINTERNET hInternet) const
{
    for (size_t i = 0; i < sizeof kTimeoutOptions / sizeof kTimeoutOptions[0]; ++i) {
        DWORD dwValue = m_timeouts[i];
        if (dwValue != 0)
            InternetSetOptionW(hInternet, kTimeoutOptions[i], &dwValue, sizeof dwValue);
    }
}

std::unique_ptr<CHttpFile> CInternetSession::OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext,
                                                     DWORD dwFlags, LPCWSTR pstrHeaders,
                                                     DWORD dwHeadersLength)
{
    if (!m_hSession || !pstrURL)
        return nullptr;
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    // Lengths of 1: point into the address instead of copying.
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(pstrURL, 0, 0, &parts))
        return nullptr;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        HINTERNET hFile = InternetOpenUrlW(m_hSession.get(), pstrURL, pstrHeaders, dwHeadersLength, dwFlags, dwContext);
        return hFile ? std::make_unique<CHttpFile>(hFile) : nullptr;
    }
    if (!parts.lpszHostName || parts.dwHostNameLength == 0)
        return nullptr;
    const CString strHost(parts.lpszHostName, static_cast<int>(parts.dwHostNameLength));
    CString strObject;
    if (parts.lpszUrlPath)
        strObject = CString(parts.lpszUrlPath, static_cast<int>(parts.dwUrlPathLength));
    if (parts.lpszExtraInfo)
        strObject += CString(parts.lpszExtraInfo, static_cast<int>(parts.dwExtraInfoLength));
    if (strObject.IsEmpty())
        strObject = L"/";

    UniqueInternet connection(InternetConnectW(m_hSession.get(), strHost, parts.nPort, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, dwContext));
    if (!connection)
        return nullptr;
    ApplyTimeouts(connection.get());
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        dwFlags |= INTERNET_FLAG_SECURE;
    UniqueInternet request(
        HttpOpenRequestW(connection.get(), L"GET", strObject, nullptr, nullptr, nullptr, dwFlags, dwContext));
    if (!request)
        return nullptr;
    ApplyTimeouts(request.get());
    if (!HttpSendRequestW(request.get(), pstrHeaders, dwHeadersLength, nullptr, 0))
        return nullptr;
    return std::make_unique<CHttpFile>(request.release(), connection.release());
}

CString CInternetSession::GetDefaultAgent()
{
    if (const CWinApp* pApp = AfxGetApp())
        if (!pApp->m_strAppName.IsEmpty())
            return pApp->m_strAppName;
    // No application object (helper programs): the same name, taken from the executable.
    // Module paths have no fixed limit; grow until the whole path fits.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD dwLen = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (dwLen == 0)
            return CString();
        if (dwLen < path.size())
            break;
        path.resize(path.size() * 2);
    }
    CString strName(path.data());
    const int nSlash = strName.ReverseFind(L'\\');
    strName = strName.Mid(nSlash + 1);
    const int nDot = strName.ReverseFind(L'.');
    if (nDot > 0)
        strName = strName.Left(nDot);
    return strName;
}
