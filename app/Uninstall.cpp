#include "app/Uninstall.h"

// The removal of an installation arrives together with the installation itself; until then both
// roles end the process without touching anything.
void RunUninstallPrompt()
{
}

void RunUninstall(const CString&)
{
}
