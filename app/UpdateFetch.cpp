#include "app/UpdateFetch.h"

#include <vector>

#include "app/UpdateCrypto.h"
#include "framework/CInternetSession.h"
#include "framework/Handles.h"
#include "start/HttpGet.h"

namespace {

// A worker waits for a slow server, but not for ever: a stalled download continues next start.
constexpr DWORD kConnectTimeoutMs = 15000;
constexpr DWORD kTransferTimeoutMs = 30000;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                                INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;

std::unique_ptr<CInternetSession> OpenSession(const CString& url)
{
    // Windows never sends loopback requests to the configured proxy; some WinINet builds do.
    const DWORD dwAccess = IsLoopbackUrl(url) ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PRECONFIG;
    auto session = std::make_unique<CInternetSession>(nullptr, 1, dwAccess);
    if (!session->IsOpen())
        return nullptr;
    session->SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs);
    session->SetOption(INTERNET_OPTION_SEND_TIMEOUT, kTransferTimeoutMs);
    session->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, kTransferTimeoutMs);
    return session;
}

// A numeric header of the response; false when it is missing.
bool QueryNumber(HINTERNET hFile, DWORD dwInfo, std::uint64_t* pValue)
{
    wchar_t text[32] = {};
    DWORD cb = sizeof text - sizeof(wchar_t);
    if (!HttpQueryInfoW(hFile, dwInfo, text, &cb, nullptr) || text[0] == 0)
        return false;
    std::uint64_t value = 0;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p < L'0' || *p > L'9' || value > (UINT64_MAX - 9) / 10)
            return false;
        value = value * 10 + std::uint64_t(*p - L'0');
    }
    *pValue = value;
    return true;
}

// "bytes 100-199/200": the first byte a 206 answer holds.
bool QueryRangeStart(HINTERNET hFile, std::uint64_t* pStart)
{
    wchar_t text[128] = {};
    DWORD cb = sizeof text - sizeof(wchar_t);
    if (!HttpQueryInfoW(hFile, HTTP_QUERY_CONTENT_RANGE, text, &cb, nullptr))
        return false;
    const wchar_t* p = text;
    if (_wcsnicmp(p, L"bytes ", 6) != 0)
        return false;
    p += 6;
    std::uint64_t value = 0;
    if (*p < L'0' || *p > L'9')
        return false;
    for (; *p >= L'0' && *p <= L'9'; ++p)
        value = value * 10 + std::uint64_t(*p - L'0');
    *pStart = value;
    return *p == L'-';
}

bool SetFileSize(HANDLE hFile, std::uint64_t nBytes)
{
    LARGE_INTEGER at{};
    at.QuadPart = LONGLONG(nBytes);
    return SetFilePointerEx(hFile, at, nullptr, FILE_BEGIN) && SetEndOfFile(hFile);
}

// The first nBytes of hFile into sha, leaving the file pointer after them.
bool HashFileStart(HANDLE hFile, std::uint64_t nBytes, CSha256& sha)
{
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(hFile, start, nullptr, FILE_BEGIN))
        return false;
    std::vector<BYTE> buffer(256 * 1024);
    while (nBytes > 0) {
        DWORD nRead = 0;
        const DWORD nAsk = nBytes < buffer.size() ? DWORD(nBytes) : DWORD(buffer.size());
        if (!ReadFile(hFile, buffer.data(), nAsk, &nRead, nullptr) || nRead == 0 || !sha.Add(buffer.data(), nRead))
            return false;
        nBytes -= nRead;
    }
    return true;
}

}  // namespace

bool FetchBytes(const CString& url, std::size_t nLimit, DWORD* pStatus, std::string* pBody)
{
    *pStatus = 0;
    pBody->clear();
    auto session = OpenSession(url);
    if (!session)
        return false;
    std::unique_ptr<CHttpFile> file = session->OpenURL(url, 1, kRequestFlags);
    if (!file || !file->QueryInfoStatusCode(*pStatus) || *pStatus >= 400)
        return false;
    char chunk[4096];
    for (;;) {
        DWORD nRead = 0;
        if (!file->Read(chunk, sizeof chunk, nRead))
            return false;
        if (nRead == 0)
            return true;
        if (pBody->size() + nRead > nLimit)
            return false;
        pBody->append(chunk, nRead);
    }
}

DownloadResult DownloadToFile(const CString& url, const CString& strPartPath, std::uint64_t nExpectedBytes,
                              std::uint64_t* pnResumedAt, DWORD* pStatus, std::uint8_t (&digest)[32])
{
    *pnResumedAt = 0;
    *pStatus = 0;
    UniqueFile part(CreateFileW(strPartPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!part)
        return DownloadResult::Failed;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(part.get(), &size))
        return DownloadResult::Failed;
    std::uint64_t nHave = std::uint64_t(size.QuadPart);
    if (nHave > nExpectedBytes) {
        if (!SetFileSize(part.get(), 0))
            return DownloadResult::Failed;
        nHave = 0;
    }
    // The digest is taken as the bytes arrive, so the finished file is not read again for it.
    auto sha = std::make_unique<CSha256>();
    if (!HashFileStart(part.get(), nHave, *sha))
        return DownloadResult::Failed;
    if (nHave == nExpectedBytes)
        return sha->Finish(digest) ? DownloadResult::Complete : DownloadResult::Failed;

    auto session = OpenSession(url);
    if (!session)
        return DownloadResult::Failed;
    CString strRange;
    if (nHave > 0)
        strRange.Format(L"Range: bytes=%I64u-\r\n", static_cast<unsigned long long>(nHave));
    std::unique_ptr<CHttpFile> file = session->OpenURL(url, 1, kRequestFlags, nHave > 0 ? strRange.GetString() : nullptr,
                                                       nHave > 0 ? DWORD(-1) : 0);
    if (!file || !file->QueryInfoStatusCode(*pStatus))
        return DownloadResult::Failed;

    std::uint64_t nRangeStart = 0;
    if (nHave > 0 && *pStatus == 206 && QueryRangeStart(file->GetHandle(), &nRangeStart) && nRangeStart == nHave) {
        *pnResumedAt = nHave;
    } else if (*pStatus >= 200 && *pStatus < 300 && *pStatus != 206) {
        // The server sends the whole file: what we had is thrown away.
        nHave = 0;
        sha = std::make_unique<CSha256>();
    } else {
        // A range it cannot serve (416, a file changed under the same name) leaves nothing worth keeping.
        if (nHave > 0)
            SetFileSize(part.get(), 0);
        return DownloadResult::Failed;
    }
    if (!SetFileSize(part.get(), nHave))
        return DownloadResult::Failed;

    std::uint64_t nAnnounced = 0;
    if (QueryNumber(file->GetHandle(), HTTP_QUERY_CONTENT_LENGTH, &nAnnounced) && nHave + nAnnounced > nExpectedBytes)
        return DownloadResult::TooLarge;

    std::vector<BYTE> buffer(64 * 1024);
    for (;;) {
        // One byte more than we still want: a body that goes on past the size is caught at once.
        const std::uint64_t nWanted = nExpectedBytes - nHave + 1;
        const DWORD nAsk = nWanted < buffer.size() ? DWORD(nWanted) : DWORD(buffer.size());
        DWORD nRead = 0;
        if (!file->Read(buffer.data(), nAsk, nRead))
            return DownloadResult::Incomplete;
        if (nRead == 0)
            break;
        if (nHave + nRead > nExpectedBytes)
            return DownloadResult::TooLarge;
        DWORD nWritten = 0;
        if (!WriteFile(part.get(), buffer.data(), nRead, &nWritten, nullptr) || nWritten != nRead ||
            !sha->Add(buffer.data(), nRead))
            return DownloadResult::Failed;
        nHave += nRead;
    }
    if (nHave != nExpectedBytes)
        return DownloadResult::Incomplete;
    return FlushFileBuffers(part.get()) && sha->Finish(digest) ? DownloadResult::Complete : DownloadResult::Failed;
}
