// The client's own updates. A worker thread asks the version server for a signed manifest, and when
// it offers a newer version for this product and this installation's share of a staged rollout,
// downloads it, checks it against the manifest and keeps it in the cache folder. The next normal
// start hands that file to the update step ("-d <installed exe>") before any window opens, so the
// player sees the new version's start window instead of the old one.
//
// Nothing is ever started that the operator's key did not sign: the manifest's signature covers the
// file's size and SHA-256, and both are checked again right before the hand-over.
#pragma once

#include "app/update/UpdateSetup.h"

enum class UpdateCheckResult
{
    NoUpdate,       // no answer, an error status, or a manifest that offers nothing (yet) to this installation
    Refused,        // a manifest or a file that failed a check; nothing of it is kept
    Incomplete,     // the download stopped early; the next start continues it
    Ready,          // a verified newer version waits for the next start
};

// The whole check on the calling thread: query, manifest, download, verification. Writes its outcome
// to the update log. Reads nothing but setup. Never throws.
UpdateCheckResult RunUpdateCheck(const UpdateSetup& setup);

// Gathers the running client's setup (its installation's rollout number included) on the calling
// thread, then runs RunUpdateCheck with it on a thread of its own. The caller never waits for it; it
// ends with the process if the process ends first.
void StartUpdateCheck();
