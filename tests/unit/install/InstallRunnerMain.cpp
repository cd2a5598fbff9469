// Helper process for the installation tests: one normal start's installation, with the
// application profile set up as the client sets it, and nothing else.
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "start/Installation.h"

int wmain()
{
    CWinApp app;
    app.SetRegistryKey(L"qzrvpelq");
    OleInitScope ole;
    RunInstallation();
    return 0;
}
