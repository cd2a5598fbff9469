#include "app/UpdateStep.h"

#include <windows.h>

#include <exception>

#include "app/ChildProcess.h"
#include "app/FileReplace.h"
#include "app/Paths.h"
#include "app/UpdateLog.h"

namespace {

const wchar_t kRunSeparator[] = L"=====================";

// Exception texts are kept to the length the log has always carried.
constexpr int kMaxExceptionTextChars = 254;

// The client that handed the update over may still be ending, and a scanner may hold the file for a
// moment: a target in use is tried again for this long before the step gives up.
constexpr DWORD kInUseRetryMs = 5000;
constexpr DWORD kInUseRetryStepMs = 100;

bool IsInUseError(DWORD dwError)
{
    return dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION || dwError == ERROR_ACCESS_DENIED;
}

// ReplaceFileWithCopy, tried again while the target is in use; the error of the last try is kept.
bool ReplaceWhenFree(const CString& strSource, const CString& strTarget)
{
    const ULONGLONG ullStart = GetTickCount64();
    for (;;) {
        if (ReplaceFileWithCopy(strSource, strTarget))
            return true;
        const DWORD dwError = GetLastError();
        if (!IsInUseError(dwError) || GetTickCount64() - ullStart >= kInUseRetryMs) {
            SetLastError(dwError);
            return false;
        }
        Sleep(kInUseRetryStepMs);
    }
}

bool ReplaceInstalledExe(const CString& strTargetPath)
{
    const CString strSelf = GetModulePath();
    if (!ReplaceWhenFree(strSelf, strTargetPath)) {
        // Logging can change the thread's error code, so take it first.
        const DWORD dwError = GetLastError();
        CString strFailure;
        strFailure.Format(L"Update failure.Error Code:%ld", static_cast<long>(dwError));
        WriteUpdateLog(strFailure);
        WriteUpdateLog(kRunSeparator);
        return false;
    }

    // A digest that cannot be computed stays empty; the new file is in place all the same.
    CString strDigest;
    GetFileMd5(strTargetPath, strDigest);
    CString strFinished;
    strFinished.Format(L"Finish download,current file md5=%ls", static_cast<LPCWSTR>(strDigest));
    WriteUpdateLog(strFinished);
    WriteUpdateLog(CString(L"Update success.Current Version:") + GetFileVersionText(strTargetPath));
    WriteUpdateLog(kRunSeparator);

    StartChildProcess(strTargetPath, nullptr);
    return true;
}

void LogException(const CString& strWhat)
{
    WriteUpdateLog(L"Try Commond -d Exception");
    WriteUpdateLog(strWhat.Left(kMaxExceptionTextChars));
}

} // namespace

bool RunUpdateStep(const CString& strTargetPath)
{
    try {
        return ReplaceInstalledExe(strTargetPath);
    } catch (const std::exception& e) {
        try { LogException(CString::FromAnsi(e.what())); } catch (...) {}
    } catch (...) {
        try { LogException(L"unknown exception"); } catch (...) {}
    }
    return false;
}
