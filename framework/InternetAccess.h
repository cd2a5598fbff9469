// How a request reaches an address: what every WinINet user of the program decides the same way.
#pragma once

#include <windows.h>

#include "framework/CString.h"

// True when url names this machine's loopback interface (localhost, 127.x.x.x, ::1).
bool IsLoopbackUrl(const CString& url);

// The access type for a session that asks url: direct for the loopback interface, which Windows
// never sends to the configured proxy (some WinINet builds do, and a proxy cannot reach our own
// machine's services), the system's configuration otherwise.
DWORD InternetAccessTypeFor(const CString& url);
