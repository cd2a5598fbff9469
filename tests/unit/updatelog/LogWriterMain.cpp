// Helper process for the concurrency test: waits for the named start event, then appends <count>
// lines "<tag> <n>" to <log>. Its exit code is the number of lines that could not be written.
#include <windows.h>

#include <cwchar>

#include "app/UpdateLog.h"
#include "unit/updatelog/FixedClock.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5)
        return 255;
    const wchar_t* pszLog = argv[1];
    const wchar_t* pszTag = argv[2];
    const long nCount = wcstol(argv[3], nullptr, 10);
    HANDLE hStart = OpenEventW(SYNCHRONIZE, FALSE, argv[4]);
    if (!hStart)
        return 254;
    WaitForSingleObject(hStart, 30000);
    CloseHandle(hStart);

    SetUpdateLogClock(&March7th2027);
    int nFailed = 0;
    for (long i = 0; i < nCount; ++i) {
        CString strMessage;
        strMessage.Format(L"%ls %04ld", pszTag, i);
        if (AppendUpdateLogLine(pszLog, strMessage) != 0)
            ++nFailed;
    }
    return nFailed > 250 ? 250 : nFailed;
}
