// The game-window role: the game page hosted in a second process, inside the main window's frame.
#pragma once
#include <windows.h>
#include "framework/CString.h"

class CWinApp;

// Creates the game window inside hFrameWnd and makes it the application's main window. TRUE keeps the
// process in its message loop; FALSE ends it.
BOOL RunGameWindowProcess(CWinApp& app, HWND hFrameWnd, const CString& strGameUrl);
