// Points one of the user's shell folders somewhere else while it lives, as the folder's properties
// in the shell would, and puts the old value back. Every process of the prefix sees it, so tests
// that read that folder share a lock. A test that dies meanwhile leaves the redirection behind;
// test.sh puts the folders back before every run of the suite.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/CString.h"
#include "framework/Handles.h"
#include "support/NoCopy.h"

class ShellFolderOverride : CNoCopy
{
public:
    // pszValue names the folder in "User Shell Folders": L"AppData", L"My Pictures".
    ShellFolderOverride(const wchar_t* pszValue, const CString& strPath);
    ~ShellFolderOverride();
    bool IsActive() const { return m_bActive; }

private:
    const wchar_t* m_pszValue;
    UniqueRegKey m_key;
    bool m_bHadValue = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_saved;
    bool m_bActive = false;
};
