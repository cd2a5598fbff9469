#include "app/FileReplace.h"

#include "framework/CString.h"
#include "framework/Handles.h"

#include <vector>

namespace {

// A rename refused for a moment, as when a virus scanner opens the new file the instant it is
// closed, is tried again for this long before the replace gives up.
constexpr DWORD kMoveRetryMs = 2000;
constexpr DWORD kMoveRetryStepMs = 50;

// Copies hSource into hTarget up to the source's end and flushes the copy to the disk. A read that
// fails on the way (a locked range, a pipe whose writer went away, a lost network share) fails the
// copy, and so does a file that ends before the size it had when the copy began.
bool CopyContents(HANDLE hSource, HANDLE hTarget)
{
    LARGE_INTEGER size{};
    const bool bSized = GetFileSizeEx(hSource, &size) != FALSE;
    std::vector<BYTE> buffer(64 * 1024);
    LONGLONG copied = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(hSource, buffer.data(), DWORD(buffer.size()), &read, nullptr))
            return false;
        if (read == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(hTarget, buffer.data(), read, &written, nullptr))
            return false;
        if (written != read) {
            // A short write can come without an error code of its own.
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        copied += read;
    }
    if (bSized && copied != size.QuadPart) {
        SetLastError(ERROR_HANDLE_EOF);
        return false;
    }
    FILETIME modified{};
    if (GetFileTime(hSource, nullptr, nullptr, &modified))
        SetFileTime(hTarget, nullptr, nullptr, &modified);
    return FlushFileBuffers(hTarget) != FALSE;
}

// A new file beside the target, named after it, so that the move is a rename in one folder. The
// name is built here rather than by GetTempFileNameW, which takes folders of MAX_PATH - 14 at most.
UniqueFile CreateTemporaryBeside(const CString& strTarget, CString& strTemp)
{
    for (DWORD nAttempt = 0; nAttempt < 100; ++nAttempt) {
        strTemp.Format(L"%ls.~%lx%lx.tmp", static_cast<LPCWSTR>(strTarget), static_cast<unsigned long>(GetCurrentProcessId()),
                       static_cast<unsigned long>(GetTickCount() + nAttempt));
        // Readers may look (a scanner does, at once); nobody may write, rename or delete it meanwhile.
        UniqueFile file(
            CreateFileW(strTemp, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return UniqueFile();
}

// Temporary files that a copy killed on the way left beside the target ("<target>.~<id>.tmp"). One
// that another replace is still writing is open and refuses the delete.
void RemoveLeftoverTemporaries(const CString& strTarget)
{
    const int nSlash = strTarget.ReverseFind(L'\\');
    const CString strFolder = strTarget.Left(nSlash + 1);
    const CString strPrefix = strTarget.Mid(nSlash + 1) + L".~";
    WIN32_FIND_DATAW data{};
    UniqueFindFile search(FindFirstFileW(strTarget + L".~*.tmp", &data));
    if (!search)
        return;
    do {
        // The pattern also matches short names; only our own long names count.
        const CString strName = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || strName.GetLength() <= strPrefix.GetLength() + 4 ||
            CompareStringOrdinal(strName, strPrefix.GetLength(), strPrefix, strPrefix.GetLength(), TRUE) != CSTR_EQUAL ||
            strName.Right(4).CompareNoCase(L".tmp") != 0)
            continue;
        DeleteFileW(strFolder + strName);
    } while (FindNextFileW(search.get(), &data));
}

bool MoveIntoPlace(const CString& strTemp, LPCWSTR pszTarget)
{
    const DWORD dwStart = GetTickCount();
    for (;;) {
        if (MoveFileExW(strTemp, pszTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD dwError = GetLastError();
        const bool bMomentary =
            dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_ACCESS_DENIED || dwError == ERROR_LOCK_VIOLATION;
        if (!bMomentary || GetTickCount() - dwStart >= kMoveRetryMs) {
            SetLastError(dwError);
            return false;
        }
        Sleep(kMoveRetryStepMs);
    }
}

}  // namespace

bool ReplaceFileWithCopy(LPCWSTR pszSource, LPCWSTR pszTarget)
{
    if (!pszSource || !pszTarget) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    {
        // A running or open target refuses writing with the sharing error a copy over it reports;
        // the move below would only say "access denied".
        UniqueFile target(CreateFileW(pszTarget, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!target && GetLastError() != ERROR_FILE_NOT_FOUND)
            return false;
    }
    UniqueFile source(CreateFileW(pszSource, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source)
        return false;
    RemoveLeftoverTemporaries(pszTarget);
    CString strTemp;
    bool bCopied = false;
    {
        UniqueFile temp = CreateTemporaryBeside(pszTarget, strTemp);
        if (!temp)
            return false;
        bCopied = CopyContents(source.get(), temp.get());
    }
    // The copy's own verdict decides: a failure need not leave an error code behind.
    if (bCopied && MoveIntoPlace(strTemp, pszTarget))
        return true;
    const DWORD dwError = GetLastError();
    DeleteFileW(strTemp);
    SetLastError(dwError == ERROR_SUCCESS ? ERROR_GEN_FAILURE : dwError);
    return false;
}
