// Starts another copy of a program the way every starter of the client does: no handle inheritance,
// CREATE_DEFAULT_ERROR_MODE only, inherited environment and folder. The starter never waits for the
// child; true when it was started.
#pragma once
#include "framework/CString.h"

// pstrCommandLine null: the child's command line is its own path.
bool StartChildProcess(const CString& strApplication, const CString* pstrCommandLine);
