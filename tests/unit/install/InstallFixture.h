// Installation tests work on the real per-user installation of the Wine prefix: data folder,
// desktop and start-menu shortcuts, the program-list entry under HKLM and the profile under HKCU.
// Each test starts and ends without any of them.
#pragma once

#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "support/FilesAndKeys.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

struct LinkInfo
{
    bool bLoaded = false;
    std::wstring strPath;
    std::wstring strArguments;
    std::wstring strIconPath;
    int nIconIndex = -1;
    int nShowCmd = -1;
};

// Reads a .lnk file through the shell's own link object.
LinkInfo ReadLink(const std::wstring& strLinkPath);
// Writes a link with the given target and arguments, as a player or another program would.
bool WriteLink(const std::wstring& strLinkPath, const std::wstring& strTarget, const std::wstring& strArguments);
bool FileExists(const std::wstring& strPath);
// A REG_SZ value with the byte count it was stored with; empty with 0 bytes when missing.
struct RegText
{
    std::wstring strText;
    DWORD nBytes = 0;
    DWORD nType = REG_NONE;
};
RegText ReadRegText(HKEY hRoot, const std::wstring& strKey, const wchar_t* pszValue, REGSAM view = 0);
// Copies srcExe to destExe with its FileVersion text replaced by pszVersion (at most 7 characters).
bool CopyExeWithVersion(const std::wstring& strSrcExe, const std::wstring& strDestExe, const wchar_t* pszVersion);
std::wstring ModulePath();

class InstallTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Removes everything an installation run may have created for an executable of that name.
    void Clean();

    std::wstring DataDir() const { return m_strDataDir; }
    std::wstring InstalledExe() const { return m_strDataDir + L"\\InstallTests.exe"; }
    std::wstring DesktopLink() const { return m_strDesktop + L"\\qzrv《Vantor》.lnk"; }
    std::wstring GameFolder() const { return m_strPrograms + L"\\qzrv\\Vantor"; }
    std::wstring StartMenuLink() const { return GameFolder() + L"\\《Vantor》.lnk"; }
    std::wstring UninstallLink() const { return GameFolder() + L"\\卸载-《Vantor》.lnk"; }
    std::wstring ProfileKey(const wchar_t* pszApp = L"InstallTests") const
    {
        return std::wstring(L"Software\\qzrvpelq\\") + pszApp + L"\\qzrv《Vantor》";
    }
    std::wstring FirstStart() const;
    void SetFirstStart(const wchar_t* pszValue) const;

    static const wchar_t kEntryKey[];

    std::wstring m_strAppData;
    std::wstring m_strDataDir;
    std::wstring m_strDesktop;
    std::wstring m_strPrograms;
    CWinApp m_app;
    CoInitScope m_com;
    bool m_bProfileRootExisted = false;
};
