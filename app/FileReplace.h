// Putting a new copy of a file in place so that the old one is replaced in one step: the installed
// executable is started by every link, so a crash or a power cut during the copy must never leave
// it cut short.
#pragma once

#include <windows.h>

// Copies pszSource to a temporary file in pszTarget's folder, flushes it to the disk and moves it
// over pszTarget. On failure the target is as it was, no temporary file is left, and the thread's
// last error tells why; a target that is running or open elsewhere fails with its sharing error
// before anything is written, as a plain copy over it would.
bool ReplaceFileWithCopy(LPCWSTR pszSource, LPCWSTR pszTarget);
