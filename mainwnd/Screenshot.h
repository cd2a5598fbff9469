// The screenshot key's work: what a window shows, saved as a PNG file in the player's pictures
// folder. The picture is written under a temporary name and renamed when complete, so no
// half-written file ever carries a picture's name.
#pragma once
#include <windows.h>

#include "framework/CString.h"

struct ScreenshotResult
{
    bool bSaved = false;
    CString strPath;    // the saved picture
    CString strReason;  // why nothing was saved, in the player's words
};

// "<pictures folder>\《game title》"; empty when the system names no pictures folder.
CString GetScreenshotFolder();

// "《game title》_yyyyMMdd_HHmmss.png"; attempts from the second on add "_2", "_3", ... so that an
// existing picture of the same second is never replaced.
CString MakeScreenshotFileName(const SYSTEMTIME& st, int nAttempt);

// Saves what hWnd shows of its client area (as far as its parent and the screen let it be seen) in
// GetScreenshotFolder(), which is made when missing. GDI+ must be running.
ScreenshotResult SaveWindowScreenshot(HWND hWnd);

// The class id of GDI+'s PNG encoder; false when GDI+ has none (or is not running).
bool FindPngEncoder(CLSID& clsid);

// Opens the folder of strPath in the shell with the file selected.
bool ShowFileInFolder(const CString& strPath);
