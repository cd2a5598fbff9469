// Everything one update check or hand-over needs, gathered on the starting thread before a worker
// runs: the worker reads nothing else of the process (no application object, no process-wide
// paths), so closing the client while it downloads can never pull anything from under it.
#pragma once

#include <cstdint>
#include <string>

#include "app/update/UpdateFetch.h"
#include "app/update/UpdateManifest.h"
#include "framework/CString.h"

struct UpdateSetup
{
    CString strQueryUrl;            // the version query address
    CString strRunningVersion;      // FileVersion of the running client
    std::string strProduct;         // "<partner>/<game>" of the version query; a manifest must name it
    std::uint8_t publicKey[64] = {};   // the operator's P-256 key, X||Y
    std::string strKeyId;           // first 8 hex digits of the SHA-256 of the key (its DER form), for the log
    int nRolloutNumber = 0;         // this installation's place in a staged rollout, 0 to 99
    CString strDownloadDir;         // the update's own folder in the cache folder, no trailing separator
    CString strExeName;             // the installed executable's file name, which the update takes
    CString strLogPath;             // the update log; "" loses the lines
    CString strUserAgent;           // for the version server and the download
    std::int64_t nNowUnix = 0;      // seconds since 1970 (UTC)
    DownloadDeadline deadline;
};

// The running client's setup (all but the rollout number); false when it has no key or no
// application-data folder.
bool LoadUpdateSetup(UpdateSetup* pSetup);
// Only where the running client's update is kept (strDownloadDir, strExeName): a cheap first look.
bool LoadUpdateLocation(UpdateSetup* pSetup);

// The key's fingerprint as the log and the release tool show it: the first 8 hex digits of the
// SHA-256 of the SubjectPublicKeyInfo DER that `openssl pkey -pubin -outform DER` writes.
std::string UpdateKeyId(const std::uint8_t (&publicKey)[64]);

// Why the installation does not take a (well-formed, signed) manifest; "" when it does. Checks what
// holds at the check and again at the hand-over: the product, and an expiry after now and at most
// 90 days ahead.
std::string ManifestRefusal(const UpdateManifest& manifest, const UpdateSetup& setup);

// A line of the update log, formatted as printf does (UTF-8 arguments).
void LogUpdate(const UpdateSetup& setup, const char* pszFormat, ...);
// "Update check: <text> [key <key id>]": every outcome of a check names the key it trusted.
void LogUpdateCheck(const UpdateSetup& setup, const char* pszFormat, ...);
