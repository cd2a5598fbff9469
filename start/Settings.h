// The per-user settings file systemset.ini in the data folder's "res" folder: single values read
// and written through the private-profile functions, and the unpacking of its default copy from
// the archive among the executable's resources.
#pragma once

#include "framework/CString.h"

// Account values read from the settings file by the login popup; empty until then.
extern CString g_strAccountCode;
extern CString g_strAccountPwd;
extern CString g_strRemember;
extern CString g_strAutoLogin;

// The value of section/key, or pszDefault when the key or the file is missing; a longer value
// arrives cut to MAX_PATH - 1 characters.
void GetSettingString(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszDefault, WCHAR (&szBuffer)[MAX_PATH]);
// Writes one value; the file is created when missing. Failures leave the file as it was.
void SetSettingString(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue);
// A decimal number from the start of a settings value: leading blanks and one sign allowed, the
// first other character ends it; a text without leading digits is 0.
int ParseSettingInt(LPCWSTR pszText);
// The player's page zoom, "Setting"/"zoom": one of the zoom steps in percent, 100 when the value is
// missing, not a number or not a step.
int ReadPageZoomSetting();
void WritePageZoomSetting(int nPercent);
// Unpacks the default settings archive into pszInstallDir\res once: an existing systemset.ini is
// kept, other entries are replaced, and "Setting"/"start" = 1001 records that it is done.
void UnpackDefaultSettings(LPCWSTR pszInstallDir);
// Base64 text (standard alphabet, characters outside it skipped) to text in the ANSI code page;
// at most 1,023 decoded bytes, up to the first zero byte.
CString DecodeBase64Text(LPCWSTR pszText);
