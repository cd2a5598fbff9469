// Where the client keeps its files, and the texts of its string table.
#pragma once
#include "framework/CString.h"

// The user's roaming application-data folder, without a trailing backslash; "" when the system has none.
CString GetAppDataDir();
// Application-data folder + "\qzrv\pelq\" (strings 124 and 117); ends in a backslash. Built once per
// process; "" (and built again at the next call) when there is no application-data folder.
CString GetDataDir();
// Data folder + "res//systemset.ini" (string 197).
CString GetSettingsFilePath();
// Application-data folder + "\cache".
CString GetCacheDir();
// The desktop and the start menu's programs folder of the current user; "" when unknown.
CString GetDesktopDir();
CString GetProgramsDir();
// strPath made full (GetFullPathNameW, however long); "" when it is empty or cannot be made full.
CString GetFullPath(const CString& strPath);
// Whether two paths name the same file: both made full, compared as the file system compares names.
bool IsSamePath(const CString& strA, const CString& strB);
// Full path of the running executable, however long.
CString GetModulePath();
// The FileVersion text of an executable: "" for a missing file, "None VerSion Supprot" for a file
// without version information, the texts of all its translations run together otherwise.
CString GetFileVersionText(const CString& strPath);
// A string-table entry of the executable; "" when the id has no entry.
CString LoadResString(UINT nID);
