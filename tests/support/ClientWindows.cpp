#include "ClientWindows.h"
#include <tlhelp32.h>
#include <cwchar>

namespace {

HWND StartWindowOf(DWORD dwProcessId)
{
    for (HWND hwnd : TopLevelWindowsOf(dwProcessId, true)) {
        wchar_t text[64] = L"";
        GetWindowTextW(hwnd, text, 64);
        if (wcscmp(text, L"《Vantor》微端") == 0)
            return hwnd;
    }
    return nullptr;
}

}  // namespace

HWND WaitForStartWindow(const ClientProcess& client, DWORD nTimeoutMs)
{
    for (DWORD waited = 0; waited <= nTimeoutMs; waited += 50) {
        if (HWND hwnd = StartWindowOf(client.Id()))
            return hwnd;
        Sleep(50);
    }
    return nullptr;
}

HWND WaitForStartWindowOf(const CString& strExe, DWORD nTimeoutMs)
{
    for (DWORD waited = 0; waited <= nTimeoutMs; waited += 100) {
        for (DWORD dwProcessId : ProcessesRunning(strExe)) {
            if (HWND hwnd = StartWindowOf(dwProcessId))
                return hwnd;
        }
        Sleep(100);
    }
    return nullptr;
}

bool IsSkinnedMessageBox(HWND hWnd)
{
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    return IsWindowVisible(hWnd) && GetWindowTextLengthW(hWnd) == 0 && rc.right - rc.left == 253 &&
           rc.bottom - rc.top == 106 && GetDlgItem(hWnd, IDOK) && GetDlgItem(hWnd, IDCANCEL);
}

HWND WaitForMessageBox(DWORD dwProcessId, DWORD nTimeoutMs)
{
    for (DWORD waited = 0; waited <= nTimeoutMs; waited += 50) {
        for (HWND hwnd : TopLevelWindowsOf(dwProcessId, true)) {
            if (IsSkinnedMessageBox(hwnd))
                return hwnd;
        }
        Sleep(50);
    }
    return nullptr;
}

void ClickDialogButton(HWND hDialog, int nID)
{
    PostMessageW(hDialog, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDialog, nID)));
}

std::vector<DWORD> ProcessesNamed(const wchar_t* pszExeName)
{
    std::vector<DWORD> ids;
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32FirstW(snapshot.get(), &entry); ok; ok = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, pszExeName) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

bool WaitForProcessId(DWORD dwProcessId, DWORD nTimeoutMs, DWORD* pExitCode)
{
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId));
    if (!process)
        return true;  // gone already
    if (WaitForSingleObject(process.get(), nTimeoutMs) != WAIT_OBJECT_0)
        return false;
    if (pExitCode)
        GetExitCodeProcess(process.get(), pExitCode);
    return true;
}

namespace {
CString ImageOf(HANDLE hProcess)
{
    wchar_t szImage[MAX_PATH * 2] = L"";
    DWORD n = MAX_PATH * 2;
    return QueryFullProcessImageNameW(hProcess, 0, szImage, &n) ? CString(szImage) : CString();
}
}  // namespace

std::vector<DWORD> ProcessesRunning(const CString& strExe, DWORD dwParent)
{
    std::vector<DWORD> ids;
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = snapshot && Process32FirstW(snapshot.get(), &entry); ok; ok = Process32NextW(snapshot.get(), &entry)) {
        if (dwParent && (entry.th32ParentProcessID != dwParent || entry.th32ProcessID == dwParent))
            continue;
        UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (process && ImageOf(process.get()).CompareNoCase(strExe) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

void EndProcessesRunning(const CString& strExe, DWORD nWaitMs)
{
    for (DWORD id : ProcessesRunning(strExe)) {
        UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (process && TerminateProcess(process.get(), 99))
            WaitForSingleObject(process.get(), nWaitMs);
    }
}
