// The uninstall roles: the prompt ("... -u") and the removal ("-u <exe>").
#pragma once
#include "framework/CString.h"

void RunUninstallPrompt();
void RunUninstall(const CString& strExePath);
