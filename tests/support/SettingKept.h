// A value of the settings file that a test changes, put back as it was when the test is done.
#pragma once
#include <windows.h>

#include <string>

#include "start/Settings.h"
#include "support/NoCopy.h"

class SettingKept : CNoCopy
{
public:
    // A value that was missing comes back as pszMissingAs.
    SettingKept(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszMissingAs)
        : m_pszSection(pszSection), m_pszKey(pszKey)
    {
        WCHAR szValue[MAX_PATH];
        GetSettingString(m_pszSection, m_pszKey, kMissing, szValue);
        m_strSaved = wcscmp(szValue, kMissing) == 0 ? pszMissingAs : szValue;
    }
    ~SettingKept() { SetSettingString(m_pszSection, m_pszKey, m_strSaved.c_str()); }

private:
    static constexpr const wchar_t* kMissing = L"(missing)";
    const wchar_t* m_pszSection;
    const wchar_t* m_pszKey;
    std::wstring m_strSaved;
};
