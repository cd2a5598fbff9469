// From process start to the start window, and to the main window of a copy that hands over at once,
// in phases seen from outside the client and timed piece by piece inside a fresh process, against a
// bare Win32 window started the same way in the same run. Medians of five starts each. The same
// windows once more on a display at 150 % (LogPixels 144, read by each process as it starts; 96
// again afterwards), where the skin is scaled from its twice-as-large pictures. Prints figures;
// never passes or fails on time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "StartupProfile.h"
#include "WindowPhases.h"
#include "res/resource.h"
#include "tests/support/ClientProcess.h"
#include "tests/support/ResourcePatch.h"

namespace {

constexpr int kRuns = 5;
// The game-start marker in the login address makes the copy's login browser hand over at its first
// navigation; the closed port fails the game page at once.
const wchar_t kHandOverUrl[] = L"http://127.0.0.1:9/game/start?play_gamecode=bench";

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The bare program: one window, shown, and a message loop.
int RunBareWindow()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TorvelBareWindow";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"bare", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                nullptr, wc.hInstance, nullptr);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

double IdleTime(const CString& strExe, const CString& strCommandLine)
{
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line(static_cast<LPCWSTR>(strCommandLine));
    const double start = NowMs();
    if (!CreateProcessW(strExe, line.empty() ? nullptr : &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    WaitForInputIdle(pi.hProcess, 30000);
    const double idle = NowMs() - start;
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return idle;
}

// One run of the in-process profile in a fresh process; its lines are added to the medians.
void ProfileOnce(const CString& strSelf, const CString& strClient, std::map<std::string, std::vector<double>>& pieces,
                 std::vector<std::string>& order)
{
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    CString strResult;
    strResult.Format(L"%sTorvelStartupProfile%lu.txt", temp, GetCurrentProcessId());
    DeleteFileW(strResult);
    CString strLine;
    strLine.Format(L"\"%ls\" profile %.3f \"%ls\" \"%ls\"", static_cast<LPCWSTR>(strSelf), NowMs(),
                   static_cast<LPCWSTR>(strClient), static_cast<LPCWSTR>(strResult));
    ClientProcess process;
    if (!process.Start(strSelf, strLine) || !process.WaitForExit(60000))
        return;
    FILE* file = _wfopen(strResult, L"r");
    if (!file)
        return;
    char name[64];
    double ms = 0;
    while (fscanf(file, "%63s %lf", name, &ms) == 2) {
        if (pieces.find(name) == pieces.end())
            order.push_back(name);
        pieces[name].push_back(ms);
    }
    fclose(file);
    DeleteFileW(strResult);
}

// The display's scale for the processes started from now on.
void SetLogPixels(DWORD dwLogPixels)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dwLogPixels,
                    sizeof dwLogPixels);
}

// The client's windows over kRuns starts at the display's present scale.
struct ClientSeries
{
    std::vector<double> startWnd, popup, hoMain;
};

void MeasureClient(const CString& strClient, const CString& strHandOver, ClientSeries& series)
{
    const WindowPhases c = WatchStart(strClient, L"\"" + strClient + L"\"", WatchUntil::Popup, &NowMs);
    series.startWnd.push_back(c.msStartWindow);
    series.popup.push_back(c.msPopup);
    if (!strHandOver.IsEmpty())
        series.hoMain.push_back(
            WatchStart(strHandOver, L"\"" + strHandOver + L"\"", WatchUntil::MainWindow, &NowMs).msMainWindow);
}

void PrintRatio(const char* pszName, double ms, double msBare)
{
    if (ms < 0)
        printf("  %-42s      not seen\n", pszName);
    else
        printf("  %-42s %7.1f ms  %5.2f x bare\n", pszName, ms, ms / msBare);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && wcscmp(argv[1], L"bare") == 0)
        return RunBareWindow();
    if (argc > 4 && wcscmp(argv[1], L"profile") == 0)
        return RunStartupProfile(wcstod(argv[2], nullptr), argv[3], argv[4]);

    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const CString strBareLine = CString(L"\"") + self + L"\" bare";
    const CString strClient = ClientExePath();

    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    CString strCopyFolder;
    strCopyFolder.Format(L"%sTorvelStartupBench%lu", temp, GetCurrentProcessId());
    const CString strHandOver = CopyExecutableTo(strClient, strCopyFolder);
    bool bHandOver = !strHandOver.IsEmpty();
    if (bHandOver) {
        CResourcePatch patch(strHandOver);
        patch.SetString(IDS_LOGIN_URL, kHandOverUrl);
        bHandOver = patch.Commit();
    }

    std::vector<double> bare, bareIdle, first, idle, startWnd, popup, hoFirst, hoStart, hoMain;
    std::map<std::string, std::vector<double>> pieces;
    std::vector<std::string> order;
    for (int run = 0; run < kRuns; ++run) {
        bare.push_back(WatchStart(self, strBareLine, WatchUntil::AnyWindow, &NowMs).msStartWindow);
        bareIdle.push_back(IdleTime(self, strBareLine));
        const WindowPhases c = WatchStart(strClient, L"\"" + strClient + L"\"", WatchUntil::Popup, &NowMs);
        first.push_back(c.msFirstWindow);
        startWnd.push_back(c.msStartWindow);
        popup.push_back(c.msPopup);
        idle.push_back(IdleTime(strClient, L""));
        if (bHandOver) {
            const WindowPhases h = WatchStart(strHandOver, L"\"" + strHandOver + L"\"", WatchUntil::MainWindow, &NowMs);
            hoFirst.push_back(h.msFirstWindow);
            hoStart.push_back(h.msStartWindow);
            hoMain.push_back(h.msMainWindow);
        }
        ProfileOnce(self, strClient, pieces, order);
    }
    // 100 % and 150 % taken turn about, so that both see the machine's load alike.
    ClientSeries at96, at144;
    for (int run = 0; run < kRuns; ++run) {
        MeasureClient(strClient, bHandOver ? strHandOver : CString(), at96);
        SetLogPixels(144);
        MeasureClient(strClient, bHandOver ? strHandOver : CString(), at144);
        SetLogPixels(96);
    }
    const double msBare = Median(bare);
    printf("start-up, medians of %d starts (ms from CreateProcess; -1 = not seen in 30 s)\n", kRuns);
    printf("  bare Win32 window:  input idle %7.1f   window visible %7.1f\n", Median(bareIdle), msBare);
    printf("  client:             first window %7.1f   input idle %7.1f   start window visible %7.1f"
           "   login popup visible %7.1f\n",
           Median(first), Median(idle), Median(startWnd), Median(popup));
    PrintRatio("bare window visible", msBare, msBare);
    PrintRatio("client: first window", Median(first), msBare);
    PrintRatio("client: start window visible", Median(startWnd), msBare);
    PrintRatio("client: login popup visible", Median(popup), msBare);
    if (bHandOver) {
        PrintRatio("hand-over copy: first window", Median(hoFirst), msBare);
        PrintRatio("hand-over copy: start window visible", Median(hoStart), msBare);
        PrintRatio("hand-over copy: main window visible", Median(hoMain), msBare);
    } else {
        printf("  hand-over copy: could not be made in %ls\n", static_cast<LPCWSTR>(strCopyFolder));
    }
    printf("display scale, medians of %d starts each, taken turn about (ms from CreateProcess):\n", kRuns);
    const struct { const char* pszName; const std::vector<double>& a; const std::vector<double>& b; } scales[] = {
        {"start window visible", at96.startWnd, at144.startWnd},
        {"login popup visible", at96.popup, at144.popup},
        {"hand-over copy: main window visible", at96.hoMain, at144.hoMain},
    };
    for (const auto& row : scales) {
        const double ms96 = Median(row.a), ms144 = Median(row.b);
        printf("  %-42s %7.1f at 100 %%  %7.1f at 150 %%  %5.2f x\n", row.pszName, ms96, ms144,
               ms96 > 0 ? ms144 / ms96 : -1.0);
    }
    printf("inside a fresh process, the client's pieces in its order (ms each, medians):\n");
    for (const std::string& name : order)
        printf("  %-42s %7.1f\n", name.c_str(), Median(pieces[name]));

    if (bHandOver) {
        // The copy may stay locked for a moment after its last process ended.
        for (int i = 0; i < 50 && !DeleteFileW(strHandOver) && GetFileAttributesW(strHandOver) != INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(100);
    }
    RemoveDirectoryW(strCopyFolder);
    return 0;
}
