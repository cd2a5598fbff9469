#include "app/ShellDelete.h"
#include "framework/Handles.h"
#include <shellapi.h>
#include <shlobj.h>
#include <vector>

bool IsDirectoryEmpty(const CString& strFolder)
{
    WIN32_FIND_DATAW data{};
    UniqueFindFile search(FindFirstFileW(strFolder + L"\\*", &data));
    if (!search) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    do {
        const bool bDotEntry = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                               (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0);
        if (!bDotEntry)
            return false;
    } while (FindNextFileW(search.get(), &data));
    // Anything but the end of the listing leaves the folder's content unknown.
    return GetLastError() == ERROR_NO_MORE_FILES;
}

bool ShellDeletePath(const CString& strPath)
{
    // The shell expands wildcards in its source list, and an empty path would be the end of the list.
    if (strPath.IsEmpty() || strPath.Find(L'*') >= 0 || strPath.Find(L'?') >= 0)
        return false;
    // The source is a list of paths ended by an empty one: the path and two NULs, however long it is.
    std::vector<wchar_t> from(static_cast<size_t>(strPath.GetLength()) + 2, L'\0');
    wmemcpy(from.data(), strPath, static_cast<size_t>(strPath.GetLength()));
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.data();
    // The removal runs hidden: an error box for an item in use or already gone would wait for a click
    // nobody can give.
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

void NotifyShellRemoved(const CString& strPath)
{
    SHChangeNotify(SHCNE_RMDIR | SHCNE_INTERRUPT, SHCNF_PATHW | SHCNF_FLUSH, static_cast<LPCWSTR>(strPath), nullptr);
    const int nSlash = strPath.ReverseFind(L'\\');
    if (nSlash < 0)
        return;
    const CString strParent = strPath.Left(nSlash);
    SHChangeNotify(SHCNE_UPDATEDIR | SHCNE_INTERRUPT, SHCNF_PATHW | SHCNF_FLUSH, static_cast<LPCWSTR>(strParent),
                   nullptr);
}

bool ShellDeleteAndNotify(const CString& strPath)
{
    if (!ShellDeletePath(strPath))
        return false;
    NotifyShellRemoved(strPath);
    return true;
}

bool RemoveEmptyFolderAndNotify(const CString& strFolder)
{
    if (!IsDirectoryEmpty(strFolder) || !RemoveDirectoryW(strFolder))
        return false;
    NotifyShellRemoved(strFolder);
    return true;
}
