#include "start/HttpGet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "framework/CInternetSession.h"

namespace {

constexpr DWORD kReadChunkBytes = 1024;
// The requests run on a window's thread: a host that does not answer may hold it this long per step
// (connect, send, each receive) and no longer, well before the system calls the window hung.
constexpr DWORD kStepTimeoutMs = 4000;

bool IsLoopbackHost(CString strHost)
{
    if (strHost.GetLength() >= 2 && strHost[0] == L'[' && strHost[strHost.GetLength() - 1] == L']')
        strHost = strHost.Mid(1, strHost.GetLength() - 2);
    if (strHost.CompareNoCase(L"localhost") == 0 || strHost == L"::1")
        return true;
    // 127.0.0.0/8, written as a dotted address.
    if (strHost.Left(4) != L"127.")
        return false;
    for (int i = 4; i < strHost.GetLength(); ++i) {
        const wchar_t ch = strHost[i];
        if (ch != L'.' && (ch < L'0' || ch > L'9'))
            return false;
    }
    return true;
}

void BoundEveryStep(HINTERNET hInternet)
{
    for (DWORD dwOption : {DWORD(INTERNET_OPTION_CONNECT_TIMEOUT), DWORD(INTERNET_OPTION_SEND_TIMEOUT),
                           DWORD(INTERNET_OPTION_RECEIVE_TIMEOUT)}) {
        DWORD dwTimeout = kStepTimeoutMs;
        InternetSetOptionW(hInternet, dwOption, &dwTimeout, sizeof dwTimeout);
    }
}

// The request is built step by step rather than by InternetOpenUrlW, so that its own handle carries
// the time-outs before anything is sent: not every WinINet hands a session's time-outs down to the
// requests made under it. The connection must outlive the returned request.
std::unique_ptr<CHttpFile> SendGet(const CInternetSession& session, const CString& url, UniqueInternet& connection)
{
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    // Lengths of 1: point into url instead of copying.
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url, 0, 0, &parts) || !parts.lpszHostName || parts.dwHostNameLength == 0)
        return nullptr;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return nullptr;
    const CString strHost(parts.lpszHostName, static_cast<int>(parts.dwHostNameLength));
    CString strObject;
    if (parts.lpszUrlPath)
        strObject = CString(parts.lpszUrlPath, static_cast<int>(parts.dwUrlPathLength));
    if (parts.lpszExtraInfo)
        strObject += CString(parts.lpszExtraInfo, static_cast<int>(parts.dwExtraInfoLength));
    if (strObject.IsEmpty())
        strObject = L"/";

    connection.reset(InternetConnectW(session.GetHandle(), strHost, parts.nPort, nullptr, nullptr,
                                      INTERNET_SERVICE_HTTP, 0, session.GetContext()));
    if (!connection)
        return nullptr;
    BoundEveryStep(connection.get());
    // Every call asks the server: a notification or a version answered from the cache says nothing.
    DWORD dwFlags = INTERNET_FLAG_NO_UI | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        dwFlags |= INTERNET_FLAG_SECURE;
    UniqueInternet request(HttpOpenRequestW(connection.get(), L"GET", strObject, nullptr, nullptr, nullptr, dwFlags,
                                            session.GetContext()));
    if (!request)
        return nullptr;
    BoundEveryStep(request.get());
    if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0))
        return nullptr;
    return std::make_unique<CHttpFile>(request.release());
}

} // namespace

bool IsLoopbackUrl(const CString& url)
{
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1; // point into url instead of copying
    if (!InternetCrackUrlW(url, 0, 0, &parts) || !parts.lpszHostName || parts.dwHostNameLength == 0)
        return false;
    return IsLoopbackHost(CString(parts.lpszHostName, static_cast<int>(parts.dwHostNameLength)));
}

CString HttpGetText(const CString& url)
{
    try {
        // Windows never sends loopback requests to the configured proxy; some WinINet
        // implementations do, and a proxy cannot reach our own machine's services.
        const DWORD dwAccess =
            IsLoopbackUrl(url) ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PRECONFIG;
        CInternetSession session(nullptr, 1, dwAccess);
        if (!session.IsOpen())
            return CString();
        BoundEveryStep(session.GetHandle());
        UniqueInternet connection;
        const std::unique_ptr<CHttpFile> file = SendGet(session, url, connection);
        if (!file)
            return CString();

        DWORD dwStatus = 0;
        if (!file->QueryInfoStatusCode(dwStatus) || dwStatus >= 400)
            return CString();

        // A short read is not the end: only a read of 0 bytes is.
        std::string body;
        char chunk[kReadChunkBytes];
        while (body.size() < kHttpBodyLimit) {
            const DWORD dwWant =
                static_cast<DWORD>(std::min<std::size_t>(kReadChunkBytes, kHttpBodyLimit - body.size()));
            DWORD dwRead = 0;
            if (!file->Read(chunk, dwWant, dwRead))
                return CString();
            if (dwRead == 0)
                break;
            body.append(chunk, dwRead);
        }

        // The text ends at the first zero byte, as a C string would.
        const std::size_t nTextBytes = std::strlen(body.c_str());
        return CString::FromAnsi(body.data(), static_cast<int>(nTextBytes));
    } catch (...) {
        return CString();
    }
}
