// A frame window in a process of its own, for the game-window tests that kill the frame's process:
// a hidden borderless 1000 x 700 top-level window that answers every message by default until the
// process is ended.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = hInstance;
    wc.lpszClassName = L"TorvelTestFrameHost";
    if (!RegisterClassW(&wc))
        return 2;
    if (!CreateWindowExW(0, wc.lpszClassName, L"frame", WS_POPUP, 0, 0, 1000, 700, nullptr, nullptr, hInstance,
                         nullptr))
        return 2;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
