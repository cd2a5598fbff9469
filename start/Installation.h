// The client installs itself: every normal start makes sure the per-user installation is complete
// and current (folder, default settings, shortcuts, program-list entry, profile values, installed
// executable). Every step can run again without harm.
#pragma once

// Runs every installation step on the calling (main) thread; failures are silent and the remaining
// steps still run.
void RunInstallation();
