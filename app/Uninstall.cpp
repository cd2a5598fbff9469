#include "app/Uninstall.h"
#include "app/ChildProcess.h"
#include "app/Paths.h"
#include "app/RunningClients.h"
#include "app/ShellDelete.h"
#include "browser/BrowserFeatures.h"
#include "framework/Trace.h"
#include "res/resource.h"
#include "start/InstallNames.h"
#include "start/ProgramEntry.h"
#include "widgets/CustomMessageBox.h"
#include <shlwapi.h>
#include <vector>

namespace {

// The prompting process may still hold the installed executable for a moment after it started the
// removal; the removal waits this long for it to go.
constexpr DWORD kExeDeleteWaitMs = 5000;
constexpr DWORD kExeDeleteRetryMs = 100;

// Whether strPath names an item below strFolder (which ends in a backslash), by full paths and
// without regard to case, as the file system compares names.
bool LiesInside(const CString& strPath, const CString& strFolder)
{
    const CString strFull = GetFullPath(strPath);
    const CString strDir = GetFullPath(strFolder);
    if (strFull.IsEmpty() || strDir.IsEmpty() || strDir[strDir.GetLength() - 1] != L'\\' ||
        strFull.GetLength() <= strDir.GetLength())
        return false;
    return CompareStringOrdinal(strFull, strDir.GetLength(), strDir, strDir.GetLength(), TRUE) == CSTR_EQUAL;
}

// False when the executable is still there: a client of it was running after all.
bool DeleteInstalledExe(const CString& strExePath)
{
    const DWORD dwStart = GetTickCount();
    while (!DeleteFileW(strExePath)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return true;
        if (GetTickCount() - dwStart >= kExeDeleteWaitMs)
            return false;
        Trace(L"installed executable still in use, deleting it again shortly");
        Sleep(kExeDeleteRetryMs);
    }
    return true;
}

// Clients of this installation still running (one hidden by the boss key shows only its tray icon)
// hold the executable, which the removal could then not delete. The player is asked to end them;
// false when the player gave up instead.
bool WaitForRunningClientsToEnd(const CString& strExePath)
{
    CString strMessage;
    strMessage.Format(L"《%s》正在运行，请先退出游戏后再卸载。", static_cast<LPCWSTR>(LoadResString(IDS_GAME_TITLE)));
    while (!FindProcessesRunning(strExePath).empty()) {
        CCustomMessageBox box;
        box.SetTexts(L"卸载", strMessage);
        if (box.DoModal() != IDOK)
            return false;
    }
    return true;
}

}  // namespace

void RunUninstallPrompt()
{
    const CString strRunning = GetModulePath();
    if (!WaitForRunningClientsToEnd(strRunning))
        return;
    CString strMessage;
    strMessage.Format(L"您是否确认卸载《%s》？", static_cast<LPCWSTR>(LoadResString(IDS_GAME_TITLE)));
    CCustomMessageBox box;
    box.SetTexts(L"卸载", strMessage);
    // A box that could not be shown answered nothing.
    if (box.DoModal() != IDOK)
        return;

    // Without an application-data folder the copy would land at the root of the current drive.
    const CString strAppData = GetAppDataDir();
    const CString strCopyName = LoadResString(IDS_TEMP_UNINSTALL_EXE);
    if (strAppData.IsEmpty() || strCopyName.IsEmpty() || strRunning.IsEmpty())
        return;
    const CString strCacheDir = GetCacheDir();
    if (!PathIsDirectoryW(strCacheDir))
        CreateDirectoryW(strCacheDir, nullptr);
    const CString strCopy = strAppData + strCopyName;
    // May fail while an earlier copy still runs; that copy does the same work.
    CopyFileW(strRunning, strCopy, FALSE);
    const CString strCommand = L"-u " + strRunning;
    StartChildProcess(strCopy, &strCommand);
}

void RunUninstall(const CString& strExePath)
{
    if (!HaveInstallNames())
        return;

    const CString strDesktop = GetDesktopDir();
    if (!strDesktop.IsEmpty())
        ShellDeleteAndNotify(strDesktop + L"\\" + GetDesktopLinkName());
    const CString strGameDir = GetStartMenuGameDir();
    if (!strGameDir.IsEmpty())
        ShellDeleteAndNotify(strGameDir + L"\\" + GetGameLinkName());

    // Only the client's own files go: a copy started from anywhere else names someone else's folder.
    // An executable that cannot be deleted (a client of it still runs) keeps the uninstall shortcut
    // and the program-list entry, so that the player can start the removal again.
    bool bExeGone = true;
    const CString strDataDir = GetDataDir();
    if (!strDataDir.IsEmpty()) {
        if (LiesInside(strExePath, strDataDir))
            bExeGone = DeleteInstalledExe(GetFullPath(strExePath));
        ShellDeleteAndNotify(strDataDir + L"res");
    }

    // A start-menu folder that holds anything else stays, with what it holds.
    if (!strGameDir.IsEmpty()) {
        if (bExeGone)
            ShellDeleteAndNotify(strGameDir + L"\\" + GetUninstallLinkName());
        RemoveEmptyFolderAndNotify(strGameDir);
        RemoveEmptyFolderAndNotify(GetStartMenuBrandDir());
    }

    // The names the page switches were written under are kept in the profile key: read them first.
    RemoveModernPageMode(PathFindFileNameW(strExePath));
    SHDeleteKeyW(HKEY_CURRENT_USER, GetProfileRootKey());
    if (bExeGone)
        RemoveProgramEntry(LoadResString(IDS_UNINSTALL_KEY), GetFullPath(strExePath));
}
