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

bool ReplaceInstalledExe(const CString& strTargetPath)
{
    const CString strSelf = GetModulePath();
    if (!ReplaceFileWithCopy(strSelf, strTargetPath)) {
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
