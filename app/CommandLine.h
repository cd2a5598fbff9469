// What a process is for, decided from its raw command line. The line is never split into arguments:
// the update and uninstall switches stand at its very start because their starters put no program
// path in front, and the comparisons are exact and case-sensitive. The rules themselves are in
// CommandLineText.h; these are their forms on the framework's strings.
#pragma once
#include <windows.h>
#include "app/CommandLineText.h"
#include "framework/CString.h"

ProcessRole ClassifyCommandLine(const CString& strCmdLine);

// Everything from the fourth character on: the path after "-d " or "-u ", taken verbatim.
CString SwitchArgument(const CString& strCmdLine);

struct GameWindowSwitches
{
    HWND hFrameWnd = nullptr; // 0 unless "-frameWnd=<number> " names one
    CString strGameUrl;       // everything after "-gameurl=", spaces included
};

// "-frameWnd=<handle> ... -gameurl=<url>". The handle is a decimal 32-bit value written signed or
// unsigned; a number not followed by a space, or one that does not fit in 32 bits, gives no handle.
GameWindowSwitches ParseGameWindowSwitches(const CString& strCmdLine);
