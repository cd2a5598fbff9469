// Names of the items an installation leaves on the system. The installation creates them and the
// removal deletes them, so both build them here, from the string table.
#pragma once
#include "framework/CString.h"

// "qzrv《Vantor》.lnk" on the desktop.
CString GetDesktopLinkName();
// "《Vantor》.lnk" in the game's start-menu folder.
CString GetGameLinkName();
// "卸载-《Vantor》.lnk" in the game's start-menu folder.
CString GetUninstallLinkName();
// Start menu's programs folder + "\qzrv" and + "\qzrv\Vantor"; "" when the programs folder is unknown.
CString GetStartMenuBrandDir();
CString GetStartMenuGameDir();
// True when every name the installation's folders, keys and start-menu entries are built from has
// text. A missing one would make a path name its parent (the programs folder, all of
// HKEY_CURRENT_USER\Software) instead of the client's own item.
bool HaveInstallNames();
// HKEY_CURRENT_USER\<this>: the application profile, "Software\qzrvpelq".
CString GetProfileRootKey();
