// The WebBrowser control renders pages in its oldest document mode unless the program that hosts it
// asks for more under the user's FeatureControl key, by the file name of the running executable.
#pragma once
#include <windows.h>

// The data asked for: Internet Explorer 11's own document mode whatever the page declares, and
// drawing through the graphics card.
constexpr DWORD kBrowserEmulationIE11Edge = 11001;
constexpr DWORD kGpuRenderingOn = 1;

// Writes both values for the running executable once per process, and remembers its file name under
// the application's registry key (Software\<key>\ModernPageMode) for the uninstall. The HTML engine
// reads the values when it first loads, so call it before the process creates its first browser
// control. Values that already hold the data are left untouched; failures are ignored (the page then
// renders as before).
void EnableModernPageMode();

// Removes the two values written for pszExeFileName (a file name, no folder) and for every name that
// EnableModernPageMode remembered under the application's registry key, and nothing else. Call it
// before that key is deleted.
void RemoveModernPageMode(LPCWSTR pszExeFileName);
