// Throwaway files in the Internet cache folder, so that a cache cleaning has work to do and its
// overlay stays up long enough to be looked at. An empty cache is cleaned in a few milliseconds.
#pragma once
#include <windows.h>

class CCacheFiller
{
public:
    // Writes nFiles small files in folders of 100 under the cache folder; false when the folder is
    // unknown or a file could not be written.
    static bool Fill(int nFiles);
    // Whether any of those folders is still there, that is, whether a cleaning has yet to reach them.
    static bool AnyLeft();
};
