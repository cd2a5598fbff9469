// WinINet in the shape of the framework's internet classes: a session opened with InternetOpenW and
// the files it opens by URL. Failures are return values; nothing here throws or shows UI.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>

#include "framework/CString.h"
#include "framework/Handles.h"

class CHttpFile
{
public:
    explicit CHttpFile(HINTERNET hFile) : m_hFile(hFile) {}
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    HINTERNET GetHandle() const { return m_hFile.get(); }

    // The status of the response (200, 404, ...); false when the request has none.
    bool QueryInfoStatusCode(DWORD& dwStatusCode) const;

    // Reads up to nCount bytes. true with nRead == 0 is the end of the body; false is a failure.
    bool Read(void* pBuffer, DWORD nCount, DWORD& nRead);

    void Close() { m_hFile.reset(); }

private:
    UniqueInternet m_hFile;
};

class CInternetSession
{
public:
    // A null agent means the application's name (the executable's name without extension).
    explicit CInternetSession(LPCWSTR pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG,
                              LPCWSTR pstrProxyName = nullptr, LPCWSTR pstrProxyBypass = nullptr,
                              DWORD dwFlags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    bool IsOpen() const { return static_cast<bool>(m_hSession); }
    HINTERNET GetHandle() const { return m_hSession.get(); }
    DWORD_PTR GetContext() const { return m_dwContext; }

    // InternetOpenUrlW; null when the session is closed or the address cannot be opened.
    std::unique_ptr<CHttpFile> OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext = 1,
                                       DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                                       LPCWSTR pstrHeaders = nullptr, DWORD dwHeadersLength = 0);

    void Close() { m_hSession.reset(); }

    // The application's name (by default its executable's file name without extension).
    static CString GetDefaultAgent();

private:
    UniqueInternet m_hSession;
    DWORD_PTR m_dwContext;
};
