#include "start/zip/ZipFolders.h"

#include <string>

namespace {

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EnsureFolderBelow(const std::wstring& root, const std::wstring& path)
{
    if (path.empty())
        return true;
    const size_t separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos && !EnsureFolderBelow(root, path.substr(0, separator)))
        return false;
    const std::wstring full = root + path;
    if (!FolderExists(full))
        CreateDirectoryW(full.c_str(), nullptr);
    return FolderExists(full);
}

bool FullPath(LPCWSTR pszPath, std::wstring& full)
{
    WCHAR buffer[MAX_PATH];
    const DWORD length = GetFullPathNameW(pszPath, MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    full.assign(buffer, length);
    return true;
}

}  // namespace

bool EnsureFolder(LPCWSTR pszRoot, LPCWSTR pszPath)
{
    std::wstring root = pszRoot ? pszRoot : L"";
    if (!root.empty() && !FolderExists(root))
        CreateDirectoryW(root.c_str(), nullptr);
    std::wstring path = pszPath ? pszPath : L"";
    // "dir/" names the folder "dir"; a separator at the end adds no level of its own.
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    if (path.empty())
        return root.empty() || FolderExists(root);
    return EnsureFolderBelow(root, path);
}

bool IsPathInsideFolder(LPCWSTR pszBase, LPCWSTR pszPath)
{
    if (!pszBase || !*pszBase || !pszPath || !*pszPath)
        return false;
    std::wstring base, path;
    if (!FullPath(pszBase, base) || !FullPath(pszPath, path))
        return false;
    if (base.back() != L'\\')
        base += L'\\';
    if (path.size() <= base.size())
        return false;
    return CompareStringOrdinal(path.c_str(), int(base.size()), base.c_str(), int(base.size()), TRUE) ==
           CSTR_EQUAL;
}
