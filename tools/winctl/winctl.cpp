// Small helper for scripts and tests that drive the client from outside:
//   winctl wait <title> <seconds>   waits until a visible top-level window with that title exists
//   winctl close <title>            sends the close command to every such window
//   winctl desktop                  makes Wine start its desktop process (from this process, so it
//                                   inherits this process's standard handles) and returns
// Exit code 0 on success, 1 when no such window appeared.
#include <windows.h>
#include <cwchar>

namespace {
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
    if (argc < 3)
        return 2;
    if (wcscmp(argv[1], L"wait") == 0) {
        int seconds = argc > 3 ? _wtoi(argv[3]) : 10;
        for (int i = 0; i < seconds * 10; ++i) {
            if (Count(argv[2], false) > 0)
                return 0;
            Sleep(100);
        }
        return 1;
    }
    if (wcscmp(argv[1], L"close") == 0)
        return Count(argv[2], true) > 0 ? 0 : 1;
    return 2;
}
