#include "CacheTestSupport.h"

#include "framework/Trace.h"
#include "mainwnd/CacheCleaner.h"
#include "res/resource.h"

#include <shlobj.h>
#include <wininet.h>

#include <cstdint>

void MakeFolder(const std::wstring& path)
{
    SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
}

void MakeFile(const std::wstring& path, const std::string& text, DWORD attributes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
    if (attributes != FILE_ATTRIBUTE_NORMAL)
        SetFileAttributesW(path.c_str(), attributes);
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool AddCacheEntry(const std::wstring& url, const std::string& headers)
{
    wchar_t szFile[MAX_PATH] = {};
    if (!CreateUrlCacheEntryW(url.c_str(), 0, L"bin", szFile, 0))
        return false;
    MakeFile(szFile, "cached content");
    const std::wstring wideHeaders(headers.begin(), headers.end());
    FILETIME never{};
    return CommitUrlCacheEntryW(url.c_str(), szFile, never, never, NORMAL_CACHE_ENTRY,
                                headers.empty() ? nullptr : const_cast<wchar_t*>(wideHeaders.c_str()),
                                DWORD(wideHeaders.size()), L"bin", nullptr) != FALSE;
}

bool AddCookieEntry(const std::wstring& url)
{
    FILETIME never{};
    return CommitUrlCacheEntryW(url.c_str(), nullptr, never, never, COOKIE_CACHE_ENTRY, nullptr, 0, nullptr,
                                nullptr) != FALSE;
}

bool IsInCache(const std::wstring& url)
{
    DWORD size = 0;
    if (GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size))
        return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

std::vector<std::wstring> CacheUrls()
{
    std::vector<std::wstring> urls;
    std::vector<std::uint64_t> buffer(4096);
    DWORD size = DWORD(buffer.size() * 8);
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
    HANDLE find = FindFirstUrlCacheEntryW(nullptr, entry, &size);
    if (!find)
        return urls;
    do {
        urls.emplace_back(entry->lpszSourceUrlName);
        size = DWORD(buffer.size() * 8);
    } while (FindNextUrlCacheEntryW(find, entry, &size));
    FindCloseUrlCache(find);
    return urls;
}

void EmptyCache()
{
    for (const std::wstring& url : CacheUrls())
        DeleteUrlCacheEntryW(url.c_str());
}

std::wstring InternetCacheFolder()
{
    wchar_t szFolder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, szFolder, CSIDL_INTERNET_CACHE, FALSE);
    return szFolder;
}

CCommandWnd::CCommandWnd()
{
    static bool bRegistered = false;
    if (!bRegistered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TorvelCacheTestMain";
        RegisterClassW(&wc);
        bRegistered = true;
    }
    m_hWnd = CreateWindowExW(0, L"TorvelCacheTestMain", L"main", WS_POPUP, 120, 90, 640, 400, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, LONG_PTR(this));
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, LONG_PTR(&CCommandWnd::WndProc));
}

CCommandWnd::~CCommandWnd()
{
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, LONG_PTR(DefWindowProcW));
    DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CCommandWnd::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CCommandWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_COMMAND) {
        self->m_commands.push_back({wParam, lParam, GetCurrentThreadId(), IsCacheCleaningRunning()});
        if (LOWORD(wParam) == IDM_CACHE_CLEANED)
            HideCleaningOverlay(self->m_hOverlay);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
