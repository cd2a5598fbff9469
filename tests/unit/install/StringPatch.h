// Changes string-table entries of an executable file that is not running (the client's table is
// in Chinese, PRC), so a test can start a copy of a program with other texts.
#pragma once

#include <windows.h>

#include <string>

bool PatchStringEntry(const std::wstring& strExe, UINT nID, const std::wstring& strText,
                      WORD wLanguage = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
