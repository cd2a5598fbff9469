// Other processes of one installation: an update may replace, and an uninstall may delete, the
// installed executable only while no client started from it is running.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/CString.h"

// Ids of the running processes, other than this one, whose executable file is strExePath. Paths are
// compared whole and ignoring case, after both are made full; "" and a process whose image cannot
// be read (another user's, one that is ending) do not count.
std::vector<DWORD> FindProcessesRunning(const CString& strExePath);
