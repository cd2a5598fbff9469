// Small helper for scripts and tests that drive the client from outside:
//   winctl wait <title> <seconds>        waits until a visible top-level window with that title exists
//   winctl close <title>                 sends the close command to every such window
//   winctl desktop                       makes Wine start its desktop process (from this process, so
//                                        it inherits this process's standard handles) and returns
//   winctl login-url <exe> <folder> <url>
//                                        copies the client into the folder (same file name) and sets
//                                        the copy's login address; an address holding the game start
//                                        marker makes the copy go straight to the main window
//   winctl wait-start <seconds>          waits for the start window with its login popup and puts
//                                        the popup on top on the screen as well
//   winctl wait-main <seconds>           waits for the main window laid out over the work area
//   winctl shot <png>                    saves the screen once it has stopped changing
//   winctl clean-shot <png> <seconds>    presses the main window's clear-cache button and saves the
//                                        screen while the cleaning overlay is up, then waits for the
//                                        overlay to go
//   winctl close-prompt <seconds>        presses the main window's close button (or closes the start
//                                        window) and waits for the close prompt
//   winctl answer ok|cancel              presses a button of the client's message box
//   winctl dpi [file]                    prints (or writes to the file) the DPI of a new window of this
//                                        process three times, as the client's query finds it: with
//                                        the system's functions, with the monitor's only (Windows 8.1)
//                                        and with neither (Windows 7: the screen's logical pixels)
// Exit code 0 on success, 1 when the window or the picture did not come, 2 for a wrong command line.
#include "ClientWindows.h"
#include "CacheFiller.h"
#include "framework/Dpi.h"
#include "ScreenCapture.h"
#include "res/resource.h"
#include "tests/support/ResourcePatch.h"

#include <cstdio>
#include <cwchar>

namespace {
constexpr DWORD kPollMs = 50;
// A picture is taken once the screen has stayed the same for this long (at most kStableMaxMs).
constexpr DWORD kStableMs = 300, kStableMaxMs = 10000;

struct Search
{
    const wchar_t* title;
    bool closeThem;
    int found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lp)
{
    auto* s = reinterpret_cast<Search*>(lp);
    wchar_t text[512] = L"";
    GetWindowTextW(hwnd, text, 512);
    if (wcscmp(text, s->title) == 0 && IsWindowVisible(hwnd)) {
        ++s->found;
        if (s->closeThem)
            PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    return TRUE;
}

int Count(const wchar_t* title, bool closeThem)
{
    Search s{title, closeThem, 0};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Polls until the condition holds; false when nMs passed first.
template <typename Condition>
bool WaitUntil(DWORD nMs, Condition condition)
{
    for (DWORD waited = 0;; waited += kPollMs) {
        if (condition())
            return true;
        if (waited >= nMs)
            return false;
        Sleep(kPollMs);
    }
}

DWORD Seconds(const wchar_t* psz)
{
    const int n = _wtoi(psz);
    return n > 0 ? DWORD(n) * 1000 : 10000;
}

int Fail(const char* pszWhat)
{
    std::fprintf(stderr, "winctl: %s\n", pszWhat);
    return 1;
}

void Click(HWND hDialog, int nId)
{
    PostMessageW(hDialog, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDialog, nId)));
}

int LoginUrlCopy(const wchar_t* pszExe, const wchar_t* pszFolder, const wchar_t* pszUrl)
{
    const CString strCopy = CopyExecutableTo(pszExe, pszFolder);
    if (strCopy.IsEmpty())
        return Fail("could not copy the client");
    CResourcePatch patch(strCopy);
    patch.SetString(IDS_LOGIN_URL, pszUrl);
    if (!patch.Commit() || CResourcePatch::ReadString(strCopy, IDS_LOGIN_URL) != pszUrl)
        return Fail("could not set the copy's login address");
    return 0;
}

int WaitForStart(DWORD nMs)
{
    HWND hPopup = nullptr;
    if (!WaitUntil(nMs, [&] { return (hPopup = CClientWindows().LoginPopup()) != nullptr; }))
        return Fail("no start window with its login popup");
    // The popup is shown while its owner is still hidden; a window manager then maps the owner over
    // it, though the system's own order keeps the owned popup on top. Asking for the top alone changes
    // nothing in that order, so nothing reaches the window manager: the popup goes to the bottom and
    // back, which restacks it on the screen too.
    constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(hPopup, HWND_BOTTOM, 0, 0, 0, 0, kZOrderOnly);
    SetWindowPos(hPopup, HWND_TOP, 0, 0, 0, 0, kZOrderOnly);
    return 0;
}

int WaitForMain(DWORD nMs)
{
    return WaitUntil(nMs, [] { return CClientWindows::FillsWorkArea(CClientWindows().Main()); })
               ? 0
               : Fail("no main window over the whole work area");
}

// The cleaning of an empty cache ends before its overlay is even drawn, so the cache is given files
// first; when the overlay still went too soon for a picture, the next try gives it four times more.
int CleaningShot(const wchar_t* pszPng, DWORD nMs)
{
    constexpr int kFirstFiles = 2000;
    constexpr int kTries = 3;
    // Two turns of the overlay's animation, so that the picture shows it drawn.
    constexpr DWORD kSettleMs = 500;
    const HWND hMain = CClientWindows().Main();
    if (!hMain)
        return Fail("no main window");
    int nFiles = kFirstFiles;
    for (int nTry = 0; nTry < kTries; ++nTry, nFiles *= 4) {
        if (!WaitUntil(nMs, [] { return !CClientWindows().CleaningOverlay(); }))
            return Fail("an earlier cleaning did not end");
        if (!CCacheFiller::Fill(nFiles))
            return Fail("could not fill the cache");
        Click(hMain, IDC_BTN_CLEAR_CACHE);
        // Files all gone and no overlay seen: the cleaning came and went between two looks.
        HWND hOverlay = nullptr;
        WaitUntil(nMs, [&] { return (hOverlay = CClientWindows().CleaningOverlay()) || !CCacheFiller::AnyLeft(); });
        if (!hOverlay) {
            // Its report may still be on the way; a click now would be absorbed by that cleaning.
            Sleep(kSettleMs);
            continue;
        }
        Sleep(kSettleMs);
        if (!IsWindowVisible(hOverlay))
            continue;
        if (!CScreenCapture::SavePng(pszPng))
            return Fail("could not save the screen");
        if (!IsWindowVisible(hOverlay))
            continue;
        return WaitUntil(nMs, [&] { return !IsWindowVisible(hOverlay); }) ? 0 : Fail("the overlay stayed up");
    }
    return Fail("the cleaning overlay went before it could be pictured");
}

BOOL CALLBACK PrintIfVisible(HWND hWnd, LPARAM)
{
    if (IsWindowVisible(hWnd)) {
        wchar_t szTitle[64] = L"";
        GetWindowTextW(hWnd, szTitle, 64);
        RECT rc{};
        GetWindowRect(hWnd, &rc);
        std::fprintf(stderr, "  window %p owner %p (%ld,%ld)-(%ld,%ld) \"%ls\"\n", static_cast<void*>(hWnd),
                     static_cast<void*>(GetWindow(hWnd, GW_OWNER)), rc.left, rc.top, rc.right, rc.bottom, szTitle);
    }
    return TRUE;
}

// What the screen holds, for a failure that a picture alone would not explain.
void ListVisibleWindows()
{
    EnumWindows(PrintIfVisible, 0);
}

int ClosePrompt(DWORD nMs)
{
    const CClientWindows windows;
    if (const HWND hMain = windows.Main()) {
        // A cleaning still under way ends first, and the window must be taking messages: a click
        // that a busy window has not read yet is not a prompt that failed to come.
        if (!WaitUntil(nMs, [] { return !CClientWindows().CleaningOverlay(); }))
            return Fail("the cleaning overlay stayed up");
        DWORD_PTR nResult = 0;
        if (!SendMessageTimeoutW(hMain, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, nMs, &nResult))
            return Fail("the main window does not answer");
        Click(hMain, IDC_BTN_CLOSE);
    } else if (windows.Start()) {
        PostMessageW(windows.Start(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        return Fail("no client window");
    }
    if (WaitUntil(nMs, [] { return CClientWindows().MessageBox() != nullptr; }))
        return 0;
    ListVisibleWindows();
    return Fail("no close prompt");
}

int Answer(const wchar_t* pszButton)
{
    const HWND hBox = CClientWindows().MessageBox();
    if (!hBox)
        return Fail("no message box");
    Click(hBox, _wcsicmp(pszButton, L"ok") == 0 ? IDOK : IDCANCEL);
    return 0;
}
int PrintDpi(const wchar_t* pszFile)
{
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!hwnd)
        return 1;
    const DpiFunctions& all = SystemDpiFunctions();
    const UINT nAll = QueryWindowDpi(hwnd, all);
    const UINT nMonitor = QueryWindowDpi(hwnd, DpiFunctions{nullptr, all.pGetDpiForMonitor});
    const UINT nNeither = QueryWindowDpi(hwnd, DpiFunctions{});
    DestroyWindow(hwnd);
    FILE* out = pszFile ? _wfopen(pszFile, L"w") : stdout;
    if (!out)
        return Fail("could not write the file");
    std::fprintf(out, "%u %u %u\n", nAll, nMonitor, nNeither);
    if (pszFile)
        std::fclose(out);
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && wcscmp(argv[1], L"desktop") == 0) {
        HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (!hwnd)
            return 1;
        DestroyWindow(hwnd);
        return 0;
    }
    if ((argc == 2 || argc == 3) && wcscmp(argv[1], L"dpi") == 0)
        return PrintDpi(argc == 3 ? argv[2] : nullptr);
    if (argc < 3)
        return 2;
    const wchar_t* pszCommand = argv[1];
    if (wcscmp(pszCommand, L"wait") == 0) {
        int seconds = argc > 3 ? _wtoi(argv[3]) : 10;
        for (int i = 0; i < seconds * 10; ++i) {
            if (Count(argv[2], false) > 0)
                return 0;
            Sleep(100);
        }
        return 1;
    }
    if (wcscmp(pszCommand, L"close") == 0)
        return Count(argv[2], true) > 0 ? 0 : 1;
    if (wcscmp(pszCommand, L"login-url") == 0 && argc == 5)
        return LoginUrlCopy(argv[2], argv[3], argv[4]);
    if (wcscmp(pszCommand, L"wait-start") == 0)
        return WaitForStart(Seconds(argv[2]));
    if (wcscmp(pszCommand, L"wait-main") == 0)
        return WaitForMain(Seconds(argv[2]));
    if (wcscmp(pszCommand, L"shot") == 0)
        return CScreenCapture::SaveSettledPng(argv[2], kStableMs, kStableMaxMs) ? 0 : Fail("could not save the screen");
    if (wcscmp(pszCommand, L"clean-shot") == 0)
        return CleaningShot(argv[2], Seconds(argc > 3 ? argv[3] : L""));
    if (wcscmp(pszCommand, L"close-prompt") == 0)
        return ClosePrompt(Seconds(argv[2]));
    if (wcscmp(pszCommand, L"answer") == 0)
        return Answer(argv[2]);
    return 2;
}
