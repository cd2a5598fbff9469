// From process start to the start window, in phases seen from outside the client, against a bare
// Win32 window started the same way in the same run. Medians of five starts each. Prints figures;
// never passes or fails on time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/ClientProcess.h"

namespace {

constexpr int kRuns = 5;
const wchar_t kStartTitle[] = L"《Vantor》微端";

double g_msPerTick = 0;
double NowMs()
{
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    return double(li.QuadPart) * g_msPerTick;
}

double Median(std::vector<double> values)
{
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

struct Phases
{
    double msFirstWindow = -1;   // any top-level window of the process exists
    double msStartWindow = -1;   // the start window is visible
    double msPopup = -1;         // a second visible window (the login popup) is up
};

Phases Measure(const CString& strExe, const CString& strCommandLine, bool bClient)
{
    Phases phases;
    ClientProcess process;
    const double start = NowMs();
    if (!process.Start(strExe, strCommandLine))
        return phases;
    const double deadline = start + 30000;
    while (NowMs() < deadline) {
        const double now = NowMs();
        if (phases.msFirstWindow < 0 && !process.TopLevelWindows(false).empty())
            phases.msFirstWindow = now - start;
        const std::vector<HWND> visible = process.TopLevelWindows(true);
        for (HWND hwnd : visible) {
            wchar_t text[64] = L"";
            GetWindowTextW(hwnd, text, 64);
            if (phases.msStartWindow < 0 && (!bClient || wcscmp(text, kStartTitle) == 0))
                phases.msStartWindow = now - start;
        }
        if (phases.msStartWindow >= 0 && phases.msPopup < 0 && (!bClient || visible.size() >= 2))
            phases.msPopup = now - start;
        if (phases.msStartWindow >= 0 && phases.msPopup >= 0)
            break;
        Sleep(1);
    }
    process.Kill();
    return phases;
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

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && wcscmp(argv[1], L"bare") == 0)
        return RunBareWindow();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_msPerTick = 1000.0 / double(frequency.QuadPart);

    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const CString strBareLine = CString(L"\"") + self + L"\" bare";
    const CString strClient = ClientExePath();
    std::vector<double> bare, bareIdle, first, idle, startWnd, popup;
    for (int run = 0; run < kRuns; ++run) {
        const Phases b = Measure(self, strBareLine, false);
        bare.push_back(b.msStartWindow);
        bareIdle.push_back(IdleTime(self, strBareLine));
        const Phases c = Measure(strClient, L"", true);
        first.push_back(c.msFirstWindow);
        startWnd.push_back(c.msStartWindow);
        popup.push_back(c.msPopup);
        idle.push_back(IdleTime(strClient, L""));
    }
    printf("start-up, medians of %d starts (ms from CreateProcess; -1 = not seen in 30 s)\n", kRuns);
    printf("  bare Win32 window:  input idle %7.1f   window visible %7.1f\n", Median(bareIdle), Median(bare));
    printf("  client:             first window %7.1f   input idle %7.1f   start window visible %7.1f"
           "   login popup visible %7.1f\n",
           Median(first), Median(idle), Median(startWnd), Median(popup));
    printf("  client phases: to its first window %.1f, first window to start window %.1f, start window to popup "
           "%.1f; start window minus bare window %.1f\n",
           Median(first), Median(startWnd) - Median(first), Median(popup) - Median(startWnd),
           Median(startWnd) - Median(bare));
    return 0;
}
