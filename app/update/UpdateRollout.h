// This installation's place in a staged rollout: a number from 0 to 99, drawn once and kept with the
// installation (in its registry profile, which the uninstall removes). A manifest with rollout=N is
// acted on only where the number is below N, so N percent of the installations take the update.
#pragma once

#include "framework/CString.h"

// The registry value (REG_DWORD) under HKEY_CURRENT_USER\<profile key> that holds the number.
extern const wchar_t kRolloutValueName[];

// The number kept under HKEY_CURRENT_USER\strProfileKey; one is drawn and kept when none is there
// (or one out of range). When nothing can be drawn, 99: such an installation is offered an update
// only once every installation is.
int InstallationRolloutNumber(const CString& strProfileKey);

// A number from 0 to 99 from the system's random generator, every value equally likely; -1 when the
// generator fails.
int DrawRolloutNumber();
