#include "start/HttpGet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "framework/CInternetSession.h"
#include "framework/InternetAccess.h"

namespace {

constexpr DWORD kReadChunkBytes = 1024;
// The requests run on a window's thread: a host that does not answer may hold it this long per step
// (connect, send, each receive) and no longer, well before the system calls the window hung.
constexpr DWORD kStepTimeoutMs = 4000;

} // namespace

CString HttpGetText(const CString& url)
{
    try {
        CInternetSession session(nullptr, 1, InternetAccessTypeFor(url));
        if (!session.IsOpen())
            return CString();
        for (DWORD dwOption : {DWORD(INTERNET_OPTION_CONNECT_TIMEOUT), DWORD(INTERNET_OPTION_SEND_TIMEOUT),
                               DWORD(INTERNET_OPTION_RECEIVE_TIMEOUT)})
            session.SetOption(dwOption, kStepTimeoutMs);
        // Every call asks the server: a notification or a version answered from the cache says nothing.
        const std::unique_ptr<CHttpFile> file =
            session.OpenURL(url, 1, INTERNET_FLAG_NO_UI | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE);
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
