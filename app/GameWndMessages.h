// The messages between the main window and a game window that lives in a second process. Both
// processes run the same executable, so the values here are the whole contract between them.
#pragma once
#include <windows.h>

// Game window to main window, sent once: wParam is the game window's handle.
constexpr UINT WM_GAMEWND_ANNOUNCE = WM_USER + 2001;
// Main window to game window, posted: reload the page.
constexpr UINT WM_GAMEWND_REFRESH = WM_USER + 2002;
// Main window to game window, sent: fit into the main window's client area; wParam 1 takes all of
// it (full screen), 0 leaves the title strip free. lParam is the DPI the main window draws its strip
// at (the strip's height scales with it); 0 leaves the game window to ask the main window's DPI.
constexpr UINT WM_GAMEWND_FIT = WM_USER + 2003;

// The longest either side waits for the other to answer a sent message. The other side is another
// process: it may hang or die at any moment, and neither window may freeze with it.
constexpr UINT kGameWndSendTimeoutMs = 2000;
