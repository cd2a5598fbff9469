// Files and registry values as tests set them up and read them back.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/CString.h"

bool PathExists(const CString& strPath);
// The whole file; empty when it cannot be read. Others may go on writing or deleting it meanwhile.
std::string ReadFileBytes(const CString& strPath);
// Creates or truncates the file and writes all the bytes.
bool WriteFileBytes(const CString& strPath, const std::string& bytes);
// A folder and everything in it, with the plain file functions, which take any length of path.
void DeleteTree(const CString& strPath);
// A folder of the shell (CSIDL_*) as it is now; empty when the system has none.
CString ShellFolder(int csidl);
// The names of the files (not folders) in strFolder that match pszPattern, sorted.
std::vector<std::wstring> FilesIn(const CString& strFolder, const wchar_t* pszPattern = L"*");
// Every file and folder below strFolder, relative to it and sorted; folders end in a backslash.
std::vector<std::wstring> TreeIn(const CString& strFolder);
// The temporary folder with strName appended (no trailing backslash).
CString TempPath(const CString& strName);

bool KeyExists(HKEY hRoot, const wchar_t* pszKey, REGSAM view = 0);
bool CreateKey(HKEY hRoot, const wchar_t* pszKey, REGSAM view = 0);
// A REG_DWORD value, or -1 when there is none of that type.
long long ReadDword(HKEY hRoot, const wchar_t* pszKey, const wchar_t* pszName);
bool WriteDword(HKEY hRoot, const wchar_t* pszKey, const wchar_t* pszName, DWORD dwData);

// strLink made a symbolic link to the folder strTarget, which the system reports as a reparse point.
// Wine creates none itself: there the host's ln makes it, through Wine's running of host programs.
bool MakeFolderLink(const CString& strTarget, const CString& strLink);
