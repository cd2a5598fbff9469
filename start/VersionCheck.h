// The version-check step, run once when the login site's first page has loaded: keeps the update
// log small, clears a leftover update download and records the version-query address.
#pragma once

#include "framework/CString.h"

// Logs larger than this are deleted before the next line is written.
constexpr unsigned long long kUpdateLogSizeLimit = 0xA00000;

// The version server's query for this client: server + "/" + query + our FileVersion.
CString GetVersionQueryUrl();

void RunVersionCheck();
