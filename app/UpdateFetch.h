// The update's two downloads over WinINet, for a worker thread: the manifest into memory, the new
// executable into a file that a cut connection leaves behind for the next start to continue.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/CString.h"

// GET url into *pBody, at most nLimit bytes (a longer body fails). *pStatus is the HTTP status, 0
// when no answer came. True only for a status below 400 and a body read to its end.
bool FetchBytes(const CString& url, std::size_t nLimit, DWORD* pStatus, std::string* pBody);

enum class DownloadResult
{
    Complete,       // the file holds exactly nExpectedBytes
    Incomplete,     // the connection ended early: what came is kept for the next try
    TooLarge,       // the server sent, or announced, more than nExpectedBytes
    Failed,         // no answer, an error status, or the file could not be written
};

// Continues or starts the download of url into strPartPath until it holds nExpectedBytes. A partial
// file is continued with a Range request; a server that answers with the whole body instead starts
// it over. *pnResumedAt is where this download began (0 for a new one), *pStatus the HTTP status.
// On Complete, digest is the SHA-256 of the whole file, taken while it was written.
DownloadResult DownloadToFile(const CString& url, const CString& strPartPath, std::uint64_t nExpectedBytes,
                              std::uint64_t* pnResumedAt, DWORD* pStatus, std::uint8_t (&digest)[32]);
