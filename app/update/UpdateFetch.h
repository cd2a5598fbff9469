// The update's two downloads over WinINet, for a worker thread: the manifest into memory, the new
// executable into a file that a cut connection leaves behind for the next start to continue.
// Nothing here reads process-wide state: everything comes in the arguments, so a download running
// while the process ends touches nothing that the exit destroys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/CString.h"

// GET url into *pBody, at most nLimit bytes (a longer body fails). *pStatus is the HTTP status, 0
// when no answer came. True only for a status below 400 and a body read to its end.
bool FetchBytes(const CString& url, const CString& strUserAgent, std::size_t nLimit, DWORD* pStatus,
                std::string* pBody);

// How long one download may take. A server that sends a byte now and then keeps every receive
// within its time-out, so the download itself is timed: fewer than nMinBytesPerWindow in any
// nWindowMs, or nTotalMs in all, and it stops (what came is kept for the next start).
struct DownloadDeadline
{
    ULONGLONG nWindowMs = 60 * 1000;
    std::uint64_t nMinBytesPerWindow = 4 * 1024 * 60;   // an average of 4 KiB/s
    ULONGLONG nTotalMs = 20 * 60 * 1000;
};

struct DownloadJob
{
    CString strUrl;
    CString strPartPath;            // the partial file, continued when it exists
    CString strUserAgent;
    std::uint64_t nExpectedBytes = 0;
    DownloadDeadline deadline;
};

enum class DownloadResult
{
    Complete,       // the file holds exactly nExpectedBytes
    Incomplete,     // the connection ended early: what came is kept for the next try
    TooSlow,        // the deadline passed: what came is kept for the next try
    TooLarge,       // the server sent, or announced, more than nExpectedBytes
    Mismatch,       // 416, or a 206 that does not continue the partial file: the partial file is emptied
    Failed,         // no answer, an error status (the partial file stays), or the file could not be written
};

struct DownloadOutcome
{
    DownloadResult result = DownloadResult::Failed;
    DWORD dwStatus = 0;             // the HTTP status, 0 when no answer came
    DWORD dwError = 0;              // the system's error code where a call failed
    std::uint64_t nResumedAt = 0;   // where this download began (0 for a new one)
    std::uint64_t nHaveBytes = 0;   // what the partial file holds afterwards
    std::uint8_t digest[32] = {};   // on Complete, the SHA-256 of the whole file, taken while it was written
};

// Continues or starts the download of job.strUrl into job.strPartPath until it holds
// job.nExpectedBytes. A partial file is continued with a Range request; a server that answers with
// the whole body (200) starts it over.
DownloadOutcome DownloadToFile(const DownloadJob& job);
