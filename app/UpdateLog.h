// The update log: "res\update.log" in the data folder, one dated UTF-16 LE line per record, only
// ever appended to. The update step and the version check write it; an operator reads it.
#pragma once

#include <windows.h>

#include "framework/CString.h"

// Source of the time stamp of each line. Local time unless replaced; tests fix it.
using UpdateLogClock = SYSTEMTIME (*)();

// Installs pfnClock (nullptr restores local time); returns the clock used before.
UpdateLogClock SetUpdateLogClock(UpdateLogClock pfnClock);

// Data folder + "res\update.log".
CString GetUpdateLogPath();

// One record without its line end: "2027- 3- 7  8: 9: 5 : \tUpdateModule\tabc".
CString FormatUpdateLogLine(const SYSTEMTIME& st, const CString& strMessage);

// Appends one record (and CRLF) to the log at strLogPath. The folder is never created: a missing
// folder means the line is lost. Returns 0 when the whole line was written, -1 otherwise.
int AppendUpdateLogLine(const CString& strLogPath, const CString& strMessage);

// AppendUpdateLogLine on the data folder's log.
int WriteUpdateLog(const CString& strMessage);

// The same line, for a window's thread, which must not wait for another process: when the log is
// held, the line (stamped now) is handed to a thread of its own that waits as AppendUpdateLogLine
// does. Returns 0 when the line was written at once, 1 when it was handed over, -1 on failure.
int AppendUpdateLogLineNoWait(const CString& strLogPath, const CString& strMessage);
// AppendUpdateLogLineNoWait on the data folder's log.
int WriteUpdateLogNoWait(const CString& strMessage);

// Appends the MD5 digest of the file's content to strDigest as 32 lower-case hexadecimal digits.
// On failure returns false and leaves strDigest as it was.
bool GetFileMd5(const CString& strPath, CString& strDigest);
