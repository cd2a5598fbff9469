#include "start/Settings.h"

#include "app/Paths.h"
#include "browser/PageZoom.h"
#include "framework/CWinApp.h"
#include "res/resource.h"
#include "start/Base64Text.h"
#include "start/zip/ZipReader.h"

#include <shlwapi.h>

#include <cwchar>
#include <string>

CString g_strAccountCode;
CString g_strAccountPwd;
CString g_strRemember;
CString g_strAutoLogin;

namespace {

constexpr int kUnpackedMarker = 1001;
constexpr size_t kBase64Limit = 1024;

bool FileExists(const CString& strPath)
{
    const DWORD attributes = GetFileAttributesW(strPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ExtractSettingsArchive(const CString& strResDir)
{
    HMODULE module = AfxGetResourceHandle();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDR_SETTINGS_ZIP), L"ZIP");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return;
    HZIP zip = ZipOpenMemory(data, SizeofResource(module, resource));
    if (!zip)
        return;
    ZipSetBaseDir(zip, strResDir);
    ZipEntryInfo info{};
    // An archive that cannot say how many entries it has is taken as empty.
    const int count = ZipGetItem(zip, -1, &info) == UNZIP_OK ? info.nIndex : 0;
    for (int i = 0; i < count; ++i) {
        if (ZipGetItem(zip, i, &info) != UNZIP_OK)
            continue;
        // The player's own settings survive a lost marker or a reinstall.
        if (wcscmp(info.szName, L"systemset.ini") == 0 && PathFileExistsW(strResDir + L"\\" + info.szName))
            continue;
        ZipUnzipItem(zip, i, info.szName);
    }
    ZipClose(zip);
}

}  // namespace

void GetSettingString(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszDefault, WCHAR (&szBuffer)[MAX_PATH])
{
    const CString strPath = GetSettingsFilePath();
    if (strPath.IsEmpty()) {
        wcsncpy_s(szBuffer, pszDefault ? pszDefault : L"", _TRUNCATE);
        return;
    }
    GetPrivateProfileStringW(pszSection, pszKey, pszDefault, szBuffer, MAX_PATH, strPath);
}

void SetSettingString(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue)
{
    const CString strPath = GetSettingsFilePath();
    if (!strPath.IsEmpty())
        WritePrivateProfileStringW(pszSection, pszKey, pszValue, strPath);
}

int ParseSettingInt(LPCWSTR pszText)
{
    if (!pszText)
        return 0;
    const wchar_t* p = pszText;
    while (*p == L' ' || *p == L'\t')
        ++p;
    bool bNegative = false;
    if (*p == L'+' || *p == L'-')
        bNegative = *p++ == L'-';
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        if (value < 0x80000000LL)
            value = value * 10 + (*p - L'0');
    }
    if (bNegative)
        value = -value;
    if (value > 0x7FFFFFFFLL)
        return 0x7FFFFFFF;
    if (value < -0x80000000LL)
        return int(-0x7FFFFFFF - 1);
    return int(value);
}

int ReadPageZoomSetting()
{
    WCHAR szZoom[MAX_PATH];
    GetSettingString(L"Setting", L"zoom", L"", szZoom);
    return ParseStoredPageZoom(szZoom);
}

void WritePageZoomSetting(int nPercent)
{
    SetSettingString(L"Setting", L"zoom", std::to_wstring(nPercent).c_str());
}

void UnpackDefaultSettings(LPCWSTR pszInstallDir)
{
    const CString strResDir = CString(pszInstallDir) + L"\\res";
    WCHAR szStart[MAX_PATH];
    GetSettingString(L"Setting", L"start", L"-1", szStart);
    if (ParseSettingInt(szStart) == kUnpackedMarker)
        return;
    if (!PathIsDirectoryW(strResDir))
        CreateDirectoryW(strResDir, nullptr);
    ExtractSettingsArchive(strResDir);
    const CString strLeftover = strResDir + L"\\data.zip";
    if (FileExists(strLeftover))
        DeleteFileW(strLeftover);
    // Without the settings file the unpacking has not happened, whatever the archive said; the
    // next start tries again.
    if (!FileExists(strResDir + L"\\systemset.ini"))
        return;
    CString strMarker;
    strMarker.Format(L"%d", kUnpackedMarker);
    SetSettingString(L"Setting", L"start", strMarker);
}

CString DecodeBase64Text(LPCWSTR pszText)
{
    if (!pszText || !*pszText)
        return CString();
    const int length = WideCharToMultiByte(CP_THREAD_ACP, 0, pszText, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return CString();
    std::string bytes(size_t(length), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, pszText, -1, &bytes[0], length, nullptr, nullptr);
    bytes.resize(size_t(length - 1));
    unsigned char decoded[kBase64Limit] = {};
    DecodeBase64Bytes(bytes, decoded, sizeof decoded);
    return CString::FromAnsi(reinterpret_cast<const char*>(decoded));
}
