// The whole screen as the player sees it, saved as a PNG file.
#pragma once
#include <windows.h>

class CScreenCapture
{
public:
    // Copies the screen now and writes it to pszPath; false when the copy or the file failed.
    static bool SavePng(const wchar_t* pszPath);
    // Waits until the screen stops changing (two copies nStableMs apart are the same, for at most
    // nMaxMs) and saves that copy: a window's first paint and a window manager's last move are in it.
    static bool SaveSettledPng(const wchar_t* pszPath, DWORD nStableMs, DWORD nMaxMs);
};
