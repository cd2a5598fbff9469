// The client's start-up pieces timed one by one inside a fresh process of the benchmark, in the
// order the client runs them. The pieces are the client's own code from the core library; the parts
// of the installation that would write the benchmark's own path into the player's shortcuts and
// program list work in a scratch folder instead. Nothing of the client is changed for this.
#pragma once
#include "framework/CString.h"

// Milliseconds on the performance counter, which every process of the machine shares.
double NowMs();

// Runs the pieces once and writes one "name milliseconds" line per piece into strResultFile.
// msProcessStart is the starting process's clock reading at CreateProcess (the same counter).
int RunStartupProfile(double msProcessStart, const CString& strClientExe, const CString& strResultFile);
