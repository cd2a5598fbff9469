#include "FilesAndKeys.h"

#include <shlobj.h>

#include <algorithm>

#include "framework/Handles.h"

bool PathExists(const CString& strPath)
{
    return ::GetFileAttributesW(strPath) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const CString& strPath)
{
    std::string bytes;
    UniqueFile file(::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    char piece[65536];
    DWORD got = 0;
    while (file && ::ReadFile(file.get(), piece, sizeof piece, &got, nullptr) && got > 0)
        bytes.append(piece, got);
    return bytes;
}

bool WriteFileBytes(const CString& strPath, const std::string& bytes)
{
    UniqueFile file(::CreateFileW(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void DeleteTree(const CString& strPath)
{
    WIN32_FIND_DATAW data{};
    UniqueFindFile search(::FindFirstFileW(strPath + L"\\*", &data));
    if (search) {
        do {
            const CString strName = data.cFileName;
            if (strName == L"." || strName == L"..")
                continue;
            const CString strChild = strPath + L"\\" + strName;
            ::SetFileAttributesW(strChild, FILE_ATTRIBUTE_NORMAL);  // read-only items go too
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(strChild);
            else
                ::DeleteFileW(strChild);
        } while (::FindNextFileW(search.get(), &data));
    }
    ::RemoveDirectoryW(strPath);
}

std::vector<std::wstring> FilesIn(const CString& strFolder, const wchar_t* pszPattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    UniqueFindFile search(::FindFirstFileW(strFolder + L"\\" + pszPattern, &data));
    for (bool bMore = bool(search); bMore; bMore = ::FindNextFileW(search.get(), &data)) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

static void CollectTree(const CString& strRoot, const std::wstring& relative, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW data{};
    UniqueFindFile search(::FindFirstFileW(strRoot + (relative + L"*").c_str(), &data));
    for (bool bMore = bool(search); bMore; bMore = ::FindNextFileW(search.get(), &data)) {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A copy: the listing grows below, which moves what it holds.
            const std::wstring folder = relative + name + L"\\";
            out.push_back(folder);
            CollectTree(strRoot, folder, out);
        } else
            out.push_back(relative + name);
    }
}

std::vector<std::wstring> TreeIn(const CString& strFolder)
{
    std::vector<std::wstring> out;
    std::wstring root(strFolder);
    if (root.empty() || root.back() != L'\\')
        root += L'\\';
    CollectTree(root.c_str(), L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

CString ShellFolder(int csidl)
{
    wchar_t szPath[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, szPath);
    return szPath;
}

CString TempPath(const CString& strName)
{
    wchar_t szTemp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, szTemp);
    return CString(szTemp) + strName;
}

bool KeyExists(HKEY hRoot, const wchar_t* pszKey, REGSAM view)
{
    UniqueRegKey key;
    return ::RegOpenKeyExW(hRoot, pszKey, 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

bool CreateKey(HKEY hRoot, const wchar_t* pszKey, REGSAM view)
{
    UniqueRegKey key;
    return ::RegCreateKeyExW(hRoot, pszKey, 0, nullptr, 0, KEY_WRITE | view, nullptr, key.put(), nullptr) ==
           ERROR_SUCCESS;
}

long long ReadDword(HKEY hRoot, const wchar_t* pszKey, const wchar_t* pszName)
{
    DWORD dwData = 0, cb = sizeof dwData;
    if (::RegGetValueW(hRoot, pszKey, pszName, RRF_RT_REG_DWORD, nullptr, &dwData, &cb) != ERROR_SUCCESS)
        return -1;
    return dwData;
}

bool WriteDword(HKEY hRoot, const wchar_t* pszKey, const wchar_t* pszName, DWORD dwData)
{
    return ::RegSetKeyValueW(hRoot, pszKey, pszName, REG_DWORD, &dwData, sizeof dwData) == ERROR_SUCCESS;
}

namespace {

// Wine's own export: the host path of a Windows path; empty elsewhere.
std::string HostPathOf(const CString& strPath)
{
    using WineUnixName = char*(CDECL*)(LPCWSTR);
    const auto pfn = reinterpret_cast<WineUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* pszHost = pfn ? pfn(strPath) : nullptr;
    if (!pszHost)
        return std::string();
    std::string host(pszHost);
    HeapFree(GetProcessHeap(), 0, pszHost);
    return host;
}

bool IsReparsePoint(const CString& strPath)
{
    const DWORD dwAttributes = GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

bool MakeFolderLink(const CString& strTarget, const CString& strLink)
{
    if (CreateSymbolicLinkW(strLink, strTarget, SYMBOLIC_LINK_FLAG_DIRECTORY) && IsReparsePoint(strLink))
        return true;
    RemoveDirectoryW(strLink);
    const std::string target = HostPathOf(strTarget), link = HostPathOf(strLink);
    if (target.empty() || link.empty())
        return false;
    // The host's argument splitting is not the system's: paths without blanks, unquoted.
    if (target.find(' ') != std::string::npos || link.find(' ') != std::string::npos)
        return false;
    const CString strCommand = CString::FromUtf8(("/bin/ln -s " + target + " " + link).c_str());
    std::wstring command(strCommand.GetString());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(L"Z:\\bin\\ln", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process.get(), 10000);
    return IsReparsePoint(strLink);
}
