#include "start/Installation.h"

#include "app/FileReplace.h"
#include "app/Paths.h"
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "start/HttpGet.h"
#include "start/InstallNames.h"
#include "start/ProgramEntry.h"
#include "start/Settings.h"
#include "start/Shortcut.h"
#include "start/VersionNumber.h"

#include <shlwapi.h>

namespace {

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

    layout.strDesktopLinkName = GetDesktopLinkName();
    layout.strStartMenuLinkName = GetGameLinkName();
    layout.strUninstallLinkName = GetUninstallLinkName();
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
    const CString strFolder = GetStartMenuGameDir();
    if (strFolder.IsEmpty())
        return;
    EnsureFolder(GetStartMenuBrandDir());
    EnsureFolder(strFolder);
    CreateShortcut(L"1", layout.strInstalledExe, strFolder, layout.strStartMenuLinkName, false);
    CreateShortcut(L"-u", layout.strInstalledExe, strFolder, layout.strUninstallLinkName, true);
}

// The entry is written once, when no list holds it yet; what an earlier run wrote is left alone.
void RegisterProgramEntry(const InstallLayout& layout)
{
    ProgramEntryTexts texts;
    texts.strPath = layout.strInstalledExe;
    texts.strDisplayName = LoadResString(IDS_GAME_TITLE);
    texts.strPublisher = LoadResString(IDS_PLATFORM_PUBLISHER);
    texts.strUninstallString = layout.strUninstallCommand;
    WriteProgramEntry(layout.strEntryName, texts);
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
    ReplaceFileWithCopy(layout.strRunningExe, layout.strInstalledExe);
    RunFirstStartStep();
}
