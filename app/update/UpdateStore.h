// The update's folder in the cache folder: the verified update under the installed executable's
// name, the manifest that vouches for it, and at most one partial download.
#pragma once

#include <cstdint>
#include <string>

#include "app/update/UpdateSetup.h"

// Where the downloaded update lies: its folder + the installed executable's name, and the manifest
// that vouches for it.
CString UpdateFilePath(const UpdateSetup& setup);
CString UpdateManifestPath(const UpdateSetup& setup);
// A partial download is named after the digest it must reach, so a different file offered later
// never continues the wrong one.
CString PartialDownloadPath(const UpdateSetup& setup, const UpdateManifest& manifest);

// True when the signature of the manifest text verifies with the key.
bool ManifestSignatureValid(const std::string& text, const UpdateManifest& manifest, const std::uint8_t (&key)[64]);

// Reads and checks the stored manifest of a downloaded update against the key; false when it is
// missing, malformed or not signed by the key. The manifest's text goes to *pText.
bool LoadStoredManifest(const UpdateSetup& setup, UpdateManifest* pManifest, std::string* pText);

// Size, digest and FileVersion of a downloaded file against its manifest; "" when all match. A digest
// taken during the download is used instead of reading the file again. The FileVersion is read only
// once the digest matched: the version reader never sees bytes the operator did not sign.
const char* CheckDownloadedFile(const CString& strPath, const UpdateManifest& manifest,
                                const std::uint8_t* pKnownDigest = nullptr);

// The manifest written beside its place and moved there, so it is either the old one or the new one whole.
bool StoreManifest(const UpdateSetup& setup, const std::string& text);

// Partial downloads other than strKeep (those of versions no longer offered).
void DeletePartialsExcept(const UpdateSetup& setup, const CString& strKeep);

// Deletes a downloaded update and its manifest (and any partial download); false when the update
// itself is still there (the update step may still be running from it).
bool DiscardUpdate(const UpdateSetup& setup);
