#include "start/Installation.h"

#include "app/Paths.h"
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "start/HttpGet.h"
#include "start/Settings.h"
#include "start/Shortcut.h"
#include "start/VersionNumber.h"

#include <shlwapi.h>

namespace {

const wchar_t kUninstallListKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The 64-bit view also for the 32-bit build, so the entry sits where the system's program list
// looks first on a 64-bit system.
constexpr REGSAM kUninstallListAccess = KEY_ALL_ACCESS | KEY_WOW64_64KEY;

// Names and places of one installation, all derived from the running executable and the string table.
struct InstallLayout
{
    CString strInstallDir;      // no trailing separator
    CString strRunningExe;
    CString strInstalledExe;
    CString strDesktopLinkName;
    CString strStartMenuLinkName;
    CString strUninstallLinkName;
    CString strUninstallCommand;
    CString strEntryName;       // program-list key and profile section
};

void EnsureFolder(const CString& strPath)
{
    if (!PathIsDirectoryW(strPath))
        CreateDirectoryW(strPath, nullptr);
}

bool FileExists(const CString& strPath)
{
    const DWORD attributes = GetFileAttributesW(strPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

InstallLayout BuildLayout(const CString& strInstallDir)
{
    InstallLayout layout;
    layout.strInstallDir = strInstallDir;
    layout.strRunningExe = GetModulePath();
    const int slash = layout.strRunningExe.ReverseFind(L'\\');
    layout.strInstalledExe = strInstallDir + L"\\" + layout.strRunningExe.Mid(slash + 1);

    const CString strBrand = LoadResString(IDS_PLATFORM_PUBLISHER);
    const CString strTitle = LoadResString(IDS_GAME_TITLE);
    const CString strSuffix = LoadResString(IDS_LINK_SUFFIX);
    layout.strDesktopLinkName.Format(L"%s《%s》%s.lnk", static_cast<LPCWSTR>(strBrand),
                                     static_cast<LPCWSTR>(strTitle), static_cast<LPCWSTR>(strSuffix));
    layout.strStartMenuLinkName.Format(L"《%s》%s.lnk", static_cast<LPCWSTR>(strTitle),
                                       static_cast<LPCWSTR>(strSuffix));
    layout.strUninstallLinkName = LoadResString(IDS_UNINSTALL_LINK) + L".lnk";
    // Quoted: the program list hands the command to CreateProcess, which would otherwise split a
    // folder with a blank in it (and could start another program lying along that path).
    layout.strUninstallCommand = L"\"" + layout.strInstalledExe + L"\" -u";
    layout.strEntryName = LoadResString(IDS_UNINSTALL_KEY);
    return layout;
}

void CreateDesktopShortcut(const InstallLayout& layout)
{
    const CString strDesktop = GetDesktopDir();
    if (strDesktop.IsEmpty())
        return;
    // A shortcut the player keeps (or renamed) stays as it is; a deleted one comes back.
    if (FileExists(strDesktop + L"\\" + layout.strDesktopLinkName))
        return;
    if (ParseSettingInt(LoadResString(IDS_DESKTOP_LINK_SWITCH)) == 0)
        return;
    CreateShortcut(L"1", layout.strInstalledExe, strDesktop, layout.strDesktopLinkName, false);
}

void CreateStartMenuShortcuts(const InstallLayout& layout)
{
    const CString strPrograms = GetProgramsDir();
    if (strPrograms.IsEmpty())
        return;
    CString strFolder = strPrograms + L"\\" + LoadResString(IDS_PLATFORM_FOLDER);
    EnsureFolder(strFolder);
    strFolder += L"\\" + LoadResString(IDS_GAME_TITLE);
    EnsureFolder(strFolder);
    CreateShortcut(L"1", layout.strInstalledExe, strFolder, layout.strStartMenuLinkName, false);
    CreateShortcut(L"-u", layout.strInstalledExe, strFolder, layout.strUninstallLinkName, true);
}

bool SetStringValue(HKEY hKey, LPCWSTR pszName, const CString& strValue)
{
    const DWORD bytes = DWORD((strValue.GetLength() + 1) * sizeof(wchar_t));
    return RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCWSTR>(strValue)),
                          bytes) == ERROR_SUCCESS;
}

// The entry is written once, when this run created it; what an earlier run wrote is left alone.
void RegisterProgramEntry(const InstallLayout& layout)
{
    UniqueRegKey list;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallListKey, 0, kUninstallListAccess, list.put()) != ERROR_SUCCESS)
        return;
    UniqueRegKey entry;
    DWORD disposition = 0;
    if (RegCreateKeyExW(list.get(), layout.strEntryName, 0, nullptr, REG_OPTION_NON_VOLATILE, kUninstallListAccess,
                        nullptr, entry.put(), &disposition) != ERROR_SUCCESS)
        return;
    if (disposition != REG_CREATED_NEW_KEY)
        return;
    SetStringValue(entry.get(), L"Path", layout.strInstalledExe);
    SetStringValue(entry.get(), L"DisplayName", LoadResString(IDS_GAME_TITLE));
    SetStringValue(entry.get(), L"Publisher", LoadResString(IDS_PLATFORM_PUBLISHER));
    SetStringValue(entry.get(), L"UninstallString", layout.strUninstallCommand);
}

void WriteProfileValues(const InstallLayout& layout)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    if (pApp->GetProfileString(layout.strEntryName, L"Path", L"no find!") == layout.strInstalledExe)
        return;
    pApp->WriteProfileString(layout.strEntryName, L"Path", layout.strInstalledExe);
    pApp->WriteProfileString(layout.strEntryName, L"DisplayName", LoadResString(IDS_GAME_TITLE));
    pApp->WriteProfileString(layout.strEntryName, L"Publisher", LoadResString(IDS_PLATFORM_PUBLISHER));
    pApp->WriteProfileString(layout.strEntryName, L"UninstallString", layout.strUninstallCommand);
}

void RunFirstStartStep()
{
    WCHAR szFirstStart[MAX_PATH];
    GetSettingString(L"Start", L"firststart", L"0", szFirstStart);
    if (ParseSettingInt(szFirstStart) == 0)
        return;
    const CString strNotifyUrl = LoadResString(IDS_FIRST_START_URL);
    if (!strNotifyUrl.IsEmpty())
        HttpGetText(strNotifyUrl);
    SetSettingString(L"Start", L"firststart", L"0");
}

}  // namespace

void RunInstallation()
{
    const CString strAppData = GetAppDataDir();
    // Without a per-user folder every path below would point at the root of the current drive.
    if (strAppData.IsEmpty())
        return;
    CString strInstallDir = strAppData + L"\\" + LoadResString(IDS_PLATFORM_CODE);
    EnsureFolder(strInstallDir);
    strInstallDir += L"\\" + LoadResString(IDS_GAME_CODE);
    EnsureFolder(strInstallDir);

    UnpackDefaultSettings(strInstallDir);

    const InstallLayout layout = BuildLayout(strInstallDir);
    {
        // Shell links are COM objects; the application has usually initialised COM already, and
        // the scope then only balances its own successful call.
        CoInitScope com;
        CreateDesktopShortcut(layout);
        CreateStartMenuShortcuts(layout);
    }

    const CVersionNumber installedVersion = CVersionNumber::Parse(GetFileVersionText(layout.strInstalledExe));
    const CVersionNumber runningVersion = CVersionNumber::Parse(GetFileVersionText(layout.strRunningExe));

    RegisterProgramEntry(layout);
    WriteProfileValues(layout);

    if (!installedVersion.IsZero() && !(installedVersion < runningVersion))
        return;
    // Fails while the installed copy is running; the next start tries again.
    CopyFileW(layout.strRunningExe, layout.strInstalledExe, FALSE);
    RunFirstStartStep();
}
