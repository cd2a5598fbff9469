// Cache cleaning against a plain delete loop of the same tree: 10,000 small files in 200 folders in
// the Temporary Internet Files folder, plus URL-cache entries, cleaned by the real worker while the
// window thread answers a probe's posted messages. Prints figures; never passes or fails on time.
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "mainwnd/CacheCleaner.h"
#include "res/resource.h"

namespace {

constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 50;
constexpr int kUrlEntries = 500;
constexpr int kRuns = 3;
constexpr UINT WM_PROBE = WM_APP + 7;

double g_msPerTick = 0;
LONGLONG Now()
{
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    return li.QuadPart;
}
double Ms(LONGLONG ticks)
{
    return double(ticks) * g_msPerTick;
}

std::wstring CacheFolder()
{
    wchar_t sz[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, sz, CSIDL_INTERNET_CACHE, TRUE);
    return sz;
}

void Fill(const std::wstring& root)
{
    const std::string content(120, 'x');
    for (int d = 0; d < kFolders; ++d) {
        const std::wstring folder = root + L"\\bench-" + std::to_wstring(d);
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int f = 0; f < kFilesPerFolder; ++f) {
            const std::wstring file = folder + L"\\f" + std::to_wstring(f) + L".js";
            HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(h, content.data(), DWORD(content.size()), &written, nullptr);
            CloseHandle(h);
        }
    }
}

int AddUrlEntries()
{
    int added = 0;
    for (int i = 0; i < kUrlEntries; ++i) {
        const std::wstring url = L"http://bench.invalid/page" + std::to_wstring(i) + L".js";
        wchar_t file[MAX_PATH] = L"";
        if (!CreateUrlCacheEntryW(url.c_str(), 0, L"js", file, 0))
            continue;
        HANDLE h = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, "var a=1;", 8, &written, nullptr);
        CloseHandle(h);
        FILETIME zero{};
        if (CommitUrlCacheEntryW(url.c_str(), file, zero, zero, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr))
            ++added;
    }
    return added;
}

void PlainDelete(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L"..") ||
            !_wcsicmp(found.cFileName, L"desktop.ini"))
            continue;
        const std::wstring full = folder + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            PlainDelete(full);
            RemoveDirectoryW(full.c_str());
        } else {
            DeleteFileW(full.c_str());
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

DWORD WINAPI PlainDeleteThread(LPVOID pParam)
{
    PlainDelete(*static_cast<const std::wstring*>(pParam));
    return 0;
}

// Files left anywhere below folder, desktop.ini files aside.
int CountFiles(const std::wstring& folder)
{
    int count = 0;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L".."))
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            count += CountFiles(folder + L"\\" + found.cFileName);
        else if (_wcsicmp(found.cFileName, L"desktop.ini") != 0)
            ++count;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

// The main window's stand-in: answers the probe's posted messages and the worker's report.
struct Probe
{
    HWND hWnd = nullptr;
    double msWorstStall = 0;
    bool bReported = false;
    LONGLONG reportedAt = 0;
    LONGLONG startedAt = 0;
};
Probe g_probe;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PROBE) {
        LARGE_INTEGER sent;
        sent.LowPart = DWORD(wParam);
        sent.HighPart = LONG(lParam);
        // A stamp from before this cleaning is a message an earlier run left in the queue.
        if (sent.QuadPart >= g_probe.startedAt)
            g_probe.msWorstStall = std::max(g_probe.msWorstStall, Ms(Now() - sent.QuadPart));
        return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDM_CACHE_CLEANED) {
        g_probe.bReported = true;
        g_probe.reportedAt = Now();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::atomic<bool> g_bProbing{false};
DWORD WINAPI ProbeThread(LPVOID)
{
    while (g_bProbing) {
        LARGE_INTEGER li;
        li.QuadPart = Now();
        PostMessageW(g_probe.hWnd, WM_PROBE, WPARAM(li.LowPart), LPARAM(li.HighPart));
        Sleep(2);
    }
    return 0;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_msPerTick = 1000.0 / double(frequency.QuadPart);
    const std::wstring root = CacheFolder();
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TorvelCacheBenchProbe";
    RegisterClassW(&wc);
    g_probe.hWnd = CreateWindowExW(0, wc.lpszClassName, L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);

    std::vector<double> plain, cleaner, stalls, plainStalls;
    int entries = 0;
    int leftover = 0;
    for (int run = 0; run < kRuns; ++run) {
        // Alternately first, so that neither side always meets a warm or a cold file system.
        for (int side = 0; side < 2; ++side) {
            Fill(root);
            // Wine's URL cache takes entries only until its folder has been cleaned away once.
            entries = std::max(entries, AddUrlEntries());
            const bool bPlain = (side + run) % 2 == 0;
            // Both sides run on a thread of their own while the window thread answers the probe.
            g_probe = Probe{g_probe.hWnd};
            g_probe.startedAt = Now();
            g_bProbing = true;
            HANDLE probe = CreateThread(nullptr, 0, ProbeThread, nullptr, 0, nullptr);
            const LONGLONG start = Now();
            HANDLE loop = nullptr;
            if (bPlain)
                loop = CreateThread(nullptr, 0, PlainDeleteThread, const_cast<std::wstring*>(&root), 0, nullptr);
            else
                StartCacheCleaning(g_probe.hWnd);
            MSG msg;
            for (;;) {
                if (bPlain ? WaitForSingleObject(loop, 0) == WAIT_OBJECT_0
                           : !IsCacheCleaningRunning() && g_probe.bReported)
                    break;
                MsgWaitForMultipleObjects(loop ? 1 : 0, loop ? &loop : nullptr, FALSE, 50, QS_ALLINPUT);
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageW(&msg);
            }
            const double ms = Ms((bPlain ? Now() : g_probe.reportedAt) - start);
            g_bProbing = false;
            WaitForSingleObject(probe, INFINITE);
            CloseHandle(probe);
            leftover = std::max(leftover, CountFiles(root));
            if (bPlain) {
                CloseHandle(loop);
                plain.push_back(ms);
                plainStalls.push_back(g_probe.msWorstStall);
                CleanInternetCache();   // the URL index, which the loop cannot empty
            } else {
                cleaner.push_back(ms);
                stalls.push_back(g_probe.msWorstStall);
            }
        }
    }
    DestroyWindow(g_probe.hWnd);
    printf("cache cleaning: %d files in %d folders + up to %d URL-cache entries, median of %d runs\n",
           kFolders * kFilesPerFolder, kFolders, entries, kRuns);
    printf("  plain delete loop      %8.1f ms\n", Median(plain));
    printf("  cleaning worker        %8.1f ms  (%.2fx the plain loop)\n", Median(cleaner),
           Median(cleaner) / Median(plain));
    printf("  files left after a cleaning or a loop (most of any run): %d\n", leftover);
    printf("  window thread's longest stall while cleaning: %.1f ms (worst run %.1f ms); during the plain loop "
           "%.1f ms (worst run %.1f ms)\n",
           Median(stalls), *std::max_element(stalls.begin(), stalls.end()), Median(plainStalls),
           *std::max_element(plainStalls.begin(), plainStalls.end()));
    return 0;
}
