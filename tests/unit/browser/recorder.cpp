// Stands in for "iexplore.exe" in the browser tests: appends its own command line, as one UTF-16
// line, to the file named by TORVEL_RECORDER_OUT.
#include <windows.h>

int wmain()
{
    wchar_t szPath[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"TORVEL_RECORDER_OUT", szPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 2;
    HANDLE hFile = CreateFileW(szPath, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return 3;
    const wchar_t* pszLine = GetCommandLineW();
    DWORD dwWritten = 0;
    WriteFile(hFile, pszLine, static_cast<DWORD>(lstrlenW(pszLine) * sizeof(wchar_t)), &dwWritten, nullptr);
    WriteFile(hFile, L"\n", sizeof(wchar_t), &dwWritten, nullptr);
    CloseHandle(hFile);
    return 0;
}
