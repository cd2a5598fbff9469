// Shell links (.lnk files) that start the installed client.
#pragma once

#include "framework/CString.h"

// Saves one shell link in strFolder that starts strTarget (the running executable when empty) with
// strArguments. The link file is strFolder\strName; without a name it is the target's file name
// with "lnk" in place of its last three characters. bUninstallIcon shows the uninstall icon that
// lies in the "res" folder beside the target. An existing link file is replaced. COM must be
// initialised on the calling thread. True when the link file was saved.
bool CreateShortcut(const CString& strArguments, const CString& strTarget, const CString& strFolder,
                    const CString& strName, bool bUninstallIcon);
