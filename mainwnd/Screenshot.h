// The screenshot key's work: what a window shows, saved as a PNG file in the player's pictures
// folder. The picture is written under a temporary name and renamed when complete, so no
// half-written file ever carries a picture's name.
#pragma once
#include <windows.h>

#include <memory>

#include "framework/CString.h"
#include "framework/Handles.h"

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

// What hWnd shows of its client area (as far as its parent and the screen let it be seen), read from
// the screen as the player sees it; null when nothing of it is visible.
UniqueGdiObj<HBITMAP> CaptureWindowPicture(HWND hWnd);

// Writes a captured picture, taken at st, as a PNG file in GetScreenshotFolder(), which is made when
// missing. Any thread may call it; GDI+ must be running. A null picture fails with its reason.
ScreenshotResult SaveScreenshotPicture(HBITMAP hBitmap, const SYSTEMTIME& st);

// Takes the picture now, on the calling thread, and leaves the encoding and the disk to a thread of
// its own, so a window's thread never waits for them. The result is posted to hNotify as nMessage
// with a ScreenshotResult in lParam that the receiver owns (TakePostedScreenshotResult); a window
// gone by then loses it. Returns the thread (null when there was nothing to save or the work was
// done here instead); GDI+ must keep running until it ends.
UniqueHandle SaveWindowScreenshotInBackground(HWND hWnd, HWND hNotify, UINT nMessage);
std::unique_ptr<ScreenshotResult> TakePostedScreenshotResult(LPARAM lParam);

// The class id of GDI+'s PNG encoder; false when GDI+ has none (or is not running).
bool FindPngEncoder(CLSID& clsid);

// Opens the folder of strPath in the shell with the file selected.
bool ShowFileInFolder(const CString& strPath);
