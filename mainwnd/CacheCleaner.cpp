#include "mainwnd/CacheCleaner.h"

#include "framework/CString.h"
#include "framework/Handles.h"
#include "framework/Trace.h"
#include "res/resource.h"
#include "widgets/MenbanDlg.h"

#include <shlobj.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <vector>

namespace {

// A cleaning is running until its report has been handled on the main window's thread. A request
// made while the report is on its way cannot tell whether the report has hidden the overlay yet, so
// it is noted and the worker sends one more report after it.
enum CleaningState : int { kIdle, kRunning, kReporting, kReportingAgain };
std::atomic<int> g_nCleaningState{kIdle};

struct UrlCacheFindClose { void operator()(HANDLE h) const { FindCloseUrlCache(h); } };
using UniqueUrlCacheFind = unique_any<HANDLE, UrlCacheFindClose, nullptr>;

// An entry record with its strings behind it; kept in 8-byte units for the record's alignment.
class CCacheEntryBuffer
{
public:
    explicit CCacheEntryBuffer(DWORD nBytes) { Reserve(nBytes); }
    void Reserve(DWORD nBytes)
    {
        if (nBytes < sizeof(INTERNET_CACHE_ENTRY_INFOW))
            nBytes = sizeof(INTERNET_CACHE_ENTRY_INFOW);
        if (nBytes > Bytes())
            m_units.resize((nBytes + 7) / 8);
    }
    DWORD Bytes() const { return DWORD(m_units.size() * 8); }
    INTERNET_CACHE_ENTRY_INFOW* Entry() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(m_units.data()); }

private:
    std::vector<std::uint64_t> m_units;
};

void TraceFormat(const wchar_t* pszFormat, ...)
{
    CString strLine;
    va_list args;
    va_start(args, pszFormat);
    strLine.FormatV(pszFormat, args);
    va_end(args);
    Trace(strLine);
}

// The first entry of the cache into buffer; the buffer grows when the entry does not fit.
HANDLE FindFirstEntry(CCacheEntryBuffer& buffer, DWORD& nSize)
{
    nSize = buffer.Bytes();
    HANDLE hFind = FindFirstUrlCacheEntryW(nullptr, buffer.Entry(), &nSize);
    if (!hFind && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        buffer.Reserve(nSize);
        nSize = buffer.Bytes();
        hFind = FindFirstUrlCacheEntryW(nullptr, buffer.Entry(), &nSize);
    }
    return hFind;
}

bool FindNextEntry(HANDLE hFind, CCacheEntryBuffer& buffer)
{
    DWORD nSize = buffer.Bytes();
    if (FindNextUrlCacheEntryW(hFind, buffer.Entry(), &nSize))
        return true;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    buffer.Reserve(nSize);
    nSize = buffer.Bytes();
    return FindNextUrlCacheEntryW(hFind, buffer.Entry(), &nSize) != FALSE;
}

DWORD WINAPI CacheCleanThread(LPVOID pParam)
{
    const HWND hMainWnd = static_cast<HWND>(pParam);
    CleanInternetCache();
    g_nCleaningState = kReporting;
    for (;;) {
        // Returns once the main window has handled the report (or at once without a window).
        SendMessageW(hMainWnd, WM_COMMAND, MAKEWPARAM(IDM_CACHE_CLEANED, 0), 0);
        Trace(L"Cache cleaning reported");
        int nState = kReporting;
        if (g_nCleaningState.compare_exchange_strong(nState, kIdle))
            return 0;
        // A request came while the report was on its way; its overlay may be up again.
        g_nCleaningState = kReporting;
    }
}

}  // namespace

void ShowCleaningOverlay(HWND hMainWnd, HWND hOverlay)
{
    // A null overlay would turn the timer into a thread timer with another id.
    if (!hOverlay)
        return;
    RECT rc{};
    GetWindowRect(hMainWnd, &rc);
    SetWindowPos(hOverlay, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER);
    SetTimer(hOverlay, CMenbanDlg::kTimerId, CMenbanDlg::kTimerPeriod, nullptr);
    ShowWindow(hOverlay, SW_SHOW);
}

void HideCleaningOverlay(HWND hOverlay)
{
    if (!hOverlay)
        return;
    KillTimer(hOverlay, CMenbanDlg::kTimerId);
    ShowWindow(hOverlay, SW_HIDE);
}

bool StartCacheCleaning(HWND hMainWnd)
{
    // One decision on one state: the worker may go idle between two looks, and a request that saw it
    // reporting and then found it idle would have shown the overlay with nobody left to hide it.
    int nState = g_nCleaningState.load();
    for (;;) {
        if (nState == kIdle) {
            if (g_nCleaningState.compare_exchange_weak(nState, kRunning))
                break;
        } else if (nState == kReporting) {
            // The worker reports once more after this, so this request's overlay goes too.
            if (g_nCleaningState.compare_exchange_weak(nState, kReportingAgain))
                return false;
        } else {
            // Absorbed: the running worker's report, or the one it already owes, comes after this.
            return false;
        }
    }
    UniqueHandle thread(CreateThread(nullptr, 0, CacheCleanThread, hMainWnd, 0, nullptr));
    if (!thread) {
        g_nCleaningState = kIdle;
        PostMessageW(hMainWnd, WM_COMMAND, MAKEWPARAM(IDM_CACHE_CLEANED, 0), 0);
        return false;
    }
    return true;
}

bool IsCacheCleaningRunning()
{
    return g_nCleaningState != kIdle;
}

bool DeleteUrlCacheEntries()
{
    // Asked without a buffer, the cache only tells the size of its first entry.
    DWORD nSize = 0;
    {
        UniqueUrlCacheFind probe(FindFirstUrlCacheEntryW(nullptr, nullptr, &nSize));
        if (probe)
            TraceFormat(L"*******第一次查找缓存:缓存大小为:%d。************\r\n", int(nSize));
        else
            Trace(L"*******第一次查找缓存:未找到缓存。************\r\n");
    }
    CCacheEntryBuffer buffer(nSize);
    UniqueUrlCacheFind find(FindFirstEntry(buffer, nSize));
    if (!find) {
        Trace(L"*******第二次查找缓存:未找到缓存。************\r\n");
        return false;
    }
    TraceFormat(L"*******第二次查找缓存:缓存大小为:%d。************\r\n", int(nSize));
    do {
        INTERNET_CACHE_ENTRY_INFOW* pEntry = buffer.Entry();
        if (!(pEntry->CacheEntryType & COOKIE_CACHE_ENTRY) && pEntry->lpszSourceUrlName)
            DeleteUrlCacheEntryW(pEntry->lpszSourceUrlName);
    } while (FindNextEntry(find.get(), buffer));
    return true;
}

bool DeleteFolderContents(LPCWSTR pszPath)
{
    const CString strPath(pszPath);
    TraceFormat(L"开始清理%s文件夹\r\n", static_cast<LPCWSTR>(strPath));
    WIN32_FIND_DATAW found{};
    UniqueFindFile find(FindFirstFileW(strPath + L"\\*.*", &found));
    if (!find)
        return false;
    do {
        const LPCWSTR pszName = found.cFileName;
        if (wcscmp(pszName, L".") == 0 || wcscmp(pszName, L"..") == 0)
            continue;
        if (_wcsicmp(pszName, L"desktop.ini") == 0)
            continue;
        const CString strFull = strPath + L"\\" + pszName;
        // The listing carries the attributes already; asking again would double the calls per file.
        const DWORD attributes = found.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            const DWORD writable = attributes & ~DWORD(FILE_ATTRIBUTE_READONLY);
            SetFileAttributesW(strFull, writable ? writable : FILE_ATTRIBUTE_NORMAL);
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction or folder link is removed as a link; walking it would empty its target,
            // which lies outside the cache.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                DeleteFolderContents(strFull);
            RemoveDirectoryW(strFull);
        } else if (!DeleteFileW(strFull)) {
            TraceFormat(L"***********删除文件:%s失败，错误代码:%d******************\r\n", pszName,
                        int(GetLastError()));
        }
    } while (FindNextFileW(find.get(), &found));
    return true;
}

void CleanInternetCache()
{
    DeleteUrlCacheEntries();
    WCHAR szFolder[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, szFolder, CSIDL_INTERNET_CACHE, FALSE) && szFolder[0]) {
        TraceFormat(L"临时文件夹路径为:%s\r\n", szFolder);
        DeleteFolderContents(szFolder);
    }
}
