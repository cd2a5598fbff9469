#include "app/UpdateLog.h"

#include <wincrypt.h>

#include <memory>
#include <vector>

#include "app/Paths.h"
#include "framework/Handles.h"

namespace {

// Another client process may hold the log for the instant of its own append. Waiting a little for
// it beats losing the line; the bound keeps a file held by something else from stalling us.
constexpr ULONGLONG kLogOpenTimeoutMs = 1000;
constexpr DWORD kLogOpenRetryMs = 2;

// The digest is computed over the installed executable; reading it in pieces keeps memory flat.
constexpr DWORD kMd5ChunkBytes = 64 * 1024;

SYSTEMTIME LocalNow()
{
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return st;
}

UpdateLogClock g_pfnUpdateLogClock = &LocalNow;

struct CryptContextClose
{
    void operator()(HCRYPTPROV h) const { CryptReleaseContext(h, 0); }
};
struct CryptHashClose
{
    void operator()(HCRYPTHASH h) const { CryptDestroyHash(h); }
};
using UniqueCryptContext = unique_any<HCRYPTPROV, CryptContextClose, 0>;
using UniqueCryptHash = unique_any<HCRYPTHASH, CryptHashClose, 0>;

// Opens (or creates) the log for our exclusive use. "Open always" in one call: an open-then-create
// pair would empty the file when its holder closed it between the two calls. ullTimeoutMs 0 tries
// once.
UniqueFile OpenLogExclusive(const CString& strLogPath, ULONGLONG ullTimeoutMs = kLogOpenTimeoutMs)
{
    const ULONGLONG ullStart = GetTickCount64();
    for (;;) {
        UniqueFile file(CreateFileW(strLogPath, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return file;
        const DWORD dwError = GetLastError();
        if (dwError != ERROR_SHARING_VIOLATION && dwError != ERROR_LOCK_VIOLATION)
            return UniqueFile();
        if (GetTickCount64() - ullStart >= ullTimeoutMs)
            return UniqueFile();
        Sleep(kLogOpenRetryMs);
    }
}

// Appends a whole line (its CRLF included) to an open log in one write, so that a reader never
// sees a line without its end.
int AppendToOpenLog(HANDLE hFile, const CString& strLine)
{
    const ULONGLONG ullBytes = static_cast<ULONGLONG>(strLine.GetLength()) * sizeof(wchar_t);
    if (ullBytes > MAXDWORD)
        return -1;
    LARGE_INTEGER liZero{};
    if (!SetFilePointerEx(hFile, liZero, nullptr, FILE_END))
        return -1;
    DWORD dwWritten = 0;
    if (!WriteFile(hFile, static_cast<LPCWSTR>(strLine), static_cast<DWORD>(ullBytes), &dwWritten, nullptr) ||
        dwWritten != ullBytes)
        return -1;
    return 0;
}

// A line that waits for the log on a thread of its own.
struct PendingLine
{
    CString strLogPath;
    CString strLine;
};

DWORD WINAPI WritePendingLine(LPVOID pParam)
{
    try {
        std::unique_ptr<PendingLine> pending(static_cast<PendingLine*>(pParam));
        UniqueFile file = OpenLogExclusive(pending->strLogPath);
        if (file)
            AppendToOpenLog(file.get(), pending->strLine);
    } catch (...) {
    }
    return 0;
}

} // namespace

UpdateLogClock SetUpdateLogClock(UpdateLogClock pfnClock)
{
    const UpdateLogClock pfnPrevious = g_pfnUpdateLogClock;
    g_pfnUpdateLogClock = pfnClock ? pfnClock : &LocalNow;
    return pfnPrevious;
}

CString GetUpdateLogPath()
{
    // No data folder, no log: a bare "res\update.log" would land in whatever folder is current.
    const CString strDataDir = GetDataDir();
    return strDataDir.IsEmpty() ? strDataDir : strDataDir + L"res\\update.log";
}

CString FormatUpdateLogLine(const SYSTEMTIME& st, const CString& strMessage)
{
    CString strLine;
    // %2d pads with a space, not a zero: " 3" for March. Readers of old logs expect exactly that.
    strLine.Format(L"%2d-%2d-%2d %2d:%2d:%2d : \t%ls\t%ls", st.wYear, st.wMonth, st.wDay, st.wHour,
                   st.wMinute, st.wSecond, L"UpdateModule", static_cast<LPCWSTR>(strMessage));
    return strLine;
}

int AppendUpdateLogLine(const CString& strLogPath, const CString& strMessage)
{
    if (strLogPath.IsEmpty())
        return -1;
    try {
        const CString strLine = FormatUpdateLogLine(g_pfnUpdateLogClock(), strMessage) + L"\r\n";
        UniqueFile file = OpenLogExclusive(strLogPath);
        if (!file)
            return -1;
        return AppendToOpenLog(file.get(), strLine);
    } catch (...) {
        return -1;
    }
}

int AppendUpdateLogLineNoWait(const CString& strLogPath, const CString& strMessage)
{
    if (strLogPath.IsEmpty())
        return -1;
    try {
        // Stamped now, whenever it is written.
        const CString strLine = FormatUpdateLogLine(g_pfnUpdateLogClock(), strMessage) + L"\r\n";
        UniqueFile file = OpenLogExclusive(strLogPath, 0);
        if (file)
            return AppendToOpenLog(file.get(), strLine);
        const DWORD dwError = GetLastError();
        if (dwError != ERROR_SHARING_VIOLATION && dwError != ERROR_LOCK_VIOLATION)
            return -1;
        auto pending = std::make_unique<PendingLine>(PendingLine{strLogPath, strLine});
        UniqueHandle thread(CreateThread(nullptr, 0, WritePendingLine, pending.get(), 0, nullptr));
        if (!thread)
            return -1;
        pending.release();
        return 1;
    } catch (...) {
        return -1;
    }
}

int WriteUpdateLog(const CString& strMessage)
{
    try {
        return AppendUpdateLogLine(GetUpdateLogPath(), strMessage);
    } catch (...) {
        return -1;
    }
}

int WriteUpdateLogNoWait(const CString& strMessage)
{
    try {
        return AppendUpdateLogLineNoWait(GetUpdateLogPath(), strMessage);
    } catch (...) {
        return -1;
    }
}

bool GetFileMd5(const CString& strPath, CString& strDigest)
{
    try {
        UniqueFile file(CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file)
            return false;

        UniqueCryptContext prov;
        if (!CryptAcquireContextW(prov.put(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
            return false;
        UniqueCryptHash hash;
        if (!CryptCreateHash(prov.get(), CALG_MD5, 0, 0, hash.put()))
            return false;

        std::vector<BYTE> buffer(kMd5ChunkBytes);
        for (;;) {
            DWORD dwRead = 0;
            if (!ReadFile(file.get(), buffer.data(), kMd5ChunkBytes, &dwRead, nullptr))
                return false;
            if (dwRead == 0)
                break;
            if (!CryptHashData(hash.get(), buffer.data(), dwRead, 0))
                return false;
        }

        DWORD dwHashLen = 0;
        if (!CryptGetHashParam(hash.get(), HP_HASHVAL, nullptr, &dwHashLen, 0) || dwHashLen == 0)
            return false;
        std::vector<BYTE> value(dwHashLen);
        if (!CryptGetHashParam(hash.get(), HP_HASHVAL, value.data(), &dwHashLen, 0))
            return false;

        CString strHex;
        for (DWORD i = 0; i < dwHashLen; ++i)
            strHex.AppendFormat(L"%02x", static_cast<unsigned>(value[i]));
        strDigest += strHex;
        return true;
    } catch (...) {
        return false;
    }
}
