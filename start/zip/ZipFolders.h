// Folder creation and path checks for the archive reader's output.
#pragma once

#include <windows.h>

// Makes sure root (when given) and root + path exist, creating the outer folders first. True when
// the folder exists afterwards.
bool EnsureFolder(LPCWSTR pszRoot, LPCWSTR pszPath);
// Whether pszPath, made absolute and normalised, lies below the folder pszBase (itself made absolute).
bool IsPathInsideFolder(LPCWSTR pszBase, LPCWSTR pszPath);
