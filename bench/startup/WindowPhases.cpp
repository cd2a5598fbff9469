#include "WindowPhases.h"

#include "tests/support/ClientProcess.h"

#include <cwchar>

namespace {

const wchar_t kClientTitle[] = L"《Vantor》微端";
constexpr double kLimitMs = 30000;

enum class ClientWindow { Other, Start, Popup, Main };

// The start and main windows share their title; the main window alone carries the close (1001) and
// clear-cache (1030) buttons. The popup has no title and its minimise (1016) and close (1027)
// buttons; its size follows the display's scale.
ClientWindow Classify(HWND hwnd)
{
    wchar_t text[64] = L"";
    GetWindowTextW(hwnd, text, 64);
    if (wcscmp(text, kClientTitle) == 0)
        return GetDlgItem(hwnd, 1001) && GetDlgItem(hwnd, 1030) ? ClientWindow::Main : ClientWindow::Start;
    if (text[0] == 0 && GetDlgItem(hwnd, 1016) && GetDlgItem(hwnd, 1027))
        return ClientWindow::Popup;
    return ClientWindow::Other;
}

void Note(double& phase, double ms)
{
    if (phase < 0)
        phase = ms;
}

}  // namespace

WindowPhases WatchStart(const CString& strExe, const CString& strCommandLine, WatchUntil until,
                        double (*pfnNowMs)())
{
    WindowPhases phases;
    ClientProcess process;
    const double start = pfnNowMs();
    if (!process.Start(strExe, strCommandLine))
        return phases;
    for (double now = start; now - start < kLimitMs; now = pfnNowMs()) {
        const double ms = now - start;
        if (phases.msFirstWindow < 0 && !process.TopLevelWindows(false).empty())
            phases.msFirstWindow = ms;
        for (HWND hwnd : process.TopLevelWindows(true)) {
            if (until == WatchUntil::AnyWindow) {
                Note(phases.msStartWindow, ms);
                continue;
            }
            switch (Classify(hwnd)) {
            case ClientWindow::Start: Note(phases.msStartWindow, ms); break;
            case ClientWindow::Popup: Note(phases.msPopup, ms); break;
            case ClientWindow::Main: Note(phases.msMainWindow, ms); break;
            case ClientWindow::Other: break;
            }
        }
        const bool bDone = until == WatchUntil::AnyWindow ? phases.msStartWindow >= 0
                           : until == WatchUntil::Popup    ? phases.msStartWindow >= 0 && phases.msPopup >= 0
                                                           : phases.msMainWindow >= 0;
        if (bDone)
            break;
        Sleep(1);
    }
    process.Kill();
    return phases;
}
