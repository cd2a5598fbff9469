#include "unit/install/InstallFixture.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cstring>
#include <cwchar>
#include <vector>

using Microsoft::WRL::ComPtr;

const wchar_t InstallTest::kEntryKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\qzrv《Vantor》";

namespace {

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param)
{
    *reinterpret_cast<WORD*>(param) = language;
    return FALSE;
}

}  // namespace

std::wstring ModulePath()
{
    wchar_t buf[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return buf;
}

LinkInfo ReadLink(const std::wstring& strLinkPath)
{
    LinkInfo info;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(strLinkPath.c_str(), STGM_READ)))
        return info;
    info.bLoaded = true;
    wchar_t buf[1024] = L"";
    if (SUCCEEDED(link->GetPath(buf, 1024, nullptr, SLGP_RAWPATH)))
        info.strPath = buf;
    buf[0] = 0;
    if (SUCCEEDED(link->GetArguments(buf, 1024)))
        info.strArguments = buf;
    buf[0] = 0;
    if (SUCCEEDED(link->GetIconLocation(buf, 1024, &info.nIconIndex)))
        info.strIconPath = buf;
    link->GetShowCmd(&info.nShowCmd);
    return info;
}

bool WriteLink(const std::wstring& strLinkPath, const std::wstring& strTarget, const std::wstring& strArguments)
{
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)))
        return false;
    link->SetPath(strTarget.c_str());
    link->SetArguments(strArguments.c_str());
    return SUCCEEDED(file->Save(strLinkPath.c_str(), TRUE));
}

bool FileExists(const std::wstring& strPath)
{
    const DWORD attributes = GetFileAttributesW(strPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

RegText ReadRegText(HKEY hRoot, const std::wstring& strKey, const wchar_t* pszValue, REGSAM view)
{
    RegText result;
    UniqueRegKey key;
    if (RegOpenKeyExW(hRoot, strKey.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS)
        return result;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), pszValue, nullptr, &result.nType, nullptr, &bytes) != ERROR_SUCCESS)
        return result;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 2, L'\0');
    result.nBytes = bytes;
    RegQueryValueExW(key.get(), pszValue, nullptr, &result.nType, reinterpret_cast<BYTE*>(text.data()), &bytes);
    result.strText = text.data();
    return result;
}

bool CopyExeWithVersion(const std::wstring& strSrcExe, const std::wstring& strDestExe, const wchar_t* pszVersion)
{
    const size_t kOldLength = 7;   // "1.0.0.1", the version every program of this build carries
    if (wcslen(pszVersion) > kOldLength || !CopyFileW(strSrcExe.c_str(), strDestExe.c_str(), FALSE))
        return false;
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /* RT_VERSION */);
    if (!res)
        return false;
    WORD language = 0;
    EnumResourceLanguagesW(self, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), TakeFirstLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(self, res)));
    std::vector<BYTE> block(data, data + SizeofResource(self, res));

    auto find = [&block](const std::wstring& text, size_t from) -> size_t {
        const BYTE* needle = reinterpret_cast<const BYTE*>(text.c_str());
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        for (size_t i = from; i + bytes <= block.size(); i += 2) {
            if (memcmp(&block[i], needle, bytes) == 0)
                return i;
        }
        return std::wstring::npos;
    };
    const size_t key = find(L"FileVersion", 0);
    const size_t value = key == std::wstring::npos ? key : find(L"1.0.0.1", key);
    if (value == std::wstring::npos)
        return false;
    // Shorter texts end at their terminator; the record keeps its size.
    std::vector<wchar_t> replacement(kOldLength, L'\0');
    wmemcpy(replacement.data(), pszVersion, wcslen(pszVersion));
    memcpy(&block[value], replacement.data(), kOldLength * sizeof(wchar_t));

    HANDLE update = BeginUpdateResourceW(strDestExe.c_str(), FALSE);
    if (!update)
        return false;
    if (!UpdateResourceW(update, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), language, block.data(),
                         DWORD(block.size()))) {
        EndUpdateResourceW(update, TRUE);
        return false;
    }
    return EndUpdateResourceW(update, FALSE) != FALSE;
}

void InstallTest::SetUp()
{
    m_strAppData = ShellFolder(CSIDL_APPDATA).str();
    m_strDesktop = ShellFolder(CSIDL_DESKTOPDIRECTORY).str();
    m_strPrograms = ShellFolder(CSIDL_PROGRAMS).str();
    ASSERT_FALSE(m_strAppData.empty());
    ASSERT_FALSE(m_strDesktop.empty());
    ASSERT_FALSE(m_strPrograms.empty());
    m_strDataDir = m_strAppData + L"\\qzrv\\pelq";
    UniqueRegKey root;
    m_bProfileRootExisted =
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\qzrvpelq", 0, KEY_READ, root.put()) == ERROR_SUCCESS;
    m_app.SetRegistryKey(L"qzrvpelq");
    Clean();
}

void InstallTest::TearDown()
{
    Clean();
    if (!m_bProfileRootExisted)
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\qzrvpelq");
}

void InstallTest::Clean()
{
    for (const std::wstring& link : {DesktopLink(), StartMenuLink(), UninstallLink()})
        DeleteFileW(link.c_str());
    RemoveDirectoryW(GameFolder().c_str());
    RemoveDirectoryW((m_strPrograms + L"\\qzrv").c_str());

    for (const std::wstring& exe : {InstalledExe(), m_strDataDir + L"\\Torvel Qerm.exe"}) {
        SetFileAttributesW(exe.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(exe.c_str());
    }
    for (const wchar_t* name : {L"systemset.ini", L"uninstall.ico", L"data.zip"})
        DeleteFileW((m_strDataDir + L"\\res\\" + name).c_str());
    // The folders go only when nothing else lives in them.
    RemoveDirectoryW((m_strDataDir + L"\\res").c_str());
    RemoveDirectoryW(m_strDataDir.c_str());
    RemoveDirectoryW((m_strAppData + L"\\qzrv").c_str());

    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY, 0);
    RegDeleteKeyW(HKEY_CURRENT_USER, kEntryKey);
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\qzrvpelq\\InstallTests");
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\qzrvpelq\\Torvel Qerm");
}

std::wstring InstallTest::FirstStart() const
{
    wchar_t buf[MAX_PATH] = L"";
    GetPrivateProfileStringW(L"Start", L"firststart", L"(none)", buf, MAX_PATH,
                             (m_strDataDir + L"\\res\\systemset.ini").c_str());
    return buf;
}

void InstallTest::SetFirstStart(const wchar_t* pszValue) const
{
    WritePrivateProfileStringW(L"Start", L"firststart", pszValue, (m_strDataDir + L"\\res\\systemset.ini").c_str());
}
