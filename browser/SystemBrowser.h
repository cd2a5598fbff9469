// Pages ask for new windows; those open in the system's Internet Explorer as a separate program.
// The URL comes from the page, so it is checked and quoted before it reaches a command line.
#pragma once

#include "CString.h"

// The parameter string for "iexplore.exe": the URL as one quoted argument. Only http and https URLs
// are accepted (false for anything else: file:, javascript:, a bare switch such as "-embedding").
// Inside the quotes '"' becomes %22 and control characters are percent-encoded, so the URL can
// neither end the argument nor start another one.
bool BuildIExploreParameters(const CString& strUrl, CString& strParams);

// Starts "iexplore.exe" with that parameter string; false (and nothing started) for a refused URL or
// a failed start.
bool OpenInSystemBrowser(const CString& strUrl);
