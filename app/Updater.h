// The client's own updates. A worker thread asks the version server for a signed manifest, and when
// it offers a newer version, downloads it, checks it against the manifest and keeps it in the cache
// folder. The next normal start hands that file to the update step ("-d <installed exe>") before any
// window opens, so the player sees the new version's start window instead of the old one.
//
// Nothing is ever started that the operator's key did not sign: the manifest's signature covers the
// file's size and SHA-256, and both are checked again right before the hand-over.
#pragma once

#include <cstdint>

#include "app/UpdateManifest.h"
#include "framework/CString.h"

// Everything one update check needs, gathered before it runs: the product takes it from the running
// executable (LoadUpdateSetup), a test from its own server and key.
struct UpdateSetup
{
    CString strQueryUrl;            // the version query address
    CString strRunningVersion;      // FileVersion of the running client
    std::uint8_t publicKey[64] = {};   // the operator's P-256 key, X||Y
    CString strDownloadDir;         // the update's own folder in the cache folder, no trailing separator
    CString strExeName;             // the installed executable's file name, which the update takes
    std::int64_t nNowUnix = 0;      // seconds since 1970 (UTC)
};

// The running client's setup; false when it has no key or no application-data folder.
bool LoadUpdateSetup(UpdateSetup* pSetup);
// Only where the running client's update is kept (strDownloadDir, strExeName): a cheap first look.
bool LoadUpdateLocation(UpdateSetup* pSetup);

enum class UpdateCheckResult
{
    NoUpdate,       // no answer, an error status, or a manifest that offers nothing newer
    Refused,        // a manifest or a file that failed a check; nothing of it is kept
    Incomplete,     // the download stopped early; the next start continues it
    Ready,          // a verified newer version waits for the next start
};

// The whole check on the calling thread: query, manifest, download, verification. Writes its outcome
// to the update log. Never throws.
UpdateCheckResult RunUpdateCheck(const UpdateSetup& setup);

// Starts RunUpdateCheck on a thread of its own with the running client's setup. The caller never
// waits for it; it ends with the process if the process ends first.
void StartUpdateCheck();

// Where the downloaded update lies: its folder + the installed executable's name, and the manifest
// that vouches for it.
CString UpdateFilePath(const UpdateSetup& setup);
CString UpdateManifestPath(const UpdateSetup& setup);

// Reads and checks the stored manifest of a downloaded update against the key; false when it is
// missing, malformed or not signed by the key. The manifest's text goes to *pText.
bool LoadStoredManifest(const UpdateSetup& setup, UpdateManifest* pManifest, std::string* pText);

// Deletes a downloaded update and its manifest (and any partial download); false when the update
// itself is still there (the update step may still be running from it).
bool DiscardUpdate(const UpdateSetup& setup);

// True when the signature of the manifest text verifies with the key.
bool ManifestSignatureValid(const std::string& text, const UpdateManifest& manifest, const std::uint8_t (&key)[64]);
