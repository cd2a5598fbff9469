#include "app/update/UpdateFetch.h"

#include <deque>
#include <vector>

#include "app/update/UpdateCrypto.h"
#include "framework/CInternetSession.h"
#include "framework/Handles.h"
#include "framework/InternetAccess.h"

namespace {

// A worker waits for a slow server, but not for ever: a stalled download continues next start.
constexpr DWORD kConnectTimeoutMs = 15000;
constexpr DWORD kTransferTimeoutMs = 30000;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                                INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;

std::unique_ptr<CInternetSession> OpenSession(const CString& url, const CString& strUserAgent)
{
    // The agent is always given: the default one would ask the application object, which a worker
    // must not touch while the process may be ending.
    auto session = std::make_unique<CInternetSession>(strUserAgent.GetString(), 1, InternetAccessTypeFor(url));
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

// Times a download against its deadline: fed the running byte count after every read.
class CDeadlineWatch
{
public:
    explicit CDeadlineWatch(const DownloadDeadline& deadline) : m_deadline(deadline), m_start(GetTickCount64())
    {
        m_samples.push_back({m_start, 0});
    }

    // False once the download is too slow: too long in all, or too few bytes since the latest
    // sample that lies a whole window back.
    bool Allows(std::uint64_t nReceived)
    {
        const ULONGLONG now = GetTickCount64();
        if (now - m_start >= m_deadline.nTotalMs)
            return false;
        // One sample per sixtieth of a window is fine enough and keeps the list short however fast
        // the bytes come.
        if (now - m_samples.back().at >= m_deadline.nWindowMs / 60)
            m_samples.push_back({now, nReceived});
        while (m_samples.size() >= 2 && now - m_samples[1].at >= m_deadline.nWindowMs)
            m_samples.pop_front();
        const Sample& base = m_samples.front();
        return now - base.at < m_deadline.nWindowMs || nReceived - base.nBytes >= m_deadline.nMinBytesPerWindow;
    }

private:
    struct Sample
    {
        ULONGLONG at;
        std::uint64_t nBytes;
    };
    DownloadDeadline m_deadline;
    ULONGLONG m_start;
    std::deque<Sample> m_samples;
};

// Reads what has arrived, up to nMax bytes. A plain read of a large buffer waits until it is full,
// however slowly the bytes come; asking what is there first makes every read return as soon as
// anything arrived, so that the deadline is looked at between them. *pnRead 0 is the end.
bool ReadArrived(CHttpFile& file, BYTE* pBuffer, DWORD nMax, DWORD* pnRead)
{
    DWORD nAvailable = 0;
    if (!InternetQueryDataAvailable(file.GetHandle(), &nAvailable, 0, 0))
        return false;
    // Nothing available is the end of the body: a read of one byte then returns 0 at once.
    const DWORD nAsk = nAvailable == 0 ? 1 : (nAvailable < nMax ? nAvailable : nMax);
    return file.Read(pBuffer, nAsk, *pnRead);
}

DownloadOutcome Finished(DownloadOutcome outcome, DownloadResult result, std::uint64_t nHave)
{
    outcome.result = result;
    outcome.nHaveBytes = nHave;
    return outcome;
}

}  // namespace

bool FetchBytes(const CString& url, const CString& strUserAgent, std::size_t nLimit, DWORD* pStatus,
                std::string* pBody)
{
    *pStatus = 0;
    pBody->clear();
    auto session = OpenSession(url, strUserAgent);
    if (!session)
        return false;
    std::unique_ptr<CHttpFile> file = session->OpenURL(url, 1, kRequestFlags);
    if (!file || !file->QueryInfoStatusCode(*pStatus) || *pStatus >= 400)
        return false;
    // A few hundred bytes: one that drips for longer than a whole download may take is given up.
    CDeadlineWatch watch{DownloadDeadline()};
    BYTE chunk[4096];
    for (;;) {
        DWORD nRead = 0;
        if (!ReadArrived(*file, chunk, sizeof chunk, &nRead))
            return false;
        if (nRead == 0)
            return true;
        if (pBody->size() + nRead > nLimit)
            return false;
        pBody->append(reinterpret_cast<const char*>(chunk), nRead);
        if (!watch.Allows(pBody->size()))
            return false;
    }
}

DownloadOutcome DownloadToFile(const DownloadJob& job)
{
    DownloadOutcome outcome;
    const std::uint64_t nExpected = job.nExpectedBytes;
    UniqueFile part(CreateFileW(job.strPartPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!part || !GetFileSizeEx(part.get(), &size)) {
        outcome.dwError = GetLastError();
        return outcome;
    }
    std::uint64_t nHave = std::uint64_t(size.QuadPart);
    if (nHave > nExpected) {
        if (!SetFileSize(part.get(), 0))
            return outcome;
        nHave = 0;
    }
    // The digest is taken as the bytes arrive, so the finished file is not read again for it.
    auto sha = std::make_unique<CSha256>();
    if (!HashFileStart(part.get(), nHave, *sha))
        return Finished(outcome, DownloadResult::Failed, nHave);
    if (nHave == nExpected)
        return Finished(outcome, sha->Finish(outcome.digest) ? DownloadResult::Complete : DownloadResult::Failed, nHave);

    auto session = OpenSession(job.strUrl, job.strUserAgent);
    if (!session)
        return Finished(outcome, DownloadResult::Failed, nHave);
    CString strRange;
    if (nHave > 0)
        strRange.Format(L"Range: bytes=%I64u-\r\n", static_cast<unsigned long long>(nHave));
    std::unique_ptr<CHttpFile> file = session->OpenURL(job.strUrl, 1, kRequestFlags,
                                                       nHave > 0 ? strRange.GetString() : nullptr,
                                                       nHave > 0 ? DWORD(-1) : 0);
    if (!file || !file->QueryInfoStatusCode(outcome.dwStatus)) {
        outcome.dwError = GetLastError();
        return Finished(outcome, DownloadResult::Failed, nHave);
    }

    const DWORD dwStatus = outcome.dwStatus;
    std::uint64_t nRangeStart = 0;
    if (dwStatus == 206) {
        // Only the continuation of what we hold is taken. A 206 to a request without a range, or one
        // that starts anywhere else (the file changed under the same name), leaves nothing worth keeping.
        if (nHave == 0 || !QueryRangeStart(file->GetHandle(), &nRangeStart) || nRangeStart != nHave) {
            SetFileSize(part.get(), 0);
            return Finished(outcome, DownloadResult::Mismatch, 0);
        }
        outcome.nResumedAt = nHave;
    } else if (dwStatus == 416) {
        // The server has no such range: what we hold is not a beginning of its file.
        SetFileSize(part.get(), 0);
        return Finished(outcome, DownloadResult::Mismatch, 0);
    } else if (dwStatus >= 200 && dwStatus < 300) {
        // The server sends the whole file: what we had is thrown away.
        nHave = 0;
        sha = std::make_unique<CSha256>();
    } else {
        // A passing error (a 404 while the file is being replaced, a 503): the progress stays.
        return Finished(outcome, DownloadResult::Failed, nHave);
    }
    if (!SetFileSize(part.get(), nHave))
        return Finished(outcome, DownloadResult::Failed, nHave);

    std::uint64_t nAnnounced = 0;
    if (QueryNumber(file->GetHandle(), HTTP_QUERY_CONTENT_LENGTH, &nAnnounced) && nHave + nAnnounced > nExpected)
        return Finished(outcome, DownloadResult::TooLarge, nHave);

    CDeadlineWatch watch(job.deadline);
    std::uint64_t nReceived = 0;
    std::vector<BYTE> buffer(64 * 1024);
    for (;;) {
        // One byte more than we still want: a body that goes on past the size is caught at once.
        const std::uint64_t nWanted = nExpected - nHave + 1;
        const DWORD nAsk = nWanted < buffer.size() ? DWORD(nWanted) : DWORD(buffer.size());
        DWORD nRead = 0;
        if (!ReadArrived(*file, buffer.data(), nAsk, &nRead)) {
            outcome.dwError = GetLastError();
            return Finished(outcome, DownloadResult::Incomplete, nHave);
        }
        if (nRead == 0)
            break;
        if (nHave + nRead > nExpected)
            return Finished(outcome, DownloadResult::TooLarge, nHave);
        DWORD nWritten = 0;
        if (!WriteFile(part.get(), buffer.data(), nRead, &nWritten, nullptr) || nWritten != nRead ||
            !sha->Add(buffer.data(), nRead)) {
            outcome.dwError = GetLastError();
            return Finished(outcome, DownloadResult::Failed, nHave);
        }
        nHave += nRead;
        nReceived += nRead;
        if (nHave < nExpected && !watch.Allows(nReceived))
            return Finished(outcome, DownloadResult::TooSlow, nHave);
    }
    if (nHave != nExpected)
        return Finished(outcome, DownloadResult::Incomplete, nHave);
    const bool bDone = FlushFileBuffers(part.get()) && sha->Finish(outcome.digest);
    return Finished(outcome, bDone ? DownloadResult::Complete : DownloadResult::Failed, nHave);
}

