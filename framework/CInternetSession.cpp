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

std::unique_ptr<CHttpFile> CInternetSession::OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext,
                                                     DWORD dwFlags, LPCWSTR pstrHeaders,
                                                     DWORD dwHeadersLength)
{
    if (!m_hSession || !pstrURL)
        return nullptr;
    HINTERNET hFile = InternetOpenUrlW(m_hSession.get(), pstrURL, pstrHeaders, dwHeadersLength,
                                       dwFlags, dwContext);
    if (!hFile)
        return nullptr;
    return std::make_unique<CHttpFile>(hFile);
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
