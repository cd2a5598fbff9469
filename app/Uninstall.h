// Removing the installation, in two processes. The program list and the uninstall shortcut start
// the installed client with "-u" at the end: that process only asks, copies itself into the cache
// folder and starts the copy with "-u <its own path>". The copy, which no longer runs from the
// install folder, removes the shortcuts, the installed executable, its files and registry keys.
#pragma once
#include "framework/CString.h"

// While clients of this executable run, asks the player to end them first; then the question, and on
// OK the copy is made and started. Returns at once either way.
void RunUninstallPrompt();
// The removal for the installed executable strExePath. Every step is tried once, whatever the
// earlier ones gave; nothing is shown. When the executable cannot be deleted, the uninstall shortcut
// and the program-list entry stay, so the removal can be started again.
void RunUninstall(const CString& strExePath);
