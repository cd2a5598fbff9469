#include "start/VersionCheck.h"

#include <windows.h>

#include "app/Paths.h"
#include "app/UpdateLog.h"
#include "resource.h"

namespace {

void TrimUpdateLog(const CString& strLogPath)
{
    if (strLogPath.IsEmpty())
        return;
    // Attributes are readable even while another process holds the log for an append.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(strLogPath, GetFileExInfoStandard, &data))
        return;
    const unsigned long long ullSize =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (ullSize > kUpdateLogSizeLimit)
        DeleteFileW(strLogPath);
}

void ClearDownloadFolder()
{
    const CString strCache = GetCacheDir();
    // Without an application-data folder the names below would point at the drive's root.
    if (strCache.IsEmpty())
        return;
    if (GetFileAttributesW(strCache) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(strCache, nullptr);
    const CString strLeftover = strCache + LoadResString(IDS_TEMP_UPDATE_EXE);
    if (GetFileAttributesW(strLeftover) != INVALID_FILE_ATTRIBUTES)
        DeleteFileW(strLeftover);
}

} // namespace

CString GetVersionQueryUrl()
{
    CString strUrl;
    strUrl.Format(L"%ls/%ls%ls", static_cast<LPCWSTR>(LoadResString(IDS_VERSION_SERVER)),
                  static_cast<LPCWSTR>(LoadResString(IDS_VERSION_QUERY)),
                  static_cast<LPCWSTR>(GetFileVersionText(GetModulePath())));
    return strUrl;
}

void RunVersionCheck()
{
    TrimUpdateLog(GetUpdateLogPath());
    ClearDownloadFolder();
    // Runs on the login popup's thread: another client holding the log must not freeze the page.
    WriteUpdateLogNoWait(GetVersionQueryUrl());
}
