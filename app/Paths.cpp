#include "app/Paths.h"
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include <shlobj.h>
#include <shlwapi.h>
#include <vector>

CString GetAppDataDir()
{
    wchar_t buf[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf)))
        return CString();
    return CString(buf);
}

CString GetDataDir()
{
    static CString s_strDataDir;
    if (s_strDataDir.IsEmpty()) {
        CString appData = GetAppDataDir();
        // Without an application-data folder the path would point at the root of the current drive.
        if (appData.IsEmpty())
            return CString();
        s_strDataDir = appData + L"\\" + LoadResString(IDS_PLATFORM_CODE) + L"\\" + LoadResString(IDS_GAME_CODE) + L"\\";
    }
    return s_strDataDir;
}

CString GetSettingsFilePath()
{
    CString dir = GetDataDir();
    return dir.IsEmpty() ? dir : dir + LoadResString(IDS_SETTINGS_FILE);
}

CString GetCacheDir()
{
    CString appData = GetAppDataDir();
    return appData.IsEmpty() ? appData : appData + L"\\cache";
}

namespace {
CString SpecialFolder(int csidl)
{
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl)
        return CString();
    UniqueCoTaskMem owner(pidl);
    wchar_t buf[MAX_PATH] = L"";
    if (!SHGetPathFromIDListW(pidl, buf))
        return CString();
    return CString(buf);
}
}  // namespace

CString GetDesktopDir()
{
    return SpecialFolder(CSIDL_DESKTOP);
}

CString GetProgramsDir()
{
    return SpecialFolder(CSIDL_PROGRAMS);
}

CString GetFullPath(const CString& strPath)
{
    if (strPath.IsEmpty())
        return strPath;
    const DWORD nNeeded = GetFullPathNameW(strPath, 0, nullptr, nullptr);
    if (nNeeded == 0)
        return CString();
    std::vector<wchar_t> buf(nNeeded + 1, L'\0');
    const DWORD nGot = GetFullPathNameW(strPath, static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    if (nGot == 0 || nGot >= buf.size())
        return CString();
    return CString(buf.data(), static_cast<int>(nGot));
}

bool IsSamePath(const CString& strA, const CString& strB)
{
    const CString strFullA = GetFullPath(strA);
    const CString strFullB = GetFullPath(strB);
    return !strFullA.IsEmpty() &&
           CompareStringOrdinal(strFullA, strFullA.GetLength(), strFullB, strFullB.GetLength(), TRUE) == CSTR_EQUAL;
}

CString GetModulePath()
{
    return AfxGetModuleFileName();
}

namespace {

// A string value of a version block, taken by the length the block records for it: the installed
// copy lies in a folder its user can write, so its block may be malformed. The value must lie
// inside the block; it ends at its length or its first terminator, whichever comes first. A value
// of no characters, or one that reaches past the block, reads as "".
CString VersionValueText(const std::vector<BYTE>& block, const wchar_t* pText, UINT nChars)
{
    const BYTE* pBegin = reinterpret_cast<const BYTE*>(pText);
    if (nChars == 0 || pBegin < block.data() || pBegin >= block.data() + block.size())
        return CString();
    const size_t available = size_t(block.data() + block.size() - pBegin) / sizeof(wchar_t);
    if (nChars > available)
        return CString();
    size_t length = 0;
    while (length < nChars && pText[length] != L'\0')
        ++length;
    return CString(pText, int(length));
}

}  // namespace

CString GetFileVersionText(const CString& strPath)
{
    if (!PathFileExistsW(strPath))
        return CString();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(strPath, &handle);
    if (size == 0)
        return CString(L"None VerSion Supprot");
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(strPath, 0, size, block.data()))
        return CString();

    struct Translation
    {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT bytes = 0;
    CString result;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &bytes) ||
        !translations)
        return result;
    for (UINT i = 0; i < bytes / sizeof(Translation); ++i) {
        CString query;
        query.Format(L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[i].language, translations[i].codePage);
        wchar_t* text = nullptr;
        UINT chars = 0;
        if (VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &chars) && text)
            result += VersionValueText(block, text, chars);
    }
    return result;
}

CString LoadResString(UINT nID)
{
    // Strings are stored sixteen to a block: block (id / 16) + 1, entry id % 16, each entry a length
    // followed by that many characters without a terminator.
    HMODULE module = AfxGetResourceHandle();
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(nID / 16 + 1), MAKEINTRESOURCEW(6 /* RT_STRING */));
    if (!res)
        return CString();
    DWORD size = SizeofResource(module, res);
    HGLOBAL loaded = LoadResource(module, res);
    const WCHAR* p = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!p)
        return CString();
    const WCHAR* end = p + size / sizeof(WCHAR);
    for (UINT i = 0; i < nID % 16; ++i) {
        if (p >= end)
            return CString();
        p += 1 + *p;
    }
    if (p >= end || *p == 0 || p + 1 + *p > end)
        return CString();
    return CString(p + 1, *p);
}
