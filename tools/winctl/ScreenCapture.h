// The whole screen as the player sees it, saved as a PNG file.
#pragma once
#include <windows.h>

class CScreenCapture
{
public:
    // Copies the screen now and writes it to pszPath; false when the copy or the file failed.
    static bool SavePng(const wchar_t* pszPath);
};
