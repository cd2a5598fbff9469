// Watches one started process from outside and notes when each of its windows first becomes visible.
#pragma once
#include "framework/CString.h"

// Milliseconds from CreateProcess; -1 for a phase not seen within the time limit.
struct WindowPhases
{
    double msFirstWindow = -1;  // any top-level window of the process exists
    double msStartWindow = -1;  // the start window is visible
    double msPopup = -1;        // the login popup is visible
    double msMainWindow = -1;   // the main window is visible
};

// What ends the watch: the first visible window at all (a bare program), the login popup beside the
// start window (a normal start) or the main window (a copy that hands over at once).
enum class WatchUntil { AnyWindow, Popup, MainWindow };

// pfnNowMs is the clock the caller uses for all its figures.
WindowPhases WatchStart(const CString& strExe, const CString& strCommandLine, WatchUntil until,
                        double (*pfnNowMs)());
