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
    // hConnection: the connection the request was opened under, kept until the request is closed.
    explicit CHttpFile(HINTERNET hFile, HINTERNET hConnection = nullptr) : m_hConnection(hConnection), m_hFile(hFile) {}
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    HINTERNET GetHandle() const { return m_hFile.get(); }

    // The status of the response (200, 404, ...); false when the request has none.
    bool QueryInfoStatusCode(DWORD& dwStatusCode) const;

    // Reads up to nCount bytes. true with nRead == 0 is the end of the body; false is a failure.
    bool Read(void* pBuffer, DWORD nCount, DWORD& nRead);

    void Close()
    {
        m_hFile.reset();
        m_hConnection.reset();
    }

private:
    UniqueInternet m_hConnection;   // declared first: it goes after the request
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

    // InternetSetOptionW on the session. The connect, send and receive time-outs are also given to
    // every request OpenURL makes: not every WinINet hands a session's time-outs down to its requests.
    bool SetOption(DWORD dwOption, DWORD dwValue);

    // An http or https address is asked for step by step (InternetConnectW, HttpOpenRequestW for a GET,
    // HttpSendRequestW with the headers), so that the request carries the time-outs before anything is
    // sent; any other address goes through InternetOpenUrlW. Null when the session is closed or the
    // address cannot be opened.
    std::unique_ptr<CHttpFile> OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext = 1,
                                       DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                                       LPCWSTR pstrHeaders = nullptr, DWORD dwHeadersLength = 0);

    void Close() { m_hSession.reset(); }

    // The application's name (by default its executable's file name without extension).
    static CString GetDefaultAgent();

private:
    void ApplyTimeouts(HINTERNET hInternet) const;

    UniqueInternet m_hSession;
    DWORD_PTR m_dwContext;
    // Connect, send and receive time-outs set on the session; 0 where none was set.
    DWORD m_timeouts[3] = {};
};
