// Helper process for the proxy test: a proxy configured in the environment is read when a process
// starts, so the request has to come from a process started with it. Writes HttpGetText(<url>)
// to <out> as UTF-16.
#include <windows.h>

#include "start/HttpGet.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    const CString strText = HttpGetText(argv[1]);
    HANDLE hOut = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (hOut == INVALID_HANDLE_VALUE)
        return 3;
    DWORD dwWritten = 0;
    const BOOL bOk = WriteFile(hOut, static_cast<LPCWSTR>(strText),
                               static_cast<DWORD>(strText.GetLength() * sizeof(wchar_t)), &dwWritten,
                               nullptr);
    CloseHandle(hOut);
    return bOk ? 0 : 4;
}
