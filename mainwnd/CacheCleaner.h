// Cleaning of the browser cache behind the mask overlay: a worker thread deletes every entry of the
// Internet cache except cookies, then the contents of the Temporary Internet Files folder except
// "desktop.ini" files, and reports the end with WM_COMMAND IDM_CACHE_CLEANED (10002) sent to the
// main window. Progress and failures go to Trace() only; the player sees no result.
//
// The main window's part: for the clear-cache button and the tray command,
//     ShowCleaningOverlay(m_hWnd, mask); StartCacheCleaning(m_hWnd);
// and for WM_COMMAND IDM_CACHE_CLEANED (sent by the worker, handled on the window's thread),
//     HideCleaningOverlay(mask);
#pragma once

#include <windows.h>

// Covers hMainWnd's window rectangle with the overlay, starts its animation timer and shows it.
void ShowCleaningOverlay(HWND hMainWnd, HWND hOverlay);
// Stops the overlay's animation timer and hides it: the main window's answer to 10002.
void HideCleaningOverlay(HWND hOverlay);

// Starts the worker and returns at once. One cleaning runs at a time: while one runs, another
// request is absorbed by it (returns false, and the running worker's 10002 ends both). A request
// made while the worker's 10002 is on its way is absorbed too, and the worker sends 10002 once
// more after the first one has been handled, so the overlay that request showed goes away as well.
// When no thread can be started, 10002 is posted at once so that the overlay does not stay up.
bool StartCacheCleaning(HWND hMainWnd);
// True from a started cleaning until its last 10002 has been handled.
bool IsCacheCleaningRunning();

// Deletes every URL cache entry that is not a cookie. False when the cache has no entry at all.
bool DeleteUrlCacheEntries();
// Deletes every file and sub-folder of pszPath except "desktop.ini" files (and the folders that
// keep one); read-only files are made writable first. Links to other folders are removed without
// touching what they point to. False only when pszPath cannot be listed.
bool DeleteFolderContents(LPCWSTR pszPath);
// The whole cleaning on the calling thread: the URL cache, then the Temporary Internet Files folder.
void CleanInternetCache();
