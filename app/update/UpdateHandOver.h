// The last step of an update, at a normal start before any window: a downloaded and verified newer
// version is started as the update step ("-d <installed exe>"), and this process ends.
#pragma once

#include "app/update/UpdateSetup.h"

enum class HandOverResult
{
    Nothing,        // no downloaded update, or nothing installed to update
    Waiting,        // another client of this installation runs: the next start tries again
    Discarded,      // the update is refused, or no newer than what runs: it is deleted
    Failed,         // checked, but the update step could not be started
    HandedOver,     // the update step runs: this process must end now
};

// strInstalledExe: the installed executable the update step is to replace.
HandOverResult HandOverUpdate(const UpdateSetup& setup, const CString& strInstalledExe);

// The running client's hand-over; true when the process must end.
bool HandOverDownloadedUpdate();
