// The client's entry in the system's list of installed programs, which lets a player remove it from
// the system's own settings. The machine-wide list comes first; where an ordinary user may not
// write it, the entry goes into the user's own list, which the system shows as well.
#pragma once
#include "framework/CString.h"

struct ProgramEntryTexts
{
    CString strPath;
    CString strDisplayName;
    CString strPublisher;
    CString strUninstallString;
};

// Writes the entry strName once: an entry that exists in either list is left as it is.
void WriteProgramEntry(const CString& strName, const ProgramEntryTexts& texts);
// Removes the entry strName from the user's list, and from the machine's list when that entry names
// strExePath (every user of the machine shares that list, each with an installation of their own);
// failures are ignored. An empty name removes nothing.
void RemoveProgramEntry(const CString& strName, const CString& strExePath);
