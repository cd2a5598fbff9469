// The client's top-level windows as a script sees them from outside, taken in one pass over the
// desktop's windows. Only visible windows count: a hidden one is not on the screen.
#pragma once
#include <windows.h>
#include <vector>

class CClientWindows
{
public:
    // The client's title, shared by its start window and its main window.
    static const wchar_t kTitle[];

    // Takes a fresh look at the desktop.
    CClientWindows();

    // The start window: the client's title without the main window's title-strip buttons.
    HWND Start() const;
    // The main window: the client's title and its close and clear-cache buttons.
    HWND Main() const;
    // The login popup over the start window (700 x 460 at 100 %, owned by it).
    HWND LoginPopup() const;
    // A skinned message box of the client (253 x 106 at 100 %, no title, OK and Cancel).
    HWND MessageBox() const;
    // The cache-cleaning overlay: a window owned by the main window that covers it exactly.
    HWND CleaningOverlay() const;

    // Whether the window covers its monitor's work area, as a maximised main window does.
    static bool FillsWorkArea(HWND hWnd);

private:
    static BOOL CALLBACK Collect(HWND hWnd, LPARAM lParam);
    HWND OwnedWindow(HWND hOwner) const;

    std::vector<HWND> m_windows;
};
