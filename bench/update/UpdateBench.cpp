// A 20 MB update fetched and verified by the update check on a worker thread (manifest, download,
// SHA-256, FileVersion) from a loopback server; meanwhile the window thread pumps a timer and records
// its longest gap between two ticks. Medians of three runs. run.sh times curl on the same file (a
// Unix program, which a Windows process cannot time) and prints the ratio.
// Prints figures; never passes or fails on time.
//   bench_update.exe <served folder> <port>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/update/Updater.h"
#include "support/FilesAndKeys.h"
#include "support/UpdateRelease.h"

namespace {

constexpr int kRuns = 3;
constexpr size_t kFileBytes = 20 * 1024 * 1024;

double NowMs()
{
    static LARGE_INTEGER s_frequency{};
    if (!s_frequency.QuadPart)
        QueryPerformanceFrequency(&s_frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(s_frequency.QuadPart);
}

// The window thread's longest gap between two ticks of a 5 ms timer while done is false.
double LongestStallWhile(const std::atomic<bool>& done)
{
    double last = NowMs(), worst = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 5, nullptr);
    MSG msg;
    while (!done && GetMessageW(&msg, nullptr, 0, 0)) {
        const double now = NowMs();
        worst = std::max(worst, now - last);
        last = now;
        DispatchMessageW(&msg);
    }
    KillTimer(nullptr, timer);
    return worst;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: bench_update.exe <served folder> <port>\n");
        return 2;
    }
    const std::wstring served = argv[1];
    const std::string port(argv[2], argv[2] + wcslen(argv[2]));

    wchar_t szSelf[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szSelf, MAX_PATH);
    std::wstring exe(szSelf);
    exe = exe.substr(0, exe.rfind(L'\\') + 1) + L"Torvel_Qerm.exe";
    // The update: the client, carried to 20 MB by data after its image (it still runs).
    std::string file = ReadFileBytes(exe.c_str());
    if (file.empty())
        return 1;
    file.resize(kFileBytes, '\x5a');
    CTestSigningKey key;
    ManifestFields fields;
    fields.version = "1.0.0.1";
    fields.url = "http://127.0.0.1:" + port + "/update.exe";
    fields.size = file.size();
    fields.sha256 = Sha256Hex(file);
    if (!key.IsValid() || !WriteFileBytes((served + L"\\update.exe").c_str(), file) ||
        !WriteFileBytes((served + L"\\manifest.txt").c_str(), key.Sign(ManifestBody(fields))))
        return 1;

    wchar_t szTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szTemp);
    UpdateSetup setup;
    setup.strQueryUrl = CString(std::wstring(L"http://127.0.0.1:") + argv[2] + L"/manifest.txt");
    setup.strRunningVersion = L"1.0.0.0";
    memcpy(setup.publicKey, key.PublicKey(), 64);
    setup.strDownloadDir = CString(std::wstring(szTemp) + L"torvel_bench_update");
    setup.strExeName = L"Torvel_Qerm.exe";
    setup.strProduct = "tarnube/pelq";
    setup.strUserAgent = L"bench_update";
    ParseUtcTimestamp(UtcTimestampInDays(0), &setup.nNowUnix);

    std::vector<double> ours, stalls;
    for (int run = 0; run < kRuns; ++run) {
        DeleteTree(setup.strDownloadDir);
        std::atomic<bool> done{false};
        UpdateCheckResult result = UpdateCheckResult::NoUpdate;
        double took = 0;
        const DWORD mainThread = GetCurrentThreadId();
        std::thread worker([&] {
            const double start = NowMs();
            result = RunUpdateCheck(setup);
            took = NowMs() - start;
            done = true;
            PostThreadMessageW(mainThread, WM_NULL, 0, 0);
        });
        stalls.push_back(LongestStallWhile(done));
        worker.join();
        if (result != UpdateCheckResult::Ready) {
            fprintf(stderr, "the update check did not end ready (%d)\n", int(result));
            return 1;
        }
        ours.push_back(took);

    }
    DeleteTree(setup.strDownloadDir);

    printf("update of %zu MB, medians of %d runs\n", kFileBytes >> 20, kRuns);
    printf("  update check (manifest, download, SHA-256, FileVersion): %8.1f ms\n", Median(ours));
    printf("  window thread's longest stall meanwhile:                 %8.1f ms (worst %.1f ms)\n", Median(stalls),
           *std::max_element(stalls.begin(), stalls.end()));
    printf("ours_ms=%.1f\n", Median(ours));
    return 0;
}
