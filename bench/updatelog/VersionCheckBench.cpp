// How long the version check holds the window thread, with the update log free and with the log
// held by another process (a second copy of this program); against the blocking
// append the step used before. Medians and worst of five runs. Prints figures; never passes or fails
// on time. The data folder's log is saved first and put back afterwards.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/UpdateLog.h"
#include "start/VersionCheck.h"

namespace {

constexpr int kRuns = 5;
const wchar_t kReadyEvent[] = L"Local\\TorvelLogHolderReady";

double g_msPerTick = 0;
double NowMs()
{
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    return double(li.QuadPart) * g_msPerTick;
}

std::string ReadAll(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes;
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(h, buffer, sizeof buffer, &read, nullptr) && read)
        bytes.append(buffer, read);
    CloseHandle(h);
    return bytes;
}

void WriteAll(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

// The other process: holds the log for nMs, as another client's append would for an instant.
int HoldLog(const wchar_t* pszPath, DWORD nMs)
{
    HANDLE h = CreateFileW(pszPath, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, kReadyEvent);
    SetEvent(ready);
    Sleep(nMs);
    CloseHandle(h);
    CloseHandle(ready);
    return 0;
}

HANDLE StartHolder(const std::wstring& log, HANDLE ready, DWORD nMs)
{
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" hold \"" + log + L"\" " + std::to_wstring(nMs);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ResetEvent(ready);
    if (!CreateProcessW(self, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    WaitForSingleObject(ready, 10000);
    return pi.hProcess;
}

void Print(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    printf("  %-52s median %7.1f ms, worst %7.1f ms\n", what, values[values.size() / 2], values.back());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 3 && wcscmp(argv[1], L"hold") == 0)
        return HoldLog(argv[2], DWORD(_wtoi(argv[3])));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_msPerTick = 1000.0 / double(frequency.QuadPart);

    const std::wstring log(static_cast<LPCWSTR>(GetUpdateLogPath()));
    // The log's folder exists wherever the client has been installed once.
    SHCreateDirectoryExW(nullptr, log.substr(0, log.rfind(L'\\')).c_str(), nullptr);
    const bool bHadLog = GetFileAttributesW(log.c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::string saved = ReadAll(log);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, kReadyEvent);
    // A window on this thread, as the login popup's thread has.
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    std::vector<double> freeLog, heldNow, heldBefore;
    int nLinesWritten = 0;
    for (int run = 0; run < kRuns; ++run) {
        double start = NowMs();
        RunVersionCheck();
        freeLog.push_back(NowMs() - start);

        // Held longer than the append's one-second bound: the worst case of the wait.
        HANDLE holder = StartHolder(log, ready, 1500);
        start = NowMs();
        RunVersionCheck();
        heldNow.push_back(NowMs() - start);
        // What the step did before: the append that waits up to a second on the calling thread.
        start = NowMs();
        WriteUpdateLog(L"bench: the blocking append");
        heldBefore.push_back(NowMs() - start);
        WaitForSingleObject(holder, 10000);
        CloseHandle(holder);

        // Held for a moment, as another client's own append does: the line follows once it is free.
        const size_t before = ReadAll(log).size();
        holder = StartHolder(log, ready, 300);
        RunVersionCheck();
        WaitForSingleObject(holder, 10000);
        CloseHandle(holder);
        Sleep(1200);
        if (ReadAll(log).size() > before)
            ++nLinesWritten;
    }
    printf("version check on the window thread, %d runs (log held by another process for 1.5 s)\n", kRuns);
    Print("log free: RunVersionCheck", freeLog);
    Print("log held: RunVersionCheck (line handed to a thread)", heldNow);
    Print("log held: blocking append, as the step did before", heldBefore);
    printf("  log held for 0.3 s: runs whose line reached the log once it was free: %d of %d\n", nLinesWritten, kRuns);

    DestroyWindow(hwnd);
    CloseHandle(ready);
    if (bHadLog)
        WriteAll(log, saved);
    else
        DeleteFileW(log.c_str());
    return 0;
}
