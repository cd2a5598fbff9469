// Pieces of the cache-cleaning tests: the program's trace lines collected from any thread (with a
// gate that can hold the worker at a line), scratch folders and files, URL cache entries, and a
// plain window that records the commands it receives.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/TraceCapture.h"
#include "support/Wait.h"
#include "unit/updatelog/ScratchFolder.h"
#include "support/NoCopy.h"

void MakeFolder(const std::wstring& path);
void MakeFile(const std::wstring& path, const std::string& text = "x", DWORD attributes = FILE_ATTRIBUTE_NORMAL);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// Puts a URL into the Internet cache with a small content file; extra header text makes the entry
// record larger.
bool AddCacheEntry(const std::wstring& url, const std::string& headers = std::string());
bool AddCookieEntry(const std::wstring& url);
bool IsInCache(const std::wstring& url);
// Every URL in the cache, cookies included.
std::vector<std::wstring> CacheUrls();
// Deletes every entry, cookies included.
void EmptyCache();
// The Temporary Internet Files folder.
std::wstring InternetCacheFolder();

// A hidden top-level window that records WM_COMMAND and the thread it arrives on, and can hide an
// overlay on IDM_CACHE_CLEANED as the main window does.
class CCommandWnd : CNoCopy
{
public:
    CCommandWnd();
    ~CCommandWnd();
    HWND Hwnd() const { return m_hWnd; }

    struct Command
    {
        WPARAM wParam;
        LPARAM lParam;
        DWORD nThreadId;
        bool bRunningAtReport;     // IsCacheCleaningRunning() was true when it arrived
    };
    std::vector<Command> m_commands;
    HWND m_hOverlay = nullptr;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd = nullptr;
};

