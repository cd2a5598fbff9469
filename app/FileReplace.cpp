#include "app/FileReplace.h"

#include "framework/CString.h"
#include "framework/Handles.h"

#include <vector>

namespace {

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
        if (!WriteFile(hTarget, buffer.data(), read, &written, nullptr) || written != read)
            return false;
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
        UniqueFile file(CreateFileW(strTemp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return UniqueFile();
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
    CString strTemp;
    DWORD dwError = ERROR_SUCCESS;
    {
        UniqueFile temp = CreateTemporaryBeside(pszTarget, strTemp);
        if (!temp)
            return false;
        if (!CopyContents(source.get(), temp.get()))
            dwError = GetLastError();
    }
    if (dwError == ERROR_SUCCESS &&
        !MoveFileExW(strTemp, pszTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        dwError = GetLastError();
    if (dwError == ERROR_SUCCESS)
        return true;
    DeleteFileW(strTemp);
    SetLastError(dwError == ERROR_SUCCESS ? ERROR_GEN_FAILURE : dwError);
    return false;
}
