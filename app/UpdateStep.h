// The "-d <target>" role: an outside updater starts a new copy of the client with the path of the
// installed executable, and this copy puts itself in its place.
#pragma once

#include "framework/CString.h"

// Copies the running executable over strTargetPath, logs the outcome and starts the target.
// Returns true when the target was replaced and started (the caller then exits with code 0);
// false when the step failed (the caller continues as a normal run). A bare "-d" never gets here.
bool RunUpdateStep(const CString& strTargetPath);
